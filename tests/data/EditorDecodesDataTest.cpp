// The generated pictures read by the editor's own BMP decoder, as start-up
// loads them: every one decodes without a message, and the keyed cross-hair
// comes out with both transparent and opaque pixels.
#include "GeneratedData.h"

#include "ImageDecoders.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

qx::DecodeResult Decode(const std::filesystem::path& file, bool keyed)
{
    const std::string bytes = qxtest::ReadFileBytes(file);
    const qx::Bytes data(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    return qx::DecodeBmp(data, file.string(), keyed);
}

TEST(EditorDecodesData, EveryPictureLoadsAndTheCrossHairKeysOutItsBackground)
{
    qxtest::TempDir dir;
    ASSERT_EQ(qxdatatest::RunGenerator(dir.path()), 0);
    for (const std::string& rel : qxdatatest::ListFiles(dir.path())) {
        if (rel.size() < 4 || rel.substr(rel.size() - 4) != ".bmp")
            continue;
        const qx::DecodeResult plain = Decode(dir / rel, false);
        EXPECT_TRUE(plain.ok() && plain.messages.empty()) << rel;
    }

    const qx::DecodeResult keyed = Decode(dir / "textures/CurCenter.bmp", true);
    ASSERT_TRUE(keyed.ok());
    ASSERT_TRUE(keyed.messages.empty());
    const qx::PixelBlock& block = *keyed.block;
    ASSERT_EQ(block.channels, 4u);
    int transparent = 0, opaque = 0;
    for (size_t i = 3; i < block.pixels.size(); i += 4)
        (block.pixels[i] == 0 ? transparent : opaque)++;
    EXPECT_GT(transparent, 0);
    EXPECT_GT(opaque, 0);
    EXPECT_EQ(block.pixels[3], 0) << "bottom-left pixel is the key";
}

}  // namespace
