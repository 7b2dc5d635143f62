#include "HelperTextures.h"

#include "Paint.h"

namespace qx::data {

Image GridCell()
{
    constexpr int n = 64;
    Image cell(n, n, Rgb{72, 80, 72});
    constexpr Rgb line{196, 206, 196};
    StrokeRect(cell, 0, 0, n - 1, n - 1, line);
    return WithRepeatedTopRow(cell);
}

Image CrossHair()
{
    constexpr int n = 32;
    Image img(n, n, CrossHairKey);
    constexpr Rgb outline{48, 48, 48};
    constexpr Rgb body{255, 255, 255};
    // Four arms with a gap at the centre, so the point aimed at stays visible.
    const int c0 = n / 2 - 1, c1 = n / 2;  // the two middle columns / rows
    FillRect(img, c0 - 1, 2, c1 + 1, 12, outline);
    FillRect(img, c0 - 1, n - 13, c1 + 1, n - 3, outline);
    FillRect(img, 2, c0 - 1, 12, c1 + 1, outline);
    FillRect(img, n - 13, c0 - 1, n - 3, c1 + 1, outline);
    FillRect(img, c0, 3, c1, 11, body);
    FillRect(img, c0, n - 12, c1, n - 4, body);
    FillRect(img, 3, c0, 11, c1, body);
    FillRect(img, n - 12, c0, n - 4, c1, body);
    FillRect(img, c0 - 1, c0 - 1, c1 + 1, c1 + 1, outline);
    FillRect(img, c0, c0, c1, c1, body);
    return img;
}

Image NoTexturePicture()
{
    constexpr int n = 64;
    Image img(n, n, Rgb{224, 224, 224});
    constexpr Rgb red{200, 32, 32};
    for (int d = -2; d <= 2; ++d) {
        Line(img, 6 + d, 6, n - 7 + d, n - 7, red);
        Line(img, n - 7 + d, 6, 6 + d, n - 7, red);
    }
    FillRect(img, 0, 0, n - 1, 3, red);
    FillRect(img, 0, n - 4, n - 1, n - 1, red);
    FillRect(img, 0, 0, 3, n - 1, red);
    FillRect(img, n - 4, 0, n - 1, n - 1, red);
    return img;
}

}  // namespace qx::data
