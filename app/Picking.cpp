#include "Picking.h"

#include <QGuiApplication>
#include <QSignalBlocker>
#include <QSlider>
#include <QTreeWidget>

#include "Camera.h"
#include "EditRecording.h"
#include "EditorState.h"
#include "MapCommands.h"
#include "ModelObjectEditorBox.h"
#include "NumberText.h"
#include "PrimitiveList.h"
#include "QX3DObject.h"
#include "QtText.h"
#include "TreeWidgetAccess.h"
#include "Vantor.h"

namespace {

QTreeWidgetItem* SelectedNode(const QTreeWidget* tree)
{
    const QList<QTreeWidgetItem*> selected = tree->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

bool InEditMode(const EditorState& state) { return state.Camera && state.Camera->EditMode != 0; }

void SnapCursor(EditorState& state)
{
    state.CursorWorld[0] = SnapX(static_cast<float>(state.CursorWorld[0]));
    state.CursorWorld[1] = SnapY(static_cast<float>(state.CursorWorld[1]));
    state.CursorWorld[2] = SnapZ(static_cast<float>(state.CursorWorld[2]));
}

// A box taken in with "Изменить" goes back to its place in list 0, whole,
// and the view stops shaping it (it is no new box to place again).
void CommitChangedBox(TFVantor& window, EditorState& state)
{
    TQX3DObject* pending = state.PendingPrimitive;
    TQX3DObject* edited = state.EditedModel;
    const int32_t i = state.ChangedBox;
    if (!pending || !edited || pending->Lists.empty() || edited->ListCount == 0 ||
        state.PrimIndex >= pending->Lists[0]->BoxCount || i >= edited->Lists[0]->BoxCount)
        return;
    edited->Lists[0]->Boxes[static_cast<size_t>(i)] = pending->Lists[0]->Boxes[static_cast<size_t>(state.PrimIndex)];
    edited->BuildDisplayLists();
    pending->Clear();
    state.Placing = false;
    state.ChangedBox = -1;
    if (FBoxEditor)
        FBoxEditor->close();
    if (QTreeWidgetItem* folder = PrimitivesFolder(window); folder && i < folder->childCount())
        window.OBJList->setCurrentItem(folder->child(i));
}

// The pending box joins the list the time line selects of the edited object,
// with its render modes, and gets its node "N - [к]_Коробка" under
// "+Примитивы" of the part tree.
void CommitPendingBox(TFVantor& window, EditorState& state)
{
    // The box goes where the lock holds it, also when no frame has moved it
    // there since the lock or a typed position.
    if (TQX3DObject* pending = state.PendingPrimitive;
        pending && !pending->Lists.empty() && state.PrimIndex >= 0 && state.PrimIndex < pending->Lists[0]->BoxCount)
        pending->Lists[0]->Boxes[static_cast<size_t>(state.PrimIndex)].Position =
            TVec3{static_cast<float>(state.CursorWorld[0]), static_cast<float>(state.CursorWorld[1]),
                  static_cast<float>(state.CursorWorld[2])};
    if (state.ChangedBox >= 0) {
        CommitChangedBox(window, state);
        return;
    }
    TQX3DObject* pending = state.PendingPrimitive;
    TQX3DObject* edited = state.EditedModel;
    const int list = window.line->value();
    if (!pending || !edited || pending->Lists.empty() || list < 0 || list >= edited->ListCount)
        return;
    const TGLPremitives& source = *pending->Lists[0];
    if (state.PrimIndex >= source.BoxCount)
        return;
    const TBox p = source.Boxes[static_cast<size_t>(state.PrimIndex)];
    TGLPremitives& target = *edited->Lists[static_cast<size_t>(list)];
    const int16_t n = target.AddBox(p.Texture, p.Position.X, p.Position.Y, p.Position.Z, p.Size.X, p.Size.Y,
                                    p.Size.Z, p.Tiling, p.Rotation.X, p.Rotation.Y, p.Rotation.Z);
    TBox& added = target.Boxes[static_cast<size_t>(n)];
    added.BlendEquation = p.BlendEquation;
    added.BlendMode = p.BlendMode;
    added.CullFront = p.CullFront;

    if (QTreeWidgetItem* folder = PrimitivesFolder(window)) {
        QTreeWidgetItem* node = AddBoxNode(window, folder, n);
        // The user sees what was just made.
        folder->setExpanded(true);
        window.OBJList->setCurrentItem(node);
    }
}

}  // namespace

QTreeWidgetItem* PrimitivesFolder(const TFVantor& window)
{
    static const std::string primitives = Cp("+Примитивы");
    return NodeAtAbsoluteIndex(window.OBJList, FindNodeByText(primitives, window.OBJList));
}

QTreeWidgetItem* AddBoxNode(TFVantor& window, QTreeWidgetItem* folder, int n)
{
    static const std::string boxText = Cp("[к]_Коробка");
    QTreeWidgetItem* node = AddNode(window.OBJList, folder, boxText);
    SetNodeIcons(node, NodeIcon(folder), folder->data(0, NodeSelectedIconRole).toInt());
    SetNodeText(node, IntToEditText(n) + " - " + boxText);
    return node;
}

void ListBoxesOfEditedObject(TFVantor& window)
{
    QTreeWidgetItem* folder = PrimitivesFolder(window);
    const TQX3DObject* edited = Editor().EditedModel;
    if (!folder || !edited)
        return;
    const QSignalBlocker quiet(window.OBJList);
    qDeleteAll(folder->takeChildren());
    if (edited->ListCount > 0)
        for (int n = 0; n < edited->Lists[0]->BoxCount; ++n)
            AddBoxNode(window, folder, n);
    folder->setExpanded(true);
}

int FindNodeByText(const std::string& text, const QTreeWidget* tree)
{
    const std::vector<QTreeWidgetItem*> items = ItemsInDisplayOrder(tree);
    for (size_t i = items.size(); i-- > 0;)
        if (NodeText(items[i]) == text)
            return static_cast<int>(i);
    return -1;
}

QTreeWidgetItem* NodeAtAbsoluteIndex(const QTreeWidget* tree, int index)
{
    if (index < 0)
        return nullptr;
    const std::vector<QTreeWidgetItem*> items = ItemsInDisplayOrder(tree);
    return static_cast<size_t>(index) < items.size() ? items[static_cast<size_t>(index)] : nullptr;
}

void SceneClick(TFVantor& window)
{
    EditorState& state = Editor();
    if (!InEditMode(state))
        return;
    // Nothing under the mouse and no grid plane near: no place to put
    // anything (a second click of a locked box uses the lock, not the mouse).
    const auto refusedForNothing = [&] {
        if (!state.CursorOnNothing)
            return false;
        static const std::string nothing = Cp("Под курсором ничего нет");
        window.ShowStatusMessage(nothing);
        return true;
    };
    if (!state.ModelEditMode) {
        const QTreeWidgetItem* node = SelectedNode(window.ObjectList);
        const std::string text = node ? NodeText(node) : std::string();
        // Nothing being placed: the click selects what is drawn under it.
        if (text.find('_') == std::string::npos) {
            SelectAtMouse(window, QGuiApplication::keyboardModifiers() & Qt::ShiftModifier);
            return;
        }
        if (refusedForNothing())
            return;
        window.ShowStatusMessage(std::string());
        const float x = SnapX(static_cast<float>(state.CursorWorld[0]));
        const float y = SnapY(static_cast<float>(state.CursorWorld[1]));
        const float z = SnapZ(static_cast<float>(state.CursorWorld[2]));
        if (text != PlayerNodeText())
            RecordPlacementAdded(state.AddPlacement(text, TPlacement{x, y, z, 0, 0, 0, 1, 1, 1}));
        // A text that holds the player's name without being it does both.
        if (text.find(PlayerNodeText()) != std::string::npos) {
            const float before[3] = {state.PlayerPos[0], state.PlayerPos[1], state.PlayerPos[2]};
            state.PlayerPos[0] = x;
            state.PlayerPos[1] = y;
            state.PlayerPos[2] = z;
            RecordPlayerMoved(before);
        }
        return;
    }
    if (state.PrimIndex >= 0 && state.ClickState == 0 && refusedForNothing())
        return;
    window.ShowStatusMessage(std::string());
    if (state.PrimIndex < 0)
        return;
    if (state.ClickState == 0) {
        SnapCursor(state);
        state.ClickState = 1;
        return;
    }
    const auto finish = [&] {
        if (state.ClickState == 1)
            state.ClickState = 2;
        if (state.ClickState == 2) {
            if (state.Placing)
                CommitPendingBox(window, state);
            state.ClickState = 0;
        }
        if (state.Placing && state.EditedModel)
            state.EditedModel->BuildDisplayLists();
    };
    // Only the click that adds (or puts back) a box changes the project.
    if (state.Placing)
        RecordSessionEdit(window, state.ChangedBox >= 0 ? "изменение коробки" : "добавление коробки", std::string(),
                          nullptr, finish);
    else
        finish();
}

void SceneDblClick(TFVantor& window)
{
    EditorState& state = Editor();
    if (state.ClickState != 1)
        return;
    SnapCursor(state);
    state.ClickState = 2;
    SceneClick(window);
}

void ObjectListClick(TFVantor& window)
{
    EditorState& state = Editor();
    const QTreeWidgetItem* node = SelectedNode(window.ObjectList);
    if (!node)
        return;
    const std::string text = NodeText(node);
    if (text.empty() || text[0] != '_')
        return;
    if (!state.CursorPreview) {
        state.CursorPreview = new TQX3DObject("ObjTempMap");
        state.CursorPreview->AddList();
    }
    state.CursorPreview->Clear();
    if (text == PlayerNodeText()) {
        if (state.PlayerMarker)
            state.CursorPreview->Assign(*state.PlayerMarker);
        return;
    }
    const int32_t k = state.FindObject(text);
    if (k >= 0)
        state.CursorPreview->Assign(*state.MapObjects[static_cast<size_t>(k)]);
}
