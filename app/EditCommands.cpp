#include "EditCommands.h"


#include <algorithm>
#include <functional>
#include <memory>

#include "AskObjectName.h"
#include "Camera.h"
#include "DocumentSteps.h"
#include "EditHistory.h"
#include "CountedWord.h"
#include "EditorState.h"
#include "GLEngine.h"
#include "MapCommands.h"
#include "Messages.h"
#include "Placing.h"
#include "SessionEdits.h"
#include "NumberText.h"
#include "PrimitiveList.h"
#include "ProjectFiles.h"
#include "QX3DObject.h"
#include "QtText.h"
#include "TextureEdits.h"
#include "TreeEdits.h"

namespace {

bool IsObjectNode(const std::string& text) { return !text.empty() && text[0] == '_'; }


// The definition of the object tree's current node, for the commands on a
// definition; -1 for no node, a folder, the player or a name not listed.
int32_t SelectedObject()
{
    const std::string text = Editor().ObjectTree.CurrentText();
    return IsDefinitionNode(text) ? Editor().FindObject(text) : -1;
}

// The object view works on a copy of the definition it opened: renaming or
// deleting that one under it would leave the copy nowhere to go.
bool RefusedWhileOpen(int32_t object, const char* utf8Caption)
{
    const EditorState& state = Editor();
    if (!state.ModelEditMode || state.EditIndex() != object)
        return false;
    qx::Messages().ShowMessage(Cp(utf8Caption), Cp("Объект \"") + state.MapObjectNames[static_cast<size_t>(object)] +
                                                    Cp("\" открыт для редактирования. Сначала сохраните "
                                                       "изменения или выйдите без сохранения."));
    return true;
}

}  // namespace

bool IsDefinitionNode(const std::string& text) { return IsObjectNode(text) && text != PlayerNodeText(); }

void AddStaticObject(EditorState& state)
{
    const int selected = state.ObjectTree.Current();
    if (selected < 0 || state.ObjectTree.Text(selected) == PlayerNodeText())
        return;
    std::string name;
    AskObjectName(name);  // switches the key hook off while the box is open
    if (name.empty())
        return;
    // The new object is in sight and chosen, with its preview at the cursor,
    // as a click on it would make it.
    qx::AddObjectDefinition(state, selected, name);
    if (state.ObjectTree.CurrentText() == name)
        ObjectListClick();
}

void RenameSelectedObject(EditorState& state)
{
    const int32_t k = SelectedObject();
    if (k < 0 || RefusedWhileOpen(k, "Переименование объекта"))
        return;
    const int node = state.ObjectTree.Current();
    const std::string old = state.MapObjectNames[static_cast<size_t>(k)];
    std::string name;
    AskNewObjectName(name, old);  // switches the key hook off while the box is open
    qx::RenameObjectDefinition(state, k, node, name);
}

void DeleteSelectedObject(EditorState& state)
{
    const int32_t k = SelectedObject();
    if (k < 0 || RefusedWhileOpen(k, "Удаление объекта"))
        return;
    const int node = state.ObjectTree.Current();
    const std::vector<int32_t> placements = state.PlacementsOf(k);
    if (!placements.empty() &&
        !qx::Messages().AskYesNo(Cp("Удаление объекта"),
                                 Cp("Объект размещён ") +
                                     qx::CountedWord(static_cast<long long>(placements.size()), Cp("раз"),
                                                     Cp("раза"), Cp("раз")) +
                                     Cp(". Удалить вместе с размещениями?")))
        return;
    qx::DeleteObjectDefinition(state, k, node);
}

bool OpenSelectedObject(EditorState& state)
{
    const int32_t k = SelectedObject();
    if (k < 0)
        return false;
    qx::OpenForEditing(state, state.MapObjects[static_cast<size_t>(k)]);
    if (state.Camera) {
        state.Camera->PosX = 0;
        state.Camera->PosZ = 0;
    }
    return true;
}

void LeaveObjectViewUnsaved(EditorState& state)
{
    if (!state.ModelEditMode)
        return;
    const int32_t k = state.EditIndex();
    if (!qx::WorkingCopyChanged(state)) {
        qx::LeaveObjectView(state);
        return;
    }
    if (qx::Messages().AskYesNo(Cp("Выход без сохранения"),
                                Cp("Изменения объекта \"") + state.MapObjectNames[static_cast<size_t>(k)] +
                                    Cp("\" не сохранены. Выйти без сохранения?")))
        qx::LeaveUnsaved(state);
}

void ShowProjectReplaced(EditorState& state)
{
    qx::LeaveObjectViewIfGone(state);
    // Nothing of the project left stays chosen: no object on the cursor,
    // no selection.
    ClearSelectionAndPlacing(state);
    qx::OpenTopLevel(state.ObjectTree);
    qx::OpenTopLevel(state.MapTree);
    qx::TreesReplaced(state);
}

void StartPlacingShape(EditorState& state, ShapeKind kind)
{
    qx::StartPlacingShape(state, kind, state.SelectedTexture);
}

void StartPlacingModel(EditorState& state, ShapeKind kind, const std::string& fsPath)
{
    if (!IsModel(kind))
        return;
    // The model's pictures load with it.  Made apart first: a reader's
    // error leaves the pending primitive as it was.
    MakeEngineCurrent();
    auto fresh = std::make_unique<TGLPremitives>();
    const int index = kind == ShapeKind::Model3ds ? fresh->AddModel3ds(fsPath, 0, 0, 0, 0, 0, 0, 1, 1, 1)
                                                  : fresh->AddModelBlender(fsPath, 0, 0, 0, 0, 0, 0, 1, 1, 1);
    qx::StartPlacing(state, kind, std::move(fresh), index);
}

void ChangePartInPlace(EditorState& state, qx::PartRef part)
{
    if (!qx::ChangePart(state, part))
        return;
    const ShapeFields shape = qx::PendingFields(state);
    // The frame gives the pending primitive the chosen texture: its own
    // until the user picks another.
    if (shape.Texture)
        qx::ChooseTexture(state, *shape.Texture);
}

ChangedPrimitiveHidden::ChangedPrimitiveHidden()
{
    const EditorState& state = Editor();
    if (!state.ModelEditMode || state.ChangedPrimitive < 0 || !state.EditedModel || state.EditedModel->ListCount == 0)
        return;
    TGLPremitives& list = *state.EditedModel->Lists[0];
    if (state.ChangedPrimitive >= ShapeCount(list, state.PendingKind))
        return;
    index_ = state.ChangedPrimitive;
    kind_ = state.PendingKind;
    HideShape(list, kind_, index_, true);
}

ChangedPrimitiveHidden::~ChangedPrimitiveHidden()
{
    if (index_ >= 0)
        HideShape(*Editor().EditedModel->Lists[0], kind_, index_, false);
}

void UndoLastEdit()
{
    MakeEngineCurrent();
    EditHistory().Undo();
    qx::LeaveObjectViewIfGone(Editor());
    qx::KeepSelectionValid(Editor());
}

void RedoLastEdit()
{
    MakeEngineCurrent();
    EditHistory().Redo();
    qx::LeaveObjectViewIfGone(Editor());
    qx::KeepSelectionValid(Editor());
}
