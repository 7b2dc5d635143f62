// The built-in shapes as sequences of (texture coordinate, vertex) pairs,
// without GL: the immediate routines of Geometry.h and the vertex buffers of
// the object renderer both walk them, so the two draw the same numbers in
// the same order.
//
// A walk calls sink.Begin(mode) ... sink.End() around each primitive run, in
// between sink.Vertex(x, y, z, s, t) and, where the routine sets one,
// sink.Normal(n) before the vertices it applies to.  Positions are what
// the routine hands to GL, in the space the caller set up (DrawCube's are
// about the box's centre, which the caller translates to).
#pragma once

#include <cmath>
#include <cstdint>
#include <numbers>

#include "VectorMath.h"

namespace qx::shapes {

enum class Run : uint8_t { Points, Lines, Triangles, Quads, QuadStrip, Polygon };

namespace detail {

// One face of the cube: four (s, t) -> (a, b) corners in the face's plane.
struct CubeCorner {
    int s, t;  // 0 or 1, scaled by the tiling
    int a, b;  // -1 or +1, scaled by the half sizes of the face's two axes
};
using CubeFace = CubeCorner[4];

// Faces in drawing order: back, front, bottom, top, left, right.
constexpr CubeFace kBack = {{0, 1, +1, +1}, {1, 1, -1, +1}, {1, 0, -1, -1}, {0, 0, +1, -1}};
constexpr CubeFace kFront = {{1, 1, +1, +1}, {1, 0, +1, -1}, {0, 0, -1, -1}, {0, 1, -1, +1}};
constexpr CubeFace kBottom = {{1, 0, +1, +1}, {1, 1, +1, -1}, {0, 1, -1, -1}, {0, 0, -1, +1}};
constexpr CubeFace kTop = {{0, 1, +1, +1}, {1, 1, -1, +1}, {1, 0, -1, -1}, {0, 0, +1, -1}};
constexpr CubeFace kLeft = {{1, 1, +1, +1}, {1, 0, -1, +1}, {0, 0, -1, -1}, {0, 1, +1, -1}};
constexpr CubeFace kRight = {{0, 1, +1, +1}, {1, 1, +1, -1}, {1, 0, -1, -1}, {0, 0, -1, +1}};

enum class Plane { XY, XZ, YZ };

template <typename Sink>
void CubeFaceRun(Sink& sink, const CubeFace& face, Plane plane, float fixed, float ha, float hb, float tiling)
{
    sink.Begin(Run::Quads);
    for (const CubeCorner& c : face) {
        const float s = static_cast<float>(c.s) * tiling, t = static_cast<float>(c.t) * tiling;
        const float a = static_cast<float>(c.a) * ha;
        const float b = static_cast<float>(c.b) * hb;
        switch (plane) {
        case Plane::XY: sink.Vertex(a, b, fixed, s, t); break;
        case Plane::XZ: sink.Vertex(a, fixed, b, s, t); break;
        case Plane::YZ: sink.Vertex(fixed, a, b, s, t); break;
        }
    }
    sink.End();
}

}  // namespace detail

// The cube's six quads about its centre; the caller has translated to
// (x + sizeX / 2, y + sizeY / 2, z + sizeZ / 2).
template <typename Sink>
void CubeFaces(Sink& sink, float tiling, float hx, float hy, float hz)
{
    using namespace detail;
    CubeFaceRun(sink, kBack, Plane::XY, -hz, hx, hy, tiling);
    CubeFaceRun(sink, kFront, Plane::XY, +hz, hx, hy, tiling);
    CubeFaceRun(sink, kBottom, Plane::XZ, -hy, hx, hz, tiling);
    CubeFaceRun(sink, kTop, Plane::XZ, +hy, hx, hz, tiling);
    CubeFaceRun(sink, kLeft, Plane::YZ, -hx, hy, hz, tiling);
    CubeFaceRun(sink, kRight, Plane::YZ, +hx, hy, hz, tiling);
}

// CompileSphere's content: segments around Y and segments/2 bands, each band
// one quad strip; fewer than 4 segments or a zero radius give one point.
template <typename Sink>
void SphereStrips(Sink& sink, int32_t segments, float radius, float cx, float cy, float cz)
{
    // The evenness step comes before the absolute value, so a negative odd
    // count stays odd.
    if (segments > 0 && segments % 2 != 0)
        ++segments;
    const int64_t n = std::abs(static_cast<int64_t>(segments));
    const double r = std::fabs(radius);
    if (n < 4 || r == 0) {
        sink.Begin(Run::Points);
        sink.Vertex(cx, cy, cz, 0, 0);
        sink.End();
        return;
    }
    constexpr double kPi = std::numbers::pi;
    for (int64_t j = 0; j < n / 2; ++j) {
        const float theta1 = static_cast<float>(2 * kPi * j / n - kPi / 2);
        const float theta2 = static_cast<float>(2 * kPi * (j + 1) / n - kPi / 2);
        const double c1 = std::cos(double(theta1)), s1 = std::sin(double(theta1));
        const double c2 = std::cos(double(theta2)), s2 = std::sin(double(theta2));
        const float tUpper = static_cast<float>(2.0 * (j + 1) / n);
        const float tLower = static_cast<float>(2.0 * j / n);
        sink.Begin(Run::QuadStrip);
        for (int64_t i = 0; i <= n; ++i) {
            const float phi = static_cast<float>(2 * kPi * i / n);
            const double cp = std::cos(double(phi)), sp = std::sin(double(phi));
            const float s = static_cast<float>(1.0 - double(i) / n);
            sink.Vertex(float(cx + r * c2 * cp), float(cy + r * s2), float(cz + r * c2 * sp), s, tUpper);
            sink.Vertex(float(cx + r * c1 * cp), float(cy + r * s1), float(cz + r * c1 * sp), s, tLower);
        }
        sink.End();
    }
}

// DrawFloorQuad's two triangles over [0, sizeX] x [0, sizeZ] at y = 0, each
// with its TriangleNormal.
template <typename Sink>
void FloorTriangles(Sink& sink, float tiling, float sizeX, float sizeZ)
{
    const float t = tiling;
    const TVec3 first[3] = {{sizeX, 0, 0}, {sizeX, 0, sizeZ}, {0, 0, 0}};
    const TVec3 second[3] = {{sizeX, 0, sizeZ}, {0, 0, sizeZ}, {0, 0, 0}};
    const float firstST[3][2] = {{0, 0}, {0, t}, {t, 0}};
    const float secondST[3][2] = {{0, t}, {t, t}, {t, 0}};
    for (const auto& [p, st] : {std::pair{first, firstST}, std::pair{second, secondST}}) {
        sink.Begin(Run::Triangles);
        sink.Normal(TriangleNormal(p));
        for (int k = 0; k < 3; ++k)
            sink.Vertex(p[k].X, p[k].Y, p[k].Z, st[k][0], st[k][1]);
        sink.End();
    }
}

inline constexpr int kTorusRingSegments = 24;
inline constexpr int kTorusTubeSegments = 12;

// A torus about the Y axis through the origin: the tube's centre runs on a
// circle of `ringRadius`, the tube is `tubeRadius` thick.  One quad strip
// per ring segment, wound counter-clockwise as seen from outside (the torus
// is drawn with back faces culled), the texture once around each way.
template <typename Sink>
void TorusStrips(Sink& sink, float ringRadius, float tubeRadius)
{
    constexpr double kPi = std::numbers::pi;
    const double big = ringRadius, small = tubeRadius;
    for (int i = 0; i < kTorusRingSegments; ++i) {
        sink.Begin(Run::QuadStrip);
        for (int j = 0; j <= kTorusTubeSegments; ++j) {
            const double v = 2 * kPi * j / kTorusTubeSegments;
            const double rv = big + small * std::cos(v), y = small * std::sin(v);
            for (int k : {i, i + 1}) {
                const double u = 2 * kPi * k / kTorusRingSegments;
                sink.Vertex(float(rv * std::cos(u)), float(y), float(-rv * std::sin(u)),
                            float(double(k) / kTorusRingSegments), float(double(j) / kTorusTubeSegments));
            }
        }
        sink.End();
    }
}

}  // namespace qx::shapes
