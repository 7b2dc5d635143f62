// Picking placements with the mouse ray, as they are drawn: a placement
// scales, then turns (X, Y, Z), then moves its object; each box turns about
// its corner (X, Y, Z) and spans Size from there.  The ray is tested against
// every box in that frame, so a click through an arch reaches what lies
// behind it.  A placement's bounds are tested first, so a pick among tens of
// thousands of placements tests the boxes of the few the ray passes: a
// sphere about each placement sorts them along the ray, and the boxes are
// tested nearest sphere first until a hit is nearer than the next sphere.
#pragma once

#include <cstdint>
#include <vector>

#include "ProjectContent.h"

class TGLPremitives;
class TQX3DObject;
struct TBox;
struct TVec3;

namespace qx {

struct Ray {
    double origin[3] = {0, 0, 0};
    double dir[3] = {0, 0, 1};  // any length; hits are measured along it
};

// An axis-aligned box; empty until something is added.
struct Bounds {
    double min[3] = {0, 0, 0};
    double max[3] = {0, 0, 0};
    bool empty = true;
    void Add(const double p[3]);
    double Centre(int axis) const { return (min[axis] + max[axis]) / 2; }
};

// A 3 x 4 affine transform: p' = m p + t.
struct Affine {
    double m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    double t[3] = {0, 0, 0};
    void Apply(const double p[3], double out[3]) const;
    // False when it cannot be inverted (a zero scale).
    bool Inverse(Affine& out) const;
};
Affine operator*(const Affine& a, const Affine& b);
// The frame a placement draws its object in.
Affine PlacementFrame(const TPlacement& p);
// The frame a part placed by its own fields draws in: moved to `position`,
// then turned about X, Y and Z.
Affine PartFrame(const TVec3& position, const TVec3& rotation);
// The list an object draws (its current one); null when there is none.
const TGLPremitives* DrawnList(const TQX3DObject& object);

// Which placements the map view draws: the frame's DrawMap parameters, bit
// m of `modes` set for each mode m it drew with.
struct MapDrawFilter {
    bool visible = false;
    uint8_t modes = 0, range = 0, band = 0;
    float cameraX = 0, level = 0, cameraZ = 0;
};

// Bounds of an object's drawn list in its own frame (every box's corners).
Bounds ObjectBounds(const TQX3DObject& object);
// One box's bounds in its object, as drawn; empty for a box that draws
// nothing.
Bounds BoxBounds(const TBox& box);
// World bounds of `local` drawn by placement p.
Bounds PlacedBounds(const TPlacement& p, const Bounds& local);

// Distance along the ray (in units of dir) to the nearest box of object
// drawn in `frame`; negative when the ray misses.  Non-empty `local` bounds
// are tested first.
double HitObject(const TQX3DObject& object, const Bounds& local, const Affine& frame, const Ray& ray);

// The nearest drawn placement the ray hits, -1 for none.  `objectBounds` is
// scratch space for the objects' spheres (reused, so a pick allocates little).
int32_t PickPlacement(const ProjectContent& content, const MapDrawFilter& filter, const Ray& ray,
                      std::vector<Bounds>& objectBounds);

}  // namespace qx
