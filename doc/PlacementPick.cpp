#include "PlacementPick.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "MapDraw.h"
#include "PrimitiveList.h"
#include "QX3DObject.h"

namespace qx {

namespace {

constexpr double kDegrees = 3.14159265358979323846 / 180.0;

// The rotation glRotatef(angle, axis) applies.
Affine Rotation(double degrees, int axis)
{
    Affine r;
    if (degrees == 0)
        return r;
    const double c = std::cos(degrees * kDegrees), s = std::sin(degrees * kDegrees);
    const int a = (axis + 1) % 3, b = (axis + 2) % 3;
    r.m[a][a] = c;
    r.m[a][b] = -s;
    r.m[b][a] = s;
    r.m[b][b] = c;
    return r;
}

Affine Translation(double x, double y, double z)
{
    Affine t;
    t.t[0] = x;
    t.t[1] = y;
    t.t[2] = z;
    return t;
}

Affine BoxFrame(const TBox& box)
{
    return Translation(box.Position.X, box.Position.Y, box.Position.Z) * Rotation(box.Rotation.X, 0) *
           Rotation(box.Rotation.Y, 1) * Rotation(box.Rotation.Z, 2);
}

void Corners(const Bounds& b, double out[8][3])
{
    for (int i = 0; i < 8; ++i)
        for (int k = 0; k < 3; ++k)
            out[i][k] = (i >> k) & 1 ? b.max[k] : b.min[k];
}

// Slab test of the ray against [min, max]; the entry distance, or negative.
double HitBox(const double lo[3], const double hi[3], const double origin[3], const double dir[3])
{
    double near = 0, far = std::numeric_limits<double>::infinity();
    for (int k = 0; k < 3; ++k) {
        if (dir[k] == 0) {
            if (origin[k] < lo[k] || origin[k] > hi[k])
                return -1;
            continue;
        }
        double t1 = (lo[k] - origin[k]) / dir[k], t2 = (hi[k] - origin[k]) / dir[k];
        if (t1 > t2)
            std::swap(t1, t2);
        near = std::max(near, t1);
        far = std::min(far, t2);
        if (!(near <= far))
            return -1;
    }
    return near;
}

// The ray in a frame's own coordinates (distances along it unchanged).
bool RayInFrame(const Affine& frame, const Ray& ray, double origin[3], double dir[3])
{
    Affine inverse;
    if (!frame.Inverse(inverse))
        return false;
    inverse.Apply(ray.origin, origin);
    for (int r = 0; r < 3; ++r)
        dir[r] = inverse.m[r][0] * ray.dir[0] + inverse.m[r][1] * ray.dir[1] + inverse.m[r][2] * ray.dir[2];
    return true;
}

const TGLPremitives* DrawnList(const TQX3DObject& object)
{
    const int16_t k = object.CurrentList;
    if (k < 0 || k >= object.ListCount || static_cast<size_t>(k) >= object.Lists.size())
        return nullptr;
    return object.Lists[static_cast<size_t>(k)].get();
}

}  // namespace

void Bounds::Add(const double p[3])
{
    for (int k = 0; k < 3; ++k) {
        if (!std::isfinite(p[k]))
            return;
    }
    for (int k = 0; k < 3; ++k) {
        min[k] = empty ? p[k] : std::min(min[k], p[k]);
        max[k] = empty ? p[k] : std::max(max[k], p[k]);
    }
    empty = false;
}

void Affine::Apply(const double p[3], double out[3]) const
{
    for (int r = 0; r < 3; ++r)
        out[r] = m[r][0] * p[0] + m[r][1] * p[1] + m[r][2] * p[2] + t[r];
}

bool Affine::Inverse(Affine& out) const
{
    const double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                       m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                       m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    if (det == 0 || !std::isfinite(det))
        return false;
    const double d = 1 / det;
    out.m[0][0] = (m[1][1] * m[2][2] - m[1][2] * m[2][1]) * d;
    out.m[0][1] = (m[0][2] * m[2][1] - m[0][1] * m[2][2]) * d;
    out.m[0][2] = (m[0][1] * m[1][2] - m[0][2] * m[1][1]) * d;
    out.m[1][0] = (m[1][2] * m[2][0] - m[1][0] * m[2][2]) * d;
    out.m[1][1] = (m[0][0] * m[2][2] - m[0][2] * m[2][0]) * d;
    out.m[1][2] = (m[0][2] * m[1][0] - m[0][0] * m[1][2]) * d;
    out.m[2][0] = (m[1][0] * m[2][1] - m[1][1] * m[2][0]) * d;
    out.m[2][1] = (m[0][1] * m[2][0] - m[0][0] * m[2][1]) * d;
    out.m[2][2] = (m[0][0] * m[1][1] - m[0][1] * m[1][0]) * d;
    for (int r = 0; r < 3; ++r)
        out.t[r] = -(out.m[r][0] * t[0] + out.m[r][1] * t[1] + out.m[r][2] * t[2]);
    return true;
}

Affine operator*(const Affine& a, const Affine& b)
{
    Affine c;
    for (int r = 0; r < 3; ++r) {
        for (int k = 0; k < 3; ++k)
            c.m[r][k] = a.m[r][0] * b.m[0][k] + a.m[r][1] * b.m[1][k] + a.m[r][2] * b.m[2][k];
        c.t[r] = a.m[r][0] * b.t[0] + a.m[r][1] * b.t[1] + a.m[r][2] * b.t[2] + a.t[r];
    }
    return c;
}

Affine PlacementFrame(const TPlacement& p)
{
    Affine scale;
    scale.m[0][0] = p.ScaleX;
    scale.m[1][1] = p.ScaleY;
    scale.m[2][2] = p.ScaleZ;
    return Translation(p.PosX, p.PosY, p.PosZ) * Rotation(p.RotX, 0) * Rotation(p.RotY, 1) * Rotation(p.RotZ, 2) *
           scale;
}

Bounds ObjectBounds(const TQX3DObject& object)
{
    Bounds bounds;
    const TGLPremitives* list = DrawnList(object);
    if (!list)
        return bounds;
    for (const TBox& box : list->Boxes) {
        // A box with a negative size draws nothing.
        if (box.Size.X < 0 || box.Size.Y < 0 || box.Size.Z < 0)
            continue;
        Bounds own;
        const double zero[3] = {0, 0, 0}, size[3] = {box.Size.X, box.Size.Y, box.Size.Z};
        own.Add(zero);
        own.Add(size);
        double corners[8][3];
        Corners(own, corners);
        const Affine frame = BoxFrame(box);
        for (const auto& corner : corners) {
            double p[3];
            frame.Apply(corner, p);
            bounds.Add(p);
        }
    }
    return bounds;
}

Bounds PlacedBounds(const TPlacement& p, const Bounds& local)
{
    Bounds bounds;
    if (local.empty)
        return bounds;
    double corners[8][3];
    Corners(local, corners);
    const Affine frame = PlacementFrame(p);
    for (const auto& corner : corners) {
        double w[3];
        frame.Apply(corner, w);
        bounds.Add(w);
    }
    return bounds;
}

double HitObject(const TQX3DObject& object, const Bounds& local, const Affine& frame, const Ray& ray)
{
    const TGLPremitives* list = DrawnList(object);
    if (!list || local.empty)
        return -1;
    double origin[3], dir[3];
    if (!RayInFrame(frame, ray, origin, dir) || HitBox(local.min, local.max, origin, dir) < 0)
        return -1;
    double best = -1;
    for (const TBox& box : list->Boxes) {
        if (box.Size.X < 0 || box.Size.Y < 0 || box.Size.Z < 0)
            continue;
        double bo[3], bd[3];
        Ray inObject;
        std::copy(origin, origin + 3, inObject.origin);
        std::copy(dir, dir + 3, inObject.dir);
        if (!RayInFrame(BoxFrame(box), inObject, bo, bd))
            continue;
        const double lo[3] = {0, 0, 0}, hi[3] = {box.Size.X, box.Size.Y, box.Size.Z};
        const double t = HitBox(lo, hi, bo, bd);
        if (t >= 0 && (best < 0 || t < best))
            best = t;
    }
    return best;
}

int32_t PickPlacement(const ProjectContent& content, const MapDrawFilter& filter, const Ray& ray,
                      std::vector<Bounds>& objectBounds)
{
    if (!filter.visible)
        return -1;
    // Each object's bounds are worked out once per pick, when first needed.
    std::vector<char> known(static_cast<size_t>(std::max(content.MapObjectCount, 0)), 0);
    objectBounds.resize(known.size());
    int32_t nearest = -1;
    double best = std::numeric_limits<double>::infinity();
    const auto test = [&](size_t i, int32_t k) {
        const TQX3DObject* object = content.MapObjects[static_cast<size_t>(k)].get();
        if (!object)
            return;
        if (!known[static_cast<size_t>(k)]) {
            objectBounds[static_cast<size_t>(k)] = ObjectBounds(*object);
            known[static_cast<size_t>(k)] = 1;
        }
        const double t = HitObject(*object, objectBounds[static_cast<size_t>(k)], PlacementFrame(content.Placements[i]), ray);
        if (t >= 0 && t < best) {
            best = t;
            nearest = static_cast<int32_t>(i);
        }
    };
    for (uint8_t mode = 1; mode <= 3; ++mode)
        if (filter.modes & (1u << mode))
            ForEachDrawnPlacement(content, mode, filter.range, filter.band, filter.cameraX, filter.level,
                                  filter.cameraZ, test);
    return nearest;
}

}  // namespace qx
