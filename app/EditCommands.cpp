#include "EditCommands.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QTreeWidget>

#include <algorithm>
#include <functional>
#include <memory>

#include "AskObjectName.h"
#include "Camera.h"
#include "DocTreeView.h"
#include "EditRecording.h"
#include "EditorState.h"
#include "GLEngine.h"
#include "HandlerGuard.h"
#include "MapCommands.h"
#include "ModelImport.h"
#include "Messages.h"
#include "ModelObjectEditorBox.h"
#include "ObjectEditor.h"
#include "NumberText.h"
#include "Picking.h"
#include "PrimitiveList.h"
#include "ProjectFiles.h"
#include "QX3DObject.h"
#include "QtText.h"
#include "TexturesSelectForm.h"
#include "TreeEdits.h"
#include "TreeWidgetAccess.h"
#include "Vantor.h"

namespace {

QTreeWidgetItem* SelectedNode(const QTreeWidget* tree)
{
    const QList<QTreeWidgetItem*> selected = tree->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

bool IsObjectNode(const std::string& text) { return !text.empty() && text[0] == '_'; }

// The object tree's current node names a definition (not a folder, not
// the player).
bool IsDefinitionNode(const std::string& text) { return IsObjectNode(text) && text != PlayerNodeText(); }

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

// The object tree's nodes of a definition (see qx::NodesOfObject).
std::vector<int> NodesOfObject(int node, const std::string& name)
{
    return qx::NodesOfObject(Editor().ObjectTree, node, name, Editor().FindObject(name) >= 0);
}

// The primitive the part tree's selected node names (see PartOfNode).
bool SelectedPart(const TFVantor& window, QTreeWidgetItem** node, ShapeKind& kind, int& index)
{
    *node = SelectedNode(window.OBJList);
    return PartOfNode(window, *node, kind, index);
}

// The pending primitive starts as the only one of a fresh list, following
// the cursor; `add` puts it there and returns its index.
void StartPlacing(ShapeKind kind, const std::function<int(TGLPremitives&)>& add)
{
    EditorState& state = Editor();
    if (!state.PendingPrimitive)
        return;
    // A primitive locked in place is dropped with the cursor's lock, as
    // "Мышка" does: the new one follows the cursor.
    // Made apart first: a reader's error leaves the pending primitive as it was.
    auto fresh = std::make_unique<TGLPremitives>();
    const int index = add(*fresh);
    if (FBoxEditor)
        FBoxEditor->show();
    state.ClickState = 0;
    state.ChangedPrimitive = -1;
    state.PendingPrimitive->Clear();
    state.PendingPrimitive->AddList();
    state.PendingPrimitive->Lists[0] = std::move(fresh);
    state.PendingKind = kind;
    state.PrimIndex = index;
    state.Placing = true;
    if (FBoxEditor)
        if (const ShapeFields shape = PendingShape())
            FBoxEditor->ShowShape(shape, *shape.Position);
}

}  // namespace

void AddStaticObject(TFVantor& window)
{
    EditorState& state = Editor();
    const int selected = state.ObjectTree.Current();
    if (selected < 0 || state.ObjectTree.Text(selected) == PlayerNodeText())
        return;
    std::string name;
    AskObjectName(name);  // switches the key hook off while the box is open
    if (name.empty())
        return;
    const qx::DocTree treeBefore = state.ObjectTree;
    const int32_t index = state.AddObject(name);
    // The new object is in sight and chosen, with its preview at the cursor,
    // as a click on it would make it.
    const bool added = qx::AddObjectNodes(state.ObjectTree, selected, name) >= 0;
    state.Events.Notify(qx::ObjectTreeChanged);
    if (added)
        ObjectListClick(window);
    RecordObjectAdded(index, treeBefore);
}

void RenameSelectedObject(TFVantor&)
{
    EditorState& state = Editor();
    const int32_t k = SelectedObject();
    if (k < 0 || RefusedWhileOpen(k, "Переименование объекта"))
        return;
    const int node = state.ObjectTree.Current();
    const std::string old = state.MapObjectNames[static_cast<size_t>(k)];
    std::string name;
    AskNewObjectName(name, old);  // switches the key hook off while the box is open
    if (name.empty() || name == old)
        return;
    const qx::DocTree treeBefore = state.ObjectTree;
    const std::string objectName = state.MapObjects[static_cast<size_t>(k)]->Name;
    const std::vector<int32_t> placements = state.PlacementsOf(k);
    state.SetObjectName(k, name, placements);
    qx::RenameNodes(state.ObjectTree, NodesOfObject(node, old), name);
    state.Events.Notify(qx::ObjectTreeChanged);
    RecordObjectRenamed(k, old, objectName, placements, treeBefore);
}

void DeleteSelectedObject(TFVantor& window)
{
    EditorState& state = Editor();
    const int32_t k = SelectedObject();
    if (k < 0 || RefusedWhileOpen(k, "Удаление объекта"))
        return;
    const int node = state.ObjectTree.Current();
    const std::vector<int32_t> placements = state.PlacementsOf(k);
    if (!placements.empty() &&
        !qx::Messages().AskYesNo(Cp("Удаление объекта"),
                                 Cp("Объект размещён ") + IntToEditText(static_cast<int32_t>(placements.size())) +
                                     Cp(" раз. Удалить вместе с размещениями?")))
        return;
    const qx::DocTree treeBefore = state.ObjectTree;
    const std::string name = state.MapObjectNames[static_cast<size_t>(k)];
    const std::shared_ptr<TQX3DObject> object = state.MapObjects[static_cast<size_t>(k)];
    std::vector<PlacementEntry> taken = state.TakePlacements(placements);
    state.RemoveObject(k);
    // The placements after those taken moved down: the selection goes.
    if (!placements.empty()) {
        state.Selection.clear();
        ShowSelection(window);
    }
    qx::RemoveNodes(state.ObjectTree, NodesOfObject(node, name));
    state.Events.Notify(qx::ObjectTreeChanged);
    // Nothing chosen, nothing at the cursor: a click places nothing.
    if (state.CursorPreview)
        state.CursorPreview->Clear();
    RecordObjectDeleted(window, k, name, object, std::move(taken), treeBefore);
}

void OpenObjectForEditing(TFVantor& window)
{
    EditorState& state = Editor();
    const int32_t k = SelectedObject();
    if (k < 0)
        return;
    state.ModelEditMode = true;
    window.ModelList->setVisible(true);
    window.ModelTimeLine->setVisible(true);
    if (state.Camera) {
        state.Camera->PosX = 0;
        state.Camera->PosZ = 0;
    }
    window.CamZoom->setValue(32);
    state.EditedModel->Clear();
    state.EditedDefinition = state.MapObjects[static_cast<size_t>(k)];
    state.EditedModel->Assign(*state.EditedDefinition);
    ListPartsOfEditedObject(window);
}

void LeaveObjectView(TFVantor& window)
{
    EditorState& state = Editor();
    state.PrimIndex = -1;
    state.ChangedPrimitive = -1;
    state.EditedDefinition.reset();
    state.Placing = false;
    state.PendingPrimitive->Clear();
    state.EditedModel->Clear();
    window.ModelList->setVisible(false);
    window.ModelTimeLine->setVisible(false);
    state.ModelEditMode = false;
    state.ClickState = 0;
    if (FBoxEditor)
        FBoxEditor->close();
}

void LeaveObjectViewUnsaved(TFVantor& window)
{
    EditorState& state = Editor();
    if (!state.ModelEditMode)
        return;
    const int32_t k = state.EditIndex();
    // What the object file would hold is what the user would lose.
    const bool changed =
        k >= 0 && qx::FormatObjectFile(*state.EditedModel) != qx::FormatObjectFile(*state.EditedDefinition);
    if (!changed) {
        LeaveObjectView(window);
        return;
    }
    if (!qx::Messages().AskYesNo(Cp("Выход без сохранения"),
                                 Cp("Изменения объекта \"") + state.MapObjectNames[static_cast<size_t>(k)] +
                                     Cp("\" не сохранены. Выйти без сохранения?")))
        return;
    // Undone, the view comes back with the work it held.
    RecordSessionEdit(window, "выход без сохранения", std::string(), nullptr, [&] { LeaveObjectView(window); });
}

void LeaveObjectViewIfGone(TFVantor& window)
{
    const EditorState& state = Editor();
    if (state.ModelEditMode && state.EditIndex() < 0)
        LeaveObjectView(window);
}

void ShowProjectReplaced(TFVantor& window)
{
    LeaveObjectViewIfGone(window);
    Editor().Selection.clear();
    ShowSelection(window);
    qx::OpenTopLevel(Editor().ObjectTree);
    qx::OpenTopLevel(Editor().MapTree);
    Editor().Events.Notify(qx::ObjectTreeChanged | qx::MapTreeChanged | qx::TextureTreeChanged);
}

void StoreEditedObject(TFVantor& window)
{
    EditorState& state = Editor();
    if (!state.EditedDefinition)
        return;
    // The definition may have left the list (a load, an undo): the view is
    // left without writing into any other object.
    if (state.EditIndex() < 0) {
        LeaveObjectView(window);
        return;
    }
    const std::shared_ptr<TQX3DObject> definition = state.EditedDefinition;
    RecordSessionEdit(window, "сохранение изменений объекта", std::string(), definition, [&] {
        definition->Assign(*state.EditedModel);
        LeaveObjectView(window);
    });
}

void DropPendingPrimitive()
{
    EditorState& state = Editor();
    if (state.PendingPrimitive)
        state.PendingPrimitive->Clear();
    state.Placing = false;
    state.ClickState = 0;
    state.ChangedPrimitive = -1;
}

ShapeFields PendingShape()
{
    const EditorState& state = Editor();
    if (!state.PendingPrimitive || state.PendingPrimitive->Lists.empty())
        return {};
    return FieldsOf(*state.PendingPrimitive->Lists[0], state.PendingKind, state.PrimIndex);
}

void StartPlacingShape(ShapeKind kind)
{
    if (IsModel(kind))
        return;
    const int32_t texture = FTexture ? FTexture->SelectedTexture : 0;
    StartPlacing(kind, [&](TGLPremitives& list) { return AddNewShape(list, kind, texture); });
}

void StartPlacingBox() { StartPlacingShape(ShapeKind::Box); }

void StartPlacingModel(ShapeKind kind, const std::string& fsPath)
{
    if (!IsModel(kind))
        return;
    // The model's pictures load with it.
    MakeEngineCurrent();
    StartPlacing(kind, [&](TGLPremitives& list) {
        return kind == ShapeKind::Model3ds ? list.AddModel3ds(fsPath, 0, 0, 0, 0, 0, 0, 1, 1, 1)
                                           : list.AddModelBlender(fsPath, 0, 0, 0, 0, 0, 0, 1, 1, 1);
    });
}

void DeleteSelectedPart(TFVantor& window)
{
    EditorState& state = Editor();
    if (!IsDefinitionNode(state.ObjectTree.CurrentText()))
        return;
    QTreeWidgetItem* node = nullptr;
    ShapeKind kind = ShapeKind::Box;
    int i = -1;
    if (!SelectedPart(window, &node, kind, i))
        return;
    RecordSessionEdit(window, EditLabel("удаление", kind), std::string(), nullptr, [&] {
        DeleteShape(*state.EditedModel->Lists[0], kind, i);
        state.EditedModel->BuildDisplayLists();
        delete node;
        // The primitive being changed keeps its place, or goes with its change.
        if (state.ChangedPrimitive < 0 || state.PendingKind != kind)
            return;
        if (state.ChangedPrimitive == i) {
            DropPendingPrimitive();
            if (FBoxEditor)
                FBoxEditor->close();
        } else if (state.ChangedPrimitive > i) {
            --state.ChangedPrimitive;
        }
    });
}

void ChangeSelectedPart(TFVantor& window)
{
    EditorState& state = Editor();
    if (!state.ModelEditMode || !state.PendingPrimitive)
        return;
    QTreeWidgetItem* node = nullptr;
    ShapeKind kind = ShapeKind::Box;
    int i = -1;
    if (!SelectedPart(window, &node, kind, i))
        return;
    const TGLPremitives& source = *state.EditedModel->Lists[0];
    StartPlacing(kind, [&](TGLPremitives& list) { return CopyShape(source, kind, i, list); });
    const ShapeFields shape = PendingShape();
    if (!shape)
        return;
    state.ChangedPrimitive = i;
    // Locked where it stands: the box editor's fields move it, the next
    // click or "Создать" puts it back.
    state.ClickState = 1;
    state.CursorWorld[0] = shape.Position->X;
    state.CursorWorld[1] = shape.Position->Y;
    state.CursorWorld[2] = shape.Position->Z;
    // The frame gives the pending primitive the chosen texture: its own
    // until the user picks another.
    if (FTexture && shape.Texture)
        FTexture->SelectedTexture = *shape.Texture;
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

void ShowObjectParameters(TFVantor&)
{
    const std::string text = Editor().ObjectTree.CurrentText();
    if (FOPos && IsDefinitionNode(text))
        FOPos->ShowObject(text);
}

void InstallEditCommands(TFVantor& window)
{
    TFVantor* w = &window;
    const auto on = [w](QAction* action, void (*command)(TFVantor&)) {
        QObject::connect(action, &QAction::triggered, w, [w, command] { Guarded([&] { command(*w); }); });
    };
    const auto onButton = [w](QPushButton* button, void (*command)(TFVantor&)) {
        QObject::connect(button, &QPushButton::clicked, w, [w, command] { Guarded([&] { command(*w); }); });
    };
    on(w->PopupMenu1->findChild<QAction*>("N4"), AddStaticObject);
    on(w->PopupMenu1->findChild<QAction*>("N35"), OpenObjectForEditing);
    on(w->PopupMenu1->findChild<QAction*>("N33"), ShowObjectParameters);
    on(w->PopupMenu1->findChild<QAction*>("N36"), RenameSelectedObject);
    on(w->PopupMenu1->findChild<QAction*>("N37"), DeleteSelectedObject);
    on(w->PopupMenu3->findChild<QAction*>("N39"), DeleteSelectedPart);
    on(w->PopupMenu3->findChild<QAction*>("N40"), ChangeSelectedPart);
    onButton(w->BitBtn2, StoreEditedObject);
    onButton(w->BitBtn3, LeaveObjectViewUnsaved);
    onButton(w->Button19, [](TFVantor&) { StartPlacingShape(ShapeKind::Box); });
    onButton(w->Button17, [](TFVantor&) { StartPlacingShape(ShapeKind::Floor); });
    onButton(w->Button18, [](TFVantor&) { StartPlacingShape(ShapeKind::Wall); });
    onButton(w->Button20, [](TFVantor&) { StartPlacingShape(ShapeKind::Sphere); });
    onButton(w->Button5, [](TFVantor&) { StartPlacingShape(ShapeKind::Torus); });
    onButton(w->Button4, [](TFVantor&) { DropPendingPrimitive(); });
    onButton(w->Button27, AddModel3ds);
    onButton(w->Button28, AddModelBlender);
    // The trees show the document's after every change of them; the user's
    // choice in a tree is such a change.
    const int observer = Editor().Events.Observe([w](uint32_t changes) {
        if (changes & qx::ObjectTreeChanged)
            w->ObjectTreeView->Show();
        if (changes & qx::MapTreeChanged)
            w->MapTreeView->Show();
        if ((changes & qx::TextureTreeChanged) && FTexture)
            FTexture->ShowTree();
    });
    QObject::connect(w->ObjectTreeView, &QObject::destroyed, [observer] { Editor().Events.Forget(observer); });
    w->ObjectTreeView->UserChanged = [] { Editor().Events.Notify(qx::ObjectTreeChanged); };
    w->MapTreeView->UserChanged = [] { Editor().Events.Notify(qx::MapTreeChanged); };
    QObject::connect(w->ObjectList, &QTreeWidget::itemClicked, w, [w] { Guarded([&] { ObjectListClick(*w); }); });
    QObject::connect(w->ObjectList, &QTreeWidget::itemDoubleClicked, w,
                     [w] { Guarded([&] { OpenObjectForEditing(*w); }); });
    QObject::connect(w->OBJList, &QTreeWidget::itemDoubleClicked, w,
                     [w] { Guarded([&] { ChangeSelectedPart(*w); }); });
}
