// The six faces of the sky box: a sky over a ring of cliffs.  Every pixel is
// the colour of the direction from the centre of the cube through that
// pixel, with each face laid on the cube exactly as the sky box draws it, so
// the faces join at their edges.
#pragma once

#include "Image.h"

#include <string>
#include <vector>

namespace qx::data {

enum class SkyFace { Front, Back, Left, Right, Top, Bottom };

struct CubePoint {
    double x, y, z;
};

// The point of the cube (-1..1 on every axis) shown at texture coordinate
// (s, t) of the face, given as a = 2s - 1 and b = 2t - 1.
CubePoint FacePoint(SkyFace face, double a, double b);

// Colour seen in the direction of (x, y, z); Y is up.
Rgb SkyColour(double x, double y, double z);

// Samples per face side; the picture is that wide and one row taller.
inline constexpr int SkyFaceSamples = 256;

// Column c and row r (r < SkyFaceSamples) sample s = c / (N - 1) and
// t = r / (N - 1), so the outer rows and columns lie exactly on the cube's
// edges.  The extra top row repeats the one below it (WithRepeatedTopRow).
Image RenderSkyFace(SkyFace face);

struct SkyFaceFile {
    SkyFace face;
    std::string fileName;  // "cliffFront.bmp", ...
};
// In the order the editor loads them: front, back, left, right, top, bottom.
const std::vector<SkyFaceFile>& SkyFaceFiles();

}  // namespace qx::data
