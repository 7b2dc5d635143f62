// The sky box: its six faces as the table lays them out, which texture shows
// in which direction, and that it never hides what is drawn after it.
#include <gtest/gtest.h>

#include <GL/glu.h>

#include "GLEngine.h"
#include "Objects.h"
#include "SceneTestSupport.h"
#include "WorldFeedback.h"

using namespace qxtest;

namespace {

class SkyboxTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        InitGLState();
    }

    // Front, back, top, bottom, left, right in distinct colours.
    const std::vector<std::array<unsigned char, 3>> colours_ = {
        {255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}, {0, 255, 255}, {255, 0, 255}};

    void AssignFaces(TSkybox& sky)
    {
        sky.FrontTexture = 0;
        sky.BackTexture = 1;
        sky.TopTexture = 2;
        sky.BottomTexture = 3;
        sky.LeftTexture = 4;
        sky.RightTexture = 5;
    }

    // Perspective view from (ex, ey, ez) along a direction.
    static void LookFrom(double ex, double ey, double ez, double dx, double dy, double dz)
    {
        SetProjection(0, 256, 256);
        const bool vertical = dx == 0 && dz == 0;
        gluLookAt(ex, ey, ez, ex + dx, ey + dy, ez + dz, 0, vertical ? 0 : 1, vertical ? 1 : 0);
    }
};

TEST_F(SkyboxTest, FacesFollowTheTable)
{
    SolidTextures textures(colours_);
    TSkybox sky(true, 500);
    AssignFaces(sky);
    sky.BuildList();
    UseWorldOrtho(512);
    const auto quads = QuadsFromTriangles(CaptureWorld([&] { sky.Draw(0, 0, 0); }, 512));
    ASSERT_EQ(quads.size(), 6u);
    const float table[6][4][5] = {
        {{-1, -1, 1, 0, 0}, {1, -1, 1, 1, 0}, {1, 1, 1, 1, 1}, {-1, 1, 1, 0, 1}},
        {{-1, -1, -1, 1, 0}, {-1, 1, -1, 1, 1}, {1, 1, -1, 0, 1}, {1, -1, -1, 0, 0}},
        {{-1, 1, -1, 0, 0}, {-1, 1, 1, 1, 0}, {1, 1, 1, 1, 1}, {1, 1, -1, 0, 1}},
        {{-1, -1, -1, 0, 1}, {1, -1, -1, 0, 0}, {1, -1, 1, 1, 0}, {-1, -1, 1, 1, 1}},
        {{1, -1, -1, 1, 0}, {1, 1, -1, 1, 1}, {1, 1, 1, 0, 1}, {1, -1, 1, 0, 0}},
        {{-1, -1, -1, 0, 0}, {-1, -1, 1, 1, 0}, {-1, 1, 1, 1, 1}, {-1, 1, -1, 0, 1}},
    };
    for (int f = 0; f < 6; ++f)
        for (int k = 0; k < 4; ++k) {
            const WorldVertex& v = quads[f][k];
            EXPECT_NEAR(v.x, 500 * table[f][k][0], 0.05) << "face " << f + 1;
            EXPECT_NEAR(v.y, 500 * table[f][k][1], 0.05) << "face " << f + 1;
            EXPECT_NEAR(v.z, 500 * table[f][k][2], 0.05) << "face " << f + 1;
            EXPECT_FLOAT_EQ(v.s, table[f][k][3]) << "face " << f + 1;
            EXPECT_FLOAT_EQ(v.t, table[f][k][4]) << "face " << f + 1;
        }
}

TEST_F(SkyboxTest, EachDirectionShowsItsFaceTexture)
{
    SolidTextures textures(colours_);
    TSkybox sky(true, 500);
    AssignFaces(sky);
    sky.BuildList();
    struct View {
        double dx, dy, dz;
        size_t face;
    } views[] = {{0, 0, 1, 0}, {0, 0, -1, 1}, {0, 1, 0, 2}, {0, -1, 0, 3}, {1, 0, 0, 4}, {-1, 0, 0, 5}};
    for (const View& view : views) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        // The eye is off the origin; the box is centred on it, as each frame does.
        LookFrom(30, 40, -20, view.dx, view.dy, view.dz);
        sky.Draw(30, 40, -20);
        const auto px = PixelAt(128, 128);
        EXPECT_EQ(px[0], colours_[view.face][0]) << "face " << view.face;
        EXPECT_EQ(px[1], colours_[view.face][1]) << "face " << view.face;
        EXPECT_EQ(px[2], colours_[view.face][2]) << "face " << view.face;
    }
}

TEST_F(SkyboxTest, NeverHidesWhatIsDrawnAfterItAndRestoresItsState)
{
    SolidTextures textures(colours_);
    TSkybox sky(true, 5);  // far smaller than the distance to the quad below
    AssignFaces(sky);
    sky.BuildList();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    LookFrom(0, 0, 0, 0, 0, 1);
    glEnable(GL_BLEND);
    glCullFace(GL_BACK);
    float before[16], after[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    sky.Draw(0, 0, 0);
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(before[i], after[i], 1e-5);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLint cull = 0;
    glGetIntegerv(GL_CULL_FACE_MODE, &cull);
    EXPECT_EQ(cull, GL_FRONT);

    float depth = 0;
    glReadPixels(128, 128, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    EXPECT_FLOAT_EQ(depth, 1.0f) << "the sky writes no depth";

    // A grey quad 50 units away, well outside the sky box, shows in front.
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glColor3ub(128, 128, 128);
    glBegin(GL_QUADS);
    glVertex3f(-10, -10, 50);
    glVertex3f(10, -10, 50);
    glVertex3f(10, 10, 50);
    glVertex3f(-10, 10, 50);
    glEnd();
    const auto px = PixelAt(128, 128);
    EXPECT_EQ(px[0], 128);
    EXPECT_EQ(px[1], 128);
}

TEST_F(SkyboxTest, SphereFormShowsTheTopTextureWhateverWasBoundBefore)
{
    SolidTextures textures(colours_);
    TSkybox sky(false, 50);
    AssignFaces(sky);
    sky.BuildList();
    BindTexture(1);  // something else bound since the build
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    LookFrom(0, 0, 0, 1, 0, 0);
    glDisable(GL_CULL_FACE);
    sky.Draw(0, 0, 0);
    const auto px = PixelAt(128, 128);
    EXPECT_EQ(px[2], 255);
    EXPECT_EQ(px[0], 0);
    UseWorldOrtho(64);
    const Bounds b = BoundsOf(CaptureWorld([&] { sky.Draw(0, 0, 0); }, 64));
    EXPECT_NEAR(b.hi[1], 50, 0.05);
    EXPECT_NEAR(b.lo[1], -50, 0.05);
}

TEST_F(SkyboxTest, RebuildingReplacesTheOldList)
{
    const int64_t baseline = qx::LiveGlLists();
    TSkybox sky(true, 500);
    sky.BuildList();
    const GLuint first = static_cast<GLuint>(sky.DisplayList.Id());
    sky.BuildList();
    EXPECT_FALSE(glIsList(first));
    EXPECT_EQ(qx::LiveGlLists(), baseline + 1);
    sky.Boxed = false;
    sky.BuildList();
    EXPECT_EQ(qx::LiveGlLists(), baseline + 2) << "the sphere list and the list that binds its texture";
}

}  // namespace
