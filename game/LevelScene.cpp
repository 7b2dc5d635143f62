#include "LevelScene.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <span>

#include "Collisions.h"
#include "ModelReaders.h"
#include "GLEngine.h"
#include "ObjectBuffers.h"
#include "PlayerMotion.h"
#include "QX3DObject.h"
#include "Skybox.h"
#include "ViewFrustum.h"

namespace qx {

namespace {

// The eight corners of `box`, each through f, gathered into a box.
template <typename F>
Box3 Corners(const Box3& box, F&& f)
{
    Box3 out;
    for (int k = 0; k < 8; ++k) {
        float p[3] = {(k & 1) ? box.max[0] : box.min[0], (k & 2) ? box.max[1] : box.min[1],
                      (k & 4) ? box.max[2] : box.min[2]};
        f(p);
        out.AddPoint(p);
    }
    return out;
}

}  // namespace

namespace {

const TGLPremitives* FirstList(const TQX3DObject& object)
{
    return object.ListCount > 0 && !object.Lists.empty() ? object.Lists[0].get() : nullptr;
}

template <typename T>
std::span<const T> ValidOf(const std::vector<T>& items, int16_t count)
{
    return std::span<const T>(items.data(), std::min(items.size(), static_cast<size_t>(std::max<int16_t>(count, 0))));
}

// A surface of `along` x `around` quads, each as two triangles: point(u, v)
// for u in 0 .. along, v in 0 .. around (both ends included).
template <typename Point>
void AddSurface(std::vector<Solid>& out, int along, int around, Point&& point)
{
    for (int u = 0; u < along; ++u)
        for (int v = 0; v < around; ++v) {
            float a[3], b[3], c[3], d[3];
            point(u, v, a);
            point(u + 1, v, b);
            point(u + 1, v + 1, c);
            point(u, v + 1, d);
            out.push_back(Solid::Triangle(a, b, c));
            out.push_back(Solid::Triangle(a, c, d));
        }
}

// p turned by `turn` and moved by `at`, as a primitive placed by its own fields.
void Placed(float p[3], const TVec3& at, const TVec3& turn)
{
    const float degrees[3] = {turn.X, turn.Y, turn.Z};
    TurnPoint(p, degrees);
    p[0] += at.X;
    p[1] += at.Y;
    p[2] += at.Z;
}

void AddShapes(const TGLPremitives& list, bool spheresAsTriangles, std::vector<Solid>& out)
{
    const auto flat = [&out](const TFlatRect& r, bool own) {
        const float at[3] = {own ? r.Position.X : 0, own ? r.Position.Y : 0, own ? r.Position.Z : 0};
        const float size[3] = {r.SizeX, 0, r.SizeZ};
        const float turn[3] = {own ? r.Rotation.X : 0, own ? r.Rotation.Y : 0, own ? r.Rotation.Z : 0};
        out.push_back(Solid::Turned(at, size, turn));
    };
    for (const TFloor& f : ValidOf(list.Floors, list.FloorCount))
        flat(f, f.OwnTransform);
    for (const TWall& w : ValidOf(list.Walls, list.WallCount))
        flat(w, true);
    for (const TSphere& p : ValidOf(list.Spheres, list.SphereCount)) {
        const float r = std::abs(p.Radius);
        if (!(r > 0))
            continue;
        if (!spheresAsTriangles) {
            const float centre[3] = {p.Position.X, p.Position.Y, p.Position.Z};
            out.push_back(Solid::Sphere(centre, r));
            continue;
        }
        constexpr int kAround = 16, kUp = 8;
        AddSurface(out, kAround, kUp, [&](int u, int v, float q[3]) {
            const double lon = 2 * M_PI * u / kAround, lat = M_PI * v / kUp - M_PI / 2;
            q[0] = p.Position.X + r * static_cast<float>(std::cos(lat) * std::cos(lon));
            q[1] = p.Position.Y + r * static_cast<float>(std::sin(lat));
            q[2] = p.Position.Z + r * static_cast<float>(std::cos(lat) * std::sin(lon));
        });
    }
    for (const TTorus& t : ValidOf(list.Tori, list.TorusCount)) {
        const float ring = t.ShapeParams[0], tube = t.ShapeParams[1];
        if (!(std::abs(ring) + std::abs(tube) > 0))
            continue;
        constexpr int kRing = 24, kTube = 12;
        AddSurface(out, kRing, kTube, [&](int u, int v, float q[3]) {
            const double a = 2 * M_PI * u / kRing, b = 2 * M_PI * v / kTube;
            const double across = ring + tube * std::cos(b);
            q[0] = static_cast<float>(across * std::cos(a));
            q[1] = static_cast<float>(tube * std::sin(b));
            q[2] = static_cast<float>(-across * std::sin(a));
            Placed(q, t.Position, t.Rotation);
        });
    }
}

}  // namespace

std::vector<Solid> ObjectVolumes(const TQX3DObject& object, bool spheresAsTriangles)
{
    std::vector<Solid> volumes;
    const TGLPremitives* list = FirstList(object);
    if (list)
        AddShapes(*list, spheresAsTriangles, volumes);
    if (!object.Collision)
        return volumes;
    const TCollision& set = *object.Collision;
    // The object-file reader reads the boxes into the first list and makes
    // volume i of box i.
    const size_t boxes = list ? static_cast<size_t>(std::max<int16_t>(list->BoxCount, 0)) : 0;
    for (int32_t i = 0; i < set.Count && static_cast<size_t>(i) < set.Volumes.size(); ++i) {
        const CollisionBox& v = set.Volumes[static_cast<size_t>(i)];
        if (!(v.SizeX >= 0) || !(v.SizeZ >= 0))
            continue;
        float corner[3] = {v.MinX, v.Bottom, v.MinZ};
        const float size[3] = {v.SizeX, v.Top - v.Bottom, v.SizeZ};
        float turn[3] = {0, 0, 0};
        if (static_cast<size_t>(i) < boxes && static_cast<size_t>(i) < list->Boxes.size()) {
            const TBox& box = list->Boxes[static_cast<size_t>(i)];
            if (box.Size.X < 0 || box.Size.Y < 0 || box.Size.Z < 0)
                continue;  // the cube routine draws nothing
            const float pivot[3] = {box.Position.X, box.Position.Y, box.Position.Z};
            turn[0] = box.Rotation.X, turn[1] = box.Rotation.Y, turn[2] = box.Rotation.Z;
            for (int a = 0; a < 3; ++a)
                corner[a] -= pivot[a];
            TurnPoint(corner, turn);
            for (int a = 0; a < 3; ++a)
                corner[a] += pivot[a];
        }
        volumes.push_back(Solid::Turned(corner, size, turn));
    }
    return volumes;
}

std::vector<MeshUse> ObjectMeshes(const TQX3DObject& object, std::vector<std::shared_ptr<const MeshTree>>& meshes,
                                  std::vector<std::pair<const void*, uint32_t>>& known)
{
    std::vector<MeshUse> uses;
    const TGLPremitives* list = FirstList(object);
    if (!list)
        return uses;
    const auto use = [&](const TModelPlacement& p, const qx::ImportedModel* model) {
        const auto* loaded = dynamic_cast<const LoadedModel*>(model);
        if (!loaded)
            return;
        auto hit = std::find_if(known.begin(), known.end(), [&](const auto& k) { return k.first == loaded; });
        if (hit == known.end()) {
            std::vector<float> corners;
            for (const TVec3& v : loaded->Triangles())
                corners.insert(corners.end(), {v.X, v.Y, v.Z});
            meshes.push_back(std::make_shared<const MeshTree>(corners));
            hit = known.insert(known.end(), {loaded, static_cast<uint32_t>(meshes.size() - 1)});
        }
        MeshUse u;
        u.mesh = hit->second;
        const float pos[3] = {p.Position.X, p.Position.Y, p.Position.Z};
        const float scale[3] = {p.Scale.X, p.Scale.Y, p.Scale.Z};
        const float turn[3] = {p.Rotation.X, p.Rotation.Y, p.Rotation.Z};
        std::copy(pos, pos + 3, u.pos);
        std::copy(scale, scale + 3, u.scale);
        std::copy(turn, turn + 3, u.turn);
        uses.push_back(u);
    };
    for (const TModel3ds& m : ValidOf(list->Models3ds, list->Model3dsCount))
        use(m, m.Model.get());
    for (const TModelBlender& m : ValidOf(list->BlenderModels, list->BlenderCount))
        use(m, m.GameObj.get());
    return uses;
}

Box3 ObjectDrawBounds(const TQX3DObject& object)
{
    Box3 all;
    const int16_t list = object.CurrentList;
    if (list < 0 || list >= object.ListCount || static_cast<size_t>(list) >= object.Lists.size())
        return all;
    const TGLPremitives& primitives = *object.Lists[static_cast<size_t>(list)];
    for (int16_t b = 0; b < primitives.BoxCount && static_cast<size_t>(b) < primitives.Boxes.size(); ++b) {
        const TBox& box = primitives.Boxes[static_cast<size_t>(b)];
        if (box.Size.X < 0 || box.Size.Y < 0 || box.Size.Z < 0)
            continue;  // the cube routine draws nothing
        const float degrees[3] = {box.Rotation.X, box.Rotation.Y, box.Rotation.Z};
        const PointTurn turn(degrees);
        all.Add(Corners(Box3::Of(0, 0, 0, box.Size.X, box.Size.Y, box.Size.Z), [&](float p[3]) {
            turn(p);
            p[0] += box.Position.X;
            p[1] += box.Position.Y;
            p[2] += box.Position.Z;
        }));
    }
    // The other kinds: what they collide as (spheres as spheres) covers
    // what they draw; a model, its triangles under its own transform.
    std::vector<Solid> shapes;
    AddShapes(primitives, false, shapes);
    for (const Solid& v : shapes)
        if (v.bounds.IsFinite())
            all.Add(v.bounds);
    const auto model = [&all](const TModelPlacement& m, const qx::ImportedModel* imported) {
        const auto* loaded = dynamic_cast<const LoadedModel*>(imported);
        if (!loaded)
            return;
        Box3 local;
        for (const TVec3& v : loaded->Triangles()) {
            const float p[3] = {v.X, v.Y, v.Z};
            local.AddPoint(p);
        }
        const Box3 b = PlacedBounds(local, TPlacement{m.Position.X, m.Position.Y, m.Position.Z, m.Rotation.X,
                                                      m.Rotation.Y, m.Rotation.Z, m.Scale.X, m.Scale.Y, m.Scale.Z});
        if (!b.IsEmpty() && b.IsFinite())
            all.Add(b);
    };
    for (const TModel3ds& m : ValidOf(primitives.Models3ds, primitives.Model3dsCount))
        model(m, m.Model.get());
    for (const TModelBlender& m : ValidOf(primitives.BlenderModels, primitives.BlenderCount))
        model(m, m.GameObj.get());
    return all;
}

Box3 PlacedBounds(const Box3& local, const TPlacement& pl)
{
    if (local.IsEmpty())
        return local;
    const float degrees[3] = {pl.RotX, pl.RotY, pl.RotZ};
    const PointTurn turn(degrees);
    return Corners(local, [&](float p[3]) {
        p[0] *= pl.ScaleX;
        p[1] *= pl.ScaleY;
        p[2] *= pl.ScaleZ;
        turn(p);
        p[0] += pl.PosX;
        p[1] += pl.PosY;
        p[2] += pl.PosZ;
    });
}

void LevelScene::Build(const ProjectContent& content)
{
    for (int a = 0; a < 3; ++a)
        start[a] = content.PlayerPos[a];

    const size_t objects = static_cast<size_t>(std::max(content.MapObjectCount, 0));
    std::vector<std::vector<Solid>> shapes(objects);
    std::vector<std::vector<MeshUse>> shapeMeshes(objects);
    std::vector<std::shared_ptr<const MeshTree>> meshes;
    std::vector<std::pair<const void*, uint32_t>> knownMeshes;
    std::vector<Box3> local(objects);
    std::vector<bool> hasSpheres(objects, false);
    for (size_t k = 0; k < objects && k < content.MapObjects.size(); ++k)
        if (const TQX3DObject* o = content.MapObjects[k].get()) {
            shapes[k] = ObjectVolumes(*o);
            shapeMeshes[k] = ObjectMeshes(*o, meshes, knownMeshes);
            local[k] = ObjectDrawBounds(*o);
            hasSpheres[k] = std::any_of(shapes[k].begin(), shapes[k].end(),
                                        [](const Solid& v) { return v.kind == SolidKind::Sphere; });
        }
    // A sphere under an uneven scale is no sphere: such placements use the
    // object with its spheres as triangles, made once per object.
    std::vector<uint32_t> unevenShape(objects, UINT32_MAX);

    std::vector<PlacedShape> placed;
    std::vector<float> keys;
    placement.clear();
    object.clear();
    bounds.clear();
    Box3 level;  // what the placements draw, and the start
    level.AddPoint(start);
    float top = start[1];  // of the ground
    const std::vector<int32_t>& objectOf = content.PlacementObjects();
    for (size_t i = 0; i < objectOf.size() && i < content.Placements.size(); ++i) {
        const int32_t k = objectOf[i];
        if (k < 0 || static_cast<size_t>(k) >= objects)
            continue;
        const TPlacement& p = content.Placements[i];
        PlacedShape s;
        s.shape = static_cast<uint32_t>(k);
        s.pos[0] = p.PosX, s.pos[1] = p.PosY, s.pos[2] = p.PosZ;
        s.scale[0] = p.ScaleX, s.scale[1] = p.ScaleY, s.scale[2] = p.ScaleZ;
        s.turn[0] = p.RotX, s.turn[1] = p.RotY, s.turn[2] = p.RotZ;
        const float sx = std::abs(p.ScaleX), sy = std::abs(p.ScaleY), sz = std::abs(p.ScaleZ);
        if (hasSpheres[static_cast<size_t>(k)] && !(sx == sy && sy == sz)) {
            uint32_t& uneven = unevenShape[static_cast<size_t>(k)];
            if (uneven == UINT32_MAX) {
                uneven = static_cast<uint32_t>(shapes.size());
                shapes.push_back(ObjectVolumes(*content.MapObjects[static_cast<size_t>(k)], true));
                shapeMeshes.resize(shapes.size());
                shapeMeshes.back() = shapeMeshes[static_cast<size_t>(k)];
            }
            s.shape = uneven;
        }
        placed.push_back(s);
        const Box3 b = PlacedBounds(local[static_cast<size_t>(k)], p);
        if (b.IsEmpty())
            continue;
        keys.push_back(p.PosX);
        keys.push_back(p.PosZ);
        placement.push_back(static_cast<uint32_t>(i));
        object.push_back(k);
        bounds.push_back(b);
        if (b.IsFinite()) {
            level.Add(b);
            top = std::min(top, b.min[1] - kGroundBelowGeometry);
        }
    }
    groundBox = Box3();
    if (groundGrid && level.IsFinite()) {
        groundBox = Box3::Of(level.min[0] - kGroundMargin, top - kGroundThickness, level.min[2] - kGroundMargin,
                             level.max[0] + kGroundMargin, top, level.max[2] + kGroundMargin);
        shapes.push_back({Solid::Of(groundBox)});
        PlacedShape ground;
        ground.shape = static_cast<uint32_t>(shapes.size() - 1);
        placed.push_back(ground);
    }
    collision.Build(shapes, placed, meshes, shapeMeshes);
    // About a tenth of the draw distance: a frame visits some 400 cells.
    drawGrid.Build(kDrawDistance / 10, keys, bounds);
}

void ViewDirection(const ViewPoint& view, float out[3])
{
    const float c = std::cos(view.pitch);
    out[0] = std::sin(view.yaw) * c;
    out[1] = std::sin(view.pitch);
    out[2] = std::cos(view.yaw) * c;
}

void PrepareDrawing(const ProjectContent& content, const LevelScene& scene, const TSkybox* sky, int width,
                    int height)
{
    ViewPoint view;
    for (int a = 0; a < 3; ++a)
        view.eye[a] = scene.start[a];
    view.eye[1] += PlayerMotion::kEyeHeight;
    glPushMatrix();
    // The first frame itself: its states, and the renderer's buffers for a
    // frame of the window's size.
    DrawLevel(content, scene, sky, view, width, height);
    // The states the first view does not show, each once into one pixel:
    // what the first turn of the player would otherwise pay.
    glViewport(0, 0, 1, 1);
    const size_t objects = std::min(content.MapObjects.size(), static_cast<size_t>(std::max(content.MapObjectCount, 0)));
    if (CurrentObjectPath() == ObjectPath::Buffers) {
        std::vector<const ObjectBuffers*> buffers;
        for (size_t k = 0; k < objects; ++k)
            if (const TQX3DObject* o = content.MapObjects[k].get())
                for (const auto& b : o->Buffers)
                    buffers.push_back(b.get());
        DrawEachNewState(buffers);
    } else {
        for (size_t k = 0; k < objects; ++k)
            if (const TQX3DObject* o = content.MapObjects[k].get())
                o->DrawAt(view.eye[0], view.eye[1], view.eye[2] + 10, 0, 0, 0, 1, 1, 1);
    }
    glPopMatrix();
    glFinish();
    glViewport(0, 0, width, height);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

namespace {

// The ground under the level, its grid where the editor's grid lies.
void DrawGround(const LevelScene& scene)
{
    if (!scene.ground || scene.groundBox.IsEmpty())
        return;
    // The floor gives s = (width - x) / width and t = z / depth; the
    // editor's grid, drawn from the origin, has s = -0.6 x and t = 0.6 z
    // in world units (give or take whole repeats).
    const Box3& g = scene.groundBox;
    const double w = static_cast<double>(g.max[0]) - g.min[0], d = static_cast<double>(g.max[2]) - g.min[2];
    glMatrixMode(GL_TEXTURE);
    glPushMatrix();
    glLoadIdentity();
    glTranslated(std::fmod(-kGridRepeatsPerUnit * (g.min[0] + w), 1.0), std::fmod(kGridRepeatsPerUnit * g.min[2], 1.0),
                 0);
    glScaled(kGridRepeatsPerUnit * w, kGridRepeatsPerUnit * d, 1);
    glMatrixMode(GL_MODELVIEW);
    scene.ground->DrawAt(g.min[0], g.max[1], g.min[2], 0, 0, 0, 1, 1, 1);
    glMatrixMode(GL_TEXTURE);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

}  // namespace

DrawCounts DrawLevel(const ProjectContent& content, const LevelScene& scene, const TSkybox* sky,
                     const ViewPoint& view, int width, int height)
{
    DrawCounts counts;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glViewport(0, 0, width, height);
    SetProjection(0, width, height > 0 ? height : 1);
    float d[3];
    ViewDirection(view, d);
    const float* e = view.eye;
    gluLookAt(e[0], e[1], e[2], e[0] + d[0], e[1] + d[1], e[2] + d[2], 0, 1, 0);

    float projection[16], modelview[16], clip[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    MultiplyMatrices(projection, modelview, clip);
    const ViewFrustum frustum(clip);

    if (sky)
        sky->Draw(e[0], e[1], e[2]);
    // The buffers draw the ground after the opaque placements, before the
    // blended ones: its pixels that placements cover are not shaded.  Drawn
    // one by one, a blended placement comes before the ground, so the
    // ground goes first.
    const bool buffers = CurrentObjectPath() == ObjectPath::Buffers;
    if (!buffers)
        DrawGround(scene);
    glColor4f(1, 1, 1, 1);
    // Kept between frames, so that a frame allocates nothing.
    static DrawBatch batch;
    const float r = kDrawDistance;
    const double r2 = static_cast<double>(r) * r;
    const std::vector<uint32_t>& items = scene.drawGrid.Items();
    scene.drawGrid.ForEachCell(e[0] - r, e[2] - r, e[0] + r, e[2] + r, [&](const BoxGrid::Cell& cell) {
        ++counts.cells;
        if (!frustum.Sees(cell.bounds))
            return;
        for (uint32_t n = cell.begin; n < cell.end; ++n) {
            const uint32_t item = items[n];
            const TPlacement& p = content.Placements[scene.placement[item]];
            const double dx = static_cast<double>(p.PosX) - e[0];
            const double dy = static_cast<double>(p.PosY) - e[1];
            const double dz = static_cast<double>(p.PosZ) - e[2];
            if (!(dx * dx + dy * dy + dz * dz < r2) || !frustum.Sees(scene.bounds[item]))
                continue;
            const TQX3DObject* o = content.MapObjects[static_cast<size_t>(scene.object[item])].get();
            if (buffers)
                o->AddTo(batch, p.PosX, p.PosY, p.PosZ, p.RotX, p.RotY, p.RotZ, p.ScaleX, p.ScaleY, p.ScaleZ);
            else
                o->DrawAt(p.PosX, p.PosY, p.PosZ, p.RotX, p.RotY, p.RotZ, p.ScaleX, p.ScaleY, p.ScaleZ);
            ++counts.placements;
            counts.boxes += o->Lists[static_cast<size_t>(o->CurrentList)]->BoxCount;
        }
    });
    batch.DrawOpaque();
    if (buffers)
        DrawGround(scene);
    batch.DrawBlended();
    counts.hidden = batch.Hidden();
    counts.hiddenChunks = batch.HiddenChunks();
    return counts;
}

}  // namespace qx
