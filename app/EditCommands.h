// The object editing commands of the main window: new object definitions,
// renaming and deleting them, opening one for editing (a working copy),
// placing, changing and deleting its boxes, and storing the copy back or
// leaving it.  Each is a function a test calls directly; the
// window's menus and buttons only call them.
#pragma once

class TFVantor;

// "Добавить" > "Статический": a new object named through the name box.
void AddStaticObject(TFVantor& window);
// "Переименовать": the selected object takes a name from the name box (the
// same rules); its placements and its tree nodes follow.
void RenameSelectedObject(TFVantor& window);
// "Удалить" in the object tree: the selected object goes; a placed one only
// when the user agrees, and its placements with it.
void DeleteSelectedObject(TFVantor& window);
// "Модель" and a double click on the object tree: open the selected object.
void OpenObjectForEditing(TFVantor& window);
// "Сохранить изменения": store the working copy into the definition that
// was opened and leave the object view.
void StoreEditedObject(TFVantor& window);
// Leaves the object view without storing (the definition is gone).
void LeaveObjectView(TFVantor& window);
// "Выход без сохранения": leaves the object view without storing, asking
// first when the working copy differs from the definition.
void LeaveObjectViewUnsaved(TFVantor& window);
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
// "Изменить" in the part tree and a double click on a box node: the selected
// box of the working copy becomes the pending box, locked where it is, in
// the box editor; committing it ("Создать" or a click) puts it back in its
// place.
void ChangeSelectedBox(TFVantor& window);
// While the frame draws the working copy, the box being changed shows only
// as the pending box: it is out of list 0 for the scope's lifetime.
class ChangedBoxHidden {
public:
    ChangedBoxHidden();
    ~ChangedBoxHidden();
    ChangedBoxHidden(const ChangedBoxHidden&) = delete;
    ChangedBoxHidden& operator=(const ChangedBoxHidden&) = delete;

private:
    int index_ = -1;
};
// "+ 3DS" and "+ Blender" (their buttons stay disabled, as designed).
void AddModel3dsToEditedObject(TFVantor& window);
void AddModelBlenderToEditedObject(TFVantor& window);

// "Параметры": the object settings window shows what the chosen object holds.
void ShowObjectParameters(TFVantor& window);

// Connects the object tree's menu and double click, the part tree's menu and
// the editing buttons.  Called once by the main window.
void InstallEditCommands(TFVantor& window);
