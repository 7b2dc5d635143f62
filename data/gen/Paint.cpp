#include "Paint.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace qx::data {

void FillRect(Image& img, int x0, int y0, int x1, int y1, Rgb colour)
{
    for (int y = std::min(y0, y1); y <= std::max(y0, y1); ++y)
        for (int x = std::min(x0, x1); x <= std::max(x0, x1); ++x)
            img.Plot(x, y, colour);
}

void StrokeRect(Image& img, int x0, int y0, int x1, int y1, Rgb colour)
{
    Line(img, x0, y0, x1, y0, colour);
    Line(img, x1, y0, x1, y1, colour);
    Line(img, x1, y1, x0, y1, colour);
    Line(img, x0, y1, x0, y0, colour);
}

void Line(Image& img, int x0, int y0, int x1, int y1, Rgb colour)
{
    const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        img.Plot(x0, y0, colour);
        if (x0 == x1 && y0 == y1)
            return;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

void FillRing(Image& img, double cx, double cy, double inner, double outer, Rgb colour)
{
    for (int y = 0; y < img.Height(); ++y) {
        for (int x = 0; x < img.Width(); ++x) {
            const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
            const double d2 = dx * dx + dy * dy;
            if (d2 <= outer * outer && d2 >= inner * inner)
                img.Plot(x, y, colour);
        }
    }
}

void FillCircle(Image& img, double cx, double cy, double radius, Rgb colour)
{
    FillRing(img, cx, cy, 0.0, radius, colour);
}

void FillPolygon(Image& img, std::initializer_list<Point> corners, Rgb colour)
{
    const std::vector<Point> p(corners);
    for (int y = 0; y < img.Height(); ++y) {
        const double py = y + 0.5;
        for (int x = 0; x < img.Width(); ++x) {
            const double px = x + 0.5;
            bool inside = false;
            for (size_t i = 0, j = p.size() - 1; i < p.size(); j = i++) {
                if ((p[i].y > py) != (p[j].y > py) &&
                    px < (p[j].x - p[i].x) * (py - p[i].y) / (p[j].y - p[i].y) + p[i].x)
                    inside = !inside;
            }
            if (inside)
                img.Plot(x, y, colour);
        }
    }
}

void StrokePolygon(Image& img, std::initializer_list<Point> corners, Rgb colour)
{
    const std::vector<Point> p(corners);
    for (size_t i = 0, j = p.size() - 1; i < p.size(); j = i++)
        Line(img, static_cast<int>(std::lround(p[j].x)), static_cast<int>(std::lround(p[j].y)),
             static_cast<int>(std::lround(p[i].x)), static_cast<int>(std::lround(p[i].y)), colour);
}

namespace {

uint8_t Channel(double v)
{
    return static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}

}  // namespace

Rgb Mix(Rgb a, Rgb b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return {Channel(a.r + (b.r - a.r) * t), Channel(a.g + (b.g - a.g) * t),
            Channel(a.b + (b.b - a.b) * t)};
}

Rgb Scale(Rgb c, double k)
{
    return {Channel(c.r * k), Channel(c.g * k), Channel(c.b * k)};
}

}  // namespace qx::data
