// The drawing routines checked as numbers: what each one emits, in which
// order, with which texture coordinates, winding and normals.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>
#include <numbers>

#include "GLEngine.h"
#include "Geometry.h"
#include "WorldFeedback.h"

using namespace qxtest;

namespace {

constexpr double kPi = std::numbers::pi;

struct Expected {
    float x, y, z, s, t;
};

void ExpectVertex(const WorldVertex& v, const Expected& e, const char* what)
{
    EXPECT_NEAR(v.x, e.x, 1e-3) << what;
    EXPECT_NEAR(v.y, e.y, 1e-3) << what;
    EXPECT_NEAR(v.z, e.z, 1e-3) << what;
    EXPECT_NEAR(v.s, e.s, 1e-5) << what;
    EXPECT_NEAR(v.t, e.t, 1e-5) << what;
}

TVec3 Minus(const WorldVertex& a, const WorldVertex& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

class GeometryTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        UseWorldOrtho();
    }
};

TEST_F(GeometryTest, CubeEmitsSixFacesInTableOrderWithTiledTexture)
{
    // Box (1, -2, 5) .. (3, 2, 11): centre (2, 0, 8), half sizes 1, 2, 3.
    const float T = 3;
    const auto quads = QuadsFromTriangles(CaptureWorld([] { DrawCube(3, 2, 4, 6, 1, -2, 5); }));
    ASSERT_EQ(quads.size(), 6u);
    const float x0 = 1, x1 = 3, y0 = -2, y1 = 2, z0 = 5, z1 = 11;
    const Expected table[6][4] = {
        // back, z = z0
        {{x1, y1, z0, 0, T}, {x0, y1, z0, T, T}, {x0, y0, z0, T, 0}, {x1, y0, z0, 0, 0}},
        // front, z = z1
        {{x1, y1, z1, T, T}, {x1, y0, z1, T, 0}, {x0, y0, z1, 0, 0}, {x0, y1, z1, 0, T}},
        // bottom, y = y0
        {{x1, y0, z1, T, 0}, {x1, y0, z0, T, T}, {x0, y0, z0, 0, T}, {x0, y0, z1, 0, 0}},
        // top, y = y1
        {{x1, y1, z1, 0, T}, {x0, y1, z1, T, T}, {x0, y1, z0, T, 0}, {x1, y1, z0, 0, 0}},
        // left, x = x0
        {{x0, y1, z1, T, T}, {x0, y0, z1, T, 0}, {x0, y0, z0, 0, 0}, {x0, y1, z0, 0, T}},
        // right, x = x1
        {{x1, y1, z1, 0, T}, {x1, y1, z0, T, T}, {x1, y0, z0, T, 0}, {x1, y0, z1, 0, 0}},
    };
    for (int f = 0; f < 6; ++f)
        for (int k = 0; k < 4; ++k)
            ExpectVertex(quads[f][k], table[f][k], ("face " + std::to_string(f + 1)).c_str());
}

TEST_F(GeometryTest, CubeFacesAreClockwiseSeenFromOutside)
{
    const auto quads = QuadsFromTriangles(CaptureWorld([] { DrawCube(1, 2, 4, 6, 0, 0, 0); }));
    ASSERT_EQ(quads.size(), 6u);
    for (const auto& q : quads) {
        // The counter-clockwise normal of a face wound clockwise from outside
        // points into the box.
        const TVec3 n = Cross(Minus(q[1], q[0]), Minus(q[2], q[0]));
        const TVec3 out = {(q[0].x + q[2].x) / 2 - 1, (q[0].y + q[2].y) / 2 - 2, (q[0].z + q[2].z) / 2 - 3};
        EXPECT_LT(n.X * out.X + n.Y * out.Y + n.Z * out.Z, 0);
    }
    // Under the editor's front-face culling, a box seen from a corner shows
    // exactly the three faces turned to the viewer; culling the back instead
    // shows the three inner faces.
    glRotatef(30, 1, 0, 0);
    glRotatef(45, 0, 1, 0);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_FRONT);
    const auto outer = CaptureWorld([] { DrawCube(1, 8, 8, 8, -4, -4, -4); }, 128, true);
    glCullFace(GL_BACK);
    const auto inner = CaptureWorld([] { DrawCube(1, 8, 8, 8, -4, -4, -4); }, 128, true);
    ASSERT_EQ(outer.size(), 6u);
    ASSERT_EQ(inner.size(), 6u);
    // Window z grows away from the viewer: the outer faces are the near ones.
    auto meanZ = [](const std::vector<WorldPrimitive>& p) {
        double sum = 0;
        for (const auto& v : AllVertices(p))
            sum += v.z;
        return sum;
    };
    EXPECT_GT(meanZ(outer), meanZ(inner));
}

TEST_F(GeometryTest, CubeCornersStayInsideTheGivenBox)
{
    const auto all = AllVertices(CaptureWorld([] { DrawCube(1, 2, 4, 6, 0, 0, 0); }));
    ASSERT_EQ(all.size(), 36u);
    for (const auto& v : all) {
        EXPECT_TRUE(std::fabs(v.x) < 1e-3 || std::fabs(v.x - 2) < 1e-3) << v.x;
        EXPECT_TRUE(std::fabs(v.y) < 1e-3 || std::fabs(v.y - 4) < 1e-3) << v.y;
        EXPECT_TRUE(std::fabs(v.z) < 1e-3 || std::fabs(v.z - 6) < 1e-3) << v.z;
    }
}

TEST_F(GeometryTest, CubeWithNegativeSizeEmitsNothingButZeroSizeIsFlat)
{
    GLint depthBefore = 0, depthAfter = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthBefore);
    EXPECT_TRUE(CaptureWorld([] { DrawCube(1, 2, -1, 6, 0, 0, 0); }).empty());
    EXPECT_TRUE(CaptureWorld([] { DrawCube(1, -0.001f, 1, 1, 0, 0, 0); }).empty());
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthAfter);
    EXPECT_EQ(depthBefore, depthAfter);

    const auto flat = CaptureWorld([] { DrawCube(1, 2, 0, 6, 0, 3, 0); });
    ASSERT_EQ(flat.size(), 12u);
    for (const auto& v : AllVertices(flat))
        EXPECT_NEAR(v.y, 3, 1e-3);
}

// Latitude from t and longitude from s must match each vertex's position.
void ExpectOnSphere(const WorldVertex& v, double r, double cx, double cy, double cz)
{
    const double dx = v.x - cx, dy = v.y - cy, dz = v.z - cz;
    EXPECT_NEAR(std::sqrt(dx * dx + dy * dy + dz * dz), r, 2e-3 * r);
    EXPECT_NEAR(dy, r * std::sin(kPi * v.t - kPi / 2), 2e-3 * r) << "t = " << v.t;
    if (std::hypot(dx, dz) > 1e-2 * r) {
        double phi = std::atan2(dz, dx);
        if (phi < -1e-4)
            phi += 2 * kPi;
        const double fromS = 2 * kPi * (1 - v.s);
        EXPECT_TRUE(std::fabs(phi - fromS) < 2e-3 || std::fabs(std::fabs(phi - fromS) - 2 * kPi) < 2e-3)
            << "phi " << phi << " s " << v.s;
    }
}

TEST_F(GeometryTest, OddSegmentCountIsRoundedUpToEven)
{
    // 5 segments become 6: 3 bands of 7 vertex pairs, upper vertex first.
    const int32_t id = CompileSphere(5, 10, 1, 2, 3);
    const auto prims = CaptureWorld([id] { glCallList(id); });
    ASSERT_EQ(prims.size(), 3u * 6 * 2);
    for (int band = 0; band < 3; ++band) {
        const auto strip = StripFromTriangles(prims, band * 12, 6);
        ASSERT_EQ(strip.size(), 14u) << "band " << band;
        for (int i = 0; i <= 6; ++i) {
            const WorldVertex& upper = strip[2 * i];
            const WorldVertex& lower = strip[2 * i + 1];
            EXPECT_NEAR(upper.t, 2.0 * (band + 1) / 6, 1e-6);
            EXPECT_NEAR(lower.t, 2.0 * band / 6, 1e-6);
            EXPECT_NEAR(upper.s, 1 - i / 6.0, 1e-6);
            EXPECT_NEAR(lower.s, 1 - i / 6.0, 1e-6);
            ExpectOnSphere(upper, 10, 1, 2, 3);
            ExpectOnSphere(lower, 10, 1, 2, 3);
        }
        // The seam closes: the last pair sits where the first one does.
        EXPECT_NEAR(strip[0].x, strip[12].x, 1e-3);
        EXPECT_NEAR(strip[0].z, strip[12].z, 1e-3);
    }
    glDeleteLists(id, 1);
}

TEST_F(GeometryTest, NegativeOddSegmentCountStaysOdd)
{
    // The evenness step sees -5 (not positive), the absolute value then gives 5.
    const int32_t id = CompileSphere(-5, 10, 0, 0, 0);
    const auto prims = CaptureWorld([id] { glCallList(id); });
    EXPECT_EQ(prims.size(), 2u * 5 * 2);
    glDeleteLists(id, 1);
}

TEST_F(GeometryTest, ThreeSegmentsBecomeFourAndStillMakeASphere)
{
    // The evenness step runs before the "fewer than 4" test.
    const int32_t id = CompileSphere(3, 1, 0, 0, 0);
    const auto prims = CaptureWorld([id] { glCallList(id); });
    EXPECT_EQ(prims.size(), 2u * 4 * 2);
    for (const auto& v : AllVertices(prims))
        ExpectOnSphere(v, 1, 0, 0, 0);
    glDeleteLists(id, 1);
}

TEST_F(GeometryTest, DegenerateSpheresCompileAClosedListHoldingTheCentre)
{
    for (auto [segments, radius] : {std::pair{2, 1.0f}, std::pair{8, 0.0f}, std::pair{-3, 5.0f}}) {
        const int32_t id = CompileSphere(segments, radius, 4, 5, 6);
        GLint compiling = -1;
        glGetIntegerv(GL_LIST_INDEX, &compiling);
        EXPECT_EQ(compiling, 0) << "the list must be closed";
        EXPECT_TRUE(glIsList(id));
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        const auto prims = CaptureWorld([id] { glCallList(id); });
        ASSERT_EQ(prims.size(), 1u) << segments << " / " << radius;
        EXPECT_EQ(prims[0].token, unsigned(GL_POINT_TOKEN));
        EXPECT_NEAR(prims[0].v[0].x, 4, 1e-3);
        EXPECT_NEAR(prims[0].v[0].y, 5, 1e-3);
        EXPECT_NEAR(prims[0].v[0].z, 6, 1e-3);
        glDeleteLists(id, 1);
    }
}

TEST_F(GeometryTest, NegativeRadiusGivesTheSameSphere)
{
    const int32_t a = CompileSphere(8, -2, 0, 0, 0);
    const int32_t b = CompileSphere(8, 2, 0, 0, 0);
    EXPECT_NE(a, b);
    const auto pa = AllVertices(CaptureWorld([a] { glCallList(a); }));
    const auto pb = AllVertices(CaptureWorld([b] { glCallList(b); }));
    ASSERT_EQ(pa.size(), pb.size());
    ASSERT_FALSE(pa.empty());
    for (size_t i = 0; i < pa.size(); ++i)
        EXPECT_TRUE(SameVertex(pa[i], pb[i], 1e-5f)) << i;
    glDeleteLists(a, 1);
    glDeleteLists(b, 1);
}

TEST_F(GeometryTest, SphereListOwnedByReferenceIsDeletedWithTheLastReference)
{
    GLuint id = 0;
    {
        qx::GlListRef list = CompileSphereList(16, 2, 0, 0, 0);
        id = static_cast<GLuint>(list.Id());
        qx::GlListRef copy = list;
        list = qx::GlListRef();
        EXPECT_TRUE(glIsList(id)) << "a copy still holds it";
    }
    EXPECT_FALSE(glIsList(id));
}

TEST_F(GeometryTest, FloorQuadTrianglesTextureAndWinding)
{
    const auto prims = CaptureWorld([] { DrawFloorQuad(2, 10, 20); });
    ASSERT_EQ(prims.size(), 2u);
    const Expected first[3] = {{10, 0, 0, 0, 0}, {10, 0, 20, 0, 2}, {0, 0, 0, 2, 0}};
    const Expected second[3] = {{10, 0, 20, 0, 2}, {0, 0, 20, 2, 2}, {0, 0, 0, 2, 0}};
    for (int k = 0; k < 3; ++k) {
        ExpectVertex(prims[0].v[k], first[k], "triangle 1");
        ExpectVertex(prims[1].v[k], second[k], "triangle 2");
    }

    // Visible from above only, under front-face culling.
    glEnable(GL_CULL_FACE);
    glCullFace(GL_FRONT);
    glLoadIdentity();
    glRotatef(90, 1, 0, 0);  // look down onto the X-Z plane
    EXPECT_EQ(CaptureWorld([] { DrawFloorQuad(2, 10, 20); }, 128, true).size(), 2u);
    glLoadIdentity();
    glRotatef(-90, 1, 0, 0);  // look up at it
    EXPECT_EQ(CaptureWorld([] { DrawFloorQuad(2, 10, 20); }, 128, true).size(), 0u);
}

TEST_F(GeometryTest, FloorQuadNormalsPointUp)
{
    // A light straight above and no ambient term: a vertex whose normal is
    // (0, 1, 0) gets the full diffuse colour, any other normal less.
    const float up[4] = {0, 1, 0, 0};
    const float white[4] = {1, 1, 1, 1};
    const float black[4] = {0, 0, 0, 1};
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glLightfv(GL_LIGHT0, GL_POSITION, up);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT0, GL_AMBIENT, black);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, black);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, white);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, black);
    glNormal3f(0, -1, 0);
    const auto prims = CaptureWorld([] { DrawFloorQuad(2, 10, 20); });
    glDisable(GL_LIGHTING);
    ASSERT_EQ(prims.size(), 2u);
    for (const auto& v : AllVertices(prims))
        EXPECT_NEAR(v.g, 1.0, 1e-3);
    float n[3] = {0, 0, 0};
    glGetFloatv(GL_CURRENT_NORMAL, n);
    EXPECT_FLOAT_EQ(n[0], 0);
    EXPECT_FLOAT_EQ(n[1], 1);
    EXPECT_FLOAT_EQ(n[2], 0);
}

TEST_F(GeometryTest, FloorQuadOfZeroWidthHasNaNNormals)
{
    CaptureWorld([] { DrawFloorQuad(1, 0, 5); });
    float n[3] = {0, 0, 0};
    glGetFloatv(GL_CURRENT_NORMAL, n);
    EXPECT_TRUE(std::isnan(n[0]) || std::isnan(n[1]) || std::isnan(n[2]));
}

TEST_F(GeometryTest, AxesAreRedGreenBlueLinesAndLeaveWhite)
{
    glDisable(GL_TEXTURE_2D);
    const auto prims = CaptureWorld([] { DrawAxes(50); });
    ASSERT_EQ(prims.size(), 3u);
    const float ends[3][3] = {{40, 0, 0}, {0, 40, 0}, {0, 0, 40}};
    const float colours[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(prims[i].v.size(), 2u);
        const auto& a = prims[i].v[0];
        const auto& b = prims[i].v[1];
        EXPECT_NEAR(a.x, 0, 1e-3);
        EXPECT_NEAR(a.y, 0, 1e-3);
        EXPECT_NEAR(a.z, 0, 1e-3);
        EXPECT_NEAR(b.x, ends[i][0], 1e-3);
        EXPECT_NEAR(b.y, ends[i][1], 1e-3);
        EXPECT_NEAR(b.z, ends[i][2], 1e-3);
        EXPECT_FLOAT_EQ(b.r, colours[i][0]);
        EXPECT_FLOAT_EQ(b.g, colours[i][1]);
        EXPECT_FLOAT_EQ(b.b, colours[i][2]);
    }
    float c[4] = {0, 0, 0, 0};
    glGetFloatv(GL_CURRENT_COLOR, c);
    EXPECT_FLOAT_EQ(c[0], 1);
    EXPECT_FLOAT_EQ(c[1], 1);
    EXPECT_FLOAT_EQ(c[2], 1);
}

// Overlay rectangles: window y grows upwards in feedback, overlay y downwards.
struct OverlayRect {
    float left, right, top, bottom;
};

OverlayRect OverlayBounds(const std::vector<FeedbackPrimitive>& prims)
{
    OverlayRect r{INFINITY, -INFINITY, INFINITY, -INFINITY};
    for (const auto& p : prims)
        for (const auto& v : p.vertices) {
            r.left = std::fmin(r.left, v.x);
            r.right = std::fmax(r.right, v.x);
            r.top = std::fmin(r.top, 256 - v.y);
            r.bottom = std::fmax(r.bottom, 256 - v.y);
        }
    return r;
}

TEST_F(GeometryTest, ScreenQuadAnchors)
{
    SetProjection(255, 256, 256);
    glDisable(GL_CULL_FACE);
    const TColor4 white{1, 1, 1, 1};
    struct Case {
        uint8_t anchor;
        float x, y, w, h;
        OverlayRect expected;
    } cases[] = {
        {0, 10, 20, 32, 16, {10, 42, 20, 36}},      // top-left corner
        {1, 128, 128, 32, 32, {112, 144, 112, 144}},  // centre
        {2, 100, 50, 20, 10, {80, 100, 40, 50}},    // bottom-right corner
        {7, 100, 50, 20, 10, {0, 20, 30, 40}},      // no translation of its own
    };
    for (const Case& c : cases) {
        glLoadIdentity();
        if (c.anchor == 7)
            glTranslatef(0, 40, 0);  // keeps the untranslated quad on screen
        const auto prims = CaptureFeedback([&] {
            DrawScreenQuad(c.anchor, white, 0, c.x, c.y, c.w, c.h, 0, 0);
        });
        ASSERT_EQ(prims.size(), 2u) << int(c.anchor);
        const OverlayRect r = OverlayBounds(prims);
        EXPECT_NEAR(r.left, c.expected.left, 1e-2) << int(c.anchor);
        EXPECT_NEAR(r.right, c.expected.right, 1e-2) << int(c.anchor);
        EXPECT_NEAR(r.top, c.expected.top, 1e-2) << int(c.anchor);
        EXPECT_NEAR(r.bottom, c.expected.bottom, 1e-2) << int(c.anchor);
    }
}

TEST_F(GeometryTest, ScreenQuadStandsUprightClockwiseAndSetsBlendAndColour)
{
    SetProjection(255, 256, 256);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_FRONT);
    const TColor4 tint{0.25f, 0.5f, 0.75f, 0.5f};
    const auto prims =
        CaptureFeedback([&] { DrawScreenQuad(0, tint, 0, 10, 10, 40, 20, 0, 2); });
    ASSERT_EQ(prims.size(), 2u) << "clockwise on screen: survives front-face culling";
    for (const auto& p : prims)
        for (const auto& v : p.vertices) {
            // t = 1 at the top edge (small overlay y), t = 0 at the bottom.
            const float overlayY = 256 - v.y;
            EXPECT_NEAR(v.t, overlayY < 20 ? 1 : 0, 1e-6);
            EXPECT_NEAR(v.s, v.x < 30 ? 0 : 1, 1e-6);
            EXPECT_FLOAT_EQ(v.r, 0.25f);
            EXPECT_FLOAT_EQ(v.a, 0.5f);
        }
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    GLint src = 0, dst = 0;
    glGetIntegerv(GL_BLEND_SRC, &src);
    glGetIntegerv(GL_BLEND_DST, &dst);
    EXPECT_EQ(src, GL_SRC_ALPHA);
    EXPECT_EQ(dst, GL_ONE_MINUS_SRC_ALPHA);
}

}  // namespace
