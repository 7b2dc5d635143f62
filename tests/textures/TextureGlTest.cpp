// Loaders and upload against a real GL context: what the texture holds
// (read back with glGetTexImage), and the filter state each loader leaves.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <QBuffer>
#include <QImage>

#include "GlTestContext.h"
#include "ImageTestSupport.h"
#include "Messages.h"
#include "TestSupport.h"
#include "TextureLoaders.h"
#include "TextureUpload.h"

namespace {

std::vector<uint8_t> ReadBackRgba(uint32_t texture, int& width, int& height)
{
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    std::vector<uint8_t> pixels(size_t(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

GLint TexParameter(GLenum name)
{
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    return value;
}

class TextureGlTest : public qxtest::GlTest {
protected:
    std::string Write(const std::string& name, const std::string& bytes)
    {
        const std::string path = (dir_ / name).string();
        qxtest::WriteFileBytes(path, bytes);
        return path;
    }
    qxtest::TempDir dir_;
    qx::RecordingMessageSink messages_;
    qx::ScopedMessageSink scoped_{messages_};
};

TEST_F(TextureGlTest, KeyedBmpReadsBackTransparentWhereTheKeyColourIs)
{
    const qxtest::PixelAt picture = [](uint32_t x, uint32_t y) -> qxtest::Rgb {
        return (x + y) % 3 == 0 ? qxtest::Rgb{255, 0, 255} : qxtest::Rgb{uint8_t(x * 30), uint8_t(y * 60), 7};
    };
    // Bottom-left (0, 3) has x + y = 3: the key colour.
    const std::string path = Write("k.bmp", qxtest::MakeBmp(8, 4, picture));
    uint32_t id = 0;
    ASSERT_TRUE(LoadKeyedBmpTexture(path, id));
    ASSERT_NE(id, 0u);
    EXPECT_EQ(TexParameter(GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    EXPECT_EQ(TexParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    int w = 0, h = 0;
    const std::vector<uint8_t> texels = ReadBackRgba(id, w, h);
    ASSERT_EQ(w, 8);
    ASSERT_EQ(h, 4);  // every row uploaded
    for (uint32_t row = 0; row < 4; ++row)
        for (uint32_t x = 0; x < 8; ++x) {
            const uint32_t y = 3 - row;  // texture rows go bottom up
            const uint8_t* t = &texels[(row * 8 + x) * 4];
            EXPECT_EQ(t[3], (x + y) % 3 == 0 ? 0 : 255) << x << "," << y;
            if ((x + y) % 3 != 0) {
                EXPECT_EQ(t[0], uint8_t(x * 30));
            }
        }
    EXPECT_TRUE(messages_.entries.empty());
}

TEST_F(TextureGlTest, PlainBmpUploadsEveryRowAsRgb)
{
    const std::string path = Write("p.bmp", qxtest::MakeBmp(4, 4, qxtest::Pattern));
    uint32_t id = 0;
    ASSERT_TRUE(LoadBmpTexture(path, id));
    EXPECT_EQ(TexParameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    int w = 0, h = 0;
    const std::vector<uint8_t> texels = ReadBackRgba(id, w, h);
    ASSERT_EQ(h, 4);
    for (uint32_t row = 0; row < 4; ++row)
        for (uint32_t x = 0; x < 4; ++x) {
            const qxtest::Rgb c = qxtest::Pattern(x, 3 - row);
            const uint8_t* t = &texels[(row * 4 + x) * 4];
            EXPECT_EQ(t[0], c.r);
            EXPECT_EQ(t[1], c.g);
            EXPECT_EQ(t[2], c.b);
            EXPECT_EQ(t[3], 255);
        }
}

TEST_F(TextureGlTest, TgaOf32BitsKeepsItsAlphaInBothEncodings)
{
    for (uint8_t type : {uint8_t{2}, uint8_t{10}}) {
        qxtest::TgaOptions options;
        options.type = type;
        options.depth = 32;
        uint32_t id = 0;
        ASSERT_TRUE(LoadTgaTexture(Write("a.tga", qxtest::MakeTga(4, 4, qxtest::Pattern, options)), id));
        int w = 0, h = 0;
        const std::vector<uint8_t> texels = ReadBackRgba(id, w, h);
        for (uint32_t row = 0; row < 4; ++row)
            for (uint32_t x = 0; x < 4; ++x)
                EXPECT_EQ(texels[(row * 4 + x) * 4 + 3], qxtest::TgaAlpha(x, 3 - row));
    }
}

TEST_F(TextureGlTest, PngWithAlphaChannelIsOpaque)
{
    QImage image(4, 4, QImage::Format_ARGB32);
    image.fill(qRgba(200, 100, 50, 0));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    uint32_t id = 0;
    ASSERT_TRUE(LoadPngTexture(Write("a.png", bytes.toStdString()), id, false));
    int w = 0, h = 0;
    const std::vector<uint8_t> texels = ReadBackRgba(id, w, h);
    for (size_t i = 0; i < texels.size(); i += 4) {
        EXPECT_EQ(texels[i], 200);
        EXPECT_EQ(texels[i + 3], 255);
    }
}

TEST_F(TextureGlTest, RowsOfOddByteLengthUploadUnshiftedAndAlignmentIsRestored)
{
    // Three pixels a row (9 bytes): every row one colour, so after GLU's
    // rescaling each texture row must still be one colour.
    std::vector<uint8_t> rows;
    const uint8_t colours[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}};
    for (const auto& c : colours)
        for (int x = 0; x < 3; ++x)
            rows.insert(rows.end(), c, c + 3);
    const uint32_t id = CreateTexture(3, 4, GL_RGB, rows.data());
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 4);
    int w = 0, h = 0;
    const std::vector<uint8_t> texels = ReadBackRgba(id, w, h);
    ASSERT_EQ(h, 4);
    for (int row = 0; row < 4; ++row)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c)
                EXPECT_EQ(int(texels[size_t(row * w + x) * 4 + c]), int(colours[row][c])) << row << "," << x << "," << c << " w=" << w;
}

TEST_F(TextureGlTest, PictureWhoseWidthAloneIsRescaledKeepsItsTopRow)
{
    // 63 x 64: GLU would widen it to 64 and lose the last (top) row.
    std::vector<uint8_t> pixels(size_t(63) * 64 * 4, 180);
    const uint32_t id = CreateTexture(63, 64, GL_RGBA, pixels.data());
    int w = 0, h = 0;
    const std::vector<uint8_t> texels = ReadBackRgba(id, w, h);
    ASSERT_EQ(w, 64);
    ASSERT_EQ(h, 64);
    for (size_t i = 0; i < texels.size(); ++i)
        ASSERT_EQ(texels[i], 180) << "texel byte " << i;
}

TEST_F(TextureGlTest, FailedLoadsShowMessagesAndCreateNoTexture)
{
    uint32_t id = 12345;
    const std::string missing = (dir_ / "none.bmp").string();
    EXPECT_FALSE(LoadKeyedBmpTexture(missing, id));
    EXPECT_EQ(id, 12345u);
    ASSERT_EQ(messages_.entries.size(), 2u);
    EXPECT_EQ(messages_.entries[0].caption, "BMP Unit");
    EXPECT_EQ(messages_.entries[1].caption, "BMP Alpha unit");

    GLuint probe = 0;
    glGenTextures(1, &probe);
    EXPECT_FALSE(LoadTgaTexture(Write("bad.tga", "short"), id));
    EXPECT_FALSE(LoadJpgTexture(Write("bad.jpg", "short"), id, false));
    EXPECT_EQ(id, 12345u);
    GLuint next = 0;
    glGenTextures(1, &next);
    EXPECT_EQ(next, probe + 1) << "a failed load must not take a texture name";
}

}  // namespace
