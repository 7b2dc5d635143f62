#include "LevelScene.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "Collisions.h"
#include "GLEngine.h"
#include "QX3DObject.h"
#include "Skybox.h"
#include "ViewFrustum.h"

namespace qx {

namespace {

// p := R(axis, degrees) p, as glRotatef turns it.
void Turn(float p[3], int axis, float degrees)
{
    if (degrees == 0)
        return;
    const double a = degrees * M_PI / 180.0;
    const float c = static_cast<float>(std::cos(a)), s = static_cast<float>(std::sin(a));
    const int i = (axis + 1) % 3, j = (axis + 2) % 3;
    const float u = p[i], v = p[j];
    p[i] = c * u - s * v;
    p[j] = s * u + c * v;
}

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

std::vector<Box3> ObjectVolumes(const TQX3DObject& object)
{
    std::vector<Box3> volumes;
    if (!object.Collision)
        return volumes;
    const TCollision& set = *object.Collision;
    for (int32_t i = 0; i < set.Count && static_cast<size_t>(i) < set.Volumes.size(); ++i) {
        const CollisionBox& v = set.Volumes[static_cast<size_t>(i)];
        if (!(v.SizeX >= 0) || !(v.SizeZ >= 0))
            continue;
        volumes.push_back(Box3::Of(v.MinX, v.Bottom, v.MinZ, v.MinX + v.SizeX, v.Top, v.MinZ + v.SizeZ));
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
        all.Add(Corners(Box3::Of(0, 0, 0, box.Size.X, box.Size.Y, box.Size.Z), [&](float p[3]) {
            Turn(p, 2, box.Rotation.Z);
            Turn(p, 1, box.Rotation.Y);
            Turn(p, 0, box.Rotation.X);
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
    return Corners(local, [&](float p[3]) {
        p[0] *= pl.ScaleX;
        p[1] *= pl.ScaleY;
        p[2] *= pl.ScaleZ;
        Turn(p, 2, pl.RotZ);
        Turn(p, 1, pl.RotY);
        Turn(p, 0, pl.RotX);
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
    std::vector<std::vector<Box3>> shapes(objects);
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
        placed.push_back(s);
        const Box3 b = PlacedBounds(local[static_cast<size_t>(k)], p);
        if (b.IsEmpty())
            continue;
        keys.push_back(p.PosX);
        keys.push_back(p.PosZ);
        placement.push_back(static_cast<uint32_t>(i));
        object.push_back(k);
        bounds.push_back(b);
    }
    if (groundGrid) {
        shapes.push_back({Box3::Of(0, -kGroundThickness, 0, kGroundSide, 0, kGroundSide)});
        PlacedShape ground;
        ground.shape = static_cast<uint32_t>(shapes.size() - 1);
        ground.pos[1] = start[1];
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
    if (scene.ground)
        scene.ground->DrawAt(0, scene.start[1], 0, 0, 0, 0, 1, 1, 1);

    glColor4f(1, 1, 1, 1);
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
            o->DrawAt(p.PosX, p.PosY, p.PosZ, p.RotX, p.RotY, p.RotZ, p.ScaleX, p.ScaleY, p.ScaleZ);
            ++counts.placements;
        }
    });
    return counts;
}

}  // namespace qx
