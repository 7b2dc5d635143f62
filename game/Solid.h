// A collision volume as drawn: a box turned within its object, then scaled
// and turned by its placement.  A placement scales before it turns, so under
// an uneven scale a turned box shears into a parallelepiped; a Solid is that
// shape, a corner and three edges.  Two more kinds share the record: a
// triangle (a corner and two edges: a face of a model or of a torus, flat
// floors and walls are flat parallelepipeds) and a sphere (its centre in
// `corner`, its radius in edge[0][0]).  The player is an upright box; the
// tests against parallelepipeds and triangles use separating axes (the world
// axes, the solid's face normals and the cross products of its edges with
// the world axes), so they are exact for every parallelepiped, for the flat
// ones a zero scale makes, and for triangles; a sphere is tested through the
// point of the box nearest its centre, exactly too.  No GL, no Qt.
#pragma once

#include <cstdint>

#include "BoxGrid.h"

namespace qx {

enum class SolidKind : uint8_t { Box, Triangle, Sphere };

struct Solid {
    float corner[3] = {0, 0, 0};
    float edge[3][3] = {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}};
    Box3 bounds;  // the axis-aligned box around it
    SolidKind kind = SolidKind::Box;

    // An axis-aligned box.
    static Solid Of(const Box3& box);
    // The box 0 .. size turned by glRotatef about X, then Y, then Z (degrees,
    // the order a box and a placement are drawn with), its corner at `at`.
    static Solid Turned(const float at[3], const float size[3], const float degrees[3]);
    // The triangle a, b, c.
    static Solid Triangle(const float a[3], const float b[3], const float c[3]);
    static Solid Sphere(const float centre[3], float radius);
    float Radius() const { return edge[0][0]; }
    void UpdateBounds();
};

// p := R p for the rotations glRotatef(x) glRotatef(y) glRotatef(z) make
// (degrees; a zero angle is skipped exactly, as the box drawing skips it).
void TurnPoint(float p[3], const float degrees[3]);
// The same turn with its cosines and sines worked out once, for many
// points (the corners of a box): each point turned to the same bit.
class PointTurn {
public:
    explicit PointTurn(const float degrees[3]);
    void operator()(float p[3]) const;

private:
    float cos_[3] = {1, 1, 1}, sin_[3] = {0, 0, 0};
    bool turns_[3] = {false, false, false};
};
// Row-major 3 x 3 matrix of the same rotations times diag(scale).
void TurnScaleMatrix(const float degrees[3], const float scale[3], float m[9]);

// The separating axes of a solid against upright boxes (the world axes, its
// face normals and the cross products of its edges with the world axes),
// each with the solid's extent along it: found once, so that each test only
// projects the box.
class SolidAxes {
public:
    explicit SolidAxes(const Solid& solid);

    // Open intervals, as Box3::Overlaps: touching is no overlap.
    bool Overlaps(const Box3& body) const;
    // Sinks into the solid deeper than `depth` (along every separating axis;
    // into a sphere: its surface that far inside).
    bool SinksInto(const Box3& body, float depth) const;
    // The body moved by t along world axis `axis` overlaps the solid for
    // `enter` < t < `exit`; false when it never does.
    bool SweepAlong(const Box3& body, int axis, float& enter, float& exit) const;

private:
    // f(n, bodyLow, bodyHigh, solidLow, solidHigh) per axis while it
    // returns true; whether it always did.
    template <typename F>
    bool ForEachAxis(const Box3& body, F&& f) const;
    // Squared distance from the sphere's centre to the body, leaving out
    // axis `skip` (-1: none).
    float SphereGap2(const Box3& body, int skip) const;

    static constexpr int kMaxAxes = 12;
    Box3 bounds_;
    bool sphere_ = false;
    float centre_[3] = {0, 0, 0};
    float radius_ = 0;
    int count_ = 0;
    float axis_[kMaxAxes][3];
    float low_[kMaxAxes], high_[kMaxAxes];
};

}  // namespace qx
