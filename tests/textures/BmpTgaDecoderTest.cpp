// The project's own BMP and TGA decoders on hand-made files: layouts the
// historic loaders got wrong, and damaged headers that must only ever give a
// message.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "ImageTestSupport.h"
#include "TestSupport.h"
#include "Text1251.h"
#include "imageio/ImageDecoders.h"

namespace {

using qxtest::MakeBmp;
using qxtest::MakeTga;
using qxtest::Pattern;

qx::Bytes AsBytes(const std::string& s)
{
    return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
}

uint32_t Expected(uint32_t x, uint32_t y, uint8_t alpha = 255)
{
    const qxtest::Rgb c = Pattern(x, y);
    return (uint32_t{c.r} << 24) | (uint32_t{c.g} << 16) | (uint32_t{c.b} << 8) | alpha;
}

// Every pixel of the block equals the pattern (alpha from alphaAt).
void ExpectPattern(const qx::PixelBlock& block, uint32_t width, uint32_t height,
                   const std::function<uint8_t(uint32_t, uint32_t)>& alphaAt = nullptr)
{
    ASSERT_EQ(block.width, width);
    ASSERT_EQ(block.height, height);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x)
            ASSERT_EQ(qxtest::BlockPixel(block, x, y), Expected(x, y, alphaAt ? alphaAt(x, y) : 255))
                << "at " << x << "," << y;
}

void ExpectOnlyMessage(const qx::DecodeResult& result, const std::string& caption, const std::string& text)
{
    EXPECT_FALSE(result.ok());
    ASSERT_EQ(result.messages.size(), 1u);
    EXPECT_EQ(result.messages[0].caption, caption);
    EXPECT_EQ(result.messages[0].text, text);
}

TEST(BmpDecoder, PaddedRowsOfAnyWidthAndEveryRowDecoded)
{
    for (uint32_t width : {1u, 2u, 3u, 5u, 7u, 64u}) {
        SCOPED_TRACE(width);
        const qx::DecodeResult plain = qx::DecodeBmp(AsBytes(MakeBmp(width, 5, Pattern)), "p.bmp", false);
        ASSERT_TRUE(plain.ok());
        EXPECT_TRUE(plain.messages.empty());
        EXPECT_EQ(plain.block->channels, 3u);
        ExpectPattern(*plain.block, width, 5);
    }
}

TEST(BmpDecoder, TopDownRowsAndPixelOffsetAreHonoured)
{
    qxtest::BmpOptions topDown;
    topDown.topDown = true;
    ExpectPattern(*qx::DecodeBmp(AsBytes(MakeBmp(5, 4, Pattern, topDown)), "t.bmp", false).block, 5, 4);

    qxtest::BmpOptions gap;
    gap.gapBeforePixels = 7;
    ExpectPattern(*qx::DecodeBmp(AsBytes(MakeBmp(5, 4, Pattern, gap)), "g.bmp", false).block, 5, 4);

    // An offset of 0 points into the headers: the pixels follow them.
    qxtest::BmpOptions zero;
    zero.offsetZero = true;
    ExpectPattern(*qx::DecodeBmp(AsBytes(MakeBmp(5, 4, Pattern, zero)), "z.bmp", false).block, 5, 4);
}

TEST(BmpDecoder, ColourKeyMatchesTheBottomLeftColourExactly)
{
    const qxtest::PixelAt magenta = [](uint32_t x, uint32_t y) -> qxtest::Rgb {
        if (y == 3 && x == 0)
            return {255, 0, 255};  // bottom-left of 4 rows
        switch ((x + y) % 5) {
        case 0: return {255, 0, 255};
        case 1: return {254, 0, 255};
        case 2: return {255, 1, 255};
        case 3: return {255, 0, 254};
        default: return {10, 20, 30};
        }
    };
    const qx::DecodeResult keyed = qx::DecodeBmp(AsBytes(MakeBmp(6, 4, magenta)), "k.bmp", true);
    ASSERT_TRUE(keyed.ok());
    ASSERT_EQ(keyed.block->channels, 4u);
    for (uint32_t y = 0; y < 4; ++y) {
        for (uint32_t x = 0; x < 6; ++x) {
            const qxtest::Rgb c = magenta(x, y);
            const bool isKey = c.r == 255 && c.g == 0 && c.b == 255;
            EXPECT_EQ(qxtest::BlockPixel(*keyed.block, x, y) & 255, isKey ? 0u : 255u) << x << "," << y;
        }
    }
}

TEST(BmpDecoder, ShortPixelDataFailsPlainButGivesAKeyedTextureAfterItsMessage)
{
    std::string file = MakeBmp(4, 4, Pattern);
    file.resize(file.size() - 20);  // the top row and a bit of the next
    ExpectOnlyMessage(qx::DecodeBmp(AsBytes(file), "s.bmp", false), "BMP Unit", "Error reading bitmap data");

    const qx::DecodeResult keyed = qx::DecodeBmp(AsBytes(file), "s.bmp", true);
    ASSERT_TRUE(keyed.ok());
    ASSERT_EQ(keyed.messages.size(), 1u);
    EXPECT_EQ(keyed.messages[0].caption, Cp("Чтение БМП"));
    EXPECT_EQ(keyed.messages[0].text, Cp("Не могу прочитать БМП файл"));
    // The rows that arrived are there; the missing ones are black.
    EXPECT_EQ(qxtest::BlockPixel(*keyed.block, 1, 3) | 255, Expected(1, 3));
    EXPECT_EQ(qxtest::BlockPixel(*keyed.block, 1, 0) >> 8, 0u);
}

TEST(BmpDecoder, ShortColourTableFailsAndAKeyedOneNeverEndsTheEditor)
{
    qxtest::BmpOptions table;
    table.coloursUsed = 4;
    std::string file = MakeBmp(2, 2, Pattern, table);
    file.resize(60);
    ExpectOnlyMessage(qx::DecodeBmp(AsBytes(file), "c.bmp", false), "BMP Unit", "Error reading palette");

    const qx::DecodeResult keyed = qx::DecodeBmp(AsBytes(file), "c.bmp", true);
    EXPECT_FALSE(keyed.ok());
    ASSERT_EQ(keyed.messages.size(), 2u);
    EXPECT_EQ(keyed.messages[0].text, "Error reading palette");
    EXPECT_EQ(keyed.messages[1].caption, "BMP Alpha unit");
    EXPECT_EQ(keyed.messages[1].text, "Error load file: c.bmp");
}

TEST(BmpDecoder, OtherKindsAreRefusedNamingWhatTheyAre)
{
    qxtest::BmpOptions eight;
    eight.bitsPerPixel = 8;
    const qx::DecodeResult depth = qx::DecodeBmp(AsBytes(MakeBmp(4, 4, Pattern, eight)), "e.bmp", false);
    EXPECT_FALSE(depth.ok());
    ASSERT_EQ(depth.messages.size(), 1u);
    EXPECT_NE(depth.messages[0].text.find("8 bits per pixel"), std::string::npos);

    qxtest::BmpOptions rle;
    rle.compression = 1;
    const qx::DecodeResult compressed = qx::DecodeBmp(AsBytes(MakeBmp(4, 4, Pattern, rle)), "r.bmp", true);
    EXPECT_FALSE(compressed.ok());
    ASSERT_EQ(compressed.messages.size(), 2u);
    EXPECT_NE(compressed.messages[0].text.find("RLE8"), std::string::npos);
    EXPECT_EQ(compressed.messages[1].caption, "BMP Alpha unit");
}

TEST(BmpDecoder, ImpossibleHeadersGiveAMessageWithoutAllocating)
{
    const auto withSize = [](int32_t width, int32_t height) {
        std::string file = MakeBmp(2, 2, Pattern);
        for (int i = 0; i < 4; ++i) {
            file[18 + i] = static_cast<char>((uint32_t(width) >> (8 * i)) & 255);
            file[22 + i] = static_cast<char>((uint32_t(height) >> (8 * i)) & 255);
        }
        return qx::DecodeBmp(AsBytes(file), "h.bmp", false);
    };
    for (auto [w, h] : {std::pair{0x7FFFFFFF, 2}, {2, INT32_MIN}, {-4, 2}, {0, 2}, {2, 0}, {16385, 1}, {16384, 16384}}) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        const qx::DecodeResult result = withSize(w, h);
        EXPECT_FALSE(result.ok());
        ASSERT_EQ(result.messages.size(), 1u);
        EXPECT_NE(result.messages[0].text.find("picture size"), std::string::npos);
    }
    const std::string header = MakeBmp(2, 2, Pattern).substr(0, 30);
    ExpectOnlyMessage(qx::DecodeBmp(AsBytes(header), "x.bmp", false), "BMP Unit", "Error reading bitmap header");
}

TEST(BmpDecoder, MissingFilesGiveTheOpeningMessages)
{
    qxtest::TempDir dir;
    const std::string path = (dir / "none.bmp").string();
    ExpectOnlyMessage(qx::DecodeImageFile(qx::ImageKind::Bmp, path, false), "BMP Unit", "Error opening " + path);

    const qx::DecodeResult keyed = qx::DecodeImageFile(qx::ImageKind::Bmp, path, true);
    EXPECT_FALSE(keyed.ok());
    ASSERT_EQ(keyed.messages.size(), 2u);
    EXPECT_EQ(keyed.messages[0].text, "Error opening \"" + path);
    EXPECT_EQ(keyed.messages[1].text, "Error load file: " + path);
}

TEST(TgaDecoder, RawAndRunLengthAtBothDepthsAndOrigins)
{
    for (uint8_t type : {uint8_t{2}, uint8_t{10}})
        for (uint8_t depth : {uint8_t{24}, uint8_t{32}})
            for (uint8_t descriptor : {uint8_t{0}, uint8_t{0x20}}) {
                SCOPED_TRACE(std::to_string(type) + "/" + std::to_string(depth) + "/" + std::to_string(descriptor));
                qxtest::TgaOptions options;
                options.type = type;
                options.depth = depth;
                options.descriptor = descriptor;
                options.imageId = "id";
                // Repeating pixels so run-length packets really occur.
                const qxtest::PixelAt blocky = [](uint32_t x, uint32_t y) { return Pattern(x / 3, y); };
                const qx::DecodeResult result = qx::DecodeTga(AsBytes(MakeTga(7, 5, blocky, options)), "a.tga");
                ASSERT_TRUE(result.ok());
                EXPECT_EQ(result.block->channels, depth / 8u);
                for (uint32_t y = 0; y < 5; ++y)
                    for (uint32_t x = 0; x < 7; ++x) {
                        const qxtest::Rgb c = blocky(x, y);
                        const uint8_t a = depth == 32 ? qxtest::TgaAlpha(x, y) : 255;
                        ASSERT_EQ(qxtest::BlockPixel(*result.block, x, y),
                                  (uint32_t{c.r} << 24) | (uint32_t{c.g} << 16) | (uint32_t{c.b} << 8) | a);
                    }
            }
}

TEST(TgaDecoder, RefusalsInTheHistoricOrderWithTheirTexts)
{
    const auto header = [](uint8_t type, uint8_t mapType, uint8_t depth) {
        qxtest::TgaOptions o;
        o.type = type;
        o.colourMapType = mapType;
        o.depth = depth;
        return MakeTga(2, 2, Pattern, o);
    };
    const std::string p = "t.tga";
    const std::string cap = "TGA File Error";
    ExpectOnlyMessage(qx::DecodeTga(AsBytes(header(3, 0, 24)), p), cap,
                      "Couldn't load \"t.tga\". Only 24 and 32bit TGA supported.");
    ExpectOnlyMessage(qx::DecodeTga(AsBytes(header(1, 1, 8)), p), cap,
                      "Couldn't load \"t.tga\". Only 24 and 32bit TGA supported.");
    ExpectOnlyMessage(qx::DecodeTga(AsBytes(header(2, 1, 24)), p), cap,
                      "Couldn't load \"t.tga\". Colormapped TGA files not supported.");
    ExpectOnlyMessage(qx::DecodeTga(AsBytes(header(2, 0, 16)), p), cap,
                      "Couldn't load \"t.tga\". Only 24 and 32 bit TGA files supported.");
    ExpectOnlyMessage(qx::DecodeTga(AsBytes(header(2, 0, 40)), p), cap,
                      "Couldn't load \"t.tga\". Only 24 and 32 bit TGA files supported.");
}

TEST(TgaDecoder, ShortFilesAndOverlongPacketsStayInsideTheData)
{
    const std::string shortRead = "Couldn't read file \"s.tga\".";
    const std::string raw = MakeTga(4, 4, Pattern);
    ExpectOnlyMessage(qx::DecodeTga(AsBytes(raw.substr(0, 10)), "s.tga"), "TGA File Error", shortRead);
    ExpectOnlyMessage(qx::DecodeTga(AsBytes(raw.substr(0, raw.size() - 1)), "s.tga"), "TGA File Error", shortRead);

    qxtest::TgaOptions rle;
    rle.type = 10;
    const std::string packed = MakeTga(4, 4, Pattern, rle);
    ExpectOnlyMessage(qx::DecodeTga(AsBytes(packed.substr(0, packed.size() - 2)), "s.tga"), "TGA File Error",
                      shortRead);

    // One run of 128 for a 4 x 4 picture: clipped to the picture.
    std::string overlong = packed.substr(0, 18) + std::string("\xFF\x01\x02\x03", 4);
    const qx::DecodeResult clipped = qx::DecodeTga(AsBytes(overlong), "o.tga");
    ASSERT_TRUE(clipped.ok());
    EXPECT_EQ(qxtest::BlockPixel(*clipped.block, 3, 0), 0x030201FFu);

    // 8192 x 8192 at 32 bits (256 MiB) claimed by a few bytes: refused before any
    // allocation, since no file that short can hold that many packets.
    std::string bomb = packed.substr(0, 18);
    bomb[12] = 0;
    bomb[13] = 0x20;
    bomb[14] = 0;
    bomb[15] = 0x20;
    bomb[16] = 32;
    bomb += std::string(200, '\xFF');
    ExpectOnlyMessage(qx::DecodeTga(AsBytes(bomb), "s.tga"), "TGA File Error", shortRead);
}

TEST(TgaDecoder, ReadOnlyFileLoadsAndMissingFileHasItsMessage)
{
    qxtest::TempDir dir;
    const std::string path = (dir / "ro.tga").string();
    qxtest::WriteFileBytes(path, MakeTga(3, 3, Pattern));
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    EXPECT_TRUE(qx::DecodeImageFile(qx::ImageKind::Tga, path, false).ok());

    const std::string missing = (dir / "none.tga").string();
    ExpectOnlyMessage(qx::DecodeImageFile(qx::ImageKind::Tga, missing, false), "TGA Unit",
                      "Couldn't load - \"" + missing + "\"");
}

TEST(ImageKind, EndingDecidesTheLoaderAndJpegEndingOnlyWhenAsked)
{
    EXPECT_EQ(qx::ImageKindForPath("textures\\Setka.Bmp", false), qx::ImageKind::Bmp);
    EXPECT_EQ(qx::ImageKindForPath("a.jpg", false), qx::ImageKind::Jpeg);
    EXPECT_EQ(qx::ImageKindForPath("a.JPEG", true), qx::ImageKind::Jpeg);
    EXPECT_EQ(qx::ImageKindForPath("a.jpeg", false), qx::ImageKind::None);
    EXPECT_EQ(qx::ImageKindForPath("a.tGa", false), qx::ImageKind::Tga);
    EXPECT_EQ(qx::ImageKindForPath("a.png", false), qx::ImageKind::Png);
    EXPECT_EQ(qx::ImageKindForPath("a.gif", false), qx::ImageKind::Gif);
    EXPECT_EQ(qx::ImageKindForPath("a.bmp.txt", true), qx::ImageKind::None);
    EXPECT_EQ(qx::ImageKindForPath("bmp", true), qx::ImageKind::None);
}

}  // namespace
