// "Играть отсюда" (menu "Игра", F5): saves what the game reads, as the
// start button does, then plays from where the editor's camera stands: a
// game already running on the open project gets the camera through its
// channel (its player moves there), else GAME_EXE starts with --start.
// Neither waits for the game.
#pragma once

#include "GameStart.h"

class QAction;
class QMenu;
class TCamera;

// The camera's eye and the way it looks (world axes).
qx::ViewStart CameraStart(const TCamera& camera);

void PlayHereClick();

// Adds the item to the menu "Игра", before `before` (null: at the end).
void InstallPlayHere(QMenu& game, QAction* before);
