#include "Icons.h"

#include "Paint.h"

#include <algorithm>
#include <cmath>

namespace qx::data {

namespace {

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kInk{40, 40, 40};
constexpr Rgb kFolder{244, 204, 92};
constexpr Rgb kFolderDark{176, 128, 36};

void ClosedFolder(Image& img, int dx, int dy)
{
    FillPolygon(img, {{2.0 + dx, 5.0 + dy}, {9.0 + dx, 5.0 + dy}, {11.0 + dx, 7.0 + dy}, {2.0 + dx, 7.0 + dy}},
                kFolderDark);
    FillRect(img, 2 + dx, 7 + dy, 21 + dx, 19 + dy, kFolder);
    StrokeRect(img, 2 + dx, 7 + dy, 21 + dx, 19 + dy, kFolderDark);
    Line(img, 2 + dx, 5 + dy, 9 + dx, 5 + dy, kFolderDark);
}

// Isometric cube whose top corner is at (cx, top) with half-width w.
void Cube(Image& img, double cx, double top, double w, Rgb colour)
{
    const double h = w / 2.0, side = w * 1.15;
    const Point t{cx, top}, l{cx - w, top + h}, r{cx + w, top + h}, m{cx, top + 2 * h};
    const Point lb{l.x, l.y + side}, rb{r.x, r.y + side}, mb{m.x, m.y + side};
    FillPolygon(img, {t, r, m, l}, Scale(colour, 1.2));
    FillPolygon(img, {l, m, mb, lb}, colour);
    FillPolygon(img, {m, r, rb, mb}, Scale(colour, 0.7));
    StrokePolygon(img, {t, r, rb, mb, lb, l}, kInk);
    StrokePolygon(img, {l, m, r}, kInk);
    StrokePolygon(img, {m, mb}, kInk);
}

// A ball lit from the upper left.
void ShadedBall(Image& img, double cx, double cy, double radius, Rgb colour)
{
    for (int y = 0; y < img.Height(); ++y) {
        for (int x = 0; x < img.Width(); ++x) {
            const double nx = (x + 0.5 - cx) / radius, ny = (y + 0.5 - cy) / radius;
            const double r2 = nx * nx + ny * ny;
            if (r2 > 1.0)
                continue;
            const double nz = std::sqrt(1.0 - r2);
            const double light = std::max(0.0, (-0.5 * nx - 0.5 * ny + 0.7 * nz) / 1.0247);
            const Rgb lit = Scale(colour, 0.35 + 0.85 * light);
            img.Plot(x, y, Mix(lit, kWhite, light > 0.97 ? 0.6 : 0.0));
        }
    }
}

Image Folder()
{
    Image img(IconSize, IconSize, kWhite);
    ClosedFolder(img, 0, 0);
    return img;
}

Image FolderOpen()
{
    Image img(IconSize, IconSize, kWhite);
    ClosedFolder(img, 0, 0);
    FillPolygon(img, {{5, 11}, {23, 11}, {20, 20}, {2, 20}}, Scale(kFolder, 1.08));
    StrokePolygon(img, {{5, 11}, {23, 11}, {20, 19}, {2, 19}}, kFolderDark);
    return img;
}

Image Object()
{
    Image img(IconSize, IconSize, kWhite);
    Cube(img, 8.5, 9, 6.5, Rgb{80, 120, 200});
    ShadedBall(img, 16.5, 8.0, 5.5, Rgb{210, 70, 60});
    return img;
}

Image Player()
{
    Image img(IconSize, IconSize, kWhite);
    constexpr Rgb skin{236, 188, 150}, shirt{50, 110, 200}, trousers{60, 60, 90};
    FillPolygon(img, {{7, 10}, {17, 10}, {18, 16}, {6, 16}}, shirt);
    FillRect(img, 4, 10, 6, 15, shirt);
    FillRect(img, 18, 10, 20, 15, shirt);
    FillRect(img, 7, 16, 11, 22, trousers);
    FillRect(img, 13, 16, 17, 22, trousers);
    FillCircle(img, 12, 5.5, 4.0, skin);
    FillRing(img, 12, 5.5, 3.2, 4.2, Scale(skin, 0.6));
    return img;
}

Image Model()
{
    Image img(IconSize, IconSize, kWhite);
    constexpr Rgb teal{40, 160, 150};
    const Point apex{12, 2}, left{2, 18}, front{11, 22}, right{22, 16};
    FillPolygon(img, {apex, front, left}, teal);
    FillPolygon(img, {apex, right, front}, Scale(teal, 0.65));
    StrokePolygon(img, {apex, left, front, right}, kInk);
    StrokePolygon(img, {apex, front}, kInk);
    Line(img, 2, 18, 22, 16, Rgb{150, 150, 150});
    return img;
}

Image Box()
{
    Image img(IconSize, IconSize, kWhite);
    Cube(img, 12, 2, 9, Rgb{200, 130, 50});
    return img;
}

Image Map()
{
    Image img(IconSize, IconSize, kWhite);
    constexpr Rgb land{120, 190, 100};
    FillPolygon(img, {{2, 4}, {8, 2}, {8, 20}, {2, 22}}, land);
    FillPolygon(img, {{8, 2}, {15, 4}, {15, 22}, {8, 20}}, Scale(land, 0.8));
    FillPolygon(img, {{15, 4}, {21, 2}, {21, 20}, {15, 22}}, land);
    StrokePolygon(img, {{2, 4}, {8, 2}, {15, 4}, {21, 2}, {21, 20}, {15, 22}, {8, 20}, {2, 22}}, kInk);
    constexpr Rgb path{200, 40, 40};
    for (int i = 0; i < 4; ++i)
        FillRect(img, 4 + 3 * i, 17 - 3 * i, 5 + 3 * i, 17 - 3 * i, path);
    Line(img, 15, 5, 19, 9, path);
    Line(img, 19, 5, 15, 9, path);
    return img;
}

Image Sphere()
{
    Image img(IconSize, IconSize, kWhite);
    ShadedBall(img, 12, 12, 10, Rgb{220, 60, 50});
    return img;
}

Image Floor()
{
    Image img(IconSize, IconSize, kWhite);
    constexpr Rgb tiles{170, 170, 160};
    FillPolygon(img, {{7, 7}, {23, 7}, {17, 19}, {1, 19}}, tiles);
    for (int i = 1; i < 4; ++i) {
        const int y = 7 + 3 * i;
        Line(img, 7 - (y - 7) / 2, y, 23 - (y - 7) / 2, y, kInk);
        Line(img, 7 + 4 * i, 7, 1 + 4 * i, 19, kInk);
    }
    StrokePolygon(img, {{7, 7}, {23, 7}, {17, 19}, {1, 19}}, kInk);
    return img;
}

Image Wall()
{
    Image img(IconSize, IconSize, kWhite);
    constexpr Rgb brick{186, 80, 56}, mortar{220, 210, 196};
    FillRect(img, 1, 3, 22, 20, mortar);
    for (int course = 0; course < 4; ++course) {
        const int y = 4 + 4 * course, shift = course % 2 ? 3 : 0;
        for (int x = 1 - shift; x < 23; x += 7)
            FillRect(img, x + 1, y, x + 5, y + 2, brick);
    }
    StrokeRect(img, 1, 3, 22, 20, kInk);
    return img;
}

void Checker(Image& img, int x0, int y0, int cells, int cell, Rgb a, Rgb b)
{
    for (int j = 0; j < cells; ++j)
        for (int i = 0; i < cells; ++i)
            FillRect(img, x0 + i * cell, y0 + j * cell, x0 + i * cell + cell - 1, y0 + j * cell + cell - 1,
                     (i + j) % 2 ? a : b);
}

Image Texture()
{
    Image img(IconSize, IconSize, kWhite);
    Checker(img, 3, 3, 4, 4, Rgb{70, 130, 210}, Rgb{250, 210, 80});
    StrokeRect(img, 2, 2, 19, 19, kInk);
    FillRect(img, 20, 4, 21, 21, Rgb{160, 160, 160});
    FillRect(img, 4, 20, 21, 21, Rgb{160, 160, 160});
    return img;
}

Image TextureFolder()
{
    Image img(IconSize, IconSize, kWhite);
    ClosedFolder(img, 0, 0);
    Checker(img, 9, 11, 4, 3, Rgb{70, 130, 210}, Rgb{250, 250, 250});
    StrokeRect(img, 8, 10, 21, 23, kInk);
    return img;
}

Image Torus()
{
    Image img(IconSize, IconSize, kWhite);
    constexpr Rgb violet{140, 80, 190};
    const double cx = 12, cy = 12, major = 7.0, minor = 3.6;
    for (int y = 0; y < IconSize; ++y) {
        for (int x = 0; x < IconSize; ++x) {
            const double dx = x + 0.5 - cx, dy = (y + 0.5 - cy) * 1.6;
            const double d = std::sqrt(dx * dx + dy * dy) - major;
            if (std::abs(d) > minor)
                continue;
            // Brighter on the outer upper side, as lit from above.
            const double shade = 0.55 + 0.45 * (1.0 - std::abs(d) / minor) - 0.15 * (dy / 12.0);
            img.Plot(x, y, Scale(violet, shade));
        }
    }
    return img;
}

}  // namespace

std::vector<Image> TreeIcons()
{
    std::vector<Image> icons;
    icons.reserve(IconCount);
    icons.push_back(Folder());
    icons.push_back(FolderOpen());
    icons.push_back(Object());
    icons.push_back(Player());
    icons.push_back(Model());
    icons.push_back(Box());
    icons.push_back(Map());
    icons.push_back(Sphere());
    icons.push_back(Floor());
    icons.push_back(Wall());
    icons.push_back(Texture());
    icons.push_back(TextureFolder());
    icons.push_back(Torus());
    return icons;
}

}  // namespace qx::data
