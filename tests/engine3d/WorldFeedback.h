// Feedback capture in object coordinates: an orthographic projection over
// the 256 x 256 test surface that maps [-half, half] on every axis onto the
// window, so each feedback vertex converts back to the point the routine
// emitted.  Shared by the engine and scene tests.
#pragma once

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "GlTestContext.h"
#include "VectorMath.h"

namespace qxtest {

struct WorldVertex {
    float x, y, z;
    float r, g, b, a;
    float s, t;
};

struct WorldPrimitive {
    unsigned token;
    std::vector<WorldVertex> v;
};

inline void UseWorldOrtho(double half = 128)
{
    glViewport(0, 0, 256, 256);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-half, half, -half, half, -half, half);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

// Captures draw() with culling off (unless keepCulling) and converts the
// window coordinates back through the projection set by UseWorldOrtho(half).
inline std::vector<WorldPrimitive> CaptureWorld(const std::function<void()>& draw, double half = 128,
                                                bool keepCulling = false)
{
    if (!keepCulling)
        glDisable(GL_CULL_FACE);
    const auto raw = CaptureFeedback(draw);
    std::vector<WorldPrimitive> out;
    for (const FeedbackPrimitive& p : raw) {
        WorldPrimitive w{p.token, {}};
        for (const FeedbackVertex& f : p.vertices) {
            const double k = half / 128.0;
            w.v.push_back({float((f.x - 128) * k), float((f.y - 128) * k),
                           float(half * (1 - 2.0 * f.z)), f.r, f.g, f.b, f.a, f.s, f.t});
        }
        out.push_back(std::move(w));
    }
    return out;
}

inline std::vector<WorldVertex> AllVertices(const std::vector<WorldPrimitive>& prims)
{
    std::vector<WorldVertex> all;
    for (const auto& p : prims)
        all.insert(all.end(), p.v.begin(), p.v.end());
    return all;
}

// Axis-aligned bounds of everything captured.
struct Bounds {
    float lo[3] = {INFINITY, INFINITY, INFINITY};
    float hi[3] = {-INFINITY, -INFINITY, -INFINITY};
};

inline Bounds BoundsOf(const std::vector<WorldPrimitive>& prims)
{
    Bounds b;
    for (const WorldVertex& v : AllVertices(prims)) {
        const float c[3] = {v.x, v.y, v.z};
        for (int i = 0; i < 3; ++i) {
            b.lo[i] = std::fmin(b.lo[i], c[i]);
            b.hi[i] = std::fmax(b.hi[i], c[i]);
        }
    }
    return b;
}

// Reads the RGBA pixel at window (x, y), origin bottom-left.
inline std::vector<unsigned char> PixelAt(int x, int y)
{
    std::vector<unsigned char> rgba(4);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

}  // namespace qxtest

namespace qxtest {

inline bool SameVertex(const WorldVertex& a, const WorldVertex& b, float eps = 1e-3f)
{
    return std::fabs(a.x - b.x) < eps && std::fabs(a.y - b.y) < eps && std::fabs(a.z - b.z) < eps &&
           std::fabs(a.s - b.s) < eps && std::fabs(a.t - b.t) < eps;
}

// The same primitives (token, positions, colours, texture coordinates
// within eps), in any order: drawings that group the same shapes
// differently capture equal.
inline ::testing::AssertionResult SameShapes(std::vector<WorldPrimitive> a, std::vector<WorldPrimitive> b,
                                             float eps = 2e-3f)
{
    const auto key = [](const WorldPrimitive& p) {
        std::vector<long> k{static_cast<long>(p.token)};
        for (const WorldVertex& v : p.v)
            for (float f : {v.x, v.y, v.z, v.s, v.t, v.r, v.g, v.b, v.a})
                k.push_back(std::lround(f * 100));
        return k;
    };
    const auto order = [&](const WorldPrimitive& l, const WorldPrimitive& r) { return key(l) < key(r); };
    std::sort(a.begin(), a.end(), order);
    std::sort(b.begin(), b.end(), order);
    if (a.size() != b.size())
        return ::testing::AssertionFailure() << a.size() << " primitives against " << b.size();
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].token != b[i].token || a[i].v.size() != b[i].v.size())
            return ::testing::AssertionFailure() << "primitive " << i << " differs in kind";
        for (size_t k = 0; k < a[i].v.size(); ++k) {
            const WorldVertex &u = a[i].v[k], &w = b[i].v[k];
            const float d[9] = {u.x - w.x, u.y - w.y, u.z - w.z, u.s - w.s, u.t - w.t,
                                u.r - w.r, u.g - w.g, u.b - w.b, u.a - w.a};
            for (float x : d)
                if (!(std::fabs(x) < eps))
                    return ::testing::AssertionFailure()
                           << "primitive " << i << " vertex " << k << ": (" << u.x << ", " << u.y << ", " << u.z
                           << ") st (" << u.s << ", " << u.t << ") against (" << w.x << ", " << w.y << ", "
                           << w.z << ") st (" << w.s << ", " << w.t << ")";
        }
    }
    return ::testing::AssertionSuccess();
}

// Mesa's feedback splits a GL_QUADS quad v0 v1 v2 v3 into the triangles
// (v0, v1, v3) and (v1, v2, v3).  Rebuilds the quads in emission order;
// empty when the triangles do not pair up that way.
inline std::vector<std::vector<WorldVertex>> QuadsFromTriangles(const std::vector<WorldPrimitive>& prims)
{
    std::vector<std::vector<WorldVertex>> quads;
    if (prims.size() % 2 != 0)
        return {};
    for (size_t i = 0; i < prims.size(); i += 2) {
        const auto& a = prims[i].v;
        const auto& b = prims[i + 1].v;
        if (a.size() != 3 || b.size() != 3 || !SameVertex(a[1], b[0]) || !SameVertex(a[2], b[2]))
            return {};
        quads.push_back({a[0], a[1], b[1], a[2]});
    }
    return quads;
}

// A GL_QUAD_STRIP's quad k arrives as the triangles (v2k+2, v2k, v2k+3) and
// (v2k, v2k+1, v2k+3).  Rebuilds the emitted vertex sequence of one strip
// from `quads` consecutive triangle pairs starting at prims[first].
inline std::vector<WorldVertex> StripFromTriangles(const std::vector<WorldPrimitive>& prims,
                                                   size_t first, size_t quads)
{
    std::vector<WorldVertex> seq;
    if (first + 2 * quads > prims.size())
        return {};
    for (size_t k = 0; k < quads; ++k) {
        const auto& a = prims[first + 2 * k].v;
        const auto& b = prims[first + 2 * k + 1].v;
        if (a.size() != 3 || b.size() != 3 || !SameVertex(a[1], b[0]) || !SameVertex(a[2], b[2]))
            return {};
        if (k == 0) {
            seq.push_back(b[0]);
            seq.push_back(b[1]);
        } else if (!SameVertex(seq[2 * k], b[0]) || !SameVertex(seq[2 * k + 1], b[1])) {
            return {};
        }
        seq.push_back(a[0]);
        seq.push_back(a[2]);
    }
    return seq;
}

}  // namespace qxtest
