// What a 2D view draws of an object, part by part: each part of a list as a
// few points in the object's frame, such that their outline in a view (the
// convex hull of where they land) covers what the part draws there:
//
//   box            its eight corners
//   floor, wall    the rectangle's four corners
//   sphere         points round three great circles
//   torus          points round the outer rim of its two flat faces
//   model          the eight corners of its triangles' bounds
//
// A view works these out once per change of the objects, not per picture.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "OrthoView.h"
#include "ShapeFields.h"

class TGLPremitives;
class TQX3DObject;

namespace qx {

struct PartOutlines {
    struct Part {
        ShapeKind kind = ShapeKind::Box;
        uint32_t first = 0, count = 0;  // in points
    };
    std::vector<Part> parts;
    std::vector<std::array<double, 3>> points;  // in the object's frame
    Bounds bounds;                              // of every point

    std::span<const std::array<double, 3>> PointsOf(const Part& part) const
    {
        return std::span(points).subspan(part.first, part.count);
    }
};

// Appends the parts of `list` (those it draws: a box of negative size and a
// model that was never read draw nothing) to `out`.
void AddPartOutlines(const TGLPremitives& list, PartOutlines& out);
// The parts of the list an object draws.
PartOutlines OutlinesOf(const TQX3DObject& object);
// Their bounds alone (no points kept).
Bounds OutlineBounds(const TQX3DObject& object);

// The convex hull, in the view's pixels, of `points` carried by `frame`:
// (x, y) pairs in turn, at most one pair per point; fewer than three pairs
// when the part is seen edge on (a line) or is one point.
void HullInView(const OrthoView& view, const Affine& frame, std::span<const std::array<double, 3>> points,
                std::vector<double>& xy);

}  // namespace qx
