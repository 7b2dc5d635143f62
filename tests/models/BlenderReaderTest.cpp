// The Blender-export reader without GL: the line format, the axes, the
// conversion errors, corners beyond four, and numbers read with "." while
// the editor's own separator stays as the user has it.
#include <gtest/gtest.h>

#include "BlenderModel.h"
#include "Errors.h"
#include "NumberText.h"

namespace {

const std::vector<TPoligon>& Faces(const TGameObj& obj) { return obj.Poligons.Poligons; }

void ExpectVec(const TVec3& v, float x, float y, float z)
{
    EXPECT_FLOAT_EQ(v.X, x);
    EXPECT_FLOAT_EQ(v.Y, y);
    EXPECT_FLOAT_EQ(v.Z, z);
}

std::string ConversionError(const std::string& text)
{
    try {
        qx::ParseGameObj(text);
    } catch (const qx::ConvertError& e) {
        return e.what();
    }
    return "no error";
}

TEST(ReadBlender, FaceBlocksAxesAndTrimming)
{
    const TGameObj obj = qx::ParseGameObj(
        "# exported\r\nFace\r\n  face  \r\nwall.bmp\r\n4\r\n"
        "1   2 3 extra\r\n0 0 0\r\n1e1 -2.5 .5\r\n0 1 0\r\n"
        "0 0 1\r\n0 0 1\r\n0 0 1\r\n0 0 1\r\n"
        "0 0\r\n1 0\r\n1 1\r\n0.25 1.5\r\n"
        "face\nNOTEXTURE\n3\n1 1 1\n2 2 2\n3 3 3\n1 0 0\n1 0 0\n1 0 0\rface\rNOTEXTURE\rthree\r1 2 3\r");
    ASSERT_EQ(Faces(obj).size(), 3u);
    const TPoligon& quad = Faces(obj)[0];
    EXPECT_EQ(quad.TextureName, "wall.bmp");
    EXPECT_TRUE(quad.Textured);
    ASSERT_EQ(quad.Count(), 4);
    ExpectVec(quad.Vertices[0], -1, 3, 2);  // (a, b, c) -> (-a, c, b)
    ExpectVec(quad.Vertices[2], -10, 0.5f, -2.5f);
    ExpectVec(quad.Normals[0], 0, 1, 0);
    EXPECT_FLOAT_EQ(quad.TexCoords[3].U, 0.25f);
    EXPECT_FLOAT_EQ(quad.TexCoords[3].V, 1.5f);
    // Untextured: no coordinate lines, the next line is looked at as "face".
    const TPoligon& triangle = Faces(obj)[1];
    EXPECT_FALSE(triangle.Textured);
    ASSERT_EQ(triangle.Count(), 3);
    EXPECT_FLOAT_EQ(triangle.TexCoords[2].U, 0.0f);
    ExpectVec(triangle.Normals[2], -1, 0, 0);
    // A count that is not a number: no corners, the rest ordinary lines.
    EXPECT_EQ(Faces(obj)[2].Count(), 0);
}

TEST(ReadBlender, ConversionErrorsNameTheText)
{
    EXPECT_EQ(ConversionError("face\nNOTEXTURE\n1\n1\t2 3\n0 0 1\n"), "'1\t2' is not a valid floating point value");
    EXPECT_EQ(ConversionError("face\nNOTEXTURE\n1\n1,5 2 3\n0 0 1\n"), "'1,5' is not a valid floating point value");
    EXPECT_EQ(ConversionError("face\nNOTEXTURE\n1\n1 2\n0 0 1\n"), "'' is not a valid floating point value");
    // A file ending inside a face reads empty lines.
    EXPECT_EQ(ConversionError("face\nt.bmp\n3\n1 2 3\n"), "'' is not a valid floating point value");
    EXPECT_EQ(ConversionError("face\nNOTEXTURE\n1\n1 2 1e999\n"), "'1e999' is not a valid floating point value");
    EXPECT_EQ(ConversionError("face\nNOTEXTURE\n2000000000\n1 2 3\n"), "'' is not a valid floating point value");
}

TEST(ReadBlender, FacesBeyondFourCornersAreKeptWhole)
{
    std::string text = "face\nNOTEXTURE\n6\n";
    for (int i = 0; i < 12; ++i)
        text += std::to_string(i) + " 0 0\n";
    const TGameObj obj = qx::ParseGameObj(text);
    ASSERT_EQ(Faces(obj).at(0).Count(), 6);
    ExpectVec(Faces(obj)[0].Vertices[5], -5, 0, 0);
    ASSERT_EQ(Faces(obj)[0].Normals.size(), 6u);
    EXPECT_EQ(Faces(obj)[0].TexCoords.size(), 6u);
}

TEST(ReadBlender, PointNumbersLeaveTheEditorsSeparatorAlone)
{
    const char previous = DecimalSeparator();
    SetDecimalSeparator(',');
    const TGameObj obj = qx::ParseGameObj("face\nNOTEXTURE\n1\n0.5 -1.25 2\n0 0 1\n");
    EXPECT_FLOAT_EQ(Faces(obj).at(0).Vertices[0].X, -0.5f);
    EXPECT_EQ(DecimalSeparator(), ',');
    EXPECT_EQ(FloatToEditText(0.5f), "0,5");
    SetDecimalSeparator(previous);
}

TEST(ReadBlender, TexturesLoadInFaceOrder)
{
    TGameObj obj = qx::ParseGameObj(
        "face\nbrick.bmp\n1\n0 0 0\n0 0 1\n0 0\nface\nNOTEXTURE\n1\n0 0 0\n0 0 1\n"
        "face\nbrick.bmp\n1\n0 0 0\n0 0 1\n0 0\n");
    std::vector<std::string> paths;
    qx::LoadGameObjTextures(obj, [&](const std::string& path, uint32_t& id) {
        paths.push_back(path);
        id = 40 + uint32_t(paths.size());
        return true;
    });
    EXPECT_EQ(paths, (std::vector<std::string>{"brick.bmp", "brick.bmp"}));
    EXPECT_EQ(Faces(obj)[0].TextureId, 41u);
    EXPECT_EQ(Faces(obj)[1].TextureId, 0u);
    EXPECT_EQ(Faces(obj)[2].TextureId, 42u);
}

}  // namespace
