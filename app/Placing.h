// Placing with the mouse.  A click in the map view places the object chosen
// in the object tree at the snapped 3D cursor (or moves the player start),
// or with nothing chosen selects what is drawn under the mouse; in the
// object view the first click locks the cursor under the pending primitive
// and the second adds it to the edited object.  Clicks use the cursor of
// the last complete frame.  A click where the mouse meets nothing is
// refused with the document's notice "Под курсором ничего нет".
#pragma once

#include <cstdint>
#include <string>

#include "SessionEdits.h"

class TQX3DObject;
struct EditorState;

// The click (`toggle`: Shift held, for selecting; `timeline`: the list a
// committed primitive goes into).  Returns the part a commit made.
qx::PartRef ClickAtCursor(EditorState& state, int32_t timeline, bool toggle);
// A click on the object tree: the chosen object (or the player marker)
// becomes the preview drawn at the cursor, and nothing stays selected.
void ObjectListClick();
// The preview shows the object tree's current object node.
void ShowChosenObject();
// What the preview was last made from: the node's text and its definition.
struct ChosenObject {
    std::string text;
    const TQX3DObject* object = nullptr;
};
// After a change of the object tree: when its current node names another
// definition than `shown` (which it becomes), the preview follows it, or
// empties.
void FollowChosenObject(ChosenObject& shown);
