// The rescale that stands in for GLU's: same target sizes, and no row or
// column lost on the way.
#include <gtest/gtest.h>

#include "imageio/Resample.h"

namespace {

TEST(Resample, TargetSidesAreGlusChoice)
{
    const std::pair<uint32_t, uint32_t> cases[] = {{1, 1}, {2, 2}, {3, 4}, {4, 4}, {5, 4}, {6, 8}, {7, 8},
                                                  {63, 64}, {64, 64}, {65, 64}, {96, 128}, {1023, 1024}, {300, 256}};
    for (auto [side, expected] : cases)
        EXPECT_EQ(qx::GluTextureSide(side, 16384), expected) << side;
    EXPECT_EQ(qx::GluTextureSide(6000, 2048), 2048u);
}

TEST(Resample, EveryRowAndColumnSurvivesAndFlatAreasStayFlat)
{
    // Rows of distinct colours, 3 -> 4 wide with the height unchanged: the
    // case GLU's scaler gets wrong.
    qx::PixelBlock block;
    qx::AllocateBlock(block, 3, 4, 3);
    for (uint32_t y = 0; y < 4; ++y)
        for (uint32_t x = 0; x < 3; ++x)
            block.Row(y)[3 * x] = static_cast<uint8_t>(50 * (y + 1));
    const qx::PixelBlock wider = qx::ResampleBlock(block, 4, 4);
    for (uint32_t y = 0; y < 4; ++y)
        for (uint32_t x = 0; x < 4; ++x)
            EXPECT_EQ(wider.Row(y)[3 * x], 50 * (y + 1)) << x << "," << y;

    // Halving averages pairs.
    qx::PixelBlock stripes;
    qx::AllocateBlock(stripes, 4, 1, 4);
    const uint8_t values[4] = {0, 100, 200, 255};
    for (uint32_t x = 0; x < 4; ++x)
        stripes.Row(0)[4 * x + 3] = values[x];
    const qx::PixelBlock half = qx::ResampleBlock(stripes, 2, 1);
    EXPECT_EQ(half.Row(0)[3], 50);
    EXPECT_EQ(half.Row(0)[7], 228);
}

}  // namespace
