// Placing with the mouse.  A click in the map view places the object chosen
// in the object tree at the snapped 3D cursor (or moves the player start); in
// the object view the first click locks the cursor under the pending box and
// the second adds the box to the edited object.  Clicks use the cursor of
// the last complete frame.
#pragma once

#include <string>

class QTreeWidget;
class QTreeWidgetItem;
class TFVantor;

// Absolute index (display order over the whole tree, from 0) of the last
// node whose text equals `text` byte for byte; -1 when there is none.
int FindNodeByText(const std::string& text, const QTreeWidget* tree);
QTreeWidgetItem* NodeAtAbsoluteIndex(const QTreeWidget* tree, int index);

// The part tree's "+Примитивы": the open object's boxes of list 0, one node
// "N - [к]_Коробка" each, in list order.
QTreeWidgetItem* PrimitivesFolder(const TFVantor& window);
QTreeWidgetItem* AddBoxNode(TFVantor& window, QTreeWidgetItem* folder, int n);
// Opening an object lists its own boxes there, and nothing else.
void ListBoxesOfEditedObject(TFVantor& window);

void SceneClick(TFVantor& window);
void SceneDblClick(TFVantor& window);
// A click on the object tree: the chosen object (or the player marker)
// becomes the preview drawn at the cursor.
void ObjectListClick(TFVantor& window);
