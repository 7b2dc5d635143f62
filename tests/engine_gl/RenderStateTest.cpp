#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "GLEngine.h"
#include "GlTestContext.h"

namespace {

GLint GetInt(GLenum name)
{
    GLint v = 0;
    glGetIntegerv(name, &v);
    return v;
}

float GetFloat(GLenum name)
{
    GLfloat v = 0;
    glGetFloatv(name, &v);
    return v;
}

class RenderStateTest : public qxtest::GlTest {};

TEST_F(RenderStateTest, InitialStateMatchesTheEditorsConventions)
{
    InitGLState();
    EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_EQ(GetInt(GL_ALPHA_TEST_FUNC), GL_GREATER);
    EXPECT_EQ(GetFloat(GL_ALPHA_TEST_REF), 0.0f);
    EXPECT_EQ(GetInt(GL_PERSPECTIVE_CORRECTION_HINT), GL_NICEST);
    EXPECT_TRUE(glIsEnabled(GL_RESCALE_NORMAL));
    EXPECT_TRUE(glIsEnabled(GL_NORMALIZE));
    EXPECT_EQ(GetInt(GL_DEPTH_FUNC), GL_LESS);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(GetInt(GL_SHADE_MODEL), GL_SMOOTH);
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_EQ(GetInt(GL_CULL_FACE_MODE), GL_FRONT);
    EXPECT_EQ(GetFloat(GL_DEPTH_CLEAR_VALUE), 1.0f);
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(clear[0] + clear[1] + clear[2] + clear[3], 0.0f);

    // Nothing is lit and there is no fog, but both are prepared.
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    GLfloat ambient[4], diffuse[4];
    glGetLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glGetLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    EXPECT_FLOAT_EQ(ambient[0], 0.7f);
    EXPECT_FLOAT_EQ(ambient[3], 1.0f);
    EXPECT_FLOAT_EQ(diffuse[1], 1.0f);
    EXPECT_EQ(GetInt(GL_FOG_MODE), GL_EXP);
    EXPECT_FLOAT_EQ(GetFloat(GL_FOG_DENSITY), 0.01f);
    EXPECT_FLOAT_EQ(GetFloat(GL_FOG_START), 1.0f);
    EXPECT_FLOAT_EQ(GetFloat(GL_FOG_END), 100.0f);
    EXPECT_EQ(GetInt(GL_FOG_HINT), GL_DONT_CARE);

    // The feedback texture is a 512 x 512 RGB picture with linear filters.
    ASSERT_NE(Engine().FeedbackTexture, 0u);
    glBindTexture(GL_TEXTURE_2D, Engine().FeedbackTexture);
    GLint w = 0, h = 0, minFilter = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    EXPECT_EQ(w, 512);
    EXPECT_EQ(h, 512);
    EXPECT_EQ(minFilter, GL_LINEAR);
}

TEST_F(RenderStateTest, LightIsPositional30UnitsAboveTheOrigin)
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    SetupLight();
    GLfloat position[4];
    glGetLightfv(GL_LIGHT0, GL_POSITION, position);  // eye coordinates = world with identity
    EXPECT_FLOAT_EQ(position[1], 30.0f);
    EXPECT_FLOAT_EQ(position[3], 1.0f);
}

TEST_F(RenderStateTest, FogDensityZeroBecomesOneHundredth)
{
    SetFog(2, 1, TColor4{0.5f, 0.25f, 0.125f, 1.0f}, 0.0f, 5.0f, 50.0f);
    EXPECT_FLOAT_EQ(GetFloat(GL_FOG_DENSITY), 0.01f);
    EXPECT_EQ(GetInt(GL_FOG_MODE), GL_LINEAR);
    EXPECT_EQ(GetInt(GL_FOG_HINT), GL_NICEST);
    GLfloat color[4];
    glGetFloatv(GL_FOG_COLOR, color);
    EXPECT_FLOAT_EQ(color[1], 0.25f);

    while (glGetError() != GL_NO_ERROR) {
    }
    // Other densities pass through; GL itself refuses a negative one.
    SetFog(1, 2, TColor4{0, 0, 0, 1}, -0.5f, 1.0f, 2.0f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_INVALID_VALUE));
    SetFog(1, 2, TColor4{0, 0, 0, 1}, 0.25f, 1.0f, 2.0f);
    EXPECT_FLOAT_EQ(GetFloat(GL_FOG_DENSITY), 0.25f);
    EXPECT_EQ(GetInt(GL_FOG_MODE), GL_EXP2);
    EXPECT_EQ(GetInt(GL_FOG_HINT), GL_FASTEST);

    EnableFog();
    EXPECT_TRUE(glIsEnabled(GL_FOG));
    DisableFog();
    EXPECT_FALSE(glIsEnabled(GL_FOG));
}

TEST_F(RenderStateTest, BlendModesSelectTheirFunctionPairs)
{
    const GLenum expected[12][2] = {
        {0, 0},
        {GL_SRC_ALPHA, GL_ONE},
        {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA},
        {GL_ONE, GL_ONE},
        {GL_DST_COLOR, GL_SRC_COLOR},
        {GL_DST_COLOR, GL_ZERO},
        {GL_SRC_COLOR, GL_ONE},
        {GL_ONE_MINUS_DST_COLOR, GL_ONE},
        {GL_ZERO, GL_SRC_ALPHA},
        {GL_DST_COLOR, GL_DST_ALPHA},
        {GL_ONE_MINUS_DST_ALPHA, GL_ONE_MINUS_SRC_COLOR},
        {GL_ONE_MINUS_SRC_ALPHA, GL_DST_COLOR},
    };
    for (uint8_t mode = 1; mode <= 11; ++mode) {
        SCOPED_TRACE(mode);
        SetBlend(0, mode);
        EXPECT_TRUE(glIsEnabled(GL_BLEND));
        EXPECT_EQ(GetInt(GL_BLEND_SRC), static_cast<GLint>(expected[mode][0]));
        EXPECT_EQ(GetInt(GL_BLEND_DST), static_cast<GLint>(expected[mode][1]));
    }

    // Mode 0 switches blending off and keeps the last function.
    SetBlend(0, 0);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(GetInt(GL_BLEND_SRC), GL_ONE_MINUS_SRC_ALPHA);

    // Modes past 11 enable blending and keep the function.
    SetBlend(0, 12);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(GetInt(GL_BLEND_DST), GL_DST_COLOR);
}

TEST_F(RenderStateTest, BlendEquationIsSetOnEveryCallEvenWithBlendingOff)
{
    const GLenum equations[5] = {GL_FUNC_ADD, GL_FUNC_SUBTRACT, GL_FUNC_REVERSE_SUBTRACT, GL_MIN, GL_MAX};
    for (uint8_t eq = 0; eq < 5; ++eq) {
        SetBlend(eq, 3);
        EXPECT_EQ(GetInt(GL_BLEND_EQUATION), static_cast<GLint>(equations[eq]));
    }
    SetBlend(0, 0);
    EXPECT_EQ(GetInt(GL_BLEND_EQUATION), GL_FUNC_ADD);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));

    // An unknown equation leaves the last one.
    SetBlend(4, 1);
    SetBlend(7, 2);
    EXPECT_EQ(GetInt(GL_BLEND_EQUATION), GL_MAX);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(GetInt(GL_BLEND_SRC), GL_SRC_ALPHA);
    EXPECT_EQ(GetInt(GL_BLEND_DST), GL_ONE_MINUS_SRC_ALPHA);
}

// Where a point lands in window coordinates (feedback mode).
std::array<float, 3> WindowPoint(float x, float y, float z)
{
    auto prims = qxtest::CaptureFeedback([&] {
        glBegin(GL_POINTS);
        glVertex3f(x, y, z);
        glEnd();
    });
    if (prims.size() != 1 || prims[0].vertices.size() != 1)
        return {NAN, NAN, NAN};
    const auto& v = prims[0].vertices[0];
    return {v.x, v.y, v.z};
}

TEST_F(RenderStateTest, OverlayProjectionIsOneUnitPerPixelFromTheTopLeft)
{
    glViewport(0, 0, 800, 600);
    SetProjection(255, 800, 600);
    GLint mode = GetInt(GL_MATRIX_MODE);
    EXPECT_EQ(mode, GL_MODELVIEW);

    auto centre = WindowPoint(400, 300, 0);
    EXPECT_NEAR(centre[0], 400.0f, 1e-3);
    EXPECT_NEAR(centre[1], 300.0f, 1e-3);
    // Window y grows upwards in GL: overlay (0, 0) is the top-left corner.
    auto corner = WindowPoint(0, 0, 0);
    EXPECT_NEAR(corner[0], 0.0f, 1e-3);
    EXPECT_NEAR(corner[1], 600.0f, 1e-3);
    // z = 0 lies one unit in front of the eye: inside the 0.1 .. 1000 range.
    EXPECT_GT(centre[2], 0.0f);
    EXPECT_LT(centre[2], 0.01f);
}

TEST_F(RenderStateTest, PerspectiveProjectionHasSixtyDegreesVerticalField)
{
    glViewport(0, 0, 800, 600);
    SetProjection(0, 800, 600);
    GLdouble m[16];
    glGetDoublev(GL_PROJECTION_MATRIX, m);
    const double f = 1.0 / std::tan(30.0 * M_PI / 180.0);
    EXPECT_NEAR(m[5], f, 1e-6);
    EXPECT_NEAR(m[0], f / (800.0 / 600.0), 1e-6);
    // Near plane 0.1: a point at z = -0.1 maps to depth 0.
    auto nearPoint = WindowPoint(0, 0, -0.1001f);
    EXPECT_NEAR(nearPoint[2], 0.0f, 1e-3);
    auto farPoint = WindowPoint(0, 0, -999.0f);
    EXPECT_GT(farPoint[2], 0.99f);
    glGetDoublev(GL_MODELVIEW_MATRIX, m);
    EXPECT_EQ(m[0], 1.0);
    EXPECT_EQ(m[12], 0.0);

    // A zero height gives an infinite aspect, not an error.
    SetProjection(0, 800, 0);
    glGetDoublev(GL_PROJECTION_MATRIX, m);
    EXPECT_FALSE(std::isfinite(m[5] / m[0]) && m[0] != 0.0);
}

TEST_F(RenderStateTest, CounterClockwiseFacesAreCulled)
{
    InitGLState();
    glDisable(GL_TEXTURE_2D);
    glViewport(0, 0, 256, 256);
    SetProjection(255, 256, 256);
    auto drawQuad = [](bool clockwise) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glColor4f(1, 1, 1, 1);
        glBegin(GL_QUADS);
        // Overlay y grows downwards, so the on-screen winding is reversed.
        if (clockwise) {
            glVertex3f(10, 10, 0);
            glVertex3f(100, 10, 0);
            glVertex3f(100, 100, 0);
            glVertex3f(10, 100, 0);
        } else {
            glVertex3f(10, 10, 0);
            glVertex3f(10, 100, 0);
            glVertex3f(100, 100, 0);
            glVertex3f(100, 10, 0);
        }
        glEnd();
        glFinish();
        GLubyte pixel[4] = {};
        glReadPixels(50, 256 - 50, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
        return pixel[0];
    };
    glDisable(GL_CULL_FACE);
    ASSERT_EQ(drawQuad(false), 255) << "the quad covers the sampled pixel";
    glEnable(GL_CULL_FACE);
    EXPECT_EQ(drawQuad(true), 255) << "clockwise on screen: visible";
    EXPECT_EQ(drawQuad(false), 0) << "counter-clockwise on screen: culled";
}

TEST_F(RenderStateTest, FeedbackEffectDrawsTheCopiedFrameAtThreeQuartersAlpha)
{
    InitGLState();
    glViewport(0, 0, 256, 256);
    SetProjection(255, 800, 600);
    auto all = qxtest::CaptureFeedback([] { DrawFeedback(4, 2); });
    std::vector<qxtest::FeedbackPrimitive> prims;
    for (auto& p : all)
        if (p.token == GL_POLYGON_TOKEN)
            prims.push_back(p);
    // One quad, which the driver may hand back as two triangles.
    ASSERT_GE(prims.size(), 1u);
    ASSERT_LE(prims.size(), 2u);
    for (const auto& p : prims)
        for (const auto& v : p.vertices)
            EXPECT_NEAR(v.a, 0.75f, 1e-3);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST)) << "depth test restored";
    GLint filter = 0;
    glBindTexture(GL_TEXTURE_2D, Engine().FeedbackTexture);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &filter);
    EXPECT_EQ(filter, GL_NEAREST);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
