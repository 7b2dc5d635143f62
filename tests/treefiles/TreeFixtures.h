// Small trees and a compact view of them for the tree-file tests.
#pragma once

#include "TreeFiles.h"

#include <string>

namespace qxtest {

// "depth:text" per node, joined by "|", e.g. "0:a|1:b".
inline std::string Shape(const MemoryTree& tree)
{
    std::string out;
    for (const MemoryTree::Node& n : tree.nodes) {
        if (!out.empty())
            out += '|';
        out += std::to_string(n.depth) + ":" + n.text;
    }
    return out;
}

// +folder (icon 1) / _obj (icon 2) / nested (icon 3) ; second (icon -1)
inline MemoryTree SampleTree()
{
    MemoryTree tree;
    const int folder = tree.AppendChild(-1, "+folder");
    const int object = tree.AppendChild(folder, "_obj");
    tree.AppendChild(object, "nested");
    tree.AppendChild(-1, "second");
    tree.SetIcons(0, 1, 1);
    tree.SetIcons(1, 2, 2);
    tree.SetIcons(2, 3, 3);
    tree.SetIcons(3, -1, -1);
    return tree;
}

}  // namespace qxtest
