#include "TreeFiles.h"

#include "Errors.h"
#include "NumberText.h"
#include "Paths.h"
#include "TextLines.h"

namespace {

using qx::LineReader;

std::string LevelError(int level, std::string_view text)
{
    return "Invalid level (" + std::to_string(level) + ") for item \"" + std::string(text) + "\"";
}

}  // namespace

int MemoryTree::NodeCount() const { return static_cast<int>(nodes.size()); }

int MemoryTree::Depth(int index) const { return nodes.at(static_cast<size_t>(index)).depth; }

std::string MemoryTree::Text(int index) const { return nodes.at(static_cast<size_t>(index)).text; }

int MemoryTree::Icon(int index) const { return nodes.at(static_cast<size_t>(index)).icon; }

int MemoryTree::SelectedIcon(int index) const
{
    return nodes.at(static_cast<size_t>(index)).selectedIcon;
}

void MemoryTree::SetIcons(int index, int icon, int selectedIcon)
{
    Node& node = nodes.at(static_cast<size_t>(index));
    node.icon = icon;
    node.selectedIcon = selectedIcon;
}

int MemoryTree::AppendChild(int parentIndex, const std::string& text)
{
    Node node;
    node.text = text;
    size_t position = nodes.size();
    if (parentIndex >= 0) {
        const Node& parent = nodes.at(static_cast<size_t>(parentIndex));
        node.depth = parent.depth + 1;
        position = static_cast<size_t>(parentIndex) + 1;
        while (position < nodes.size() && nodes[position].depth > parent.depth)
            ++position;
    }
    nodes.insert(nodes.begin() + static_cast<std::ptrdiff_t>(position), node);
    return static_cast<int>(position);
}

void MemoryTree::Clear() { nodes.clear(); }

void ParseTreeText(TreeAccess& tree, std::string_view data)
{
    // chain[d] is the display index of the last read node's ancestor at
    // depth d (the last node itself at the end).  Depths count from the
    // first read node, which is always top-level, so nodes the tree held
    // before are never parents; every new node lands at the end of the
    // display order and the indexes in chain stay valid.
    std::vector<int> chain;
    LineReader lines(data);
    std::string_view line;
    while (lines.Next(line)) {
        size_t level = 0;
        while (level < line.size() && (line[level] == '\t' || line[level] == ' '))
            ++level;
        const std::string text(line.substr(level));

        if (chain.empty()) {
            chain.push_back(tree.AppendChild(-1, text));
            continue;
        }
        const size_t previous = chain.size() - 1;
        if (level > previous + 1)
            throw qx::FormatError(LevelError(static_cast<int>(level), text));
        chain.resize(level);
        const int parent = level == 0 ? -1 : chain.back();
        chain.push_back(tree.AppendChild(parent, text));
    }
}

std::string FormatTreeText(const TreeAccess& tree)
{
    std::string out;
    const int count = tree.NodeCount();
    for (int i = 0; i < count; ++i) {
        out.append(static_cast<size_t>(tree.Depth(i)), '\t');
        out += tree.Text(i);
        out += "\r\n";
    }
    return out;
}

void ParseIconIndexes(TreeAccess& tree, std::string_view data)
{
    LineReader lines(data);
    std::string_view line;
    if (!lines.Next(line))
        return;
    const int32_t count = EditTextToInt(line);
    const int nodes = tree.NodeCount();
    // A file cut short sets what it holds: an icon made up for a missing
    // line would be as wrong as any other.
    for (int32_t i = 0; i < count && lines.Next(line); ++i) {
        if (i >= nodes)
            throw qx::FormatError("Invalid index");
        const int32_t icon = EditTextToInt(line);
        tree.SetIcons(i, icon, icon);
    }
}

std::string FormatIconIndexes(const TreeAccess& tree)
{
    const int count = tree.NodeCount();
    std::string out = IntToEditText(count) + "\r\n";
    for (int i = 0; i < count; ++i)
        out += IntToEditText(tree.Icon(i)) + "\r\n";
    return out;
}

void ReadTreeText(TreeAccess& tree, const std::string& fileName)
{
    ParseTreeText(tree, ReadWholeFile(ToFsPath(fileName)));
}

void WriteTreeText(const TreeAccess& tree, const std::string& fileName)
{
    WriteWholeFile(ToFsPath(fileName), FormatTreeText(tree));
}

void SaveIconIndexes(const TreeAccess& tree, const std::string& fileName)
{
    WriteWholeFile(ToFsPath(fileName), FormatIconIndexes(tree));
}

void LoadIconIndexes(TreeAccess& tree, const std::string& fileName)
{
    ParseIconIndexes(tree, ReadWholeFile(ToFsPath(fileName)));
}
