#include "TreeEdits.h"

#include <algorithm>

namespace qx {

bool IsFolderText(const std::string& text) { return text.find('+') != std::string::npos; }

int AddNodeNear(DocTree& tree, int anchor, const std::string& text)
{
    if (anchor >= 0 && tree.Text(anchor).starts_with('+'))
        return tree.AppendChild(anchor, text);
    return tree.AppendChild(anchor >= 0 ? tree.Parent(anchor) : -1, text);
}

int AddObjectNodes(DocTree& tree, int chosen, const std::string& name)
{
    const std::string text = tree.Text(chosen);
    const int icon = tree.Icon(chosen);
    const int selectedIcon = tree.SelectedIcon(chosen);
    int added = -1;
    if (IsFolderText(text)) {
        added = tree.AppendChild(chosen, name);
        tree.SetIcons(added, icon, selectedIcon);
    }
    if (text.find('_') != std::string::npos) {
        added = tree.AppendChild(tree.Parent(chosen), name);
        tree.SetIcons(added, icon, selectedIcon);
    }
    if (added >= 0)
        ShowNewNode(tree, added);
    return added;
}

std::vector<int> NodesOfObject(const DocTree& tree, int chosen, const std::string& name, bool stillListed)
{
    if (stillListed)
        return {chosen};
    return tree.FindAll(name);
}

void RenameNodes(DocTree& tree, const std::vector<int>& nodes, const std::string& text)
{
    for (const int node : nodes)
        tree.SetText(node, text);
}

void RemoveNodes(DocTree& tree, const std::vector<int>& nodes)
{
    std::vector<int> order = nodes;
    std::sort(order.begin(), order.end(), std::greater<>());
    for (const int node : order)
        tree.Remove(node);
    tree.SetCurrent(-1);
}

void ShowNewNode(DocTree& tree, int index)
{
    tree.OpenAbove(index);
    tree.SetCurrent(index);
}

void OpenTopLevel(DocTree& tree)
{
    for (const int node : tree.Children(-1))
        tree.SetExpanded(node, true);
}

}  // namespace qx
