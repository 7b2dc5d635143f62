#include "LevelScene.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "Collisions.h"
#include "GLEngine.h"
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

std::vector<Solid> ObjectVolumes(const TQX3DObject& object)
{
    std::vector<Solid> volumes;
    if (!object.Collision)
        return volumes;
    const TCollision& set = *object.Collision;
    // The object-file reader reads the boxes into the first list and makes
    // volume i of box i.
    const TGLPremitives* list = object.ListCount > 0 && !object.Lists.empty() ? object.Lists[0].get() : nullptr;
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
        const float turn[3] = {box.Rotation.X, box.Rotation.Y, box.Rotation.Z};
        all.Add(Corners(Box3::Of(0, 0, 0, box.Size.X, box.Size.Y, box.Size.Z), [&](float p[3]) {
            TurnPoint(p, turn);
            p[0] += box.Position.X;
            p[1] += box.Position.Y;
            p[2] += box.Position.Z;
        }));
    }
    return all;
}

Box3 PlacedBounds(const Box3& local, const TPlacement& pl)
{
    if (local.IsEmpty())
        return local;
    const float turn[3] = {pl.RotX, pl.RotY, pl.RotZ};
    return Corners(local, [&](float p[3]) {
        p[0] *= pl.ScaleX;
        p[1] *= pl.ScaleY;
        p[2] *= pl.ScaleZ;
        TurnPoint(p, turn);
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
    std::vector<Box3> local(objects);
    for (size_t k = 0; k < objects && k < content.MapObjects.size(); ++k)
        if (const TQX3DObject* o = content.MapObjects[k].get()) {
            shapes[k] = ObjectVolumes(*o);
            local[k] = ObjectDrawBounds(*o);
        }

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
    collision.Build(shapes, placed);
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
    DrawLevel(content, scene, sky, view, width, height);
    for (int32_t k = 0; k < content.MapObjectCount && static_cast<size_t>(k) < content.MapObjects.size(); ++k)
        if (const TQX3DObject* o = content.MapObjects[static_cast<size_t>(k)].get())
            o->DrawAt(view.eye[0], view.eye[1], view.eye[2] + 10, 0, 0, 0, 1, 1, 1);
    glPopMatrix();
    glFinish();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

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
    if (scene.ground && !scene.groundBox.IsEmpty()) {
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

    glColor4f(1, 1, 1, 1);
    // Kept between frames, so that a frame allocates nothing.
    static DrawBatch batch;
    const bool buffers = CurrentObjectPath() == ObjectPath::Buffers;
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
    batch.Draw();
    return counts;
}

}  // namespace qx
