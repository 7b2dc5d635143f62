// Every image file of the shared test data through the decoders: the
// expectation of the data's manifest (load / refuse), the pixels against
// Qt's reader, and a golden table of sizes, digests and messages that is
// reviewed with git diff when it changes (QX_UPDATE_GOLDEN=1 rewrites it).
#include <gtest/gtest.h>

#include <QImage>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>

#include "ImageTestSupport.h"
#include "TestSupport.h"
#include "imageio/ImageDecoders.h"

namespace {

namespace fs = std::filesystem;

struct ManifestRow {
    std::string path;
    std::string cls;
    std::string expect;
};

std::vector<ManifestRow> ImageRows(const fs::path& root)
{
    std::vector<ManifestRow> rows;
    std::ifstream in(root / "MANIFEST.tsv");
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> cols;
        std::stringstream split(line);
        std::string col;
        while (std::getline(split, col, '\t'))
            cols.push_back(col);
        if (cols.size() < 6 || cols[3] != "test")
            continue;
        const std::string kind = cols[0].substr(0, cols[0].find('/'));
        if (kind == "bmp" || kind == "tga" || kind == "png" || kind == "gif" || kind == "jpeg")
            rows.push_back({cols[0], cols[4], cols[5]});
    }
    return rows;
}

qx::DecodeResult DecodeBytes(const std::string& bytes, const std::string& label, bool keyed)
{
    const qx::Bytes data(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    switch (qx::ImageKindForPath(label, true)) {
    case qx::ImageKind::Bmp: return qx::DecodeBmp(data, label, keyed);
    case qx::ImageKind::Tga: return qx::DecodeTga(data, label);
    case qx::ImageKind::Png: return qx::DecodePng(data, label, keyed);
    case qx::ImageKind::Gif: return qx::DecodeGif(data, label, keyed);
    case qx::ImageKind::Jpeg: return qx::DecodeJpeg(data, label, keyed);
    case qx::ImageKind::None: break;
    }
    return {};
}

std::string GoldenLine(const std::string& label, const qx::DecodeResult& result)
{
    std::string line = label + "\t";
    if (result.ok()) {
        const qx::PixelBlock& b = *result.block;
        line += std::to_string(b.width) + "x" + std::to_string(b.height) + (b.channels == 4 ? " RGBA " : " RGB ") +
                qxtest::Md5Hex(b.pixels);
    } else {
        line += "refused";
    }
    for (const qx::LoaderMessage& m : result.messages)
        line += "\t" + m.caption + ": " + m.text;
    return line;
}

// Largest per-channel difference from Qt's picture over R, G, B (and A
// when compareAlpha); -1 when the sizes differ.  Where Qt's pixel is fully
// transparent its colour is not comparable (Qt keeps the palette colour of a
// GIF's transparent index, or none at all); there `transparentAs`, when
// given, is what ours must hold.
int MaxDifference(const qx::PixelBlock& block, const QImage& qt, bool compareAlpha,
                  std::optional<uint32_t> transparentAs = std::nullopt)
{
    if (qt.width() != int(block.width) || qt.height() != int(block.height))
        return -1;
    int worst = 0;
    for (uint32_t y = 0; y < block.height; ++y) {
        const uchar* ref = qt.constScanLine(int(y));
        for (uint32_t x = 0; x < block.width; ++x) {
            const uint32_t ours = qxtest::BlockPixel(block, x, y);
            if (!compareAlpha && ref[4 * x + 3] == 0) {
                if (transparentAs && ours != *transparentAs)
                    worst = 255;
                continue;
            }
            for (int c = 0; c < (compareAlpha ? 4 : 3); ++c) {
                const int mine = int((ours >> (24 - 8 * c)) & 255);
                worst = std::max(worst, std::abs(mine - int(ref[4 * x + c])));
            }
        }
    }
    return worst;
}

TEST(DecoderGolden, ManifestExpectationsAndGoldenTable)
{
    QX_REQUIRE_TESTDATA(root);
    std::string table;
    for (const ManifestRow& row : ImageRows(root)) {
        SCOPED_TRACE(row.path);
        const std::string bytes = qxtest::ReadFileBytes(root / row.path);
        const qx::DecodeResult result = DecodeBytes(bytes, row.path, false);
        if (row.expect == "load") {
            EXPECT_TRUE(result.ok());
        } else if (row.expect == "refuse") {
            EXPECT_FALSE(result.ok());
        }
        if (!result.ok()) {
            EXPECT_FALSE(result.messages.empty()) << "a refusal must say why";
        }
        table += GoldenLine(row.path, result) + "\n";
    }
    const fs::path golden = fs::path(QX_SOURCE_DIR) / "tests/textures/golden/image_decoders.tsv";
    if (std::getenv("QX_UPDATE_GOLDEN") != nullptr)
        qxtest::WriteFileBytes(golden, table);
    EXPECT_EQ(qxtest::ReadFileBytes(golden), table) << "rerun with QX_UPDATE_GOLDEN=1 and review git diff";
}

// Valid pictures Qt reads as well: same size, same pixels (PNG and GIF
// exactly, but 16-bit PNG channels within rounding; JPEG within the
// difference of two IDCT paths).
TEST(DecoderGolden, ValidPicturesMatchQtsReader)
{
    QX_REQUIRE_TESTDATA(root);
    int compared = 0;
    for (const ManifestRow& row : ImageRows(root)) {
        const qx::ImageKind kind = qx::ImageKindForPath(row.path, true);
        if (row.cls != "valid" || kind == qx::ImageKind::Tga)
            continue;
        SCOPED_TRACE(row.path);
        const qx::DecodeResult result = DecodeBytes(qxtest::ReadFileBytes(root / row.path), row.path, false);
        ASSERT_TRUE(result.ok());
        const QImage qt = qxtest::ReadWithQt((root / row.path).string());
        ASSERT_FALSE(qt.isNull());
        int tolerance = 0;
        if (kind == qx::ImageKind::Jpeg)
            tolerance = 0;
        if (kind == qx::ImageKind::Png && row.path.find("16") != std::string::npos)
            tolerance = 1;
        // A GIF's transparent pixels leave the black surface it is drawn on.
        std::optional<uint32_t> transparentAs;
        if (kind == qx::ImageKind::Gif)
            transparentAs = 0x000000FF;
        const int difference = MaxDifference(*result.block, qt, false, transparentAs);
        EXPECT_GE(difference, 0) << "size differs from Qt's";
        EXPECT_LE(difference, tolerance);
        ++compared;
    }
    EXPECT_GT(compared, 50);
}

// The TGA files come with PNG renderings of the same picture.
TEST(DecoderGolden, TgaMatchesItsPngRendering)
{
    QX_REQUIRE_TESTDATA(root);
    const std::pair<const char*, const char*> pairs[] = {
        {"tga/pillow/common/200x32_rgb_bl_raw.tga", "tga/pillow/common/200x32_rgb.png"},
        {"tga/pillow/common/200x32_rgba_tl_rle.tga", "tga/pillow/common/200x32_rgba.png"},
    };
    for (const auto& [tga, png] : pairs) {
        SCOPED_TRACE(tga);
        const qx::DecodeResult result = DecodeBytes(qxtest::ReadFileBytes(root / tga), tga, false);
        ASSERT_TRUE(result.ok());
        const QImage reference = qxtest::ReadWithQt((root / png).string());
        EXPECT_EQ(MaxDifference(*result.block, reference, result.block->channels == 4), 0);
    }
}

}  // namespace
