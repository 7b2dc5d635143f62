#include "DocTreeView.h"

#include <QTreeWidget>

#include <algorithm>
#include <unordered_map>

#include "TreeWidgetAccess.h"

namespace {

class Applying {
public:
    explicit Applying(bool& flag) : flag_(flag) { flag_ = true; }
    ~Applying() { flag_ = false; }
    Applying(const Applying&) = delete;
    Applying& operator=(const Applying&) = delete;

private:
    bool& flag_;
};

}  // namespace

DocTreeView::DocTreeView(QTreeWidget* widget, qx::DocTree* tree) : QObject(widget), widget_(widget), tree_(tree)
{
    UserChanged = [this] { Show(); };
    connect(widget_, &QTreeWidget::itemSelectionChanged, this, [this] { SelectionChanged(); });
    connect(widget_, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) { OpenedOrClosed(item); });
    connect(widget_, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* item) { OpenedOrClosed(item); });
}

void DocTreeView::SetTree(qx::DocTree* tree)
{
    tree_ = tree;
    Show();
}

void DocTreeView::Show()
{
    const Applying applying(applying_);
    Update(nullptr, top_, tree_->TopLevel());
    ShowCurrent();
}

DocTreeView::Shown DocTreeView::Make(const qx::DocTree::NodePtr& node)
{
    Shown shown{node, new QTreeWidgetItem(), {}};
    SetNodeText(shown.item, node->text);
    SetNodeIcons(shown.item, node->icon, node->selectedIcon);
    shown.children.reserve(node->children.size());
    for (const qx::DocTree::NodePtr& child : node->children) {
        shown.children.push_back(Make(child));
        shown.item->addChild(shown.children.back().item);
    }
    return shown;
}

// Only in the widget can an item open.
void DocTreeView::Open(const Shown& shown)
{
    for (const Shown& child : shown.children)
        Open(child);
    if (shown.node->expanded)
        shown.item->setExpanded(true);
}

void DocTreeView::Refresh(Shown& shown, const qx::DocTree::NodePtr& node)
{
    const qx::DocTree::Node& before = *shown.node;
    if (before.text != node->text)
        SetNodeText(shown.item, node->text);
    if (before.icon != node->icon || before.selectedIcon != node->selectedIcon)
        SetNodeIcons(shown.item, node->icon, node->selectedIcon);
    Update(shown.item, shown.children, node->children);
    shown.node = node;
    if (shown.item->isExpanded() != node->expanded)
        shown.item->setExpanded(node->expanded);
}

void DocTreeView::Update(QTreeWidgetItem* parent, std::vector<Shown>& shown,
                         const std::vector<qx::DocTree::NodePtr>& nodes)
{
    if (shown.size() == nodes.size() &&
        std::equal(shown.begin(), shown.end(), nodes.begin(),
                   [](const Shown& s, const qx::DocTree::NodePtr& n) { return s.node == n; }))
        return;
    // Nodes the tree still shares keep their items, in order; between two
    // of them, changed nodes take the items of the old ones place by place,
    // and what is left over is added or taken.
    std::unordered_map<const qx::DocTree::Node*, size_t> oldAt;
    for (size_t i = 0; i < shown.size(); ++i)
        oldAt.emplace(shown[i].node.get(), i);
    std::vector<long> match(nodes.size(), -1);
    long last = -1;
    for (size_t j = 0; j < nodes.size(); ++j) {
        const auto it = oldAt.find(nodes[j].get());
        if (it != oldAt.end() && static_cast<long>(it->second) > last)
            last = match[j] = static_cast<long>(it->second);
    }
    std::vector<Shown> result;
    result.reserve(nodes.size());
    std::vector<bool> kept(shown.size(), false);
    std::vector<size_t> changed;  // places in result of items to refresh
    size_t i = 0;
    for (size_t j = 0; j < nodes.size();) {
        if (match[j] >= 0) {
            i = static_cast<size_t>(match[j]);
            kept[i] = true;
            result.push_back(std::move(shown[i++]));
            ++j;
            continue;
        }
        size_t gapEnd = j;
        while (gapEnd < nodes.size() && match[gapEnd] < 0)
            ++gapEnd;
        const size_t oldEnd = gapEnd < nodes.size() ? static_cast<size_t>(match[gapEnd]) : shown.size();
        for (; j < gapEnd; ++j) {
            if (i < oldEnd) {
                kept[i] = true;
                changed.push_back(result.size());
                result.push_back(std::move(shown[i++]));
            } else {
                result.push_back(Shown{nodes[j], nullptr, {}});
            }
        }
        i = oldEnd;
    }
    for (size_t k = shown.size(); k-- > 0;)
        if (!kept[k])
            delete shown[k].item;
    // The new items, each run of them at once.
    for (size_t p = 0; p < result.size();) {
        if (result[p].item) {
            ++p;
            continue;
        }
        const size_t start = p;
        QList<QTreeWidgetItem*> items;
        for (; p < result.size() && !result[p].item; ++p) {
            result[p] = Make(nodes[p]);
            items.push_back(result[p].item);
        }
        if (parent)
            parent->insertChildren(static_cast<int>(start), items);
        else
            widget_->insertTopLevelItems(static_cast<int>(start), items);
        for (size_t k = start; k < p; ++k)
            Open(result[k]);
    }
    for (const size_t p : changed)
        Refresh(result[p], nodes[p]);
    shown = std::move(result);
}

QTreeWidgetItem* DocTreeView::ItemOf(int index) const
{
    if (index < 0 || index >= tree_->NodeCount())
        return nullptr;
    QTreeWidgetItem* item = nullptr;
    for (const int position : tree_->PathOf(index))
        item = item ? item->child(position) : widget_->topLevelItem(position);
    return item;
}

int DocTreeView::IndexOf(const QTreeWidgetItem* item) const
{
    if (!item)
        return -1;
    std::vector<int> path;
    for (const QTreeWidgetItem* at = item; at; at = at->parent()) {
        QTreeWidgetItem* self = const_cast<QTreeWidgetItem*>(at);
        path.push_back(at->parent() ? at->parent()->indexOfChild(self) : widget_->indexOfTopLevelItem(self));
    }
    std::reverse(path.begin(), path.end());
    return tree_->IndexOf(path);
}

void DocTreeView::ShowCurrent()
{
    QTreeWidgetItem* wanted = ItemOf(tree_->Current());
    const QList<QTreeWidgetItem*> selected = widget_->selectedItems();
    if (selected.size() <= 1 && (selected.isEmpty() ? nullptr : selected.first()) == wanted)
        return;
    if (wanted) {
        widget_->setCurrentItem(wanted);
    } else {
        widget_->clearSelection();
        widget_->setCurrentItem(nullptr);
    }
}

void DocTreeView::SelectionChanged()
{
    if (applying_)
        return;
    const QList<QTreeWidgetItem*> selected = widget_->selectedItems();
    const int index = selected.isEmpty() ? -1 : IndexOf(selected.first());
    if (index == tree_->Current())
        return;
    tree_->SetCurrent(index);
    if (UserChanged)
        UserChanged();
}

void DocTreeView::OpenedOrClosed(QTreeWidgetItem* item)
{
    if (applying_)
        return;
    const int index = IndexOf(item);
    if (index < 0 || tree_->Expanded(index) == item->isExpanded())
        return;
    tree_->SetExpanded(index, item->isExpanded());
    if (UserChanged)
        UserChanged();
}
