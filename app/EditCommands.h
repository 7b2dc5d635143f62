// The object editing commands of the main window: new object definitions,
// opening one for editing (a working copy), placing and deleting its boxes,
// and storing the copy back.  Each is a function a test calls directly; the
// window's menus and buttons only call them.
#pragma once

class TFVantor;

// "Добавить" > "Статический": a new object named through the name box.
void AddStaticObject(TFVantor& window);
// "Модель" and a double click on the object tree: open the selected object.
void OpenObjectForEditing(TFVantor& window);
// "Сохранить изменения": store the working copy into the definition that
// was opened and leave the object view.
void StoreEditedObject(TFVantor& window);
// Leaves the object view without storing (the definition is gone).
void LeaveObjectView(TFVantor& window);
// After an undo, a redo, a load or a recovery: the object view closes when
// the definition it was opened on is no longer listed.
void LeaveObjectViewIfGone(TFVantor& window);
// After a load or a recovery replaced the project: the object view is left
// (its definition is gone) and the object and map trees show their top
// folders open.
void ShowProjectReplaced(TFVantor& window);
// "Мышка": drop the pending box.
void DropPendingPrimitive();
// "Коробка": a new 8 x 8 x 8 box follows the cursor (a locked box is
// dropped); the box editor shows it.
void StartPlacingBox();
// "Удалить" in the part tree: delete the selected box of the working copy.
void DeleteSelectedBox(TFVantor& window);
// "+ 3DS" and "+ Blender" (their buttons stay disabled, as designed).
void AddModel3dsToEditedObject(TFVantor& window);
void AddModelBlenderToEditedObject(TFVantor& window);

// "Параметры": the object settings window shows what the chosen object holds.
void ShowObjectParameters(TFVantor& window);

// Connects the object tree's menu and double click, the part tree's menu and
// the editing buttons.  Called once by the main window.
void InstallEditCommands(TFVantor& window);
