// The interface through which the tree files and the document's trees see
// any tree: its nodes in display order.  Kept apart from the file formats so
// that the widget side can offer it without reaching up to the files.
#pragma once

#include <string>

// A tree seen as its nodes in display order (each node, then its children).
class TreeAccess {
public:
    virtual ~TreeAccess() = default;
    virtual int NodeCount() const = 0;
    virtual int Depth(int index) const = 0;
    virtual std::string Text(int index) const = 0;  // 1251 bytes
    virtual int Icon(int index) const = 0;
    virtual int SelectedIcon(int index) const = 0;
    virtual void SetIcons(int index, int icon, int selectedIcon) = 0;
    // Appends a node as the last child of the node at parentIndex (-1: as a
    // last top-level node).  Returns the new node's display index.
    virtual int AppendChild(int parentIndex, const std::string& text) = 0;
    virtual void Clear() = 0;
};
