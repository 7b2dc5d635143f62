#include "Solid.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace qx {

namespace {

void Turn(float p[3], int axis, float c, float s)
{
    const int i = (axis + 1) % 3, j = (axis + 2) % 3;
    const float u = p[i], v = p[j];
    p[i] = c * u - s * v;
    p[j] = s * u + c * v;
}

float Dot(const float a[3], const float b[3]) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

void Cross(const float a[3], const float b[3], float out[3])
{
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

// The world axes come from the bounds (exact for unturned boxes, and the
// commonest separation); an axis parallel to one of them adds nothing, and
// one that vanishes (parallel or zero edges) separates nothing.
bool Useful(const float n[3], float scale2)
{
    const int zeros = (n[0] == 0) + (n[1] == 0) + (n[2] == 0);
    return zeros < 2 && Dot(n, n) > 1e-12f * scale2;
}

}  // namespace

Solid Solid::Of(const Box3& box)
{
    Solid s;
    for (int a = 0; a < 3; ++a) {
        s.corner[a] = box.min[a];
        s.edge[a][a] = box.max[a] - box.min[a];
    }
    s.bounds = box;
    return s;
}

Solid Solid::Turned(const float at[3], const float size[3], const float degrees[3])
{
    Solid s;
    for (int k = 0; k < 3; ++k) {
        s.corner[k] = at[k];
        s.edge[k][k] = size[k];
        TurnPoint(s.edge[k], degrees);
    }
    s.UpdateBounds();
    return s;
}

Solid Solid::Triangle(const float a[3], const float b[3], const float c[3])
{
    Solid s;
    s.kind = SolidKind::Triangle;
    for (int k = 0; k < 3; ++k) {
        s.corner[k] = a[k];
        s.edge[0][k] = b[k] - a[k];
        s.edge[1][k] = c[k] - a[k];
    }
    s.UpdateBounds();
    return s;
}

Solid Solid::Sphere(const float centre[3], float radius)
{
    Solid s;
    s.kind = SolidKind::Sphere;
    for (int k = 0; k < 3; ++k)
        s.corner[k] = centre[k];
    s.edge[0][0] = std::abs(radius);
    s.UpdateBounds();
    return s;
}

void Solid::UpdateBounds()
{
    for (int a = 0; a < 3; ++a) {
        float low = corner[a], high = corner[a];
        switch (kind) {
        case SolidKind::Box:
            for (const float* e : edge)
                (e[a] < 0 ? low : high) += e[a];
            break;
        case SolidKind::Triangle:
            low += std::min({0.0f, edge[0][a], edge[1][a]});
            high += std::max({0.0f, edge[0][a], edge[1][a]});
            break;
        case SolidKind::Sphere:
            low -= Radius();
            high += Radius();
            break;
        }
        bounds.min[a] = low;
        bounds.max[a] = high;
    }
}

PointTurn::PointTurn(const float degrees[3])
{
    for (int axis = 0; axis < 3; ++axis) {
        turns_[axis] = degrees[axis] != 0;
        if (!turns_[axis])
            continue;
        const double a = degrees[axis] * M_PI / 180.0;
        cos_[axis] = static_cast<float>(std::cos(a));
        sin_[axis] = static_cast<float>(std::sin(a));
    }
}

void PointTurn::operator()(float p[3]) const
{
    for (int axis = 2; axis >= 0; --axis)
        if (turns_[axis])
            Turn(p, axis, cos_[axis], sin_[axis]);
}

void TurnPoint(float p[3], const float degrees[3])
{
    const PointTurn turn(degrees);
    turn(p);
}

void TurnScaleMatrix(const float degrees[3], const float scale[3], float m[9])
{
    const PointTurn turn(degrees);
    for (int k = 0; k < 3; ++k) {
        float column[3] = {0, 0, 0};
        column[k] = scale[k];
        turn(column);
        for (int r = 0; r < 3; ++r)
            m[3 * r + k] = column[r];
    }
}

SolidAxes::SolidAxes(const Solid& solid) : bounds_(solid.bounds)
{
    if (solid.kind == SolidKind::Sphere) {
        sphere_ = true;
        for (int a = 0; a < 3; ++a)
            centre_[a] = solid.corner[a];
        radius_ = solid.Radius();
        return;
    }
    const bool triangle = solid.kind == SolidKind::Triangle;
    const auto add = [&](const float n[3]) {
        float low = Dot(n, solid.corner), high = low;
        if (triangle) {
            const float d0 = Dot(n, solid.edge[0]), d1 = Dot(n, solid.edge[1]);
            low += std::min({0.0f, d0, d1});
            high += std::max({0.0f, d0, d1});
        } else {
            for (const float* e : solid.edge) {
                const float d = Dot(n, e);
                (d < 0 ? low : high) += d;
            }
        }
        for (int a = 0; a < 3; ++a)
            axis_[count_][a] = n[a];
        low_[count_] = low;
        high_[count_] = high;
        ++count_;
    };
    // A triangle's edges: its two, and the one closing it.
    float closing[3];
    for (int a = 0; a < 3; ++a)
        closing[a] = solid.edge[1][a] - solid.edge[0][a];
    const float* edges[3] = {solid.edge[0], solid.edge[1], triangle ? closing : solid.edge[2]};
    // An edge along a world axis makes that axis crossed with the other
    // edges a face normal again; with all three along axes, the world axes
    // are all there is.
    bool along[3] = {false, false, false};
    int aligned = 0;
    for (const float* e : edges) {
        const bool x = e[0] != 0, y = e[1] != 0, z = e[2] != 0;
        if (x + y + z == 1) {
            along[x ? 0 : y ? 1 : 2] = true;
            ++aligned;
        }
    }
    if (aligned == 3 && !triangle)
        return;
    float n[3];
    if (triangle) {
        Cross(solid.edge[0], solid.edge[1], n);
        if (Useful(n, Dot(solid.edge[0], solid.edge[0]) * Dot(solid.edge[1], solid.edge[1])))
            add(n);
    } else {
        for (int k = 0; k < 3; ++k) {
            const float* u = solid.edge[(k + 1) % 3];
            const float* v = solid.edge[(k + 2) % 3];
            Cross(u, v, n);
            if (Useful(n, Dot(u, u) * Dot(v, v)))
                add(n);
        }
    }
    for (const float* e : edges) {
        const float e2 = Dot(e, e);
        const float world[3][3] = {{0, -e[2], e[1]}, {e[2], 0, -e[0]}, {-e[1], e[0], 0}};  // axis x e
        for (int a = 0; a < 3; ++a)
            if (!along[a] && Useful(world[a], e2))
                add(world[a]);
    }
}

float SolidAxes::SphereGap2(const Box3& body, int skip) const
{
    float gap2 = 0;
    for (int a = 0; a < 3; ++a) {
        if (a == skip)
            continue;
        const float d = std::max({body.min[a] - centre_[a], 0.0f, centre_[a] - body.max[a]});
        gap2 += d * d;
    }
    return gap2;
}

template <typename F>
bool SolidAxes::ForEachAxis(const Box3& body, F&& f) const
{
    for (int a = 0; a < 3; ++a) {
        const float n[3] = {a == 0 ? 1.0f : 0.0f, a == 1 ? 1.0f : 0.0f, a == 2 ? 1.0f : 0.0f};
        if (!f(n, body.min[a], body.max[a], bounds_.min[a], bounds_.max[a]))
            return false;
    }
    float centre[3], half[3];
    for (int a = 0; a < 3; ++a) {
        centre[a] = 0.5f * (body.min[a] + body.max[a]);
        half[a] = 0.5f * (body.max[a] - body.min[a]);
    }
    for (int k = 0; k < count_; ++k) {
        const float* n = axis_[k];
        const float c = Dot(n, centre);
        const float r = std::abs(n[0]) * half[0] + std::abs(n[1]) * half[1] + std::abs(n[2]) * half[2];
        if (!f(n, c - r, c + r, low_[k], high_[k]))
            return false;
    }
    return true;
}

bool SolidAxes::Overlaps(const Box3& body) const
{
    if (sphere_)
        return SphereGap2(body, -1) < radius_ * radius_;
    return ForEachAxis(body, [](const float*, float bLow, float bHigh, float sLow, float sHigh) {
        return bLow < sHigh && sLow < bHigh;
    });
}

bool SolidAxes::SinksInto(const Box3& body, float depth) const
{
    if (sphere_) {
        const float inner = radius_ - depth;
        return inner > 0 && SphereGap2(body, -1) < inner * inner;
    }
    return ForEachAxis(body, [&](const float* n, float bLow, float bHigh, float sLow, float sHigh) {
        return std::min(bHigh - sLow, sHigh - bLow) > depth * std::sqrt(Dot(n, n));
    });
}

bool SolidAxes::SweepAlong(const Box3& body, int axis, float& enter, float& exit) const
{
    if (sphere_) {
        // Across the axis the nearest point of the body stays where it is;
        // along it, the sphere reaches half a chord either side of its centre.
        const float across2 = SphereGap2(body, axis);
        if (!(across2 < radius_ * radius_))
            return false;
        const float half = std::sqrt(radius_ * radius_ - across2);
        enter = centre_[axis] - half - body.max[axis];
        exit = centre_[axis] + half - body.min[axis];
        return true;
    }
    float from = -std::numeric_limits<float>::infinity(), to = std::numeric_limits<float>::infinity();
    const bool meets = ForEachAxis(body, [&](const float* n, float bLow, float bHigh, float sLow, float sHigh) {
        const float d = n[axis];
        if (d == 0)
            return bLow < sHigh && sLow < bHigh;
        // bLow + t d < sHigh and sLow < bHigh + t d.
        float t0 = (sLow - bHigh) / d, t1 = (sHigh - bLow) / d;
        if (d < 0)
            std::swap(t0, t1);
        from = std::max(from, t0);
        to = std::min(to, t1);
        return from < to;
    });
    enter = from;
    exit = to;
    return meets;
}

}  // namespace qx
