#include "Picking.h"

#include <QGuiApplication>
#include <QSignalBlocker>
#include <QSlider>
#include <QTreeWidget>

#include <span>

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

bool InEditMode(const EditorState& state) { return state.Camera && state.Camera->EditMode != 0; }

void SnapCursor(EditorState& state)
{
    state.CursorWorld[0] = SnapX(static_cast<float>(state.CursorWorld[0]));
    state.CursorWorld[1] = SnapY(static_cast<float>(state.CursorWorld[1]));
    state.CursorWorld[2] = SnapZ(static_cast<float>(state.CursorWorld[2]));
}

// The kinds each folder of the part tree lists, in their order.
constexpr ShapeKind kShapeKinds[] = {ShapeKind::Box, ShapeKind::Sphere, ShapeKind::Torus, ShapeKind::Floor,
                                     ShapeKind::Wall};
constexpr ShapeKind kModelKinds[] = {ShapeKind::Model3ds, ShapeKind::ModelBlender};

std::span<const ShapeKind> KindsOfFolder(ShapeKind kind)
{
    if (IsModel(kind))
        return kModelKinds;
    return kShapeKinds;
}

QTreeWidgetItem* FolderOf(const TFVantor& window, ShapeKind kind)
{
    return IsModel(kind) ? ModelsFolder(window) : PrimitivesFolder(window);
}

// A primitive taken in with "Изменить" goes back to its place in list 0,
// whole, and the view stops shaping it (it is no new one to place again).
void CommitChangedPrimitive(TFVantor& window, EditorState& state)
{
    TQX3DObject* pending = state.PendingPrimitive;
    TQX3DObject* edited = state.EditedModel;
    const int32_t i = state.ChangedPrimitive;
    if (!pending || !edited || pending->Lists.empty() || edited->ListCount == 0)
        return;
    pending->Lists[0]->PrepareDrawing();
    if (CopyShape(*pending->Lists[0], state.PendingKind, state.PrimIndex, *edited->Lists[0], i) < 0)
        return;
    edited->BuildDisplayLists();
    pending->Clear();
    state.Placing = false;
    state.ChangedPrimitive = -1;
    if (FBoxEditor)
        FBoxEditor->close();
    ShapeKind kind;
    int index = 0;
    if (QTreeWidgetItem* folder = FolderOf(window, state.PendingKind))
        for (int n = 0; n < folder->childCount(); ++n)
            if (PartOfNode(window, folder->child(n), kind, index) && kind == state.PendingKind && index == i)
                window.OBJList->setCurrentItem(folder->child(n));
}

// The pending primitive joins the list the time line selects of the edited
// object, whole (a box with its render modes), and gets its node in the part
// tree.
void CommitPendingPrimitive(TFVantor& window, EditorState& state)
{
    // It goes where the lock holds it, also when no frame has moved it
    // there since the lock or a typed position.
    if (TQX3DObject* pending = state.PendingPrimitive; pending && !pending->Lists.empty())
        if (const ShapeFields f = FieldsOf(*pending->Lists[0], state.PendingKind, state.PrimIndex))
            *f.Position = TVec3{static_cast<float>(state.CursorWorld[0]), static_cast<float>(state.CursorWorld[1]),
                                static_cast<float>(state.CursorWorld[2])};
    if (state.ChangedPrimitive >= 0) {
        CommitChangedPrimitive(window, state);
        return;
    }
    TQX3DObject* pending = state.PendingPrimitive;
    TQX3DObject* edited = state.EditedModel;
    const int list = window.line->value();
    if (!pending || !edited || pending->Lists.empty() || list < 0 || list >= edited->ListCount)
        return;
    pending->Lists[0]->PrepareDrawing();
    const int n = CopyShape(*pending->Lists[0], state.PendingKind, state.PrimIndex,
                            *edited->Lists[static_cast<size_t>(list)]);
    // The part tree lists list 0.
    if (n < 0 || list != 0)
        return;
    if (QTreeWidgetItem* node = AddPartNode(window, state.PendingKind, n)) {
        // The user sees what was just made.
        node->parent()->setExpanded(true);
        window.OBJList->setCurrentItem(node);
    }
}

}  // namespace

QTreeWidgetItem* PrimitivesFolder(const TFVantor& window)
{
    static const std::string primitives = Cp("+Примитивы");
    return NodeAtAbsoluteIndex(window.OBJList, FindNodeByText(primitives, window.OBJList));
}

QTreeWidgetItem* ModelsFolder(const TFVantor& window)
{
    static const std::string models = Cp("+Модели");
    QTreeWidgetItem* folder = NodeAtAbsoluteIndex(window.OBJList, FindNodeByText(models, window.OBJList));
    return folder && NodeText(folder).find('+') != std::string::npos ? folder : nullptr;
}

QTreeWidgetItem* AddPartNode(TFVantor& window, ShapeKind kind, int n)
{
    QTreeWidgetItem* folder = FolderOf(window, kind);
    const TQX3DObject* edited = Editor().EditedModel;
    if (!folder || !edited || edited->ListCount == 0)
        return nullptr;
    const TGLPremitives& list = *edited->Lists[0];
    int place = n;
    for (ShapeKind before : KindsOfFolder(kind)) {
        if (before == kind)
            break;
        place += ShapeCount(list, before);
    }
    const std::string text = PartNodeText(list, kind, n);
    QTreeWidgetItem* node = AddNode(window.OBJList, folder, text);
    SetNodeIcons(node, NodeIcon(folder), folder->data(0, NodeSelectedIconRole).toInt());
    SetNodeText(node, IntToEditText(n) + " - " + text);
    if (place < folder->childCount() - 1)
        folder->insertChild(place, folder->takeChild(folder->childCount() - 1));
    return node;
}

bool PartOfNode(const TFVantor& window, const QTreeWidgetItem* node, ShapeKind& kind, int& index)
{
    const TQX3DObject* edited = Editor().EditedModel;
    if (!node || !node->parent() || !edited || edited->ListCount == 0)
        return false;
    QTreeWidgetItem* folder = node->parent();
    std::span<const ShapeKind> kinds;
    if (folder == PrimitivesFolder(window))
        kinds = kShapeKinds;
    else if (folder == ModelsFolder(window))
        kinds = kModelKinds;
    else
        return false;
    int place = folder->indexOfChild(const_cast<QTreeWidgetItem*>(node));
    for (ShapeKind k : kinds) {
        const int count = ShapeCount(*edited->Lists[0], k);
        if (place < count) {
            kind = k;
            index = place;
            return true;
        }
        place -= count;
    }
    return false;
}

void ListPartsOfEditedObject(TFVantor& window)
{
    const TQX3DObject* edited = Editor().EditedModel;
    if (!edited)
        return;
    const QSignalBlocker quiet(window.OBJList);
    for (QTreeWidgetItem* folder : {PrimitivesFolder(window), ModelsFolder(window)})
        if (folder) {
            qDeleteAll(folder->takeChildren());
            folder->setExpanded(true);
        }
    if (edited->ListCount == 0)
        return;
    for (const auto kinds : {std::span<const ShapeKind>(kShapeKinds), std::span<const ShapeKind>(kModelKinds)})
        for (ShapeKind kind : kinds)
            for (int n = 0; n < ShapeCount(*edited->Lists[0], kind); ++n)
                AddPartNode(window, kind, n);
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
        const std::string text = state.ObjectTree.CurrentText();
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
                CommitPendingPrimitive(window, state);
            state.ClickState = 0;
        }
        if (state.Placing && state.EditedModel)
            state.EditedModel->BuildDisplayLists();
    };
    // Only the click that adds (or puts back) a primitive changes the project.
    if (state.Placing)
        RecordSessionEdit(window, EditLabel(state.ChangedPrimitive >= 0 ? "изменение" : "добавление", state.PendingKind),
                          std::string(), nullptr, finish);
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

void ObjectListClick(TFVantor&)
{
    EditorState& state = Editor();
    const std::string text = state.ObjectTree.CurrentText();
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
