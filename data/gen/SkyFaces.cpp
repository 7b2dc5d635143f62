#include "SkyFaces.h"

#include "Noise.h"
#include "Paint.h"

#include <algorithm>
#include <cmath>

namespace qx::data {

CubePoint FacePoint(SkyFace face, double a, double b)
{
    // Read off the sky box's quads: which cube axis each texture axis follows.
    switch (face) {
    case SkyFace::Front:  return {a, b, 1.0};    // Z = +1
    case SkyFace::Back:   return {-a, b, -1.0};  // Z = -1
    case SkyFace::Left:   return {1.0, b, -a};   // X = +1
    case SkyFace::Right:  return {-1.0, b, a};   // X = -1
    case SkyFace::Top:    return {b, 1.0, a};    // Y = +1
    case SkyFace::Bottom: return {-b, -1.0, a};  // Y = -1
    }
    return {0.0, 0.0, 0.0};
}

namespace {

constexpr Rgb kHorizonSky{206, 222, 238};
constexpr Rgb kZenithSky{50, 96, 180};
constexpr Rgb kCloud{246, 247, 250};
constexpr Rgb kRockLight{156, 138, 116};
constexpr Rgb kRockDark{92, 80, 68};
constexpr Rgb kGround{74, 70, 52};

// Height of the cliff tops above the horizon (as the sine of the elevation)
// along the azimuth: flat-topped massifs from whole harmonics, so the line
// closes around the circle, roughened by noise over the direction.
double RidgeHeight(double azimuth, double dx, double dy, double dz)
{
    const double massif = std::sin(3.0 * azimuth + 0.5) + 0.6 * std::sin(7.0 * azimuth + 1.3) +
                          0.3 * std::sin(17.0 * azimuth + 0.2);
    return 0.03 + 0.17 * SmoothStep(-0.35, 0.45, massif) +
           0.05 * (Fractal(dx * 14.0, dy * 14.0, dz * 14.0) - 0.5);
}

Rgb Sky(double dx, double dy, double dz)
{
    // By elevation alone: following the ridge would streak the sky.
    const double h = std::clamp(dy, 0.0, 1.0);
    Rgb c = Mix(kHorizonSky, kZenithSky, std::pow(h, 0.6));
    const double n = Fractal(dx * 3.1 + 40.0, dy * 3.1, dz * 3.1);
    const double cover = SmoothStep(0.50, 0.70, n) * SmoothStep(0.02, 0.30, dy);
    const double shade = 0.82 + 0.18 * Fractal(dx * 9.0, dy * 9.0 + 7.0, dz * 9.0);
    return Mix(c, Scale(kCloud, shade), 0.9 * cover);
}

Rgb Rock(double dx, double dy, double dz, double ridge)
{
    const double rough = Fractal(dx * 24.0, dy * 24.0, dz * 24.0);
    // Noise stretched along the vertical gives the cliff faces their cracks.
    const double cracks = Fractal(dx * 60.0, dy * 5.0, dz * 60.0);
    const double strata = 0.5 + 0.5 * std::sin(dy * 95.0 + 6.0 * Fractal(dx * 4.0, dy * 4.0, dz * 4.0));
    Rgb c = Scale(Mix(kRockLight, kRockDark, rough), (0.88 + 0.12 * strata) * (0.7 + 0.45 * cracks));
    // Sunlit rim along the top of the cliffs.
    c = Mix(c, Scale(kRockLight, 1.15), 0.5 * (1.0 - SmoothStep(0.0, 0.012, ridge - dy)));
    const double ground = SmoothStep(-0.10, -0.45, dy);
    const Rgb earth = Scale(kGround, 0.8 + 0.4 * Fractal(dx * 16.0 + 3.0, dy * 16.0, dz * 16.0));
    return Mix(c, earth, ground);
}

}  // namespace

Rgb SkyColour(double x, double y, double z)
{
    const double len = std::sqrt(x * x + y * y + z * z);
    const double dx = x / len, dy = y / len, dz = z / len;
    const double ridge = RidgeHeight(std::atan2(dx, dz), dx, dy, dz);
    return dy > ridge ? Sky(dx, dy, dz) : Rock(dx, dy, dz, ridge);
}

Image RenderSkyFace(SkyFace face)
{
    constexpr int n = SkyFaceSamples;
    Image img(n, n);
    for (int row = 0; row < n; ++row) {
        for (int col = 0; col < n; ++col) {
            // Integer numerators keep mirrored samples exact negatives of
            // each other, so both faces at an edge see the same point.
            const double a = static_cast<double>(2 * col - (n - 1)) / (n - 1);
            const double b = static_cast<double>(2 * row - (n - 1)) / (n - 1);
            const CubePoint p = FacePoint(face, a, b);
            img.Set(col, row, SkyColour(p.x, p.y, p.z));
        }
    }
    return WithRepeatedTopRow(img);
}

const std::vector<SkyFaceFile>& SkyFaceFiles()
{
    static const std::vector<SkyFaceFile> files = {
        {SkyFace::Front, "cliffFront.bmp"}, {SkyFace::Back, "cliffBack.bmp"},
        {SkyFace::Left, "cliffLeft.bmp"},   {SkyFace::Right, "cliffRight.bmp"},
        {SkyFace::Top, "cliffTop.bmp"},     {SkyFace::Bottom, "cliffBottom.bmp"},
    };
    return files;
}

}  // namespace qx::data
