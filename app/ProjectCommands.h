// The main window's project commands: "Сохранить проект" (Save1Click),
// "Загрузить проект" (Load1Click) and the start button (BitBtn1Click).  The
// work is in Project.h; these only gather the editor's pieces, keep the
// window still while a load runs (no frames, no input, a progress dialog
// once it takes longer than half a second) and start the game.
#pragma once

#include <QString>

#include <functional>
#include <string>

class TFVantor;

void Save1Click(TFVantor& window);
void Load1Click(TFVantor& window);
void BitBtn1Click(TFVantor& window);

// Connects the menu items "Save1", "Load1" and the button BitBtn1 of the
// main window, and installs the texture removal that renumbers box
// textures.  Called once by the main window.
void InstallProjectCommands(TFVantor& window);

// The executable's folder with its trailing separator (1251 bytes): the
// texture window's, so that tests that point it elsewhere move the project
// with it.
std::string ProgramFolder();

// Starts the game runtime (detached, no arguments); tests replace it.
std::function<void(const QString& program)>& GameStarter();
