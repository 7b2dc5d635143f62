// The level as the game keeps it: collision volumes of placed objects, and
// the placements a frame draws.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include "Collisions.h"
#include "GLEngine.h"
#include "GlTestContext.h"
#include "LevelScene.h"
#include "PlayerMotion.h"
#include "QX3DObject.h"

namespace {

// An object of one 4-unit box at its origin, with the volume the object
// file reader would give it.
void AddCube(ProjectContent& content, const std::string& name)
{
    const int32_t k = content.AddObject(name);
    TQX3DObject& object = *content.MapObjects[static_cast<size_t>(k)];
    object.Lists[0]->AddBox(-1, 0, 0, 0, 4, 4, 4, 1, 0, 0, 0);
    object.Collision = std::make_shared<TCollision>(name);
    object.Collision->Margin = 0;
    object.Collision->AddVolume(0, 0, 0, 4, 4, 4);
}

}  // namespace

TEST(LevelScene, VolumesFollowPlacementPositionAndScaleNotRotation)
{
    ProjectContent content;
    AddCube(content, "_Cube");
    content.AddPlacement("_Cube", TPlacement{-50, -1, -50, 0, 0, 0, 25, 0.25f, 25});  // floor, top at 0
    content.AddPlacement("_Cube", TPlacement{10, 0, -4, 0, 90, 0, 2, 1, 2});          // x 10..18, z -4..4
    content.AddPlacement("_Unknown", TPlacement{3, 0, -4, 0, 0, 0, 1, 1, 1});
    content.PlayerPos[1] = 0;
    qx::LevelScene scene;
    scene.Build(content);

    qx::PlayerMotion player(scene.collision, scene.start);
    qx::MoveInput in;
    in.forward = true;
    in.yaw = 1.5707964f;  // along +X
    for (int i = 0; i < 120; ++i)
        player.Advance(1.0 / 60, in);
    EXPECT_NEAR(player.Feet()[0], 10 - qx::PlayerMotion::kHalfWidth, 0.01);
    EXPECT_FLOAT_EQ(player.Feet()[1], 0);
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

// The ground the designer built on: the editor's grid at the height of the
// player start, 1000 units square from the origin.  Off its edge, a fall.
TEST(LevelScene, ThePlayerStandsOnTheEditorsGroundGridAndFallsOffItsEdge)
{
    ProjectContent content;
    content.PlayerPos[0] = 2;
    content.PlayerPos[1] = 1;
    content.PlayerPos[2] = 500;
    qx::LevelScene scene;
    scene.groundGrid = true;
    scene.Build(content);
    qx::PlayerMotion player(scene.collision, scene.start);
    qx::MoveInput in;
    for (int i = 0; i < 120; ++i)
        player.Advance(1.0 / 60, in);
    EXPECT_FLOAT_EQ(player.Feet()[1], 1.0f);
    in.forward = true;
    in.yaw = -1.5707964f;  // along -X, off the edge at x = 0
    for (int i = 0; i < 60; ++i)
        player.Advance(1.0 / 60, in);
    EXPECT_LT(player.Feet()[1], 0.0f);
}
