#include "TreeWidgetAccess.h"

#include "ImageList.h"
#include "QtText.h"
#include "TreeFiles.h"

std::string NodeText(const QTreeWidgetItem* item)
{
    QByteArray bytes = item->data(0, NodeTextRole).toByteArray();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

void SetNodeText(QTreeWidgetItem* item, const std::string& cp1251)
{
    item->setData(0, NodeTextRole, QByteArray(cp1251.data(), static_cast<qsizetype>(cp1251.size())));
    item->setText(0, ToQString(cp1251));
}

int NodeIcon(const QTreeWidgetItem* item)
{
    QVariant v = item->data(0, NodeIconRole);
    return v.isValid() ? v.toInt() : -1;
}

void SetNodeIcons(QTreeWidgetItem* item, int icon, int selectedIcon)
{
    item->setData(0, NodeIconRole, icon);
    item->setData(0, NodeSelectedIconRole, selectedIcon);
    QIcon picture = SharedImageList().Icon(icon);
    QIcon selected = SharedImageList().Icon(selectedIcon);
    if (!selected.isNull() && !picture.isNull()) {
        // Qt shows the "selected" mode pixmap for the current item.
        picture.addPixmap(selected.pixmap(24, 24), QIcon::Selected);
    }
    item->setIcon(0, picture);
}

QTreeWidgetItem* AddNode(QTreeWidget* tree, QTreeWidgetItem* parent, const std::string& cp1251)
{
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree);
    SetNodeText(item, cp1251);
    item->setData(0, NodeIconRole, -1);
    item->setData(0, NodeSelectedIconRole, -1);
    return item;
}

namespace {

void CollectDisplayOrder(QTreeWidgetItem* item, std::vector<QTreeWidgetItem*>& out)
{
    out.push_back(item);
    for (int i = 0; i < item->childCount(); ++i)
        CollectDisplayOrder(item->child(i), out);
}

int DescendantCount(const QTreeWidgetItem* item)
{
    int count = 0;
    for (int i = 0; i < item->childCount(); ++i)
        count += 1 + DescendantCount(item->child(i));
    return count;
}

}  // namespace

std::vector<QTreeWidgetItem*> ItemsInDisplayOrder(const QTreeWidget* tree)
{
    std::vector<QTreeWidgetItem*> items;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        CollectDisplayOrder(tree->topLevelItem(i), items);
    return items;
}

TreeWidgetAccess::TreeWidgetAccess(QTreeWidget* tree) : tree_(tree), items_(ItemsInDisplayOrder(tree)) {}

int TreeWidgetAccess::NodeCount() const { return static_cast<int>(items_.size()); }

int TreeWidgetAccess::Depth(int index) const
{
    int depth = 0;
    for (const QTreeWidgetItem* p = items_.at(static_cast<size_t>(index))->parent(); p; p = p->parent())
        ++depth;
    return depth;
}

std::string TreeWidgetAccess::Text(int index) const { return NodeText(items_.at(static_cast<size_t>(index))); }

int TreeWidgetAccess::Icon(int index) const { return NodeIcon(items_.at(static_cast<size_t>(index))); }

int TreeWidgetAccess::SelectedIcon(int index) const
{
    QVariant v = items_.at(static_cast<size_t>(index))->data(0, NodeSelectedIconRole);
    return v.isValid() ? v.toInt() : -1;
}

void TreeWidgetAccess::SetIcons(int index, int icon, int selectedIcon)
{
    SetNodeIcons(items_.at(static_cast<size_t>(index)), icon, selectedIcon);
}

int TreeWidgetAccess::AppendChild(int parentIndex, const std::string& text)
{
    if (parentIndex < 0) {
        items_.push_back(AddNode(tree_, nullptr, text));
        return NodeCount() - 1;
    }
    QTreeWidgetItem* parent = items_.at(static_cast<size_t>(parentIndex));
    // The new child goes after the parent's last descendant.  Readers append
    // in display order, so that is nearly always the end of the list: found
    // by walking down the last children, without counting the subtree.
    const QTreeWidgetItem* last = parent;
    while (last->childCount() > 0)
        last = last->child(last->childCount() - 1);
    const size_t position = last == items_.back()
                                ? items_.size()
                                : static_cast<size_t>(parentIndex) + 1 + static_cast<size_t>(DescendantCount(parent));
    items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(position), AddNode(tree_, parent, text));
    return static_cast<int>(position);
}

void TreeWidgetAccess::Clear()
{
    tree_->clear();
    items_.clear();
}

void ReadTreeText(QTreeWidget* tree, const std::string& fileName)
{
    TreeWidgetAccess access(tree);
    ReadTreeText(access, fileName);
}

void WriteTreeText(QTreeWidget* tree, const std::string& fileName)
{
    TreeWidgetAccess access(tree);
    WriteTreeText(access, fileName);
}

void SaveIconIndexes(QTreeWidget* tree, const std::string& fileName)
{
    TreeWidgetAccess access(tree);
    SaveIconIndexes(access, fileName);
}

void LoadIconIndexes(QTreeWidget* tree, const std::string& fileName)
{
    TreeWidgetAccess access(tree);
    LoadIconIndexes(access, fileName);
}
