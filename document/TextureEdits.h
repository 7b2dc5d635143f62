// The document's edits of its texture table and the texture tree, and the
// choice of the texture new primitives receive.  The table's entries are
// data: a name, a colour-key flag and the GL name the view gave the picture.
// An entry added here awaits its upload (TextureRegistry::kAwaitingUpload);
// the view uploads it when told TexturesChanged.  Steps move whole entries
// in and out of the table, so that neither an undo nor a redo makes or
// deletes a GL texture: a removed entry's picture stays with the step.
#pragma once

#include <cstdint>
#include <string>

#include "Document.h"

namespace qx {

// Lists texture `name` (1251) in the texture tree beside its current node,
// under the first node when none is current, with the texture icon, its
// category opened so that it is in sight.  Returns the node.
int ListTextureNode(DocTree& tree, const std::string& name);

// The picture `name` (1251, a file of the project's library) becomes a new
// entry, listed beside the texture tree's current node (under the first
// node when none is current; its category opened), which becomes current,
// and chosen: one step.  Returns the entry's index; -1 when the table is full.
int32_t AddLibraryTexture(Document& doc, const std::string& name, bool keyed);
// Removes the texture node `node` names and the node: one step.  Helper
// textures and the last entry are refused with a message (nothing changes,
// false); a node naming no entry goes alone.  Primitives that showed the
// texture become untextured, later indices move down one, and the choice
// follows its texture.
bool RemoveLibraryTexture(Document& doc, int node);
// A category "+ name" beside the current node, with its icons: one step.
void AddTextureCategory(Document& doc, const std::string& name);
// Category `node` with everything below it: one step.
void RemoveTextureCategory(Document& doc, int node);
// The texture new primitives receive: no step (a choice, as the selection).
void ChooseTexture(Document& doc, int32_t index);

}  // namespace qx
