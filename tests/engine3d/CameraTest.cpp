// The camera: start values, Apply's eye and heading, the heading quadrants,
// walking and strafing directions, mouse-look through a stand-in cursor,
// and the depth read-back of ScreenToWorld.
#include <gtest/gtest.h>

#include <GL/glu.h>

#include <cmath>
#include <numbers>

#include "Camera.h"
#include "GLEngine.h"
#include "GlTestContext.h"

namespace {

constexpr double kPi = std::numbers::pi;

class FakeCursor : public TScreenCursor {
public:
    void GetPos(int32_t& x, int32_t& y) override
    {
        x = this->x;
        y = this->y;
        ++reads;
    }
    void SetPos(int32_t nx, int32_t ny) override
    {
        x = nx;
        y = ny;
        ++sets;
    }
    int32_t x = 0, y = 0;
    int reads = 0, sets = 0;
};

class CameraTest : public qxtest::GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        camera.SetScreenCursor(&cursor);
        camera.MouseLookActive = 0;
        SetProjection(0, 256, 256);
    }
    // Turns the look direction to (dx, dz) on the ground and applies.
    void LookAlong(float dx, float dz)
    {
        camera.SetLookAt(0, 0, 0, dx, 0, dz, 0, 1, 0);
        camera.Apply();
    }
    TCamera camera;
    FakeCursor cursor;
};

TEST_F(CameraTest, StartUpPositionGivesEyeAt33LookingAlongPlusZ)
{
    camera.SetPosition(0, 0, 0);
    camera.HeightOffset = 33;
    camera.Apply();
    EXPECT_FLOAT_EQ(camera.Eye.X, 0);
    EXPECT_FLOAT_EQ(camera.Eye.Y, 33);
    EXPECT_FLOAT_EQ(camera.Eye.Z, 0);
    EXPECT_FLOAT_EQ(camera.Target.Y, 33);
    EXPECT_FLOAT_EQ(camera.Target.Z, 1);
    EXPECT_FLOAT_EQ(camera.Heading, 180);

    // gluLookAt went onto the modelview matrix: the eye maps to the origin
    // and the target onto the -Z axis of eye space.
    GLdouble mv[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, mv);
    auto eyeSpace = [&](double x, double y, double z, int row) {
        return mv[row] * x + mv[4 + row] * y + mv[8 + row] * z + mv[12 + row];
    };
    EXPECT_NEAR(eyeSpace(0, 33, 0, 0), 0, 1e-6);
    EXPECT_NEAR(eyeSpace(0, 33, 0, 1), 0, 1e-6);
    EXPECT_NEAR(eyeSpace(0, 33, 0, 2), 0, 1e-6);
    EXPECT_NEAR(eyeSpace(0, 33, 1, 2), -1, 1e-6);
}

TEST(CameraHeading, QuadrantRules)
{
    EXPECT_DOUBLE_EQ(HeadingDegrees(0, 0, 0, -1), 1.0) << "along -Z is 1, never 0";
    EXPECT_DOUBLE_EQ(HeadingDegrees(0, 0, 1, 0), 90);
    EXPECT_DOUBLE_EQ(HeadingDegrees(0, 0, 0, 1), 180);
    EXPECT_DOUBLE_EQ(HeadingDegrees(0, 0, -1, 0), 270);
    EXPECT_NEAR(HeadingDegrees(0, 0, 1, -1), 45, 1e-9);
    EXPECT_NEAR(HeadingDegrees(0, 0, 1, 1), 135, 1e-9);
    EXPECT_NEAR(HeadingDegrees(0, 0, -1, 1), 225, 1e-9);
    EXPECT_NEAR(HeadingDegrees(0, 0, -1, -1), 315, 1e-9);
    EXPECT_NEAR(HeadingDegrees(10, 20, 11, 19), 45, 1e-9) << "only the difference counts";
}

TEST_F(CameraTest, WalkGoesTowardsTheTargetAndStrafeToTheRight)
{
    LookAlong(1, 0);  // heading 90: along +X
    ASSERT_FLOAT_EQ(camera.Heading, 90);
    camera.Walk(-0.6f);
    EXPECT_NEAR(camera.PosX, 0.6, 1e-6);
    EXPECT_NEAR(camera.PosZ, 0, 1e-6);
    camera.Walk(0.6f);
    EXPECT_NEAR(camera.PosX, 0, 1e-6);

    // Looking along +X with Y up, the right hand points to +Z.
    camera.Strafe(0.6f);
    EXPECT_NEAR(camera.PosX, 0, 1e-6);
    EXPECT_NEAR(camera.PosZ, 0.6, 1e-6);
    camera.Strafe(-0.6f);
    EXPECT_NEAR(camera.PosZ, 0, 1e-6);

    camera.SetPosition(0, 0, 0);
    camera.Apply();  // heading 180: along +Z, right is -X
    camera.Walk(-1);
    camera.Strafe(1);
    EXPECT_NEAR(camera.PosZ, 1, 1e-6);
    EXPECT_NEAR(camera.PosX, -1, 1e-6);
}

TEST_F(CameraTest, ApplyCarriesTheTargetWithTheEye)
{
    camera.SetPosition(0, 5, 0);
    camera.HeightOffset = 10;
    camera.PosX = 3;
    camera.PosZ = -4;
    camera.Apply();
    EXPECT_FLOAT_EQ(camera.Eye.X, 3);
    EXPECT_FLOAT_EQ(camera.Eye.Y, 15);
    EXPECT_FLOAT_EQ(camera.Eye.Z, -4);
    EXPECT_FLOAT_EQ(camera.Target.X, 3);
    EXPECT_FLOAT_EQ(camera.Target.Y, 15);
    EXPECT_FLOAT_EQ(camera.Target.Z, -3);
}

TEST_F(CameraTest, CursorAtTheAnchorChangesNothing)
{
    camera.SetPosition(0, 0, 0);
    camera.PrevTargetY = 42;
    cursor.x = 400;
    cursor.y = 300;
    camera.UpdateMouseLook(400, 300, 400, 1000);
    EXPECT_FLOAT_EQ(camera.PrevTargetY, 42);
    EXPECT_FLOAT_EQ(camera.YawStep, 0);
    EXPECT_FLOAT_EQ(camera.Target.Z, 1);
    EXPECT_EQ(cursor.sets, 0);
}

TEST_F(CameraTest, FourHundredPixelsLeftTurnOneRadianLeft)
{
    camera.SetPosition(0, 0, 0);
    camera.LookAnchorX = 500;
    camera.LookAnchorY = 400;
    camera.MouseLookActive = 255;
    cursor.x = 100;  // 400 pixels left of the anchor
    cursor.y = 400;
    camera.Apply();
    EXPECT_EQ(cursor.x, 500) << "the cursor is held at the anchor";
    EXPECT_EQ(cursor.y, 400);
    EXPECT_FLOAT_EQ(camera.YawStep, 1);
    // From +Z one radian to the left (towards +X).
    const double dx = camera.Target.X - camera.Eye.X;
    const double dz = camera.Target.Z - camera.Eye.Z;
    EXPECT_NEAR(std::atan2(dx, dz), 1.0, 1e-6);
    EXPECT_NEAR(std::hypot(dx, dz), 1.0, 1e-6);
    EXPECT_NEAR(camera.Heading, 180 - 180 / kPi, 1e-4);
}

TEST_F(CameraTest, PitchRisesThreeUnitsPerThousandPixelsAndIsUndoneBeyondFive)
{
    camera.SetPosition(0, 0, 0);
    cursor.x = 400;
    cursor.y = 300 - 1000;  // 1000 pixels up
    camera.UpdateMouseLook(400, 300, 400, 1000);
    EXPECT_FLOAT_EQ(camera.PitchStep, 1);
    EXPECT_FLOAT_EQ(camera.PrevTargetY, 0);
    EXPECT_FLOAT_EQ(camera.Target.Y, 3);

    cursor.y = 300 - 1000;
    camera.UpdateMouseLook(400, 300, 400, 1000);
    EXPECT_FLOAT_EQ(camera.Target.Y, 6) << "may pass 5 for one step";

    cursor.y = 300 - 1000;
    camera.UpdateMouseLook(400, 300, 400, 1000);
    // 6 is beyond 5: back to the previous 3, then the new step on top.
    EXPECT_FLOAT_EQ(camera.PrevTargetY, 3);
    EXPECT_FLOAT_EQ(camera.Target.Y, 6);

    cursor.y = 300 + 4000;  // far down
    camera.UpdateMouseLook(400, 300, 400, 1000);
    EXPECT_FLOAT_EQ(camera.Target.Y, 3 - 12);
    cursor.y = 300;
    cursor.x = 401;
    camera.UpdateMouseLook(400, 300, 400, 1000);
    EXPECT_FLOAT_EQ(camera.Target.Y, 3) << "below -5: the last step is undone";
}

TEST_F(CameraTest, RotateTurnsEachAxisFromTheSameOffset)
{
    camera.SetLookAt(1, 1, 1, 1, 1, 2, 0, 1, 0);
    camera.Rotate(0, static_cast<float>(kPi / 2), 0);
    EXPECT_NEAR(camera.Target.X, 0, 1e-6);
    EXPECT_NEAR(camera.Target.Z, 1, 1e-6);
    camera.SetLookAt(0, 0, 0, 0, 0, 1, 0, 1, 0);
    camera.Rotate(static_cast<float>(kPi / 2), 0, 0);
    EXPECT_NEAR(camera.Target.Y, -1, 1e-6);
    EXPECT_NEAR(camera.Target.Z, 0, 1e-6);
    camera.SetLookAt(0, 0, 0, 1, 0, 0, 0, 1, 0);
    camera.Rotate(0, 0, static_cast<float>(kPi / 2));
    EXPECT_NEAR(camera.Target.X, 0, 1e-6);
    EXPECT_NEAR(camera.Target.Y, -1, 1e-6);
}

TEST_F(CameraTest, TargetOnTheEyeKeepsTheLastHeading)
{
    LookAlong(1, 0);
    camera.SetLookAt(0, 0, 0, 0, 0, 0, 0, 1, 0);
    camera.Apply();
    EXPECT_FLOAT_EQ(camera.Heading, 90);
    camera.Walk(-1);
    EXPECT_FALSE(std::isnan(camera.PosX));
    EXPECT_NEAR(camera.PosX, 1, 1e-6);
}

TEST_F(CameraTest, ScreenToWorldUnprojectsTheDepthUnderThePixel)
{
    camera.SetPosition(0, 0, 0);
    camera.HeightOffset = 10;
    camera.Apply();
    glClearDepth(1.0);
    glClear(GL_DEPTH_BUFFER_BIT);
    // Pixel (1, 1) alone gets depth 0.5: a reading at (0, 0) must use it.
    glEnable(GL_SCISSOR_TEST);
    glScissor(1, 1, 1, 1);
    glClearDepth(0.5);
    glClear(GL_DEPTH_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);

    GLdouble mv[16], proj[16], expected[3];
    GLint vp[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, mv);
    glGetDoublev(GL_PROJECTION_MATRIX, proj);
    glGetIntegerv(GL_VIEWPORT, vp);
    gluUnProject(1, 1, 0.5, mv, proj, vp, &expected[0], &expected[1], &expected[2]);

    double result[3] = {0, 0, 0};
    camera.ScreenToWorld(0, 0, result);
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(result[i], expected[i], 1e-6);

    // Nothing drawn at the centre: the point lies on the far plane, about
    // 1000 units ahead along +Z.
    camera.ScreenToWorld(128, 128, result);
    EXPECT_NEAR(result[2], 1000, 1.0);
    EXPECT_NEAR(result[1], 10, 1.0);
}

}  // namespace
