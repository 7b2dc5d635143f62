// The object editing commands of the main window: new object definitions,
// renaming and deleting them, opening one for editing (a working copy),
// placing, changing and deleting its boxes, and storing the copy back or
// leaving it.  Each is a function a test calls directly, on the editor's
// document; the window's menus and buttons only call them.  "Сохранить
// изменения" and "Мышка" are the document's own (qx::StoreWorkingCopy,
// qx::DropPending).
#pragma once

#include <string>

#include "ShapeFields.h"

class TFVantor;
struct EditorState;

// "Добавить" > "Статический": a new object named through the name box.
void AddStaticObject(EditorState& state);
// "Переименовать": the selected object takes a name from the name box (the
// same rules); its placements and its tree nodes follow.
void RenameSelectedObject(EditorState& state);
// "Удалить" in the object tree: the selected object goes; a placed one only
// when the user agrees, and its placements with it.
void DeleteSelectedObject(EditorState& state);
// "Модель" and a double click on the object tree: open the selected object.
void OpenObjectForEditing(TFVantor& window);
// "Выход без сохранения": leaves the object view without storing, asking
// first when the working copy differs from the definition.
void LeaveObjectViewUnsaved(EditorState& state);
// After a load or a recovery replaced the project: the object view is left
// (its definition is gone) and the object and map trees show their top
// folders open.
void ShowProjectReplaced(EditorState& state);
// "Коробка", "Пол", "Стена", "Сфера", "Торус": a new primitive of the kind
// follows the cursor (a locked one is dropped); the box editor shows it.
void StartPlacingShape(EditorState& state, ShapeKind kind);
// "+ 3DS" and "+ Blender" after the file is in the project's models/ folder:
// the model of `fsPath` follows the cursor at scale 1.  The reader's error
// propagates, nothing changed.
void StartPlacingModel(EditorState& state, ShapeKind kind, const std::string& fsPath);
// "Удалить" in the part tree: delete the selected primitive of the working
// copy.
void DeleteSelectedPart(TFVantor& window);
// "Изменить" in the part tree and a double click on a primitive's node: the
// selected primitive of the working copy becomes the pending one, locked
// where it is, in the box editor; committing it ("Создать" or a click) puts
// it back in its place.
void ChangeSelectedPart(TFVantor& window);
// While the frame draws the working copy, the primitive being changed shows
// only as the pending one: it is out of list 0 for the scope's lifetime.
class ChangedPrimitiveHidden {
public:
    ChangedPrimitiveHidden();
    ~ChangedPrimitiveHidden();
    ChangedPrimitiveHidden(const ChangedPrimitiveHidden&) = delete;
    ChangedPrimitiveHidden& operator=(const ChangedPrimitiveHidden&) = delete;

private:
    int index_ = -1;
    ShapeKind kind_ = ShapeKind::Box;
};
// "Параметры": the object settings window shows what the chosen object holds.
void ShowObjectParameters();

// Connects the object tree's menu and double click, the part tree's menu and
// the editing buttons, and makes the object view's widgets follow the
// session.  Called once by the main window.
void InstallEditCommands(TFVantor& window);
