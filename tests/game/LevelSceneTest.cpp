// The level as the game keeps it: collision volumes of placed objects, and
// the placements a frame draws.
#include <gtest/gtest.h>

#include <array>

#include <GL/gl.h>
#include <QOpenGLFramebufferObject>

#include "Collisions.h"
#include "GLEngine.h"
#include "GlTestContext.h"
#include "LevelScene.h"
#include "ModelReaders.h"
#include "ModelsGl.h"
#include "ObjectBuffers.h"
#include "PictureLevel.h"
#include "SolidTextures.h"
#include "PlayerMotion.h"
#include "QX3DObject.h"
#include "Skybox.h"
#include "TestSupport.h"

namespace {

// An object of one box, with the volume the object file reader would give it.
void AddBoxObject(ProjectContent& content, const std::string& name, const float size[3], const float turn[3])
{
    const int32_t k = content.AddObject(name);
    TQX3DObject& object = *content.MapObjects[static_cast<size_t>(k)];
    object.Lists[0]->AddBox(-1, 0, 0, 0, size[0], size[1], size[2], 1, turn[0], turn[1], turn[2]);
    object.Collision = std::make_shared<TCollision>(name);
    object.Collision->Margin = 0;
    object.Collision->AddVolume(0, 0, 0, size[0], size[1], size[2]);
}

void AddCube(ProjectContent& content, const std::string& name)
{
    const float size[3] = {4, 4, 4}, none[3] = {0, 0, 0};
    AddBoxObject(content, name, size, none);
}

// Where the feet end after walking from `start` (on the ground at height 0)
// along `yaw` for three seconds.
std::array<float, 3> WalkInto(const ProjectContent& level, float x, float z, float yaw)
{
    ProjectContent content = level;
    content.PlayerPos[0] = x;
    content.PlayerPos[1] = 0;
    content.PlayerPos[2] = z;
    qx::LevelScene scene;
    scene.groundGrid = true;
    scene.Build(content);
    qx::PlayerMotion player(scene.collision, scene.start);
    qx::MoveInput in;
    in.forward = true;
    in.yaw = yaw;
    for (int i = 0; i < 180; ++i)
        player.Advance(1.0 / 60, in);
    return {player.Feet()[0], player.Feet()[1], player.Feet()[2]};
}

constexpr float kAlongX = 1.5707964f, kAlongMinusZ = 3.1415927f;

}  // namespace

// What is drawn is what collides: boxes turned within their objects, and
// placements scaled, then turned.
TEST(LevelScene, VolumesAreTurnedAndScaledAsTheyAreDrawn)
{
    // A wall 20 wide turned 90 degrees about its corner: x 10..12, z -10..10.
    // Unturned it would stand at x 10..30, z 10..12.
    ProjectContent walls;
    const float wall[3] = {20, 10, 2}, quarter[3] = {0, 90, 0};
    AddBoxObject(walls, "_Wall", wall, quarter);
    walls.AddPlacement("_Wall", TPlacement{10, 0, 10, 0, 0, 0, 1, 1, 1});
    EXPECT_NEAR(WalkInto(walls, 0, 0, kAlongX)[0], 9, 0.01);
    EXPECT_GT(WalkInto(walls, 20, 0, 0)[2], 30);

    // A 10-unit cube turned 45 degrees, a diamond from x 10 (at z 0) to
    // x 24.14; its near faces run along x - 10 = |z|.
    ProjectContent diamond;
    const float cube[3] = {10, 10, 10}, eighth[3] = {0, 45, 0};
    AddBoxObject(diamond, "_Cube", cube, eighth);
    diamond.AddPlacement("_Cube", TPlacement{10, 0, 0, 0, 0, 0, 1, 1, 1});
    EXPECT_NEAR(WalkInto(diamond, 0, 0, kAlongX)[0], 9, 0.01);
    EXPECT_NEAR(WalkInto(diamond, 0, 5, kAlongX)[0], 13, 0.01);  // the body's corner at z 4 meets it

    // A cube turned 90 degrees by its placement (scaled 2 x 1 x 2 first):
    // x 10..18, z -4..4.  Unturned it would lie at z 4..12.
    ProjectContent turned;
    AddCube(turned, "_Cube");
    turned.AddPlacement("_Cube", TPlacement{10, 0, 4, 0, 90, 0, 2, 1, 2});
    EXPECT_NEAR(WalkInto(turned, 0, 0, kAlongX)[0], 9, 0.01);

    // The diamond stretched three times along X, then turned 90 degrees: a
    // rhombus (no longer a box) with corners (10, 0), (17.07, -21.2),
    // (10, -42.4), (2.93, -21.2); its edge right of x 10 runs along
    // z = -3 (x - 10).
    ProjectContent sheared = diamond;
    sheared.Placements[0] = TPlacement{10, 0, 0, 0, 90, 0, 3, 1, 1};
    EXPECT_NEAR(WalkInto(sheared, 10, 20, kAlongMinusZ)[2], 1, 0.01);
    EXPECT_NEAR(WalkInto(sheared, 13, 20, kAlongMinusZ)[2], -5, 0.01);  // its corner at x 12 meets it
}

// A wall 20 wide and 10 high in the plane z = 10 with a doorway 4 wide and
// 6 high in its middle, as a model's triangles.
class DoorwayModel : public qx::LoadedModel {
public:
    void Draw() const override {}
    void AppendMesh(qx::MeshBuilder&) const override {}
    std::unique_ptr<qx::ImportedModel> Clone() const override { return std::make_unique<DoorwayModel>(); }
    std::vector<TVec3> Triangles() const override
    {
        std::vector<TVec3> out;
        const auto quad = [&](float x0, float y0, float x1, float y1) {
            out.insert(out.end(), {{x0, y0, 10}, {x1, y0, 10}, {x1, y1, 10}, {x0, y0, 10}, {x1, y1, 10}, {x0, y1, 10}});
        };
        quad(-10, 0, -2, 10);
        quad(2, 0, 10, 10);
        quad(-2, 6, 2, 10);
        return out;
    }

protected:
    void LoadPicturesNow() const override {}
};

// Spheres, models per triangle (through their trees, under the model's and
// the placement's transforms), walls, tori and a real 3DS file collide as
// drawn.
TEST(LevelScene, ShapesAndModelsCollideAsDrawn)
{
    ProjectContent level;
    // The model halved within its object, the placement doubling it and
    // turning it 90 degrees about Y: the wall at x = 10, the doorway z -2..2.
    TModel3ds gate;
    gate.Model = std::make_shared<DoorwayModel>();
    gate.Scale = {0.5f, 0.5f, 0.5f};
    level.MapObjects[static_cast<size_t>(level.AddObject("_Gate"))]->Lists[0]->Append(gate);
    level.AddPlacement("_Gate", TPlacement{0, 0, 0, 0, 90, 0, 2, 2, 2});
    TSphere ball;
    ball.Position = {0, 3, 0};
    ball.Radius = 3;
    level.MapObjects[static_cast<size_t>(level.AddObject("_Ball"))]->Lists[0]->Append(ball);
    level.AddPlacement("_Ball", TPlacement{30, 0, 0, 0, 0, 0, 1, 1, 1});
    EXPECT_NEAR(WalkInto(level, 0, 0, kAlongX)[0], 26, 0.01) << "through the doorway, then against the ball";
    EXPECT_NEAR(WalkInto(level, 0, 5, kAlongX)[0], 9, 0.01) << "the wall beside the doorway";
    // Stretched twice along X the ball is no sphere: it collides as its
    // triangles, 6 units from its centre give or take their facets.
    level.Placements[1].ScaleX = 2;
    EXPECT_NEAR(WalkInto(level, 0, 0, kAlongX)[0], 23, 0.15);

    // A wall (a floor turned upright about Z) at x = 10, z -10..10, and a
    // torus lying on the ground (ring 8, tube 3: too steep to climb) whose
    // outside comes nearest at x = 19.
    ProjectContent shapes;
    TGLPremitives& list = *shapes.MapObjects[static_cast<size_t>(shapes.AddObject("_Shapes"))]->Lists[0];
    TWall wall;
    wall.Position = {10, 0, -10};
    wall.SizeX = 10;
    wall.SizeZ = 20;
    wall.Rotation = {0, 0, 90};
    list.Append(wall);
    TTorus torus;
    torus.Position = {30, 3, 20};
    torus.ShapeParams[0] = 8;
    torus.ShapeParams[1] = 3;
    list.Append(torus);
    shapes.AddPlacement("_Shapes", TPlacement{0, 0, 0, 0, 0, 0, 1, 1, 1});
    EXPECT_NEAR(WalkInto(shapes, 0, 0, kAlongX)[0], 9, 0.01);
    EXPECT_NEAR(WalkInto(shapes, 0, 20, kAlongX)[0], 18, 0.01);

    QX_REQUIRE_TESTDATA(data);
    qx::InstallModelReaders();
    // A unit cube (0, 0, -1)..(1, 1, 0) of 12 triangles, ten times as large:
    // x 20..30, z -5..5.
    TModel3ds cube;
    cube.Model = qx::ReadModelFile(qx::ModelKind::Model3ds,
                                   (data / "3ds/online3dviewer/cube_with_materials.3ds").string()).model;
    cube.Scale = {10, 10, 10};
    ProjectContent real;
    real.MapObjects[static_cast<size_t>(real.AddObject("_Cube"))]->Lists[0]->Append(cube);
    real.AddPlacement("_Cube", TPlacement{20, 0, 5, 0, 0, 0, 1, 1, 1});
    EXPECT_NEAR(WalkInto(real, 0, 0, kAlongX)[0], 19, 0.01);
    qx::SetModelReaders({});
}

class LevelDraw : public qxtest::GlTest {};

TEST_F(LevelDraw, DrawsPlacementsInRangeAndInViewOnly)
{
    InitGLState();
    ProjectContent content;
    AddCube(content, "_Cube");
    content.MapObjects[0]->BuildDisplayLists();
    for (float z : {50.0f, 150.0f, 250.0f, -50.0f})
        content.AddPlacement("_Cube", TPlacement{-2, 0, z, 0, 0, 0, 1, 1, 1});
    content.AddPlacement("_Cube", TPlacement{120, 0, 10, 0, 0, 0, 1, 1, 1});  // far to the left, out of view
    qx::LevelScene scene;
    scene.Build(content);

    qx::ViewPoint view;
    view.eye[1] = 2;
    EXPECT_EQ(qx::DrawLevel(content, scene, nullptr, view, 256, 256).placements, 2);
    // The editor's initial direction shows the nearest cube in the middle.
    unsigned char centre[4] = {0, 0, 0, 0};
    glReadPixels(128, 128, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, centre);
    EXPECT_EQ(centre[0], 255);
    view.yaw = 3.1415927f;
    EXPECT_EQ(qx::DrawLevel(content, scene, nullptr, view, 256, 256).placements, 1);
    view.yaw = 1.5707964f;
    EXPECT_EQ(qx::DrawLevel(content, scene, nullptr, view, 256, 256).placements, 1);
}

// The game's picture of a small level of every setting under a sky box and
// over the ground, at the test's 256 x 256 and at 1280 x 720: the buffers'
// drawing (the ground after the opaque placements) paints what the display
// lists paint (at 1280 x 720 within
// 0.1 % of the pixels), and the same with occlusion culling as without,
// while it leaves placements and boxes of placements out.
TEST_F(LevelDraw, BuffersCulledOrNotPaintTheReferencePicture)
{
    InitGLState();
    // The level's two pictures, the ground's, the sky's.
    const qxtest::SolidTextures textures({{{200, 40, 40}}, {{40, 200, 40}}, {{40, 40, 200}}, {{220, 220, 40}}});
    ProjectContent content = qxtest::PictureLevel(2);
    qx::LevelScene scene;
    scene.groundGrid = true;
    scene.Build(content);
    TQX3DObject ground("_Ground");
    ground.AddList();
    const qx::Box3& g = scene.groundBox;
    ground.Lists[0]->AddFloor(2, 0, 0, 0, g.max[0] - g.min[0], g.max[2] - g.min[2], 1, 0, 0, 0);
    scene.ground = &ground;
    TSkybox sky(true, 500);
    sky.FrontTexture = sky.BackTexture = sky.TopTexture = sky.BottomTexture = sky.LeftTexture = sky.RightTexture = 3;
    sky.BuildList();
    qx::ViewPoint view;
    view.eye[1] = 3;
    view.eye[2] = -45;
    view.pitch = -0.1f;
    QOpenGLFramebufferObject wide(1280, 720, QOpenGLFramebufferObject::Depth);
    for (const auto& [width, height] : {std::pair{256, 256}, std::pair{1280, 720}}) {
        SCOPED_TRACE(width);
        if (width == 1280)
            wide.bind();
        std::vector<unsigned char> pictures[3];
        qx::DrawCounts counts[3];
        for (const qxtest::Drawing drawing : qxtest::kDrawings) {
            qxtest::UseDrawing(drawing);
            qxtest::BuildObjects(content);
            ground.BuildDisplayLists();
            const auto k = static_cast<size_t>(drawing);
            counts[k] = qx::DrawLevel(content, scene, &sky, view, width, height);
            pictures[k] = qxtest::ReadPicture(width, height);
        }
        qxtest::UseDrawing(qxtest::Drawing::Culled);
        EXPECT_GT(counts[0].placements, 50);
        EXPECT_GT(counts[2].hidden, 5) << "the culler leaves out what lies behind";
        EXPECT_GT(counts[2].hiddenChunks, 50) << "and boxes of what shows";
        // The ground and the sky show.
        for (const std::array<unsigned char, 3> colour : {std::array<unsigned char, 3>{40, 40, 200}, {220, 220, 40}}) {
            size_t seen = 0;
            for (size_t i = 0; i + 3 < pictures[0].size(); i += 4)
                seen += pictures[0][i] == colour[0] && pictures[0][i + 1] == colour[1] && pictures[0][i + 2] == colour[2];
            EXPECT_GT(seen, pictures[0].size() / 4 / 50) << int(colour[0]);
        }
        const std::vector<unsigned char> black(pictures[0].size(), 0);
        EXPECT_GT(qxtest::DifferentPixels(pictures[0], black), pictures[0].size() / 16) << "the level fills the view";
        // Mesa rounds a few edge pixels of the wide frame apart on the
        // two paths; the culled frame keeps the buffers' to the pixel.
        const size_t allowed = width == 256 ? 0 : pictures[0].size() / 4 / 1000;
        EXPECT_LE(qxtest::DifferentPixels(pictures[0], pictures[1]), allowed);
        EXPECT_EQ(qxtest::DifferentPixels(pictures[1], pictures[2]), 0u);
    }
}

namespace {

// The level at 256 x 256 on the buffers, then culled, into pictures[0]
// and [1]; the culled frame's counts.
qx::DrawCounts DrawBuffersAndCulled(ProjectContent& content, const qx::LevelScene& scene,
                                    const qx::ViewPoint& view, std::vector<unsigned char> pictures[2])
{
    qx::DrawCounts counts;
    for (const qxtest::Drawing drawing : {qxtest::Drawing::Buffers, qxtest::Drawing::Culled}) {
        qxtest::UseDrawing(drawing);
        qxtest::BuildObjects(content);
        counts = qx::DrawLevel(content, scene, nullptr, view, 256, 256);
        pictures[drawing == qxtest::Drawing::Culled] = qxtest::ReadPicture();
    }
    return counts;
}

}  // namespace

// Of a row of four boxes (one placement) behind a wall, the three the wall
// covers are left out and the one past its edge is drawn, the picture the
// same as without culling; a blended wall hides none.
TEST_F(LevelDraw, BoxesOfAPlacementBehindAWallAreLeftOutThoseThatShowDrawn)
{
    InitGLState();
    ProjectContent content;
    // Seen from (0, 5, 0) along +Z, the wall's face at z = 10 covers
    // |x| < 4.5 at z = 15, where the boxes' faces are.
    const float wall[3] = {6, 10, 1}, none[3] = {0, 0, 0};
    AddBoxObject(content, "_Wall", wall, none);
    content.AddPlacement("_Wall", TPlacement{-3, 0, 10, 0, 0, 0, 1, 1, 1});
    TGLPremitives& row = *content.MapObjects[static_cast<size_t>(content.AddObject("_Row"))]->Lists[0];
    for (const float x : {-4.0f, -1.0f, 2.0f, 4.0f})
        row.AddBox(-1, x, 4, 0, 2, 2, 2, 1, 0, 0, 0);
    content.AddPlacement("_Row", TPlacement{0, 0, 15, 0, 0, 0, 1, 1, 1});
    qx::LevelScene scene;
    scene.Build(content);
    qx::ViewPoint view;
    view.eye[1] = 5;
    for (const uint8_t blend : {uint8_t{0}, uint8_t{2}}) {
        SCOPED_TRACE(int(blend));
        content.MapObjects[0]->Lists[0]->Boxes[0].BlendMode = blend;
        std::vector<unsigned char> pictures[2];
        const qx::DrawCounts counts = DrawBuffersAndCulled(content, scene, view, pictures);
        EXPECT_EQ(counts.placements, 2);
        EXPECT_EQ(counts.hidden, 0);
        EXPECT_EQ(counts.hiddenChunks, blend == 0 ? 3 : 0);
        EXPECT_EQ(qxtest::DifferentPixels(pictures[0], pictures[1]), 0u);
    }
}

// A wall whose object's origin lies far behind it is taken before a box
// behind the wall whose origin is nearer than the wall's: the culler goes
// by where the placements' geometry lies, and leaves the box out.
TEST_F(LevelDraw, WhatLiesNearestIsTakenFirstWhereverItsOriginLies)
{
    InitGLState();
    ProjectContent content;
    // The wall's face at z = 10 (its origin at z = 30), the box at z = 15
    // (its origin there too), both straight ahead of the eye.
    TGLPremitives& wall = *content.MapObjects[static_cast<size_t>(content.AddObject("_Wall"))]->Lists[0];
    wall.AddBox(-1, -5, 0, -20, 10, 10, 1, 1, 0, 0, 0);
    content.AddPlacement("_Wall", TPlacement{0, 0, 30, 0, 0, 0, 1, 1, 1});
    const float size[3] = {1, 1, 1}, none[3] = {0, 0, 0};
    AddBoxObject(content, "_Box", size, none);
    content.AddPlacement("_Box", TPlacement{0, 4, 15, 0, 0, 0, 1, 1, 1});
    qx::LevelScene scene;
    scene.Build(content);
    qx::ViewPoint view;
    view.eye[1] = 5;
    std::vector<unsigned char> pictures[2];
    const qx::DrawCounts counts = DrawBuffersAndCulled(content, scene, view, pictures);
    EXPECT_EQ(counts.placements, 2);
    EXPECT_EQ(counts.hidden, 1);
    EXPECT_EQ(qxtest::DifferentPixels(pictures[0], pictures[1]), 0u);
}

// The ground under the level: never above the level's geometry nor the
// start, wide enough for every placement and the start.
TEST(LevelScene, TheGroundLiesUnderTheLevelAndTheStart)
{
    // A floor 1 thick at 0, a platform 6 high on it, the start on the platform.
    ProjectContent platform;
    AddCube(platform, "_Cube");
    platform.AddPlacement("_Cube", TPlacement{-50, -1, -50, 0, 0, 0, 25, 0.25f, 25});  // x, z -50..50
    platform.AddPlacement("_Cube", TPlacement{0, 0, 0, 0, 0, 0, 2, 1.5f, 2});          // x, z 0..8
    platform.PlayerPos[0] = 4;
    platform.PlayerPos[1] = 6;
    platform.PlayerPos[2] = 4;
    qx::LevelScene scene;
    scene.groundGrid = true;
    scene.Build(platform);
    EXPECT_FLOAT_EQ(scene.groundBox.max[1], -1.05f);
    EXPECT_FLOAT_EQ(scene.groundBox.min[0], -150);
    EXPECT_FLOAT_EQ(scene.groundBox.max[2], 150);
    qx::PlayerMotion player(scene.collision, scene.start);
    qx::MoveInput in;
    for (int i = 0; i < 60; ++i)
        player.Advance(1.0 / 60, in);
    EXPECT_FLOAT_EQ(player.Feet()[1], 6);
    // Off the platform onto the floor, off the floor onto the ground.
    in.forward = true;
    in.yaw = kAlongX;
    for (int i = 0; i < 120; ++i)
        player.Advance(1.0 / 60, in);
    EXPECT_FLOAT_EQ(player.Feet()[1], 0);
    for (int i = 0; i < 240; ++i)
        player.Advance(1.0 / 60, in);
    EXPECT_GT(player.Feet()[0], 60);
    EXPECT_NEAR(player.Feet()[1], -1.05f, 1e-4);
    EXPECT_EQ(player.FallRespawns(), 0);

    // A start far outside 0 to 1000 beside a crate that sits lower.
    ProjectContent far;
    AddCube(far, "_Cube");
    far.AddPlacement("_Cube", TPlacement{-5000, -2, 2500, 0, 0, 0, 1, 1, 1});
    far.PlayerPos[0] = -4980;
    far.PlayerPos[1] = 3;
    far.PlayerPos[2] = 2480;
    scene.Build(far);
    EXPECT_FLOAT_EQ(scene.groundBox.max[1], -2.05f);
    EXPECT_FLOAT_EQ(scene.groundBox.min[0], -5100);
    EXPECT_FLOAT_EQ(scene.groundBox.max[0], -4880);
    EXPECT_FLOAT_EQ(scene.groundBox.min[2], 2380);
    EXPECT_FLOAT_EQ(scene.groundBox.max[2], 2604);
    qx::PlayerMotion faller(scene.collision, scene.start);
    for (int i = 0; i < 300; ++i)
        faller.Advance(1.0 / 60, qx::MoveInput());
    EXPECT_NEAR(faller.Feet()[1], -2.05f, 1e-4);
    EXPECT_EQ(faller.FallRespawns(), 0);

    // Shapes and models are geometry too: a ball sunk 3 into the level and
    // a model reaching 10 beyond it.
    ProjectContent shapes;
    TGLPremitives& list = *shapes.MapObjects[static_cast<size_t>(shapes.AddObject("_Shapes"))]->Lists[0];
    TSphere ball;
    ball.Radius = 4;
    ball.Position = {0, 1, 0};
    list.Append(ball);
    TModel3ds gate;
    gate.Model = std::make_shared<DoorwayModel>();  // x -10..10, z 10
    gate.Scale = {1, 1, 1};
    list.Append(gate);
    shapes.AddPlacement("_Shapes", TPlacement{0, 0, 0, 0, 0, 0, 1, 1, 1});
    scene.Build(shapes);
    EXPECT_FLOAT_EQ(scene.groundBox.max[1], -3.05f);
    EXPECT_FLOAT_EQ(scene.groundBox.min[0], -110);
    EXPECT_FLOAT_EQ(scene.groundBox.max[2], 110);
    EXPECT_EQ(scene.placement.size(), 1u) << "drawn";

    // No geometry at all: the ground at the start's feet, around it.
    ProjectContent empty;
    empty.PlayerPos[0] = 12;
    empty.PlayerPos[1] = 7;
    empty.PlayerPos[2] = -3000;
    scene.Build(empty);
    EXPECT_FLOAT_EQ(scene.groundBox.max[1], 7);
    EXPECT_FLOAT_EQ(scene.groundBox.min[0], -88);
    EXPECT_FLOAT_EQ(scene.groundBox.max[2], -2900);
    qx::PlayerMotion stander(scene.collision, scene.start);
    for (int i = 0; i < 120; ++i)
        stander.Advance(1.0 / 60, qx::MoveInput());
    EXPECT_FLOAT_EQ(stander.Feet()[1], 7);
}
