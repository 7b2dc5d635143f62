// Editing what is placed on the map: the selection and the changes made to
// it, each a MapChange that undo and redo apply in either direction.
//
// The selection and the changes hold placements by identity; an entry's
// index is only where a removed placement goes back.  Copies are appended at
// the end, and the selection after a change names what the user sees
// selected.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "PlacementPick.h"
#include "ProjectContent.h"

namespace qx {

// Placement identities, ascending (so in map order).
using Selection = std::vector<uint64_t>;

struct MapChange {
    using Entry = PlacementEntry;
    std::vector<Entry> before, after;  // the same placements, changed in place
    std::vector<Entry> added;          // appended at the end, in order
    std::vector<Entry> removed;        // taken out, ascending indices
    Selection selectionBefore, selectionAfter;

    bool ChangesMap() const { return !after.empty() || !added.empty() || !removed.empty(); }
    size_t Bytes() const;
};

void Redo(ProjectContent& content, Selection& selection, const MapChange& change);
void Undo(ProjectContent& content, Selection& selection, const MapChange& change);

// Shift+click: a selected placement goes, another joins.
void ToggleSelected(Selection& selection, uint64_t id);
bool IsSelected(const Selection& selection, uint64_t id);
// Every placement on the map.
Selection SelectAll(const ProjectContent& content);
// Where the selected placements stand now, ascending.
std::vector<int32_t> SelectedIndices(const ProjectContent& content, const Selection& selection);
// Placements no longer on the map go (after an undo elsewhere).
void KeepValid(Selection& selection, const ProjectContent& content);

// Applies `edit` to every selected placement (one change).
MapChange EditSelected(ProjectContent& content, Selection& selection, const std::function<void(TPlacement&)>& edit);
// Positions `origins` (the selection's, in order, as the drag began) moved by
// (dx, dy, dz).
MapChange MoveSelected(ProjectContent& content, Selection& selection, const std::vector<TPlacement>& origins,
                       float dx, float dy, float dz);
// Turns the selection about the vertical axis through the centre of its
// drawn bounds by `degrees` (positive as the object's Y rotation).
MapChange TurnSelected(ProjectContent& content, Selection& selection, float degrees);
// World bounds of placement `p` of an object whose own bounds are `local`,
// as drawn: its position alone where the object draws nothing.
Bounds DrawnBounds(const TPlacement& p, const Bounds& local);
// World bounds of the selection as drawn (positions where an object draws
// nothing).
Bounds SelectionBounds(const ProjectContent& content, const Selection& selection);

// Copies of the selection moved by (dx, 0, dz), appended and selected.
MapChange DuplicateSelected(ProjectContent& content, Selection& selection, float dx, float dz);
// `names` and `placements` appended so that the first lands at `at`, the
// rest keeping their offsets to it; they become the selection.
MapChange AddPlacements(ProjectContent& content, Selection& selection, const std::vector<std::string>& names,
                        const std::vector<TPlacement>& placements, const float at[3]);
// Removes the selection; nothing stays selected.
MapChange DeleteSelected(ProjectContent& content, Selection& selection);

// The clipboard's text: one map placement line per selected placement.
std::string PlacementLines(const ProjectContent& content, const Selection& selection);
// Reads clipboard text back: every non-blank line a placement line naming a
// known object.  Throws qx::Error naming the line and what is wrong.
void ReadPlacementLines(std::string_view text, const ProjectContent& content, std::vector<std::string>& names,
                        std::vector<TPlacement>& placements);

}  // namespace qx
