#include "EditCommands.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QTreeWidget>

#include "AskObjectName.h"
#include "Camera.h"
#include "EditRecording.h"
#include "EditorState.h"
#include "HandlerGuard.h"
#include "MapCommands.h"
#include "ModelObjectEditorBox.h"
#include "ObjectEditor.h"
#include "NumberText.h"
#include "Picking.h"
#include "PrimitiveList.h"
#include "QX3DObject.h"
#include "QtText.h"
#include "TexturesSelectForm.h"
#include "TreeWidgetAccess.h"
#include "Vantor.h"

namespace {

QTreeWidgetItem* SelectedNode(const QTreeWidget* tree)
{
    const QList<QTreeWidgetItem*> selected = tree->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

bool IsObjectNode(const std::string& text) { return !text.empty() && text[0] == '_'; }

void CopyIcons(QTreeWidgetItem* to, const QTreeWidgetItem* from)
{
    SetNodeIcons(to, NodeIcon(from), from->data(0, NodeSelectedIconRole).toInt());
}

// The model node of "+ 3DS" and "+ Blender": under "+Модели", numbered by its
// place among its siblings.
void AddModelNode(TFVantor& window, const char* utf8Text)
{
    static const std::string models = Cp("+Модели");
    QTreeWidgetItem* folder = NodeAtAbsoluteIndex(window.OBJList, FindNodeByText(models, window.OBJList));
    if (!folder || NodeText(folder).find('+') == std::string::npos)
        return;
    const std::string text = Cp(utf8Text);
    QTreeWidgetItem* node = AddNode(window.OBJList, folder, text);
    CopyIcons(node, folder);
    SetNodeText(node, IntToEditText(folder->indexOfChild(node)) + " - " + text);
}

}  // namespace

void AddStaticObject(TFVantor& window)
{
    EditorState& state = Editor();
    QTreeWidgetItem* selected = SelectedNode(window.ObjectList);
    if (!selected)
        return;
    const std::string selectedText = NodeText(selected);
    if (selectedText == PlayerNodeText())
        return;
    std::string name;
    AskObjectName(name);  // switches the key hook off while the box is open
    if (name.empty())
        return;
    const TreeSnapshot treeBefore = CaptureTree(window.ObjectList);
    const int32_t index = state.AddObject(name);
    QTreeWidgetItem* added = nullptr;
    if (selectedText.find('+') != std::string::npos) {
        added = AddNode(window.ObjectList, selected, name);
        CopyIcons(added, selected);
    }
    if (selectedText.find('_') != std::string::npos) {
        added = AddNode(window.ObjectList, selected->parent(), name);
        CopyIcons(added, selected);
    }
    // The new object is in sight and chosen, with its preview at the cursor,
    // as a click on it would make it.
    if (added) {
        for (QTreeWidgetItem* p = added->parent(); p; p = p->parent())
            p->setExpanded(true);
        window.ObjectList->setCurrentItem(added);
        ObjectListClick(window);
    }
    RecordObjectAdded(window, index, treeBefore);
}

void OpenObjectForEditing(TFVantor& window)
{
    EditorState& state = Editor();
    const QTreeWidgetItem* selected = SelectedNode(window.ObjectList);
    if (!selected)
        return;
    const std::string text = NodeText(selected);
    if (!IsObjectNode(text) || text == PlayerNodeText())
        return;
    const int32_t k = state.FindObject(text);
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
    ListBoxesOfEditedObject(window);
}

void LeaveObjectView(TFVantor& window)
{
    EditorState& state = Editor();
    state.PrimIndex = -1;
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
    for (QTreeWidget* tree : {window.ObjectList, window.MapList})
        for (int i = 0; i < tree->topLevelItemCount(); ++i)
            tree->topLevelItem(i)->setExpanded(true);
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
}

void StartPlacingBox()
{
    EditorState& state = Editor();
    if (!state.PendingPrimitive)
        return;
    if (FBoxEditor)
        FBoxEditor->show();
    // A box locked in place is dropped with the cursor's lock, as "Мышка"
    // does: the new box follows the cursor.
    state.ClickState = 0;
    state.PendingPrimitive->Clear();
    state.PendingPrimitive->AddList();
    const int32_t texture = FTexture ? FTexture->SelectedTexture : 0;
    state.PrimIndex = state.PendingPrimitive->Lists[0]->AddBox(texture, 0, 0, 0, 8, 8, 8, 1, 0, 0, 0);
    state.Placing = true;
    if (FBoxEditor) {
        const TBox& box = state.PendingPrimitive->Lists[0]->Boxes[static_cast<size_t>(state.PrimIndex)];
        FBoxEditor->ShowBox(box, box.Position);
    }
}

void DeleteSelectedBox(TFVantor& window)
{
    EditorState& state = Editor();
    const QTreeWidgetItem* object = SelectedNode(window.ObjectList);
    if (!object || !IsObjectNode(NodeText(object)) || NodeText(object) == PlayerNodeText())
        return;
    QTreeWidgetItem* node = SelectedNode(window.OBJList);
    // Only a box node names a box: its place under "+Примитивы", which lists
    // the boxes of the open object in order.  A folder, a model node or a
    // node beyond the boxes removes nothing.
    QTreeWidgetItem* folder = PrimitivesFolder(window);
    if (!node || !folder || node->parent() != folder || state.EditedModel->ListCount == 0)
        return;
    const int i = folder->indexOfChild(node);
    if (i >= state.EditedModel->Lists[0]->BoxCount)
        return;
    RecordSessionEdit(window, "удаление коробки", std::string(), nullptr, [&] {
        state.EditedModel->Lists[0]->DeleteBox(static_cast<int16_t>(i));
        state.EditedModel->BuildDisplayLists();
        delete node;
    });
}

void AddModel3dsToEditedObject(TFVantor& window)
{
    EditorState& state = Editor();
    if (state.EditedModel->ListCount == 0)
        return;
    state.EditedModel->Lists[0]->AddModel3ds("1.3DS", 0, 10, 0, 0, 0, 0, 1, 1, 1);
    state.EditedModel->BuildDisplayLists();
    AddModelNode(window, "[м]_AK-47.3DS");
}

void AddModelBlenderToEditedObject(TFVantor& window)
{
    EditorState& state = Editor();
    if (state.EditedModel->ListCount == 0)
        return;
    // The reader's error ends the command here: no node for a model that
    // did not load.
    state.EditedModel->Lists[0]->AddModelBlender("kafe\\KOSMO.TXT", SnapX(static_cast<float>(state.CursorWorld[0])),
                                                  static_cast<float>(state.CursorWorld[1]),
                                                  SnapZ(static_cast<float>(state.CursorWorld[2])), 0, 0, 0, 1, 1, 1);
    state.EditedModel->BuildDisplayLists();
    AddModelNode(window, "[м]_KOSMO.TXT");
}

void ShowObjectParameters(TFVantor& window)
{
    const QTreeWidgetItem* selected = SelectedNode(window.ObjectList);
    if (!selected || !FOPos)
        return;
    const std::string text = NodeText(selected);
    if (IsObjectNode(text) && text != PlayerNodeText())
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
    on(w->PopupMenu3->findChild<QAction*>("N39"), DeleteSelectedBox);
    onButton(w->BitBtn2, StoreEditedObject);
    onButton(w->Button19, [](TFVantor&) { StartPlacingBox(); });
    onButton(w->Button4, [](TFVantor&) { DropPendingPrimitive(); });
    onButton(w->Button27, AddModel3dsToEditedObject);
    onButton(w->Button28, AddModelBlenderToEditedObject);
    QObject::connect(w->ObjectList, &QTreeWidget::itemClicked, w, [w] { Guarded([&] { ObjectListClick(*w); }); });
    QObject::connect(w->ObjectList, &QTreeWidget::itemDoubleClicked, w,
                     [w] { Guarded([&] { OpenObjectForEditing(*w); }); });
}
