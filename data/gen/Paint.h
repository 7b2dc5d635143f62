// Small raster drawing on an Image in y-down pixel coordinates, enough for
// flat icons and helper textures.  Everything is integer or sampled at pixel
// centres, so the same calls give the same bytes on every run.
#pragma once

#include "Image.h"

#include <initializer_list>
#include <utility>

namespace qx::data {

struct Point {
    double x, y;
};

// Inclusive corners.
void FillRect(Image& img, int x0, int y0, int x1, int y1, Rgb colour);
void StrokeRect(Image& img, int x0, int y0, int x1, int y1, Rgb colour);
void Line(Image& img, int x0, int y0, int x1, int y1, Rgb colour);
// Pixels whose centre lies inside the circle (or between the two radii).
void FillCircle(Image& img, double cx, double cy, double radius, Rgb colour);
void FillRing(Image& img, double cx, double cy, double inner, double outer, Rgb colour);
// Pixels whose centre lies inside the polygon (even-odd rule).
void FillPolygon(Image& img, std::initializer_list<Point> corners, Rgb colour);
// Outline of a polygon through its corners, closed.
void StrokePolygon(Image& img, std::initializer_list<Point> corners, Rgb colour);

// Mixes two colours; t = 0 gives a, t = 1 gives b (t is clamped).
Rgb Mix(Rgb a, Rgb b, double t);
// Multiplies each channel by k, clamped to 0..255.
Rgb Scale(Rgb c, double k);

}  // namespace qx::data
