// The tree text format (one line per node, depth as leading TABs) and the
// icon-index file (".qxicon": count, then one icon index per node in display
// order).  Both work on any tree through TreeAccess, so the formats are
// tested on MemoryTree without widgets and used on QTreeWidget in the editor.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "TreeAccess.h"

// Plain in-memory tree (tests, fuzzing, and anything without widgets).
class MemoryTree : public TreeAccess {
public:
    struct Node {
        std::string text;
        int depth = 0;
        int icon = -1;
        int selectedIcon = -1;
    };
    int NodeCount() const override;
    int Depth(int index) const override;
    std::string Text(int index) const override;
    int Icon(int index) const override;
    int SelectedIcon(int index) const override;
    void SetIcons(int index, int icon, int selectedIcon) override;
    int AppendChild(int parentIndex, const std::string& text) override;
    void Clear() override;

    std::vector<Node> nodes;  // display order
};

// Parsing and formatting on buffers.  ParseTreeText appends to the nodes the
// tree already holds; on a level jump it throws qx::FormatError
// ("Invalid level (%d) for item "%s"") with the nodes read so far kept.
void ParseTreeText(TreeAccess& tree, std::string_view data);
std::string FormatTreeText(const TreeAccess& tree);
// Throws qx::FormatError("Invalid index") past the last node; the icons set
// before stay.  A file with fewer lines than its count sets what it holds.
void ParseIconIndexes(TreeAccess& tree, std::string_view data);
std::string FormatIconIndexes(const TreeAccess& tree);

// File layer.  Names are design paths ("Sys\Api\ObjectList.txt"), taken
// relative to the current folder; file failures throw qx::InOutError.
void ReadTreeText(TreeAccess& tree, const std::string& fileName);
void WriteTreeText(const TreeAccess& tree, const std::string& fileName);
void SaveIconIndexes(const TreeAccess& tree, const std::string& fileName);
void LoadIconIndexes(TreeAccess& tree, const std::string& fileName);
