// The object editing commands: new object definitions, renaming and
// deleting them, opening one for editing (a working copy), placing and
// changing its parts, leaving it, and undo and redo.  Each is a function a
// test calls directly, on the editor's document; the window's menus and
// buttons (EditControls.h) only call them.  "Сохранить изменения" and
// "Мышка" are the document's own (qx::StoreWorkingCopy, qx::DropPending).
#pragma once

#include <string>

#include "SessionEdits.h"
#include "ShapeFields.h"

struct EditorState;

// The object tree's node text names a definition (not a folder, not the
// player).
bool IsDefinitionNode(const std::string& text);

// "Добавить" > "Статический": a new object named through the name box.
void AddStaticObject(EditorState& state);
// "Переименовать": the selected object takes a name from the name box (the
// same rules); its placements and its tree nodes follow.
void RenameSelectedObject(EditorState& state);
// "Удалить" in the object tree: the selected object goes; a placed one only
// when the user agrees, and its placements with it.
void DeleteSelectedObject(EditorState& state);
// "Модель" and a double click on the object tree: open the selected object,
// its camera at the origin.  False when no definition is selected.
bool OpenSelectedObject(EditorState& state);
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
// "Изменить" in the part tree: the part becomes the pending one, locked
// where it is, in the box editor, its texture chosen; committing it
// ("Создать" or a click) puts it back in its place.
void ChangePartInPlace(EditorState& state, qx::PartRef part);
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
// Ctrl+Z and Ctrl+Y / Ctrl+Shift+Z: the GL context current for the caches
// the document tells; the object view is left when its definition went.
void UndoLastEdit();
void RedoLastEdit();
