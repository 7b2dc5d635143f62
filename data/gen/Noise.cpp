#include "Noise.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace qx::data {

namespace {

double Lattice(int64_t x, int64_t y, int64_t z)
{
    uint64_t h = static_cast<uint64_t>(x) * 0x9E3779B97F4A7C15ull ^
                 static_cast<uint64_t>(y) * 0xC2B2AE3D27D4EB4Full ^
                 static_cast<uint64_t>(z) * 0x165667B19E3779F9ull;
    h ^= h >> 29;
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 32;
    return static_cast<double>(h >> 11) / static_cast<double>(1ull << 53);
}

double Fade(double t)
{
    return t * t * (3.0 - 2.0 * t);
}

double Lerp(double a, double b, double t)
{
    return a + (b - a) * t;
}

}  // namespace

double ValueNoise(double x, double y, double z)
{
    const double fx = std::floor(x), fy = std::floor(y), fz = std::floor(z);
    const auto ix = static_cast<int64_t>(fx), iy = static_cast<int64_t>(fy),
               iz = static_cast<int64_t>(fz);
    const double tx = Fade(x - fx), ty = Fade(y - fy), tz = Fade(z - fz);
    double c[2][2];
    for (int j = 0; j < 2; ++j)
        for (int k = 0; k < 2; ++k)
            c[j][k] = Lerp(Lattice(ix, iy + j, iz + k), Lattice(ix + 1, iy + j, iz + k), tx);
    return Lerp(Lerp(c[0][0], c[1][0], ty), Lerp(c[0][1], c[1][1], ty), tz);
}

double Fractal(double x, double y, double z)
{
    double sum = 0.0, amplitude = 0.5, norm = 0.0;
    for (int octave = 0; octave < 4; ++octave) {
        sum += amplitude * ValueNoise(x, y, z);
        norm += amplitude;
        x = x * 2.03 + 17.1;
        y = y * 2.03 + 5.3;
        z = z * 2.03 + 11.7;
        amplitude *= 0.5;
    }
    return sum / norm;
}

double SmoothStep(double edge0, double edge1, double x)
{
    const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

}  // namespace qx::data
