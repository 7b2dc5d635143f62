// How each primitive kind draws: extents, rotation about the box corner,
// culling, blending, tex-gen and texture binds, and what is restored after.
#include <gtest/gtest.h>

#include "GLEngine.h"
#include "Geometry.h"
#include "ObjectBuffers.h"
#include "ObjectMesh.h"
#include "Objects.h"
#include "SceneTestSupport.h"
#include "WorldFeedback.h"

using namespace qxtest;

namespace {

class PrimitiveDrawTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        UseWorldOrtho();
        InitGLState();
        UseWorldOrtho();
    }
};

void ExpectBounds(const Bounds& b, std::array<float, 3> lo, std::array<float, 3> hi)
{
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(b.lo[i], lo[i], 1e-3) << "axis " << i;
        EXPECT_NEAR(b.hi[i], hi[i], 1e-3) << "axis " << i;
    }
}

TEST_F(PrimitiveDrawTest, DefaultBoxCoversTheCubeFromItsPosition)
{
    TBox box;
    ExpectBounds(BoundsOf(CaptureWorld([&] { box.Draw(); })), {0, 0, 0}, {8, 8, 8});
    box.Position = {-3, 2, 5};
    ExpectBounds(BoundsOf(CaptureWorld([&] { box.Draw(); })), {-3, 2, 5}, {5, 10, 13});
}

TEST_F(PrimitiveDrawTest, BoxTurnsAboutItsCornerNotItsCentre)
{
    TBox box;
    box.Position = {10, 0, 0};
    box.Rotation = {0, 90, 0};
    ExpectBounds(BoundsOf(CaptureWorld([&] { box.Draw(); })), {10, 0, -8}, {18, 8, 0});
}

TEST_F(PrimitiveDrawTest, BoxWithNegativeSizeDrawsNothingButRestoresItsModes)
{
    TBox box;
    box.Size = {8, -1, 8};
    box.BlendMode = 2;
    box.TexGenMode = 1;
    box.CullFront = false;
    EXPECT_TRUE(CaptureWorld([&] { box.Draw(); }).empty());
    const GlStateSnapshot s = GlStateSnapshot::Take();
    EXPECT_FALSE(s.blend);
    EXPECT_FALSE(s.texGenS);
    EXPECT_EQ(s.cullFace, GL_FRONT);
}

TEST_F(PrimitiveDrawTest, BoxWithCullFrontOffShowsItsInside)
{
    // Seen from a corner: the outside faces are the near ones.
    glRotatef(30, 1, 0, 0);
    glRotatef(45, 0, 1, 0);
    glEnable(GL_CULL_FACE);
    TBox outside;
    outside.Position = {-4, -4, -4};
    TBox inside = outside;
    inside.CullFront = false;
    const auto a = CaptureWorld([&] { outside.Draw(); }, 128, true);
    glCullFace(GL_FRONT);
    const auto b = CaptureWorld([&] { inside.Draw(); }, 128, true);
    ASSERT_EQ(a.size(), 6u);
    ASSERT_EQ(b.size(), 6u);
    double za = 0, zb = 0;
    for (const auto& v : AllVertices(a))
        za += v.z;
    for (const auto& v : AllVertices(b))
        zb += v.z;
    EXPECT_GT(za, zb) << "inner faces lie further from the viewer";
    GLint cull = 0;
    glGetIntegerv(GL_CULL_FACE_MODE, &cull);
    EXPECT_EQ(cull, GL_FRONT);
}

TEST_F(PrimitiveDrawTest, BoxWithBlendMode2IsAlphaBlendedAndBlendingEndsAfterIt)
{
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    TBox box;
    box.Texture = -1;
    box.Position = {-50, -50, -50};
    box.Size = {100, 100, 100};
    box.BlendMode = 2;
    box.Color = {0, 0, 1, 0.5f};
    SolidTextures none({});
    box.Draw();
    // Seen along Z, the front and back faces cover the centre (the others are
    // edge-on); each blends half of blue over what lies below: red 1/4, blue 3/4.
    const auto px = PixelAt(128, 128);
    EXPECT_NEAR(px[0], 64, 2);
    EXPECT_NEAR(px[2], 191, 2);
    const GlStateSnapshot s = GlStateSnapshot::Take();
    EXPECT_FALSE(s.blend);
    EXPECT_FLOAT_EQ(s.colour[3], 1);

    glClear(GL_COLOR_BUFFER_BIT);
    box.BlendMode = 0;
    box.Draw();
    EXPECT_EQ(PixelAt(128, 128)[0], 0) << "without blending the box simply covers";
}

TEST_F(PrimitiveDrawTest, BoxBindsItsTextureAndGeneratesCoordinatesOnRequest)
{
    SolidTextures textures({{255, 0, 0}, {0, 255, 0}});
    TBox box;
    box.Texture = 1;
    box.Tiling = 3;
    box.Draw();
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(GLuint(bound), textures.Id(1));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));

    // Object-linear generation replaces the table's coordinates (0 or the
    // tiling) by the vertex's own x and y (plus or minus 4 around the centre).
    box.TexGenMode = 2;
    const auto generated = AllVertices(CaptureWorld([&] { box.Draw(); }));
    ASSERT_EQ(generated.size(), 36u);
    for (const auto& v : generated)
        EXPECT_NEAR(std::fabs(v.s), 4, 1e-3);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S)) << "tex-gen is switched off after the box";

    box.Texture = -1;
    box.Draw();
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D)) << "an untextured box switches texturing off";
}

TEST_F(PrimitiveDrawTest, SphereDrawsItsListAtItsPosition)
{
    TGLPremitives list;
    list.AddSphere(-1, 16, 5, 6, 7, 2, 0, 0, 0);
    ExpectBounds(BoundsOf(CaptureWorld([&] { list.Spheres[0].Draw(); })), {3, 4, 5}, {7, 8, 9});
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
}

TEST_F(PrimitiveDrawTest, FloorsIgnoreTheirTransformAndWallsHonourIt)
{
    TFloor floor;
    floor.SizeX = 10;
    floor.SizeZ = 20;
    floor.Tiling = 1;
    floor.Position = {50, 0, 0};
    floor.Rotation = {0, 0, 90};
    ExpectBounds(BoundsOf(CaptureWorld([&] { floor.Draw(); })), {0, 0, 0}, {10, 0, 20});

    TWall wall;
    static_cast<TFlatRect&>(wall) = floor;
    // 90 degrees about Z stands the rectangle up: its X extent becomes height.
    ExpectBounds(BoundsOf(CaptureWorld([&] { wall.Draw(); })), {50, 0, 0}, {50, 10, 20});
}

TEST_F(PrimitiveDrawTest, GroundGridCoversZeroToThousandWith600Repeats)
{
    UseWorldOrtho(1024);
    TQX3DObject grid("ObjSetka");
    grid.AddList();
    grid.Lists[0]->AddFloor(-1, 0, 0, 0, 1000, 1000, 600, 0, 0, 0);
    grid.BuildDisplayLists();
    const auto prims = CaptureWorld([&] { grid.DrawAt(0, 1, 0, 0, 0, 0, 1, 1, 1); }, 1024);
    ASSERT_EQ(prims.size(), 2u);
    const Bounds b = BoundsOf(prims);
    EXPECT_NEAR(b.lo[0], 0, 0.05);
    EXPECT_NEAR(b.hi[0], 1000, 0.05);
    EXPECT_NEAR(b.lo[2], 0, 0.05);
    EXPECT_NEAR(b.hi[2], 1000, 0.05);
    EXPECT_NEAR(b.lo[1], 1, 0.05);
    float maxS = 0, maxT = 0;
    for (const auto& v : AllVertices(prims)) {
        maxS = std::max(maxS, v.s);
        maxT = std::max(maxT, v.t);
    }
    EXPECT_FLOAT_EQ(maxS, 600);
    EXPECT_FLOAT_EQ(maxT, 600);
}

TEST_F(PrimitiveDrawTest, TorusOfRingAndTubeRadiiShowsItsOutsideThenRestoresCulling)
{
    TTorus torus;
    torus.ShapeParams[0] = 20;
    torus.ShapeParams[1] = 5;
    torus.Position = {10, 0, 0};
    const auto all = CaptureWorld([&] { torus.Draw(); });
    EXPECT_EQ(all.size(), 24u * 12 * 2) << "24 x 12 quads";
    ExpectBounds(BoundsOf(all), {-15, -5, -25}, {35, 5, 25});
    // Seen from +Z with back faces culled, what faces the viewer remains:
    // the near half's outer side and the far half's side toward the hole,
    // nearer on the whole (the inside would give the mirror figure).
    glEnable(GL_CULL_FACE);
    const auto seen = CaptureWorld([&] { torus.Draw(); }, 128, true);
    double z = 0;
    for (const auto& v : AllVertices(seen))
        z += v.z;
    EXPECT_GT(z / double(AllVertices(seen).size()), 1);
    GLint cull = 0;
    glGetIntegerv(GL_CULL_FACE_MODE, &cull);
    EXPECT_EQ(cull, GL_FRONT);
}

// Floors the designer placed and walls are moved and turned by their fields
// and show both sides; the grid's floors stay at the origin, one side seen.
TEST_F(PrimitiveDrawTest, PlacedFloorsAndWallsShowBothSides)
{
    TFloor grid;
    grid.SizeX = 10;
    grid.SizeZ = 20;
    grid.Tiling = 1;
    grid.Position = {50, 0, 0};
    grid.Rotation = {0, 0, 90};
    TFloor placed = grid;
    placed.OwnTransform = true;
    TWall wall;
    static_cast<TFlatRect&>(wall) = grid;
    glRotatef(30, 1, 0, 0);
    glEnable(GL_CULL_FACE);
    const auto sides = [](const auto& rect) {
        size_t seen = 0;
        for (GLenum face : {GL_FRONT, GL_BACK}) {
            glCullFace(face);
            seen += CaptureWorld([&] { rect.Draw(); }, 128, true).size();
        }
        EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
        return seen;
    };
    EXPECT_EQ(sides(grid), 2u);
    EXPECT_EQ(sides(placed), 4u);
    EXPECT_EQ(sides(wall), 4u);
    glLoadIdentity();
    ExpectBounds(BoundsOf(CaptureWorld([&] { placed.Draw(); })), {50, 0, 0}, {50, 10, 20});
}

// The vertex buffers hold what the immediate drawing draws: for every box
// setting and one of each other kind, the same primitives (positions,
// colours, texture coordinates after tex-gen) survive the same culling.
TEST_F(PrimitiveDrawTest, BuffersDrawWhatTheImmediateDrawingDraws)
{
    const SolidTextures textures({{{255, 0, 0}}, {{0, 255, 0}}});
    glRotatef(25, 1, 0, 0);
    glRotatef(40, 0, 1, 0);
    glEnable(GL_CULL_FACE);
    TQX3DObject object("Settings");
    object.AddList();
    TGLPremitives& list = *object.Lists[0];
    const auto box = [&](float x, float y) -> TBox& {
        const int16_t i = list.AddBox(0, x, y, -10, 6, 4, 5, 2, 0, 0, 0);
        return list.Boxes[static_cast<size_t>(i)];
    };
    box(-60, 40);
    box(-50, 40).Texture = -1;
    box(-40, 40).Texture = 7;  // past the registry: keeps the texture before
    box(-30, 40).Texture = 1;
    box(-20, 40).Rotation = {10, 20, 30};
    box(-10, 40).CullFront = false;
    box(0, 40).BlendMode = 2;
    box(10, 40).BlendEquation = 1;
    box(20, 40).Color = {0.2f, 0.4f, 0.6f, 0.8f};
    for (uint8_t mode = 1; mode <= 4; ++mode) {
        TBox& b = box(30 + 10 * float(mode), 40);
        b.TexGenMode = mode;
        b.Rotation = {0, 35, 0};
    }
    box(-60, 20).Size = {3, -1, 3};
    box(-50, 20).Tiling = 0.25f;
    box(-40, 20).Size = {0, 3, 3};
    list.AddSphere(1, 12, -20, 0, 0, 6, 10, 20, 0);
    list.AddSphere(-1, 3, -5, 0, 0, 6, 0, 0, 0);
    TTorus torus;
    torus.Texture = 0;
    torus.ShapeParams[0] = 8;
    torus.ShapeParams[1] = 2;
    torus.Position = {20, -20, 0};
    torus.Rotation = {90, 0, 0};
    list.Tori.push_back(torus);
    list.TorusCount = 1;
    list.AddFloor(1, 5, 5, 5, 20, 10, 3, 0, 0, 0);
    list.AddFloor(0, 5, -40, 5, 20, 10, 3, 0, 0, 45);
    list.Floors[1].OwnTransform = true;
    TWall wall;
    wall.Texture = 1;
    wall.SizeX = 15;
    wall.SizeZ = 8;
    wall.Tiling = 2;
    wall.Position = {-40, -40, 0};
    wall.Rotation = {90, 0, 30};
    list.Walls.push_back(wall);
    list.WallCount = 1;
    list.Models3ds.emplace_back();
    list.Models3ds[0].Model = std::make_shared<PointModel>();
    list.Models3ds[0].Position = {40, -40, 0};
    list.Models3ds[0].Scale = {2, 2, 2};
    list.Model3dsCount = 1;

    object.BuildDisplayLists();
    const auto immediate = CaptureWorld([&] { object.DrawAllAt(3, 2, 1, 0, 15, 0, 1, 1.5f, 1); }, 128, true);
    const auto buffered = CaptureWorld([&] { object.DrawAt(3, 2, 1, 0, 15, 0, 1, 1.5f, 1); }, 128, true);
    EXPECT_GT(immediate.size(), 100u);
    EXPECT_TRUE(SameShapes(immediate, buffered));
    // The same through a batch of two placements.
    qx::DrawBatch batch;
    object.AddTo(batch, 3, 2, 1, 0, 15, 0, 1, 1.5f, 1);
    object.AddTo(batch, 3, 2, 1, 0, 15, 0, 1, 1.5f, 1);
    auto twice = immediate;
    twice.insert(twice.end(), immediate.begin(), immediate.end());
    EXPECT_TRUE(SameShapes(twice, CaptureWorld([&] { batch.Draw(); }, 128, true)));
    const GlStateSnapshot after = GlStateSnapshot::Take();
    EXPECT_FALSE(after.blend);
    EXPECT_FALSE(after.texGenS);
    EXPECT_EQ(after.cullFace, GL_FRONT);
    EXPECT_EQ(after.matrixDepth, 1);
}

TEST_F(PrimitiveDrawTest, ModelKindsDrawTheirModelUnderTheirOwnTransform)
{
    TModel3ds model;
    model.Position = {10, 0, 0};
    model.Rotation = {0, 0, 90};
    model.Scale = {3, 1, 1};
    EXPECT_TRUE(CaptureWorld([&] { model.Draw(); }).empty()) << "an empty model draws nothing";
    model.Model = std::make_shared<PointModel>();
    // Local (1, 0, 0) scaled to (3, 0, 0), turned about Z to (0, 3, 0).
    auto prims = CaptureWorld([&] { model.Draw(); });
    ASSERT_EQ(prims.size(), 1u);
    EXPECT_NEAR(prims[0].v[0].x, 10, 1e-3);
    EXPECT_NEAR(prims[0].v[0].y, 3, 1e-3);

    TModelBlender blender;
    static_cast<TModelPlacement&>(blender) = model;
    blender.GameObj = TGameObjCopy(std::make_unique<PointModel>());
    prims = CaptureWorld([&] { blender.Draw(); });
    ASSERT_EQ(prims.size(), 1u);
    EXPECT_NEAR(prims[0].v[0].x, 10, 1e-3);
    EXPECT_NEAR(prims[0].v[0].y, 3, 1e-3);
}

}  // namespace

// Where two untextured opaque boxes of one colour touch face to face, the
// faces between them are hidden whatever the view and leave the buffers;
// a textured pair (its texture may have holes) and a pair of two colours
// keep all their faces.
TEST_F(PrimitiveDrawTest, BuffersLeaveOutTheFacesBetweenTouchingSolidBoxes)
{
    TGLPremitives list;
    list.AddBox(-1, 0, 0, 0, 2, 2, 2, 1, 0, 0, 0);
    list.AddBox(-1, 2, 0, 0, 2, 2, 2, 1, 0, 0, 0);
    list.AddBox(0, 10, 0, 0, 2, 2, 2, 1, 0, 0, 0);
    list.AddBox(0, 12, 0, 0, 2, 2, 2, 1, 0, 0, 0);
    list.AddBox(-1, 20, 0, 0, 2, 2, 2, 1, 0, 0, 0);
    list.AddBox(-1, 22, 0, 0, 2, 2, 2, 1, 0, 0, 0);
    list.Boxes[5].Color = {1, 0, 0, 1};
    size_t vertices[2] = {0, 0};  // untextured, textured
    for (const qx::MeshGroup& g : qx::BuildListMesh(list, 1))
        vertices[g.state.texture == 0] += g.vertices.size();
    EXPECT_EQ(vertices[0], 4u * (10 + 12));
    EXPECT_EQ(vertices[1], 4u * 12);
}

// What may hide what lies behind it: the outer faces of opaque, untextured
// boxes seen from outside.  A blended, a textured (its picture may have
// holes the alpha test drops), a see-through and an inside-out box hide
// nothing; between two touching solids no face is outer.  A box inside
// another is drawn, and its faces hide as well.
TEST_F(PrimitiveDrawTest, OnlyTheOuterFacesOfOpaqueUntexturedBoxesOcclude)
{
    TGLPremitives list;
    list.AddBox(-1, 0, 0, 0, 2, 2, 2, 1, 0, 0, 0);
    list.AddBox(-1, 2, 0, 0, 2, 2, 2, 1, 0, 0, 0);
    list.AddBox(-1, 10, 0, 0, 4, 4, 4, 1, 0, 0, 0);
    list.AddBox(-1, 11, 1, 1, 1, 1, 1, 1, 0, 30, 0);  // inside the one before
    for (int k = 0; k < 4; ++k)
        list.AddBox(k == 1 ? 0 : -1, 20 + 3 * k, 0, 0, 2, 2, 2, 1, 0, 0, 0);
    list.Boxes[4].BlendMode = 2;
    list.Boxes[6].Color = {1, 1, 1, 0.5f};
    list.Boxes[7].CullFront = false;
    std::vector<qx::OccluderQuad> occluders;
    qx::BuildListMesh(list, 1, &occluders);
    EXPECT_EQ(occluders.size(), 10u + 6u + 6u);
}
