// The part tree of the object view (the main window's OBJList): the open
// object's parts listed under their folders, the node of a part and the
// part of a node.
#pragma once

#include <string>

#include "SessionEdits.h"
#include "ShapeFields.h"

class QTreeWidget;
class QTreeWidgetItem;
class TFVantor;

// Absolute index (display order over the whole tree, from 0) of the last
// node whose text equals `text` byte for byte; -1 when there is none.
int FindNodeByText(const std::string& text, const QTreeWidget* tree);
QTreeWidgetItem* NodeAtAbsoluteIndex(const QTreeWidget* tree, int index);

// The part tree's "+Примитивы" lists the open object's shapes of list 0,
// one node "N - [к]_Коробка" (box), "[ш]_Сфера", "[т]_Торус", "[п]_Пол",
// "[с]_Стена" each, kind after kind in the list's order (boxes, spheres,
// tori, floors, walls), N the index within its kind; "+Модели" its models,
// "N - [м]_NAME", 3DS models before Blender ones.  So a node's place under
// its folder names the primitive.
QTreeWidgetItem* PrimitivesFolder(const TFVantor& window);
QTreeWidgetItem* ModelsFolder(const TFVantor& window);
// The primitive a node of the part tree names; false for a folder or a
// node past the object's primitives.
bool PartOfNode(const TFVantor& window, const QTreeWidgetItem* node, ShapeKind& kind, int& index);
// The open object's own primitives listed there, and nothing else; when
// it was just `opened`, with the folders open.
void ListPartsOfEditedObject(TFVantor& window, bool opened);

// The committed part's node becomes current and in sight: the user sees
// what was just made or put back.
void SelectPart(TFVantor& window, qx::PartRef part);
