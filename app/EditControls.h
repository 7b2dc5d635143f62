// The object editing controls of the main window: the object tree's and
// the part tree's menus and double clicks and the editing buttons call the
// commands (EditCommands.h); the object view's panels, part tree and box
// editor follow the session the document tells of.
#pragma once

class TFVantor;

// "Модель" and a double click on the object tree: the selected object
// opens for editing, seen from the zoom the object view starts with.
void OpenObjectForEditing(TFVantor& window);
// "Удалить" in the part tree: the part its selected node names goes.
void DeleteSelectedPart(TFVantor& window);
// "Изменить" in the part tree and a double click on a part's node.
void ChangeSelectedPart(TFVantor& window);
// "Параметры": the object settings window shows what the chosen object holds.
void ShowObjectParameters();

// Connects the menus, buttons and trees, and makes the object view's
// widgets and the trees follow the document.  Called once by the wiring.
void InstallEditCommands(TFVantor& window);
