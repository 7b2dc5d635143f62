// Helpers of the texture tests: hand-made image files, an independent
// decoder (Qt's reader) to compare with, and block digests.
#pragma once

#include <QImage>

#include <cstdint>
#include <functional>
#include <string>

#include "imageio/PixelBlock.h"

namespace qxtest {

struct Rgb {
    uint8_t r, g, b;
};
using PixelAt = std::function<Rgb(uint32_t x, uint32_t yFromTop)>;

// A varied but reproducible picture.
Rgb Pattern(uint32_t x, uint32_t y);

struct BmpOptions {
    bool topDown = false;
    uint32_t gapBeforePixels = 0;  // bytes between the headers and the pixels (offset set)
    bool offsetZero = false;       // pixel-data offset field left 0
    uint32_t coloursUsed = 0;
    uint16_t bitsPerPixel = 24;
    uint32_t compression = 0;
};
// A 24-bit BMP with rows padded to 4 bytes, bottom row first unless topDown.
std::string MakeBmp(uint32_t width, uint32_t height, const PixelAt& pixel, const BmpOptions& options = {});

struct TgaOptions {
    uint8_t type = 2;
    uint8_t depth = 24;
    uint8_t colourMapType = 0;
    uint8_t descriptor = 0;  // bit 5: top row first
    std::string imageId;
};
// Type 2 as raw rows, type 10 as run-length packets (runs where pixels
// repeat); alpha of 32-bit pixels is (x * 16 + y) & 255.
std::string MakeTga(uint32_t width, uint32_t height, const PixelAt& pixel, const TgaOptions& options = {});

// A 32-bit pixel's alpha in MakeTga.
inline uint8_t TgaAlpha(uint32_t x, uint32_t y) { return static_cast<uint8_t>((x * 16 + y) & 255); }

struct GifOptions {
    uint16_t screenWidth = 0, screenHeight = 0;
    uint16_t left = 0, top = 0;
    int transparent = -1;
    bool interlaced = false;
    bool withPalette = true;  // a global palette, colour i = (i, 2i, 3i)
};
// A GIF of one frame whose pixel (x, y) has palette index indexAt(x, y);
// rows go in interlaced order when asked.
std::string MakeGif(uint16_t frameWidth, uint16_t frameHeight, const std::function<uint8_t(uint32_t, uint32_t)>& indexAt,
                    const GifOptions& options);

// Qt's reading of a file, as 8-bit RGBA, top row first; null when Qt fails.
QImage ReadWithQt(const std::string& file);

// The block's pixel at (x, y from the top), as R, G, B, A (A 255 for RGB).
uint32_t BlockPixel(const qx::PixelBlock& block, uint32_t x, uint32_t yFromTop);

std::string Md5Hex(const std::vector<uint8_t>& bytes);

}  // namespace qxtest
