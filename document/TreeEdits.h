// The rules by which the commands change the document's trees: where a new
// node goes, which nodes a renamed or deleted object takes along, and that
// a new node is shown, current, with its folder open.
#pragma once

#include <string>
#include <vector>

#include "DocTree.h"

namespace qx {

// A folder's text holds "+", an object's "_".
bool IsFolderText(const std::string& text);

// The node `text` near `anchor`: its last child when the anchor is a
// category ("+" first), else the last node of the anchor's own level; the
// last top-level node without an anchor (-1).  Returns the new node.
int AddNodeNear(DocTree& tree, int anchor, const std::string& text);

// "Добавить" in the object tree: the new object's node goes under the chosen
// node when that is a folder ("+" in its text) and beside it when it is an
// object ("_"); a text with both gets both.  Each takes the chosen node's
// icons; the last one added is shown and current.  Returns it; -1 when none
// was added.
int AddObjectNodes(DocTree& tree, int chosen, const std::string& name);

// The nodes of a definition `name`: every node of that text, unless another
// definition is still listed under it (then only `chosen`).
std::vector<int> NodesOfObject(const DocTree& tree, int chosen, const std::string& name, bool stillListed);
void RenameNodes(DocTree& tree, const std::vector<int>& nodes, const std::string& text);
// Takes the nodes (none of them under another); no node is current after.
void RemoveNodes(DocTree& tree, const std::vector<int>& nodes);

// The node is shown, current, with every folder above it open.
void ShowNewNode(DocTree& tree, int index);
// After a load: the top-level folders open.
void OpenTopLevel(DocTree& tree);

}  // namespace qx
