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

PixelBlock ResampleBlock(const PixelBlock& source, uint32_t width, uint32_t height)
{
    const uint32_t n = source.channels;
    const AxisWeights across = ComputeWeights(source.width, width);
    const AxisWeights down = ComputeWeights(source.height, height);

    // Horizontal pass into floats: width x source.height.
    std::vector<float> rows(size_t{width} * source.height * n, 0.0f);
    for (uint32_t y = 0; y < source.height; ++y) {
        const uint8_t* in = source.pixels.data() + source.RowBytes() * y;
        float* out = rows.data() + size_t{width} * n * y;
        for (uint32_t x = 0; x < width; ++x)
            for (size_t k = 0; k < across.weights[x].size(); ++k)
                for (uint32_t c = 0; c < n; ++c)
                    out[x * n + c] += across.weights[x][k] * in[(across.first[x] + k) * n + c];
    }
    PixelBlock target;
    AllocateBlock(target, width, height, n);
    std::vector<float> sum(size_t{width} * n);
    for (uint32_t y = 0; y < height; ++y) {
        std::fill(sum.begin(), sum.end(), 0.0f);
        for (size_t k = 0; k < down.weights[y].size(); ++k) {
            const float w = down.weights[y][k];
            const float* in = rows.data() + size_t{width} * n * (down.first[y] + k);
            for (size_t i = 0; i < sum.size(); ++i)
                sum[i] += w * in[i];
        }
        uint8_t* out = target.Row(y);
        for (size_t i = 0; i < sum.size(); ++i)
            out[i] = static_cast<uint8_t>(std::clamp(sum[i] + 0.5f, 0.0f, 255.0f));
    }
    return target;
}

}  // namespace qx
