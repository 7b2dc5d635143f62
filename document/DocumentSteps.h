// The document's edits of the map, the selection and the object
// definitions, each one step of its history in data terms: the step holds
// placements by identity and definitions by the object itself, never a
// window.  Every function tells the document's observers what changed, and
// so does every undo and redo of its step; the windows only listen.
#pragma once

#include <cstdint>
#include <string>

#include "Document.h"
#include "MapEdits.h"

namespace qx {

// Records an edit of the map made by one of the MapEdits functions; a change
// that moved nothing records nothing.  Changes with the same non-empty key in
// a row are one step (a typed field).
void RecordMapChange(Document& doc, const char* utf8Label, MapChange change, const std::string& mergeKey = {});

// A new selection; the observers hear of it only when it differs.
void SetSelection(Document& doc, Selection selection);
// A click's pick: placement `hit` (-1 for none) becomes the selection, or
// with `toggle` joins or leaves it.  Every click is news, also one that
// selected what was selected: the status bar says so after each.
void SelectClicked(Document& doc, int32_t hit, bool toggle);
// Placements that left the map leave the selection.
void KeepSelectionValid(Document& doc);

// Places object `name` at `at` (rotation 0, scale 1): one step.
void PlaceObject(Document& doc, const std::string& name, const float at[3]);
// Moves the player start: one step, none when it stands there already.
void MovePlayerStart(Document& doc, const float at[3]);
// Removes the placement nearest to `at` within `reach`: one step; false
// when none is that near.
bool DeleteNearestPlacement(Document& doc, const double at[3], double reach);

// A new definition `name` with its nodes beside the chosen node `chosen`
// of the object tree (which becomes current): one step.  Returns the
// definition's index.
int32_t AddObjectDefinition(Document& doc, int chosen, const std::string& name);
// Definition `k` (chosen at node `node`) and its placements and nodes
// renamed: one step.
void RenameObjectDefinition(Document& doc, int32_t k, int node, const std::string& name);
// Definition `k` (chosen at node `node`) removed with its placements and
// nodes: one step, whose undo makes its node current again.
void DeleteObjectDefinition(Document& doc, int32_t k, int node);

}  // namespace qx
