// One of the document's trees (the object tree, the map tree, the texture
// window's tree) as data: nodes with a 1251 text, an icon, a selected icon,
// whether they are shown open, and children; and the current node, the one
// the user chose and the commands work on.
//
// Copies are cheap: copies share their nodes, and a change copies only the
// nodes on the way from the top to what it changes.  The undo steps and the
// autosave keep whole trees as values that way.  A node shared with a copy
// is never changed in place, so a copy can be read on another thread while
// the original is edited.
//
// Nodes are named by their display index (each node, then its children),
// as the tree files name them (TreeAccess).
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "TreeFiles.h"

namespace qx {

class DocTree final : public TreeAccess {
public:
    struct Node;
    using NodePtr = std::shared_ptr<Node>;
    struct Node {
        std::string text;  // 1251
        int icon = -1;
        int selectedIcon = -1;
        bool expanded = false;
        std::vector<NodePtr> children;
    };

    DocTree();

    int NodeCount() const override;
    int Depth(int index) const override;
    std::string Text(int index) const override;
    int Icon(int index) const override;
    int SelectedIcon(int index) const override;
    void SetIcons(int index, int icon, int selectedIcon) override;
    int AppendChild(int parentIndex, const std::string& text) override;
    // Empties the tree; no node is current.
    void Clear() override;

    // -1 for a top-level node.
    int Parent(int index) const;
    // Children of the node (-1: the top-level nodes), as display indices.
    std::vector<int> Children(int index) const;
    bool Expanded(int index) const;
    void SetExpanded(int index, bool expanded);
    void SetText(int index, const std::string& text);
    // Takes the node with everything under it; the current node goes with
    // them when it is among them.
    void Remove(int index);
    // The node whose text equals `text` byte for byte, the last one in
    // display order; -1 when there is none.
    int FindLast(const std::string& text) const;
    // Every node of that text, in display order.
    std::vector<int> FindAll(const std::string& text) const;
    // The node's place as child positions from the top level down, and back
    // (-1 when the path names no node).
    std::vector<int> PathOf(int index) const;
    int IndexOf(const std::vector<int>& path) const;

    // The chosen node; -1 for none.
    int Current() const { return current_; }
    // Its text; empty for none.
    std::string CurrentText() const { return current_ < 0 ? std::string() : Text(current_); }
    void SetCurrent(int index);
    // The node is in sight: every node above it open.
    void OpenAbove(int index);

    // The top-level nodes, for views that compare what they show with the
    // tree: an unchanged node is the same object as before.
    const std::vector<NodePtr>& TopLevel() const { return root_->children; }
    // Roughly what this tree holds that `other` does not share.
    size_t BytesBeside(const DocTree& other) const;

    // Equal content: nodes, open nodes and the current node.
    bool operator==(const DocTree& other) const;

private:
    // The display order's shape, rebuilt after a removal.
    struct Entry {
        int depth;
        int parent;
        int childPos;
        int size;  // the node and everything under it
    };
    const std::vector<Entry>& Order() const;
    std::vector<Entry>& WritableOrder();
    const Node& NodeAt(int index) const;
    // The node (-1: the root) made the tree's own, copying the shared
    // nodes on the way.
    Node& Writable(int index);

    NodePtr root_;
    mutable std::shared_ptr<std::vector<Entry>> order_;
    int current_ = -1;
};

}  // namespace qx
