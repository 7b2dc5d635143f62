#include "PartOutlines.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "ImportedModel.h"
#include "Mesh.h"
#include "PrimitiveList.h"
#include "QX3DObject.h"

namespace qx {

namespace {

// Points round a circle: enough that the hull of a sphere's or a torus's
// points looks round at any zoom a part fills the view at.
constexpr int kRimPoints = 24;

class Collector {
public:
    // `keep` false: only the bounds, no points kept.
    Collector(PartOutlines& out, bool keep) : out_(out), keep_(keep) {}

    void Begin(ShapeKind kind, const Affine& frame)
    {
        frame_ = frame;
        part_ = {kind, static_cast<uint32_t>(out_.points.size()), 0};
    }
    void Point(double x, double y, double z)
    {
        const double local[3] = {x, y, z};
        std::array<double, 3> p;
        frame_.Apply(local, p.data());
        if (!std::isfinite(p[0]) || !std::isfinite(p[1]) || !std::isfinite(p[2]))
            return;
        if (keep_)
            out_.points.push_back(p);
        out_.bounds.Add(p.data());
        ++part_.count;
    }
    // The eight corners of [lo, hi].
    void Corners(const double lo[3], const double hi[3])
    {
        for (int c = 0; c < 8; ++c)
            Point(c & 1 ? hi[0] : lo[0], c & 2 ? hi[1] : lo[1], c & 4 ? hi[2] : lo[2]);
    }
    // A circle of `radius` about the origin in the plane of axes a and b,
    // at `height` along the third.
    void Rim(int a, int b, double radius, double height)
    {
        for (int i = 0; i < kRimPoints; ++i) {
            const double turn = 2 * std::numbers::pi * i / kRimPoints;
            double p[3];
            p[a] = radius * std::cos(turn);
            p[b] = radius * std::sin(turn);
            p[3 - a - b] = height;
            Point(p[0], p[1], p[2]);
        }
    }
    void End()
    {
        if (part_.count > 0 && keep_)
            out_.parts.push_back(part_);
    }

private:
    PartOutlines& out_;
    bool keep_;
    Affine frame_;
    PartOutlines::Part part_;
};

template <typename T>
std::span<const T> Listed(const std::vector<T>& items, int16_t count)
{
    return std::span(items).first(std::min(items.size(), static_cast<size_t>(std::max<int16_t>(count, 0))));
}

void AddModel(Collector& into, const TModelPlacement& placed, const ImportedModel* model, ShapeKind kind)
{
    if (!model)
        return;
    MeshBuilder builder;
    model->AppendMesh(builder);
    Bounds local;
    for (const MeshGroup& group : builder.Take())
        for (const MeshVertex& v : group.vertices) {
            const double p[3] = {v.x, v.y, v.z};
            local.Add(p);
        }
    if (local.empty)
        return;
    Affine scale;
    scale.m[0][0] = placed.Scale.X;
    scale.m[1][1] = placed.Scale.Y;
    scale.m[2][2] = placed.Scale.Z;
    into.Begin(kind, PartFrame(placed.Position, placed.Rotation) * scale);
    into.Corners(local.min, local.max);
    into.End();
}

void AddParts(const TGLPremitives& list, PartOutlines& out, bool keep)
{
    Collector into(out, keep);
    for (const TBox& box : Listed(list.Boxes, list.BoxCount)) {
        // The cube routine draws nothing of a box with a negative size.
        if (box.Size.X < 0 || box.Size.Y < 0 || box.Size.Z < 0)
            continue;
        if (!keep) {
            // The same bounds as the corners', at an eighth of the work.
            const Bounds b = BoxBounds(box);
            if (!b.empty) {
                out.bounds.Add(b.min);
                out.bounds.Add(b.max);
            }
            continue;
        }
        into.Begin(ShapeKind::Box, PartFrame(box.Position, box.Rotation));
        const double lo[3] = {0, 0, 0}, hi[3] = {box.Size.X, box.Size.Y, box.Size.Z};
        into.Corners(lo, hi);
        into.End();
    }
    for (const TSphere& sphere : Listed(list.Spheres, list.SphereCount)) {
        into.Begin(ShapeKind::Sphere, PartFrame(sphere.Position, sphere.Rotation));
        for (int a = 0; a < 3; ++a)
            into.Rim(a, (a + 1) % 3, sphere.Radius, 0);
        into.End();
    }
    for (const TTorus& torus : Listed(list.Tori, list.TorusCount)) {
        // About its Y axis: the ring in X and Z, the tube's thickness in Y.
        into.Begin(ShapeKind::Torus, PartFrame(torus.Position, torus.Rotation));
        const double outer = std::fabs(torus.ShapeParams[0]) + std::fabs(torus.ShapeParams[1]);
        for (const double height : {-torus.ShapeParams[1], +torus.ShapeParams[1]})
            into.Rim(0, 2, outer, height);
        into.End();
    }
    const auto rectangle = [&into](const TFlatRect& rect, ShapeKind kind, bool placed) {
        // A floor of the grid's kind lies where it is drawn, ignoring its
        // own position and turn.
        into.Begin(kind, placed ? PartFrame(rect.Position, rect.Rotation) : Affine());
        const double lo[3] = {0, 0, 0}, hi[3] = {rect.SizeX, 0, rect.SizeZ};
        for (int c : {0, 1, 5, 4})
            into.Point(c & 1 ? hi[0] : lo[0], 0, c & 4 ? hi[2] : lo[2]);
        into.End();
    };
    for (const TFloor& floor : Listed(list.Floors, list.FloorCount))
        rectangle(floor, ShapeKind::Floor, floor.OwnTransform);
    for (const TWall& wall : Listed(list.Walls, list.WallCount))
        rectangle(wall, ShapeKind::Wall, true);
    for (const TModel3ds& model : Listed(list.Models3ds, list.Model3dsCount))
        AddModel(into, model, model.Model.get(), ShapeKind::Model3ds);
    for (const TModelBlender& model : Listed(list.BlenderModels, list.BlenderCount))
        AddModel(into, model, model.GameObj.get(), ShapeKind::ModelBlender);
}

}  // namespace

void AddPartOutlines(const TGLPremitives& list, PartOutlines& out) { AddParts(list, out, true); }

Bounds OutlineBounds(const TQX3DObject& object)
{
    PartOutlines out;
    if (const TGLPremitives* list = DrawnList(object))
        AddParts(*list, out, false);
    return out.bounds;
}

PartOutlines OutlinesOf(const TQX3DObject& object)
{
    PartOutlines out;
    if (const TGLPremitives* list = DrawnList(object))
        AddPartOutlines(*list, out);
    return out;
}

void HullInView(const OrthoView& view, const Affine& frame, std::span<const std::array<double, 3>> points,
                std::vector<double>& xy)
{
    struct Pixel {
        double x, y;
    };
    // Few points a part: a fixed buffer spares the allocator.
    constexpr size_t kMost = 3 * kRimPoints;
    Pixel seen[kMost];
    const size_t n = std::min(points.size(), kMost);
    xy.clear();
    if (n == 0)
        return;
    for (size_t i = 0; i < n; ++i) {
        double world[3];
        frame.Apply(points[i].data(), world);
        view.WorldToScreen(world, seen[i].x, seen[i].y);
    }
    std::sort(seen, seen + n, [](const Pixel& a, const Pixel& b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
    // Andrew's monotone chain: the lower then the upper chain, each turning
    // one way only.
    const auto cross = [](const Pixel& o, const Pixel& a, const Pixel& b) {
        return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
    };
    Pixel hull[2 * kMost];
    size_t k = 0;
    for (size_t i = 0; i < n; ++i) {
        while (k >= 2 && cross(hull[k - 2], hull[k - 1], seen[i]) <= 0)
            --k;
        hull[k++] = seen[i];
    }
    for (size_t i = n - 1, lower = k + 1; i-- > 0;) {
        while (k >= lower && cross(hull[k - 2], hull[k - 1], seen[i]) <= 0)
            --k;
        hull[k++] = seen[i];
    }
    if (k > 1)
        --k;  // the last point is the first again
    for (size_t i = 0; i < k; ++i) {
        xy.push_back(hull[i].x);
        xy.push_back(hull[i].y);
    }
}

}  // namespace qx
