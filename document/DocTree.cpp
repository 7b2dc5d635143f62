#include "DocTree.h"

#include <atomic>
#include <stdexcept>

namespace qx {

namespace {

void Flatten(const DocTree::Node& node, int depth, int parent, auto& out)
{
    for (size_t i = 0; i < node.children.size(); ++i) {
        const int index = static_cast<int>(out.size());
        out.push_back({depth, parent, static_cast<int>(i), 1});
        Flatten(*node.children[i], depth + 1, index, out);
        out[static_cast<size_t>(index)].size = static_cast<int>(out.size()) - index;
    }
}

// Shared storage is copied before it changes.  When this is its only
// owner, whoever let go last (the autosave's worker) has finished reading
// it: the fence orders its reads before the change.
template <class T>
void MakeOwn(std::shared_ptr<T>& storage)
{
    if (storage.use_count() != 1)
        storage = std::make_shared<T>(*storage);
    else
        std::atomic_thread_fence(std::memory_order_acquire);
}

bool SameNodes(const DocTree::Node& a, const DocTree::Node& b)
{
    if (&a == &b)
        return true;
    if (a.text != b.text || a.icon != b.icon || a.selectedIcon != b.selectedIcon || a.expanded != b.expanded ||
        a.children.size() != b.children.size())
        return false;
    for (size_t i = 0; i < a.children.size(); ++i)
        if (!SameNodes(*a.children[i], *b.children[i]))
            return false;
    return true;
}

size_t Unshared(const DocTree::Node& node, const DocTree::Node* other)
{
    if (&node == other)
        return 0;
    size_t bytes = sizeof(DocTree::Node) + node.text.capacity() + node.children.capacity() * sizeof(DocTree::NodePtr);
    for (size_t i = 0; i < node.children.size(); ++i) {
        const DocTree::Node* counterpart =
            other && i < other->children.size() ? other->children[i].get() : nullptr;
        bytes += Unshared(*node.children[i], counterpart);
    }
    return bytes;
}

}  // namespace

DocTree::DocTree() : root_(std::make_shared<Node>()), order_(std::make_shared<std::vector<Entry>>()) {}

const std::vector<DocTree::Entry>& DocTree::Order() const
{
    if (!order_) {
        auto order = std::make_shared<std::vector<Entry>>();
        Flatten(*root_, 0, -1, *order);
        order_ = std::move(order);
    }
    return *order_;
}

std::vector<DocTree::Entry>& DocTree::WritableOrder()
{
    Order();
    MakeOwn(order_);
    return *order_;
}

std::vector<int> DocTree::PathOf(int index) const
{
    const std::vector<Entry>& order = Order();
    if (index < 0 || static_cast<size_t>(index) >= order.size())
        throw std::out_of_range("DocTree: no node " + std::to_string(index));
    std::vector<int> path;
    for (int i = index; i >= 0; i = order[static_cast<size_t>(i)].parent)
        path.push_back(order[static_cast<size_t>(i)].childPos);
    return {path.rbegin(), path.rend()};
}

int DocTree::IndexOf(const std::vector<int>& path) const
{
    const Node* node = root_.get();
    int index = -1;
    const std::vector<Entry>& order = Order();
    for (const int position : path) {
        if (position < 0 || static_cast<size_t>(position) >= node->children.size())
            return -1;
        // The children of a node follow it, each after its predecessor's
        // whole subtree.
        int child = index + 1;
        for (int i = 0; i < position; ++i)
            child += order[static_cast<size_t>(child)].size;
        index = child;
        node = node->children[static_cast<size_t>(position)].get();
    }
    return path.empty() ? -1 : index;
}

const DocTree::Node& DocTree::NodeAt(int index) const
{
    const Node* node = root_.get();
    for (const int position : PathOf(index))
        node = node->children[static_cast<size_t>(position)].get();
    return *node;
}

DocTree::Node& DocTree::Writable(int index)
{
    NodePtr* slot = &root_;
    MakeOwn(*slot);
    if (index >= 0)
        for (const int position : PathOf(index)) {
            slot = &(*slot)->children[static_cast<size_t>(position)];
            MakeOwn(*slot);
        }
    return **slot;
}

int DocTree::NodeCount() const { return static_cast<int>(Order().size()); }

int DocTree::Depth(int index) const
{
    return Order().at(static_cast<size_t>(index)).depth;
}

std::string DocTree::Text(int index) const { return NodeAt(index).text; }

int DocTree::Icon(int index) const { return NodeAt(index).icon; }

int DocTree::SelectedIcon(int index) const { return NodeAt(index).selectedIcon; }

bool DocTree::Expanded(int index) const { return NodeAt(index).expanded; }

int DocTree::Parent(int index) const { return Order().at(static_cast<size_t>(index)).parent; }

std::vector<int> DocTree::Children(int index) const
{
    const std::vector<Entry>& order = Order();
    const size_t end = index < 0 ? order.size() : static_cast<size_t>(index + order.at(static_cast<size_t>(index)).size);
    std::vector<int> children;
    for (size_t i = static_cast<size_t>(index + 1); i < end; i += static_cast<size_t>(order[i].size))
        children.push_back(static_cast<int>(i));
    return children;
}

void DocTree::SetIcons(int index, int icon, int selectedIcon)
{
    const Node& now = NodeAt(index);
    if (now.icon == icon && now.selectedIcon == selectedIcon)
        return;
    Node& node = Writable(index);
    node.icon = icon;
    node.selectedIcon = selectedIcon;
}

void DocTree::SetText(int index, const std::string& text)
{
    if (NodeAt(index).text != text)
        Writable(index).text = text;
}

void DocTree::SetExpanded(int index, bool expanded)
{
    if (NodeAt(index).expanded != expanded)
        Writable(index).expanded = expanded;
}

void DocTree::OpenAbove(int index)
{
    for (int p = Parent(index); p >= 0; p = Parent(p))
        SetExpanded(p, true);
}

void DocTree::SetCurrent(int index)
{
    if (index >= NodeCount())
        throw std::out_of_range("DocTree: no node " + std::to_string(index));
    current_ = index < 0 ? -1 : index;
}

int DocTree::AppendChild(int parentIndex, const std::string& text)
{
    std::vector<Entry>& order = WritableOrder();
    if (parentIndex >= static_cast<int>(order.size()))
        throw std::out_of_range("DocTree: no node " + std::to_string(parentIndex));
    Node& parent = Writable(parentIndex);
    auto node = std::make_shared<Node>();
    node->text = text;
    const int childPos = static_cast<int>(parent.children.size());
    parent.children.push_back(std::move(node));

    // Readers append in display order, so this is nearly always the end.
    const bool top = parentIndex < 0;
    const int position = top ? static_cast<int>(order.size())
                             : parentIndex + order[static_cast<size_t>(parentIndex)].size;
    const int depth = top ? 0 : order[static_cast<size_t>(parentIndex)].depth + 1;
    order.insert(order.begin() + position, Entry{depth, top ? -1 : parentIndex, childPos, 1});
    for (size_t i = static_cast<size_t>(position) + 1; i < order.size(); ++i)
        if (order[i].parent >= position)
            ++order[i].parent;
    for (int a = parentIndex; a >= 0; a = order[static_cast<size_t>(a)].parent)
        ++order[static_cast<size_t>(a)].size;
    if (current_ >= position)
        ++current_;
    return position;
}

void DocTree::Remove(int index)
{
    const std::vector<Entry>& order = Order();
    const Entry entry = order.at(static_cast<size_t>(index));
    Node& parent = Writable(entry.parent);
    parent.children.erase(parent.children.begin() + entry.childPos);
    if (current_ >= index + entry.size)
        current_ -= entry.size;
    else if (current_ >= index)
        current_ = -1;
    order_.reset();
}

void DocTree::Clear()
{
    root_ = std::make_shared<Node>();
    order_ = std::make_shared<std::vector<Entry>>();
    current_ = -1;
}

int DocTree::FindLast(const std::string& text) const
{
    const std::vector<int> all = FindAll(text);
    return all.empty() ? -1 : all.back();
}

std::vector<int> DocTree::FindAll(const std::string& text) const
{
    std::vector<int> found;
    int index = 0;
    const auto walk = [&](const auto& self, const Node& node) -> void {
        for (const NodePtr& child : node.children) {
            if (child->text == text)
                found.push_back(index);
            ++index;
            self(self, *child);
        }
    };
    walk(walk, *root_);
    return found;
}

size_t DocTree::BytesBeside(const DocTree& other) const
{
    return sizeof(*this) + Unshared(*root_, other.root_.get());
}

bool DocTree::operator==(const DocTree& other) const
{
    return current_ == other.current_ && SameNodes(*root_, *other.root_);
}

}  // namespace qx
