#include "EditCommands.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTreeWidget>

#include "AskObjectName.h"
#include "Camera.h"
#include "EditRecording.h"
#include "EditorState.h"
#include "HandlerGuard.h"
#include "ModelObjectEditorBox.h"
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
    if (selectedText.find('+') != std::string::npos)
        CopyIcons(AddNode(window.ObjectList, selected, name), selected);
    if (selectedText.find('_') != std::string::npos)
        CopyIcons(AddNode(window.ObjectList, selected->parent(), name), selected);
    // A folder opens so that its new object is in sight.
    if (selectedText.find('+') != std::string::npos)
        selected->setExpanded(true);
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
    state.EditIndex = k;
    state.EditedModel->Assign(*state.MapObjects[static_cast<size_t>(k)]);
}

void StoreEditedObject(TFVantor& window)
{
    EditorState& state = Editor();
    if (state.EditIndex == -1)
        return;
    RecordSessionEdit(window, "сохранение изменений объекта", std::string(), state.EditIndex, [&] {
        // A project loaded while the object was open may no longer hold it:
        // the view is left without storing into another object.
        if (state.EditIndex < state.MapObjectCount)
            state.MapObjects[static_cast<size_t>(state.EditIndex)]->Assign(*state.EditedModel);
        state.PrimIndex = -1;
        state.EditIndex = -1;
        state.Placing = false;
        state.PendingPrimitive->Clear();
        state.EditedModel->Clear();
        window.ModelList->setVisible(false);
        window.ModelTimeLine->setVisible(false);
        state.ModelEditMode = false;
        state.ClickState = 0;
        if (FBoxEditor)
            FBoxEditor->close();
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
    state.PendingPrimitive->Clear();
    state.PendingPrimitive->AddList();
    const int32_t texture = FTexture ? FTexture->SelectedTexture : 0;
    state.PrimIndex = state.PendingPrimitive->Lists[0]->AddBox(texture, 0, 0, 0, 8, 8, 8, 1, 0, 0, 0);
    state.Placing = true;
    if (!FBoxEditor)
        return;
    const TBox& box = state.PendingPrimitive->Lists[0]->Boxes[static_cast<size_t>(state.PrimIndex)];
    // The fields follow the box (their handlers would only set the same values).
    const auto show = [](QLineEdit* edit, float value) {
        const QSignalBlocker quiet(edit);
        edit->setText(ToQString(FloatToEditText(value)));
    };
    show(FBoxEditor->EPosX, box.Position.X);
    show(FBoxEditor->EPosY, box.Position.Y);
    show(FBoxEditor->EPosZ, box.Position.Z);
    show(FBoxEditor->Erotx, box.Rotation.X);
    show(FBoxEditor->Eroty, box.Rotation.Y);
    show(FBoxEditor->Erotz, box.Rotation.Z);
    show(FBoxEditor->Ex2, box.Size.X);
    show(FBoxEditor->Ey2, box.Size.Y);
    show(FBoxEditor->Ez2, box.Size.Z);
    show(FBoxEditor->Etex1, box.Tiling);
}

void DeleteSelectedBox(TFVantor& window)
{
    EditorState& state = Editor();
    const QTreeWidgetItem* object = SelectedNode(window.ObjectList);
    if (!object || !IsObjectNode(NodeText(object)) || NodeText(object) == PlayerNodeText())
        return;
    QTreeWidgetItem* node = SelectedNode(window.OBJList);
    // A folder of the part tree is not a box: deleting it would take the
    // folder that new boxes are listed under.
    if (!node || NodeText(node).starts_with("+"))
        return;
    const QTreeWidgetItem* parent = node->parent();
    const int i = parent ? parent->indexOfChild(node) : window.OBJList->indexOfTopLevelItem(node);
    RecordSessionEdit(window, "удаление коробки", std::string(), -1, [&] {
        if (state.EditedModel->ListCount > 0)
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
