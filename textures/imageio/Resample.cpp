#include "Resample.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace qx {

uint32_t GluTextureSide(uint32_t side, uint32_t maxSide)
{
    if (side == 0)
        return 0;
    uint32_t power = 1;
    for (uint32_t value = side;; value >>= 1, power <<= 1) {
        if (value == 1)
            break;
        if (value == 3) {
            power <<= 2;
            break;
        }
    }
    while (power > maxSide && power > 1)
        power >>= 1;
    return power;
}

namespace {

// For each target index: the first source index and the weights of the
// source pixels its interval covers (summing to 1).
struct AxisWeights {
    std::vector<uint32_t> first;
    std::vector<std::vector<float>> weights;
};

AxisWeights ComputeWeights(uint32_t sourceLength, uint32_t targetLength)
{
    AxisWeights axis;
    const double scale = double(sourceLength) / targetLength;
    for (uint32_t i = 0; i < targetLength; ++i) {
        const double a = i * scale;
        const double b = (i + 1) * scale;
        const auto j0 = static_cast<uint32_t>(std::floor(a));
        const auto j1 = std::min<uint32_t>(sourceLength, static_cast<uint32_t>(std::ceil(b)));
        std::vector<float> w;
        for (uint32_t j = j0; j < j1; ++j)
            w.push_back(static_cast<float>((std::min<double>(b, j + 1) - std::max<double>(a, j)) / scale));
        axis.first.push_back(j0);
        axis.weights.push_back(std::move(w));
    }
    return axis;
}

}  // namespace

namespace {

// Horizontal pass of one source row into floats, for the target width.
void SpreadRow(const uint8_t* in, uint32_t n, const AxisWeights& across, float* out, uint32_t width)
{
    std::fill(out, out + size_t{width} * n, 0.0f);
    for (uint32_t x = 0; x < width; ++x)
        for (size_t k = 0; k < across.weights[x].size(); ++k)
            for (uint32_t c = 0; c < n; ++c)
                out[x * n + c] += across.weights[x][k] * in[(across.first[x] + k) * n + c];
}

}  // namespace

void ResamplePixels(const uint8_t* pixels, uint32_t sourceWidth, uint32_t sourceHeight, uint32_t n,
                    PixelBlock& target, uint32_t width, uint32_t height)
{
    const AxisWeights across = ComputeWeights(sourceWidth, width);
    const AxisWeights down = ComputeWeights(sourceHeight, height);
    const size_t sourceRowBytes = size_t{sourceWidth} * n;
    const size_t lineFloats = size_t{width} * n;

    AllocateBlock(target, width, height, n);
    // Target rows are made one at a time from the source rows they cover.
    // Neighbouring target rows share at most one source row when shrinking
    // and a few when growing, so a small cache of spread rows keeps the
    // horizontal pass near one run per source row without a whole-picture
    // float buffer.
    constexpr int kCached = 4;
    std::vector<float> cache(lineFloats * kCached);
    int64_t cachedRow[kCached] = {-1, -1, -1, -1};
    auto spread = [&](uint32_t row) -> const float* {
        const int slot = static_cast<int>(row % kCached);
        float* line = cache.data() + lineFloats * size_t(slot);
        if (cachedRow[slot] != row) {
            SpreadRow(pixels + sourceRowBytes * row, n, across, line, width);
            cachedRow[slot] = row;
        }
        return line;
    };
    std::vector<float> sum(lineFloats);
    for (uint32_t y = 0; y < height; ++y) {
        std::fill(sum.begin(), sum.end(), 0.0f);
        for (size_t k = 0; k < down.weights[y].size(); ++k) {
            const float w = down.weights[y][k];
            const float* in = spread(down.first[y] + static_cast<uint32_t>(k));
            for (size_t i = 0; i < sum.size(); ++i)
                sum[i] += w * in[i];
        }
        uint8_t* out = target.Row(y);
        for (size_t i = 0; i < sum.size(); ++i)
            out[i] = static_cast<uint8_t>(std::clamp(sum[i] + 0.5f, 0.0f, 255.0f));
    }
}

PixelBlock ResampleBlock(const PixelBlock& source, uint32_t width, uint32_t height)
{
    PixelBlock target;
    ResamplePixels(source.pixels.data(), source.width, source.height, source.channels, target, width, height);
    return target;
}

}  // namespace qx
