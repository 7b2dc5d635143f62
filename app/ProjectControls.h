// The main window's project controls: the menu items "Save1", "Load1", the
// start button BitBtn1, and the items the menu "Игра" gains: "Открыть
// проект…", "Сохранить проект как…", "Играть отсюда" and "Менеджер
// проектов".  Each calls a project command (ProjectCommands.h).
#pragma once

class TFVantor;

// Called once by the wiring.
void InstallProjectCommands(TFVantor& window);
