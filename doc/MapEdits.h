// Editing what is placed on the map: the selection and the changes made to
// it, each a MapChange that undo and redo apply in either direction.
//
// The selection holds placement indices, ascending.  Changes in place keep
// the indices; copies are appended at the end; removals take entries out,
// and the selection after a change names what the user sees selected.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "PlacementPick.h"
#include "ProjectContent.h"

namespace qx {

using Selection = std::vector<int32_t>;

struct MapChange {
    struct Entry {
        int32_t index = 0;
        std::string name;
        TPlacement placement;
    };
    std::vector<Entry> before, after;  // the same indices, changed in place
    std::vector<Entry> added;          // appended at the end, in order
    std::vector<Entry> removed;        // taken out, ascending indices
    Selection selectionBefore, selectionAfter;

    bool ChangesMap() const { return !after.empty() || !added.empty() || !removed.empty(); }
    size_t Bytes() const;
};

void Redo(ProjectContent& content, Selection& selection, const MapChange& change);
void Undo(ProjectContent& content, Selection& selection, const MapChange& change);

// Shift+click: a selected index goes, another joins.
void ToggleSelected(Selection& selection, int32_t index);
bool IsSelected(const Selection& selection, int32_t index);
// Indices that no longer name a placement go (after an undo elsewhere).
void KeepValid(Selection& selection, int32_t placementCount);

// Applies `edit` to every selected placement (one change).
MapChange EditSelected(ProjectContent& content, Selection& selection, const std::function<void(TPlacement&)>& edit);
// Positions `origins` (the selection's, in order, as the drag began) moved by
// (dx, dy, dz).
MapChange MoveSelected(ProjectContent& content, Selection& selection, const std::vector<TPlacement>& origins,
                       float dx, float dy, float dz);
// Turns the selection about the vertical axis through the centre of its
// drawn bounds by `degrees` (positive as the object's Y rotation).
MapChange TurnSelected(ProjectContent& content, Selection& selection, float degrees);
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
