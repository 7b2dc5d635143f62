#include "PartTree.h"

#include <QSignalBlocker>
#include <QTreeWidget>

#include <span>

#include "EditorState.h"
#include "NumberText.h"
#include "PrimitiveList.h"
#include "QX3DObject.h"
#include "QtText.h"
#include "TreeWidgetAccess.h"
#include "Vantor.h"

namespace {

// The kinds each folder of the part tree lists, in their order.
constexpr ShapeKind kShapeKinds[] = {ShapeKind::Box, ShapeKind::Sphere, ShapeKind::Torus, ShapeKind::Floor,
                                     ShapeKind::Wall};
constexpr ShapeKind kModelKinds[] = {ShapeKind::Model3ds, ShapeKind::ModelBlender};

// The image list's picture of a kind; models show their folder's.
int PartIcon(ShapeKind kind, int folderIcon)
{
    switch (kind) {
    case ShapeKind::Sphere: return 7;
    case ShapeKind::Floor: return 8;
    case ShapeKind::Wall: return 9;
    case ShapeKind::Torus: return 12;
    case ShapeKind::Box:
    case ShapeKind::Model3ds:
    case ShapeKind::ModelBlender: break;
    }
    return folderIcon;
}

QTreeWidgetItem* FolderOf(const TFVantor& window, ShapeKind kind)
{
    return IsModel(kind) ? ModelsFolder(window) : PrimitivesFolder(window);
}

}  // namespace

void SelectPart(TFVantor& window, qx::PartRef part)
{
    QTreeWidgetItem* folder = FolderOf(window, part.kind);
    const TQX3DObject* edited = Editor().EditedModel;
    if (!folder || !edited || edited->ListCount == 0)
        return;
    int row = part.index;
    for (ShapeKind before : IsModel(part.kind) ? std::span<const ShapeKind>(kModelKinds) : kShapeKinds) {
        if (before == part.kind)
            break;
        row += ShapeCount(*edited->Lists[0], before);
    }
    if (row >= folder->childCount())
        return;
    folder->setExpanded(true);
    window.OBJList->setCurrentItem(folder->child(row));
}

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

void ListPartsOfEditedObject(TFVantor& window, bool opened)
{
    const TQX3DObject* edited = Editor().EditedModel;
    if (!edited)
        return;
    const TGLPremitives* list = edited->ListCount > 0 ? edited->Lists[0].get() : nullptr;
    const QSignalBlocker quiet(window.OBJList);
    // The node chosen keeps its place while the same object is listed again.
    QTreeWidgetItem* current = window.OBJList->currentItem();
    QTreeWidgetItem* currentFolder = current && !opened ? current->parent() : nullptr;
    const int currentRow = currentFolder ? currentFolder->indexOfChild(current) : -1;
    for (const auto& [folder, kinds] : {std::pair{PrimitivesFolder(window), std::span<const ShapeKind>(kShapeKinds)},
                                        std::pair{ModelsFolder(window), std::span<const ShapeKind>(kModelKinds)}}) {
        if (!folder)
            continue;
        std::vector<std::string> texts;
        std::vector<ShapeKind> textKinds;
        for (ShapeKind kind : kinds)
            for (int n = 0; list && n < ShapeCount(*list, kind); ++n) {
                texts.push_back(IntToEditText(n) + " - " + PartNodeText(*list, kind, n));
                textKinds.push_back(kind);
            }
        // Nodes that show their part already stay: a commit adds one node,
        // not the object's every node again.
        int same = 0;
        while (!opened && same < folder->childCount() && static_cast<size_t>(same) < texts.size() &&
               NodeText(folder->child(same)) == texts[static_cast<size_t>(same)])
            ++same;
        while (folder->childCount() > same)
            delete folder->takeChild(folder->childCount() - 1);
        for (size_t i = static_cast<size_t>(same); i < texts.size(); ++i) {
            const int icon = PartIcon(textKinds[i], NodeIcon(folder));
            SetNodeIcons(AddNode(window.OBJList, folder, texts[i]), icon,
                         icon == NodeIcon(folder) ? folder->data(0, NodeSelectedIconRole).toInt() : icon);
        }
        if (opened)
            folder->setExpanded(true);
    }
    if (currentFolder && currentRow < currentFolder->childCount())
        window.OBJList->setCurrentItem(currentFolder->child(currentRow));
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
