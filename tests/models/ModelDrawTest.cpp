// Models in a real GL context: what Draw emits (editor axes, texture
// coordinates or diffuse colour, draw modes), texture names found whatever
// their letter case, and the scene's model primitives reading through the
// installed readers.
#include <gtest/gtest.h>

#include <filesystem>

#include "BlenderModel.h"
#include "Chunks3ds.h"
#include "Errors.h"
#include "ModelsGl.h"
#include "Objects.h"
#include "TestSupport.h"
#include "Textures.h"
#include "WorldFeedback.h"

using namespace qxtest;

namespace {

// A 2 x 2 grey 24-bit BMP.
std::string SmallBmp()
{
    const std::string pixels(2 * 8, '\x80');  // two rows of 6 bytes padded to 8
    return "BM" + Le32(54 + uint32_t(pixels.size())) + Le32(0) + Le32(54) + Le32(40) + Le32(2) + Le32(2) +
           Le16(1) + Le16(24) + Le32(0) + Le32(uint32_t(pixels.size())) + Le32(0) + Le32(0) + Le32(0) +
           Le32(0) + pixels;
}

class ModelDrawTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        UseWorldOrtho();
        ResetTextures();
        std::filesystem::create_directories(dir_ / "textures");
        std::filesystem::create_directories(dir_ / "kafe");
        std::filesystem::create_directories(dir_ / "models");
        WriteFileBytes(dir_ / "textures" / "mp5sil.bmp", SmallBmp());
        WriteFileBytes(dir_ / "kafe" / "brick.bmp", SmallBmp());
        // Body: textured; Plain: its own colour; NoUV: the textured material
        // without coordinates.
        const std::string gun = File3ds(Cat(
            {Material("Gun", Chunk(0xA020, Rgb24(255, 128, 0)) + Chunk(0xA040, Percent(50)) +
                                 Chunk(0xA200, Chunk(0xA300, Z("MP5SIL.BMP")))),
             Material("Flat", Chunk(0xA020, Rgb24(0, 0, 255))),
             Mesh("Body", Vertices({{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}) +
                              Chunk(0x4140, Le16(3) + F32(0) + F32(0) + F32(1) + F32(0) + F32(0.5f) + F32(1)) +
                              Faces({{0, 1, 2}}, Group("Gun"))),
             Mesh("Plain", Vertices({{0, 0, 0}, {2, 0, 0}, {0, 2, 0}}) + Faces({{0, 1, 2}}, Group("Flat"))),
             Mesh("NoUV", Vertices({{0, 0, 0}, {3, 0, 0}, {0, 3, 0}}) + Faces({{0, 1, 2}}, Group("Gun")))}));
        WriteFileBytes(dir_ / "gun.3ds", gun);
        WriteFileBytes(dir_ / "kafe" / "KOSMO.TXT",
                       "face\nBrick.BMP\n3\n0 0 0\n1 0 0\n0 1 0\n0 0 1\n0 0 1\n0 0 1\n0 0\n1 0\n0 1\n"
                       "face\nNOTEXTURE\n3\n0 0 0\n0 0 2\n2 0 0\n0 1 0\n0 1 0\n0 1 0\n");
        here_ = std::make_unique<ScopedCurrentDir>(dir_.path());
    }
    void TearDown() override
    {
        qx::SetModelReaders({});
        here_.reset();
        ResetTextures();
        GlTest::TearDown();
    }

    TempDir dir_;
    std::unique_ptr<ScopedCurrentDir> here_;
};

void ExpectAt(const WorldVertex& v, float x, float y, float z)
{
    EXPECT_NEAR(v.x, x, 1e-3);
    EXPECT_NEAR(v.y, y, 1e-3);
    EXPECT_NEAR(v.z, z, 1e-3);
}

TEST_F(ModelDrawTest, Model3dsDrawsItsFacesInEditorAxesWithItsMaterials)
{
    T3DModel model;
    ASSERT_TRUE(model.LoadFromFile("gun.3ds"));
    ASSERT_EQ(model.Objects.size(), 3u);
    const TMaterial& gun = model.Objects[0].Material;
    ASSERT_TRUE(gun.TextureLoaded);  // "MP5SIL.BMP" found as mp5sil.bmp
    EXPECT_EQ(gun.TextureId, Textures().TextureIds.at(0));
    EXPECT_EQ(Textures().TextureNames.at(0), "mp5sil.bmp");

    glColor3f(1, 1, 1);
    const auto prims = CaptureWorld([&] { model.Draw(); });
    ASSERT_EQ(prims.size(), 3u);
    ASSERT_EQ(prims[0].v.size(), 3u);
    ExpectAt(prims[0].v[0], 1, 3, -2);
    ExpectAt(prims[0].v[2], 7, 9, -8);
    EXPECT_FLOAT_EQ(prims[0].v[1].s, 1.0f);
    EXPECT_FLOAT_EQ(prims[0].v[2].t, 1.0f);
    EXPECT_FLOAT_EQ(prims[1].v[0].b, 1.0f);  // untextured: the diffuse colour
    EXPECT_FLOAT_EQ(prims[1].v[0].r, 0.0f);
    EXPECT_FLOAT_EQ(prims[2].v[0].r, 1.0f);  // a map but no coordinates
    EXPECT_NEAR(prims[2].v[0].g, 128 / 255.0, 1e-6);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

    model.Objects[0].Material.Apply(true);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(GLuint(bound), gun.TextureId);
    float shininess = 0, diffuse[4] = {};
    glGetMaterialfv(GL_FRONT, GL_SHININESS, &shininess);
    glGetMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
    EXPECT_FLOAT_EQ(shininess, 64.0f);
    EXPECT_NEAR(diffuse[1], 128 / 255.0, 1e-6);
    // A percentage above 100 must not leave a GL error behind.
    TMaterial glossy;
    glossy.Shininess = 128 - 200 * 1.28f;
    glossy.Apply(false);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

    model.Objects[0].DrawMode = 1;
    model.Objects[1].DrawMode = 2;
    model.Objects[2].Visible = false;
    const auto modes = CaptureWorld([&] { model.Draw(); });
    ASSERT_EQ(modes.size(), 4u);  // one line (of three corners), three points
    EXPECT_TRUE(modes[0].token == GL_LINE_RESET_TOKEN || modes[0].token == GL_LINE_TOKEN);
    EXPECT_EQ(modes[1].token, unsigned(GL_POINT_TOKEN));

    EXPECT_FALSE(model.LoadFromFile("missing.3ds"));
    EXPECT_TRUE(model.Objects.empty());
}

TEST_F(ModelDrawTest, PrimitivesReadThroughTheInstalledReaders)
{
    qx::InstallModelReaders();
    // A project's models/ folder: the gun's picture is in textures/ beside
    // it, the Blender model's beside the model.
    std::filesystem::copy_file(dir_ / "gun.3ds", dir_ / "models" / "gun.3ds");
    TGLPremitives list;
    EXPECT_EQ(list.AddModel3ds("models/gun.3ds", 10, 0, 0, 0, 0, 0, 1, 1, 1), 0);
    EXPECT_THROW(list.AddModel3ds("models/missing.3ds", 0, 0, 0, 0, 0, 0, 1, 1, 1), qx::InOutError);
    WriteFileBytes(dir_ / "models" / "plain.3ds", "not a model");
    EXPECT_THROW(list.AddModel3ds("models/plain.3ds", 0, 0, 0, 0, 0, 0, 1, 1, 1), qx::FormatError);
    EXPECT_EQ(list.AddModelBlender("kafe\\KOSMO.TXT", 0, 5, 0, 0, 0, 0, 1, 1, 1), 0);
    try {
        list.AddModelBlender("kafe\\MISSING.TXT", 0, 0, 0, 0, 0, 0, 1, 1, 1);
        ADD_FAILURE() << "no error";
    } catch (const qx::InOutError& e) {
        EXPECT_STREQ(e.what(), "File not found");
    }
    EXPECT_EQ(list.BlenderCount, 1);
    EXPECT_EQ(list.Model3dsCount, 1);
    EXPECT_EQ(Textures().TextureCount, 0) << "a model's pictures stay out of the project's texture list";

    const auto prims = CaptureWorld([&] { list.Draw(); });
    ASSERT_EQ(prims.size(), 5u);  // three 3DS triangles, two Blender faces
    ExpectAt(prims[0].v[0], 11, 3, -2);
    EXPECT_FLOAT_EQ(prims[0].v[2].t, 1.0f) << "textured: its picture was found in textures/";
    // (a, b, c) -> (-a, c, b), moved up by 5.
    const Bounds first = BoundsOf({prims[3]}), second = BoundsOf({prims[4]});
    for (const auto& [b, lo, hi] : {std::tuple{first, std::array{-1, 5, 0}, std::array{0, 5, 1}},
                                    {second, std::array{-2, 5, 0}, std::array{0, 7, 0}}}) {
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(b.lo[i], lo[i], 1e-3);
            EXPECT_NEAR(b.hi[i], hi[i], 1e-3);
        }
    }
    // The untextured face leaves the brick (found beside the model) bound.
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_NE(bound, 0);

    TGLPremitives copy;
    copy.Assign(list);
    EXPECT_EQ(copy.Models3ds[0].Model.get(), list.Models3ds[0].Model.get());
    EXPECT_EQ(copy.BlenderModels[0].GameObj.get(), list.BlenderModels[0].GameObj.get());
    EXPECT_EQ(CaptureWorld([&] { copy.Draw(); }).size(), 5u);
}

TEST_F(ModelDrawTest, BlenderReaderKeepsThePreviousPolygonsOnFailure)
{
    TGameObj obj;
    LoadGameObj("kafe\\KOSMO.TXT", obj);
    ASSERT_EQ(obj.Poligons.Poligons.size(), 2u);
    EXPECT_NE(obj.Poligons.Poligons[0].TextureId, 0u);
    WriteFileBytes(dir_ / "kafe" / "BAD.TXT", "face\nNOTEXTURE\n1\n1 2 x\n");
    EXPECT_THROW(LoadGameObj("kafe\\BAD.TXT", obj), qx::ConvertError);
    EXPECT_THROW(LoadGameObj("kafe\\NONE.TXT", obj), qx::InOutError);
    EXPECT_EQ(obj.Poligons.Poligons.size(), 2u);
}

}  // namespace
