// Picking and rectangle selection in a 2D view.  A placement shows in a view
// as the outline of its drawn bounds (PlacedBounds of its object's boxes;
// its position where the object draws nothing), so that is what a click or
// a rectangle meets there.
//
// The bounds of every placement are worked out once per change of the map,
// not per click: a view holds a PlacedBoundsTable, rebuilds it when the
// document says the map or the objects changed, and draws, picks and
// selects from it.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "MapEdits.h"
#include "OrthoView.h"
#include "PartOutlines.h"

namespace qx {

struct PlacedBoundsTable {
    std::vector<Bounds> placements;  // by placement index

    // Everything, the objects' own bounds too (the objects changed).
    void Rebuild(const ProjectContent& content);
    // The placements only, the objects' bounds kept (only the map changed).
    void Refresh(const ProjectContent& content);
    // Only placements `indices`, moved, turned or scaled since (those a drag
    // moves): each still shows the object it showed.
    void Update(const ProjectContent& content, const std::vector<int32_t>& indices);

    // The parts of the object placement i shows, worked out the first time
    // they are asked for after a rebuild; null when it shows none.
    const PartOutlines* PartsOf(const ProjectContent& content, size_t i) const;

private:
    std::vector<Bounds> objects_;   // each object's own bounds, every part kind's
    // Each object's parts, as far as a view has asked for them (a view of
    // the whole level shows placements too small to show their parts).
    mutable std::vector<std::unique_ptr<PartOutlines>> parts_;
    // The object each placement showed at the last refresh: a move touches
    // the content, and its name index would be rebuilt on every mouse move.
    std::vector<int32_t> objectOf_;
};

// What a view centres on: the selection's bounds as drawn, else the whole
// level's with the player start.
Bounds ViewTarget(const ProjectContent& content, const PlacedBoundsTable& table, const Selection& selection);

// Repeated clicks at one spot step through the placements under it, nearest
// the viewer first; the caller keeps this between clicks.
struct ViewPickCycle {
    double x = 0, y = 0;
    uint64_t last = 0;  // the placement picked last, 0 for none
};

// How far (pixels) a click may be from the last one and still cycle.
constexpr double kCycleReach = 3;

// The placements whose outline holds pixel (x, y), nearest the viewer
// first (of two as near, the one drawn later).
std::vector<int32_t> PlacementsUnder(const PlacedBoundsTable& table, const OrthoView& view, double x, double y);
// The placement a click at (x, y) picks, -1 for none: the nearest, or at
// the spot of the last click the one after the last picked.
int32_t PickInView(const ProjectContent& content, const PlacedBoundsTable& table, const OrthoView& view, double x,
                   double y, ViewPickCycle& cycle);
// The placements whose outline lies wholly inside the rectangle between
// pixels (x0, y0) and (x1, y1) or, `touching`, meets it.
Selection SelectInRect(const ProjectContent& content, const PlacedBoundsTable& table, const OrthoView& view, double x0,
                       double y0, double x1, double y1, bool touching);

}  // namespace qx
