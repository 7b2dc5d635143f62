#include "EditControls.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QTreeWidget>

#include <functional>
#include <memory>

#include "BoxEditor.h"
#include "DocTreeView.h"
#include "EditCommands.h"
#include "EditorState.h"
#include "FrameLoop.h"
#include "GLEngine.h"
#include "HandlerGuard.h"
#include "ModelImport.h"
#include "ObjectSettings.h"
#include "PartTree.h"
#include "Placing.h"
#include "PrimitiveList.h"
#include "QX3DObject.h"
#include "SessionEdits.h"
#include "TreeWidgetAccess.h"
#include "Vantor.h"
#include "Wiring.h"

namespace {

QTreeWidgetItem* SelectedNode(const QTreeWidget* tree)
{
    const QList<QTreeWidgetItem*> selected = tree->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

// The primitive the part tree's selected node names (see PartOfNode).
bool SelectedPart(const TFVantor& window, QTreeWidgetItem** node, ShapeKind& kind, int& index)
{
    *node = SelectedNode(window.OBJList);
    return PartOfNode(window, *node, kind, index);
}

// What the object view's widgets show of the session, kept to tell what a
// change brought.
struct SessionShown {
    bool open = false;
    std::weak_ptr<TQX3DObject> definition;
    const TGLPremitives* pending = nullptr;
    bool placing = false;
};

// The object view's widgets follow the session: the view's panels and part
// tree, the box editor, and the GL side of what the view draws.  The
// working copy is drawn from its lists, so only what those call is made
// (spheres' lists, models' pictures); a definition stored into is drawn on
// the map from buffers of its new content.  A new pending primitive
// (its list made anew) brings the box editor up, as the shape buttons do;
// it closes when the view is left or a change to the working copy ended the
// placing (a part put back, or deleted while being changed), not for
// "Мышка".
void ShowSession(TFVantor& window, SessionShown& shown, uint32_t changes)
{
    // Other news (the history's step pushed inside a session change) can
    // come first: what was shown is what the session change compares with.
    if (!(changes & (qx::SessionChanged | qx::PendingChanged)))
        return;
    EditorState& state = Editor();
    if (changes & qx::SessionChanged) {
        window.ModelList->setVisible(state.ModelEditMode);
        window.ModelTimeLine->setVisible(state.ModelEditMode);
        if (state.ModelEditMode) {
            ListPartsOfEditedObject(window, !shown.open || shown.definition.lock() != state.EditedDefinition);
            MakeEngineCurrent();
            for (const auto& list : state.EditedModel->Lists)
                list->PrepareDrawing();
        } else if (const auto stored = shown.definition.lock(); stored && (changes & qx::ObjectsChanged)) {
            MakeEngineCurrent();
            stored->BuildDisplayLists();
        }
    }
    const TGLPremitives* pending =
        state.PendingPrimitive && !state.PendingPrimitive->Lists.empty() ? state.PendingPrimitive->Lists[0].get()
                                                                        : nullptr;
    if (BoxEditorWindow()) {
        if (state.Placing && pending != shown.pending)
            BoxEditorWindow()->show();
        else if ((shown.open && !state.ModelEditMode) ||
                 (shown.placing && !state.Placing && (changes & qx::SessionChanged)))
            BoxEditorWindow()->close();
    }
    // The frame marks every change for its present step.  A command that
    // opened the view or brought a new primitive shows it at once (whichever
    // observer is told first): the fields the user types into next must be
    // that primitive's.  Changes of values wait for the frame.
    if (pending != shown.pending || (changes & qx::SessionChanged)) {
        MarkForPresentation(changes);
        PresentNow();
    }
    shown = {state.ModelEditMode, state.EditedDefinition, pending, state.Placing};
}

}  // namespace

void OpenObjectForEditing(TFVantor& window)
{
    if (OpenSelectedObject(Editor()))
        window.CamZoom->setValue(32);
}

void DeleteSelectedPart(TFVantor& window)
{
    if (!IsDefinitionNode(Editor().ObjectTree.CurrentText()))
        return;
    QTreeWidgetItem* node = nullptr;
    ShapeKind kind = ShapeKind::Box;
    int i = -1;
    if (SelectedPart(window, &node, kind, i))
        qx::DeletePart(Editor(), {kind, i});
}

void ChangeSelectedPart(TFVantor& window)
{
    QTreeWidgetItem* node = nullptr;
    ShapeKind kind = ShapeKind::Box;
    int i = -1;
    if (SelectedPart(window, &node, kind, i))
        ChangePartInPlace(Editor(), {kind, i});
}

void ShowObjectParameters()
{
    const std::string text = Editor().ObjectTree.CurrentText();
    if (ObjectSettingsWindow() && IsDefinitionNode(text))
        ObjectSettingsWindow()->ShowObject(text);
}

namespace {

// A texture edit renumbered primitives: what the map draws of them from
// buffers is built again, and the preview on the cursor is copied again
// from its definition.
void RedrawRenumbered()
{
    EditorState& state = Editor();
    bool rebuilt = false;
    for (int32_t i = 0; i < state.MapObjectCount; ++i) {
        TQX3DObject& object = *state.MapObjects[static_cast<size_t>(i)];
        if (!object.DrawingStale())
            continue;
        MakeEngineCurrent();
        object.BuildDisplayLists();
        rebuilt = true;
    }
    if (rebuilt && state.CursorPreview && state.CursorPreview->ListCount > 0)
        ShowChosenObject();
}

}  // namespace

void InstallEditCommands(TFVantor& window)
{
    TFVantor* w = &window;
    // The window's widgets show the session from now on, until it goes.
    // The observer is copied while it is told: what it showed lives apart.
    auto shown = std::make_shared<SessionShown>();
    const int observer = Editor().Events.Observe([w, shown](uint32_t changes) { ShowSession(*w, *shown, changes); });
    QObject::connect(w, &QObject::destroyed, [observer] { Editor().Events.Forget(observer); });
    const auto on = [w](QAction* action, std::function<void()> command) {
        QObject::connect(action, &QAction::triggered, w, [command] { Guarded(command); });
    };
    const auto onButton = [w](QPushButton* button, std::function<void()> command) {
        QObject::connect(button, &QPushButton::clicked, w, [command] { Guarded(command); });
    };
    on(w->PopupMenu1->findChild<QAction*>("N4"), [w] { AddStaticObject(Editor()); });
    on(w->PopupMenu1->findChild<QAction*>("N35"), [w] { OpenObjectForEditing(*w); });
    on(w->PopupMenu1->findChild<QAction*>("N33"), ShowObjectParameters);
    on(w->PopupMenu1->findChild<QAction*>("N36"), [] { RenameSelectedObject(Editor()); });
    on(w->PopupMenu1->findChild<QAction*>("N37"), [] { DeleteSelectedObject(Editor()); });
    on(w->PopupMenu3->findChild<QAction*>("N39"), [w] { DeleteSelectedPart(*w); });
    on(w->PopupMenu3->findChild<QAction*>("N40"), [w] { ChangeSelectedPart(*w); });
    onButton(w->BitBtn2, [] { qx::StoreWorkingCopy(Editor()); });
    onButton(w->BitBtn3, [] { LeaveObjectViewUnsaved(Editor()); });
    onButton(w->Button19, [] { StartPlacingShape(Editor(), ShapeKind::Box); });
    onButton(w->Button17, [] { StartPlacingShape(Editor(), ShapeKind::Floor); });
    onButton(w->Button18, [] { StartPlacingShape(Editor(), ShapeKind::Wall); });
    onButton(w->Button20, [] { StartPlacingShape(Editor(), ShapeKind::Sphere); });
    onButton(w->Button5, [] { StartPlacingShape(Editor(), ShapeKind::Torus); });
    onButton(w->Button4, [] { qx::DropPending(Editor()); });
    onButton(w->Button27, AddModel3ds);
    onButton(w->Button28, AddModelBlender);
    // The trees show the document's after every change of them; the user's
    // choice in a tree is such a change.
    auto chosen = std::make_shared<ChosenObject>();
    const int treeObserver = Editor().Events.Observe([w, chosen](uint32_t changes) {
        if (changes & qx::ObjectTreeChanged) {
            w->ObjectTreeView->Show();
            FollowChosenObject(*chosen);
        }
        if (changes & qx::MapTreeChanged)
            w->MapTreeView->Show();
        if (changes & qx::TexturesChanged)
            RedrawRenumbered();
    });
    QObject::connect(w->ObjectTreeView, &QObject::destroyed, [treeObserver] { Editor().Events.Forget(treeObserver); });
    w->ObjectTreeView->UserChanged = [] { qx::TreeChanged(Editor(), Editor().ObjectTree); };
    w->MapTreeView->UserChanged = [] { qx::TreeChanged(Editor(), Editor().MapTree); };
    QObject::connect(w->ObjectList, &QTreeWidget::itemClicked, w, [] { Guarded(ObjectListClick); });
    QObject::connect(w->ObjectList, &QTreeWidget::itemDoubleClicked, w,
                     [w] { Guarded([&] { OpenObjectForEditing(*w); }); });
    QObject::connect(w->OBJList, &QTreeWidget::itemDoubleClicked, w,
                     [w] { Guarded([&] { ChangeSelectedPart(*w); }); });
}
