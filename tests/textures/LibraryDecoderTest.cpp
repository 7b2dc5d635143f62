// PNG, GIF and JPEG through their libraries: opaque blocks, the colour key,
// the first GIF frame drawn on its screen, and failures as messages.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>

#include <zlib.h>

#include "ImageTestSupport.h"
#include "TestSupport.h"
#include "imageio/ImageDecoders.h"

namespace {

qx::Bytes AsBytes(const std::string& s)
{
    return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
}

std::string Encode(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, format == std::string("JPEG") ? 100 : -1);
    return bytes.toStdString();
}

void ExpectOnlyMessage(const qx::DecodeResult& result, const std::string& caption, const std::string& text)
{
    EXPECT_FALSE(result.ok());
    ASSERT_EQ(result.messages.size(), 1u);
    EXPECT_EQ(result.messages[0].caption, caption);
    EXPECT_EQ(result.messages[0].text, text);
}

TEST(PngDecoder, AlphaIsDroppedAndColoursKeptAtAnyWidth)
{
    QImage image(5, 3, QImage::Format_ARGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            image.setPixel(x, y, qRgba(x * 50, y * 80, 200, x * 60));
    const qx::DecodeResult result = qx::DecodePng(AsBytes(Encode(image, "PNG")), "a.png", false);
    ASSERT_TRUE(result.ok());
    ASSERT_EQ(result.block->channels, 4u);
    for (uint32_t y = 0; y < 3; ++y)
        for (uint32_t x = 0; x < 5; ++x)
            EXPECT_EQ(qxtest::BlockPixel(*result.block, x, y), (x * 50u << 24) | (y * 80u << 16) | (200u << 8) | 255u);
}

TEST(PngDecoder, ColourKeyOnlyWhenAsked)
{
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(qRgb(1, 2, 3));
    image.setPixel(0, 3, qRgb(9, 9, 9));  // the bottom-left pixel
    image.setPixel(2, 0, qRgb(9, 9, 9));
    image.setPixel(3, 0, qRgb(9, 9, 8));
    const std::string png = Encode(image, "PNG");
    const qx::DecodeResult plain = qx::DecodePng(AsBytes(png), "k.png", false);
    const qx::DecodeResult keyed = qx::DecodePng(AsBytes(png), "k.png", true);
    ASSERT_TRUE(plain.ok() && keyed.ok());
    EXPECT_EQ(qxtest::BlockPixel(*plain.block, 2, 0) & 255, 255u);
    EXPECT_EQ(qxtest::BlockPixel(*keyed.block, 0, 3) & 255, 0u);
    EXPECT_EQ(qxtest::BlockPixel(*keyed.block, 2, 0) & 255, 0u);
    EXPECT_EQ(qxtest::BlockPixel(*keyed.block, 3, 0) & 255, 255u);
    EXPECT_EQ(qxtest::BlockPixel(*keyed.block, 1, 1) & 255, 255u);
}

TEST(PngDecoder, DamagedTruncatedAndOversizedFilesGiveMessages)
{
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(qRgb(10, 20, 30));
    const std::string png = Encode(image, "PNG");
    const std::string text = "Couldn't load PNG - \"d.png\"";
    ExpectOnlyMessage(qx::DecodePng(AsBytes(png.substr(0, 40)), "d.png", false), "PNG Unit", text);
    std::string flipped = png;
    flipped[20] ^= 0x40;  // inside IHDR: its CRC no longer matches
    ExpectOnlyMessage(qx::DecodePng(AsBytes(flipped), "d.png", false), "PNG Unit", text);
    ExpectOnlyMessage(qx::DecodePng(AsBytes(std::string()), "d.png", false), "PNG Unit", text);

    // A well-formed header claiming 20000 x 20000: refused before decoding.
    std::string huge = png;
    const uint8_t size[8] = {0, 0, 0x4E, 0x20, 0, 0, 0x4E, 0x20};
    std::memcpy(huge.data() + 16, size, 8);
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(huge.data() + 12), 17);
    for (int i = 0; i < 4; ++i)
        huge[29 + i] = static_cast<char>((crc >> (24 - 8 * i)) & 255);
    const qx::DecodeResult big = qx::DecodePng(AsBytes(huge), "d.png", false);
    EXPECT_FALSE(big.ok());
    ASSERT_EQ(big.messages.size(), 1u);
    EXPECT_NE(big.messages[0].text.find("20000 x 20000"), std::string::npos);
}

TEST(LibraryDecoders, MissingFilesGiveTheirLoadersMessages)
{
    qxtest::TempDir dir;
    const std::string png = (dir / "a.png").string();
    const std::string gif = (dir / "a.gif").string();
    const std::string jpg = (dir / "a.jpeg").string();
    ExpectOnlyMessage(qx::DecodeImageFile(qx::ImageKind::Png, png, false), "PNG Unit",
                      "Couldn't load PNG - \"" + png + "\"");
    ExpectOnlyMessage(qx::DecodeImageFile(qx::ImageKind::Gif, gif, false), "GIF Unit",
                      "Couldn't load GIF - \"" + gif + "\"");
    ExpectOnlyMessage(qx::DecodeImageFile(qx::ImageKind::Jpeg, jpg, false), "BMP Unit",
                      "Couldn't load JPG - \"" + jpg + "\"");
}

uint8_t Diagonal(uint32_t x, uint32_t y) { return static_cast<uint8_t>(x + 3 * y); }

uint32_t PaletteColour(uint8_t i)
{
    return (uint32_t{i} << 24) | (uint32_t(uint8_t(2 * i)) << 16) | (uint32_t(uint8_t(3 * i)) << 8) | 255;
}

TEST(GifDecoder, FirstFrameOnItsScreenTransparentPixelsBlack)
{
    qxtest::GifOptions o;
    o.screenWidth = 6;
    o.screenHeight = 5;
    o.left = 2;
    o.top = 1;
    o.transparent = Diagonal(1, 1);
    const qx::DecodeResult result = qx::DecodeGif(AsBytes(qxtest::MakeGif(3, 3, Diagonal, o)), "g.gif", false);
    ASSERT_TRUE(result.ok());
    ASSERT_EQ(result.block->width, 6u);
    ASSERT_EQ(result.block->height, 5u);
    for (uint32_t y = 0; y < 5; ++y)
        for (uint32_t x = 0; x < 6; ++x) {
            const bool inFrame = x >= 2 && x < 5 && y >= 1 && y < 4;
            uint32_t expected = 0x000000FF;
            if (inFrame && Diagonal(x - 2, y - 1) != o.transparent)
                expected = PaletteColour(Diagonal(x - 2, y - 1));
            EXPECT_EQ(qxtest::BlockPixel(*result.block, x, y), expected) << x << "," << y;
        }
}

TEST(GifDecoder, InterlacedRowsLandInPlaceAndKeyApplies)
{
    qxtest::GifOptions o;
    o.screenWidth = 3;
    o.screenHeight = 11;
    o.interlaced = true;
    const std::string gif = qxtest::MakeGif(3, 11, Diagonal, o);
    const qx::DecodeResult result = qx::DecodeGif(AsBytes(gif), "i.gif", true);
    ASSERT_TRUE(result.ok());
    const uint8_t key = Diagonal(0, 10);
    for (uint32_t y = 0; y < 11; ++y)
        for (uint32_t x = 0; x < 3; ++x) {
            const uint8_t i = Diagonal(x, y);
            EXPECT_EQ(qxtest::BlockPixel(*result.block, x, y), (PaletteColour(i) & ~255u) | (i == key ? 0 : 255));
        }
}

TEST(GifDecoder, FramesPastTheScreenAreClippedAndOddHeadersStayBounded)
{
    qxtest::GifOptions clipped;
    clipped.screenWidth = 2;
    clipped.screenHeight = 2;
    clipped.left = 1;
    const qx::DecodeResult result = qx::DecodeGif(AsBytes(qxtest::MakeGif(4, 4, Diagonal, clipped)), "c.gif", false);
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(qxtest::BlockPixel(*result.block, 1, 1), PaletteColour(Diagonal(0, 1)));

    qxtest::GifOptions zeroScreen;  // the frame's extent serves as the screen
    const qx::DecodeResult zero = qx::DecodeGif(AsBytes(qxtest::MakeGif(3, 2, Diagonal, zeroScreen)), "z.gif", false);
    ASSERT_TRUE(zero.ok());
    EXPECT_EQ(zero.block->width, 3u);
    EXPECT_EQ(zero.block->height, 2u);

    qxtest::GifOptions noPalette;
    noPalette.screenWidth = 2;
    noPalette.screenHeight = 2;
    noPalette.withPalette = false;
    const qx::DecodeResult black = qx::DecodeGif(AsBytes(qxtest::MakeGif(2, 2, Diagonal, noPalette)), "n.gif", false);
    ASSERT_TRUE(black.ok());
    EXPECT_EQ(qxtest::BlockPixel(*black.block, 1, 1), 0x000000FFu);

    qxtest::GifOptions huge;
    huge.screenWidth = 60000;
    huge.screenHeight = 60000;
    const qx::DecodeResult big = qx::DecodeGif(AsBytes(qxtest::MakeGif(2, 2, Diagonal, huge)), "h.gif", false);
    EXPECT_FALSE(big.ok());
    ASSERT_EQ(big.messages.size(), 1u);
    EXPECT_NE(big.messages[0].text.find("60000 x 60000"), std::string::npos);

    // The frame's data ends early: the library's error, message 13.
    const std::string full = qxtest::MakeGif(40, 40, Diagonal, clipped);
    ExpectOnlyMessage(qx::DecodeGif(AsBytes(full.substr(0, full.size() / 2)), "t.gif", false), "GIF Unit",
                      "Couldn't load GIF - \"t.gif\"");
}

TEST(JpegDecoder, OpaqueBlockBottomRowFirstAndKeyed)
{
    QImage image(16, 32, QImage::Format_RGB32);
    image.fill(qRgb(0, 0, 255));
    for (int y = 16; y < 32; ++y)
        for (int x = 0; x < 16; ++x)
            image.setPixel(x, y, qRgb(255, 255, 255));  // the bottom half is white
    const std::string jpg = Encode(image, "JPEG");
    const qx::DecodeResult plain = qx::DecodeJpeg(AsBytes(jpg), "j.jpg", false);
    ASSERT_TRUE(plain.ok());
    EXPECT_EQ(plain.block->channels, 4u);
    // The first row of the block is the picture's bottom (white) row.
    EXPECT_GT(plain.block->pixels[0], 240);
    EXPECT_GT(plain.block->pixels[2], 240);
    EXPECT_LT(qxtest::BlockPixel(*plain.block, 3, 0) >> 24, 16u);  // top: blue
    for (size_t i = 3; i < plain.block->pixels.size(); i += 4)
        ASSERT_EQ(plain.block->pixels[i], 255);

    const qx::DecodeResult keyed = qx::DecodeJpeg(AsBytes(jpg), "j.jpg", true);
    ASSERT_TRUE(keyed.ok());
    EXPECT_EQ(keyed.block->pixels[3], 0);
    EXPECT_EQ(qxtest::BlockPixel(*keyed.block, 3, 0) & 255, 255u);

    ExpectOnlyMessage(qx::DecodeJpeg(AsBytes(jpg.substr(0, 100)), "j.jpg", false), "BMP Unit",
                      "Couldn't load JPG - \"j.jpg\"");
}

}  // namespace
