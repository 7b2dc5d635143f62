#include "StartupTrees.h"

#include "Icons.h"
#include "Text1251.h"
#include "TreeFiles.h"

#include <stdexcept>

namespace qx::data {

const std::vector<StartupTree>& StartupTrees()
{
    // The editor gives a node made inside a folder the folder's icon (new
    // objects, boxes under "+Примитивы", models under "+Модели"), so those
    // folders carry the icon their contents should show.  Texture nodes get
    // their own icon from the texture window, whatever the category shows.
    static const std::vector<StartupTree> trees = {
        {"Sys/Api/ObjectList.txt", "Sys/Api/ObjectListIcons.qxicon",
         {{0, "+Объекты", IconObject}, {0, "_Игрок", IconPlayer}}},
        {"Sys/Api/OBJList.txt", "Sys/Api/OBJListIcons.qxicon",
         {{0, "+Модели", IconModel}, {0, "+Примитивы", IconBox}}},
        {"Sys/Api/MapList.txt", "Sys/Api/MapListIcons.qxicon",
         {{0, "+Карта", IconFolder}, {1, "Map1", IconMap}}},
        {"Sys/Api/TexturesList.txt", "Sys/Api/FTExtureIcons.qxicon",
         {{0, "+ Стандартные текстуры", IconTextureFolder}, {0, "+ Текстуры", IconTextureFolder}}},
    };
    return trees;
}

namespace {

MemoryTree ToMemoryTree(const StartupTree& tree)
{
    MemoryTree out;
    std::vector<int> lastAtDepth;  // display index of the latest node per depth
    for (const StartupNode& node : tree.nodes) {
        if (node.depth < 0 || node.depth > static_cast<int>(lastAtDepth.size()))
            throw std::logic_error("start-up tree skips a level: " + tree.listFile);
        const int parent = node.depth == 0 ? -1 : lastAtDepth[node.depth - 1];
        const int index = out.AppendChild(parent, Cp(node.text));
        out.SetIcons(index, node.icon, node.icon);
        lastAtDepth.resize(node.depth);
        lastAtDepth.push_back(index);
    }
    return out;
}

}  // namespace

std::string TreeListBytes(const StartupTree& tree)
{
    return FormatTreeText(ToMemoryTree(tree));
}

std::string IconFileBytes(const StartupTree& tree)
{
    return FormatIconIndexes(ToMemoryTree(tree));
}

}  // namespace qx::data
