#include "PlacementPick.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

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

Affine BoxFrame(const TBox& box) { return PartFrame(box.Position, box.Rotation); }

// The box of `b` carried by `frame`: the box about the moved centre whose
// half extents are |M| times the local ones is the box of the eight moved
// corners, at an eighth of the work (the 2D views bound 50,000 placements
// on every change of the map).  Empty when it is not finite.
Bounds Carried(const Bounds& b, const Affine& frame)
{
    Bounds carried;
    if (b.empty)
        return carried;
    double centre[3], half[3], moved[3];
    for (int k = 0; k < 3; ++k) {
        centre[k] = b.Centre(k);
        half[k] = (b.max[k] - b.min[k]) / 2;
    }
    frame.Apply(centre, moved);
    for (int r = 0; r < 3; ++r) {
        const double reach = std::fabs(frame.m[r][0]) * half[0] + std::fabs(frame.m[r][1]) * half[1] +
                             std::fabs(frame.m[r][2]) * half[2];
        carried.min[r] = moved[r] - reach;
        carried.max[r] = moved[r] + reach;
        if (!std::isfinite(carried.min[r]) || !std::isfinite(carried.max[r]))
            return Bounds();
    }
    carried.empty = false;
    return carried;
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

}  // namespace

Affine PartFrame(const TVec3& position, const TVec3& rotation)
{
    return Translation(position.X, position.Y, position.Z) * Rotation(rotation.X, 0) * Rotation(rotation.Y, 1) *
           Rotation(rotation.Z, 2);
}

const TGLPremitives* DrawnList(const TQX3DObject& object)
{
    const int16_t k = object.CurrentList;
    if (k < 0 || k >= object.ListCount || static_cast<size_t>(k) >= object.Lists.size())
        return nullptr;
    return object.Lists[static_cast<size_t>(k)].get();
}

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
        const Bounds carried = BoxBounds(box);
        if (!carried.empty) {
            bounds.Add(carried.min);
            bounds.Add(carried.max);
        }
    }
    return bounds;
}

Bounds BoxBounds(const TBox& box)
{
    // A box with a negative size draws nothing.
    if (box.Size.X < 0 || box.Size.Y < 0 || box.Size.Z < 0)
        return Bounds();
    Bounds own;
    const double zero[3] = {0, 0, 0}, size[3] = {box.Size.X, box.Size.Y, box.Size.Z};
    own.Add(zero);
    own.Add(size);
    return Carried(own, BoxFrame(box));
}

Bounds PlacedBounds(const TPlacement& p, const Bounds& local) { return Carried(local, PlacementFrame(p)); }

double HitObject(const TQX3DObject& object, const Bounds& local, const Affine& frame, const Ray& ray)
{
    const TGLPremitives* list = DrawnList(object);
    if (!list)
        return -1;
    double origin[3], dir[3];
    if (!RayInFrame(frame, ray, origin, dir) || (!local.empty && HitBox(local.min, local.max, origin, dir) < 0))
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

namespace {

// A sphere about the object's origin that holds every box: a box turns about
// its corner, so none of its points is farther from the origin than the
// corner's distance plus the box's diagonal.  No trigonometry: cheap enough
// to work out for every object a pick meets.
double ObjectRadius(const TQX3DObject& object)
{
    const TGLPremitives* list = DrawnList(object);
    double radius = -1;
    if (!list)
        return radius;
    for (const TBox& box : list->Boxes) {
        if (box.Size.X < 0 || box.Size.Y < 0 || box.Size.Z < 0)
            continue;
        const double corner = std::sqrt(double(box.Position.X) * box.Position.X +
                                        double(box.Position.Y) * box.Position.Y +
                                        double(box.Position.Z) * box.Position.Z);
        const double diagonal =
            std::sqrt(double(box.Size.X) * box.Size.X + double(box.Size.Y) * box.Size.Y + double(box.Size.Z) * box.Size.Z);
        radius = std::max(radius, corner + diagonal);
    }
    return std::isfinite(radius) ? radius : -1;
}

}  // namespace

int32_t PickPlacement(const ProjectContent& content, const MapDrawFilter& filter, const Ray& ray,
                      std::vector<Bounds>& objectBounds)
{
    if (!filter.visible)
        return -1;
    const double length =
        std::sqrt(ray.dir[0] * ray.dir[0] + ray.dir[1] * ray.dir[1] + ray.dir[2] * ray.dir[2]);
    if (!(length > 0) || !std::isfinite(length))
        return -1;
    const double unit[3] = {ray.dir[0] / length, ray.dir[1] / length, ray.dir[2] / length};

    // Each object's sphere once per pick, when first needed (scratch space
    // reused between picks: Bounds.min[0] holds the radius, `empty` whether
    // it is known yet).
    objectBounds.assign(static_cast<size_t>(std::max(content.MapObjectCount, 0)), Bounds());
    struct Candidate {
        double enter;
        int32_t placement;
        int32_t object;
    };
    static thread_local std::vector<Candidate> candidates;
    static thread_local std::vector<uint8_t> seen;
    candidates.clear();
    // A placement drawn in two modes is tested once.
    seen.assign(static_cast<size_t>(std::max(content.PlacementCount, 0)), 0);
    const auto gather = [&](size_t i, int32_t k) {
        const TQX3DObject* object = content.MapObjects[static_cast<size_t>(k)].get();
        if (!object || i >= seen.size() || std::exchange(seen[i], 1))
            return;
        Bounds& known = objectBounds[static_cast<size_t>(k)];
        if (known.empty) {
            known.min[0] = ObjectRadius(*object);
            known.empty = false;
        }
        const TPlacement& p = content.Placements[i];
        const double scale = std::max({std::fabs(p.ScaleX), std::fabs(p.ScaleY), std::fabs(p.ScaleZ)});
        const double radius = known.min[0] * scale;
        if (!(radius >= 0))
            return;
        const double to[3] = {p.PosX - ray.origin[0], p.PosY - ray.origin[1], p.PosZ - ray.origin[2]};
        const double along = to[0] * unit[0] + to[1] * unit[1] + to[2] * unit[2];
        const double squared = to[0] * to[0] + to[1] * to[1] + to[2] * to[2] - along * along;
        if (squared > radius * radius)
            return;
        const double enter = along - std::sqrt(std::max(0.0, radius * radius - squared));
        if (enter + 2 * radius < 0)
            return;  // wholly behind the eye
        candidates.push_back({std::max(0.0, enter) / length, static_cast<int32_t>(i), k});
    };
    for (uint8_t mode = 1; mode <= 3; ++mode)
        if (filter.modes & (1u << mode))
            ForEachDrawnPlacement(content, mode, filter.range, filter.band, filter.cameraX, filter.level,
                                  filter.cameraZ, gather);

    // Nearest spheres first: once a hit is nearer than the next sphere, no
    // farther placement can win.
    std::sort(candidates.begin(), candidates.end(),
              [](const Candidate& a, const Candidate& b) { return a.enter < b.enter; });
    int32_t nearest = -1;
    double best = std::numeric_limits<double>::infinity();
    for (const Candidate& c : candidates) {
        if (c.enter > best)
            break;
        const TQX3DObject& object = *content.MapObjects[static_cast<size_t>(c.object)];
        const double t = HitObject(object, Bounds(), PlacementFrame(content.Placements[static_cast<size_t>(c.placement)]), ray);
        if (t >= 0 && t < best) {
            best = t;
            nearest = c.placement;
        }
    }
    return nearest;
}

}  // namespace qx
