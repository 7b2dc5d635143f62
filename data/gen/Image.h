// An RGB picture held as the texture loaders see it: rows from the bottom
// row up, 3 bytes (R, G, B) per pixel, no padding.  EncodeBmp24 writes it as
// the one BMP layout the editor's loaders read without surprises.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qx::data {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

class Image {
public:
    Image(int width, int height, Rgb fill = {});

    int Width() const { return width_; }
    int Height() const { return height_; }

    // Row 0 is the bottom row (texture coordinate t = 0).
    Rgb At(int x, int row) const;
    void Set(int x, int row, Rgb colour);
    // Drawing coordinates: y = 0 is the top row.  Points outside are ignored,
    // so shapes may run over the border.
    void Plot(int x, int y, Rgb colour);
    Rgb AtTop(int x, int y) const { return At(x, height_ - 1 - y); }

private:
    int width_;
    int height_;
    std::vector<Rgb> pixels_;
};

// A copy one row taller whose new top row repeats the old top row.  A plain
// BMP loader may leave out a file's top row (the original editor's did); a
// picture meant to tile or to meet its neighbours exactly is written this
// way, so it ends on its edge whether that row is uploaded or not.
Image WithRepeatedTopRow(const Image& image);

// 14-byte file header, 40-byte information header, pixel data at offset 54,
// 24 bits, uncompressed, positive height (bottom row first), no colour table.
// The width must be a multiple of 4 so that rows need no padding: the loaders
// treat the data as tightly packed.
std::string EncodeBmp24(const Image& image);

}  // namespace qx::data
