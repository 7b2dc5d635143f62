#include "PixelBlock.h"

namespace qx {

bool PictureSizeAllowed(uint64_t width, uint64_t height, uint32_t channels)
{
    if (width == 0 || height == 0 || width > kMaxPictureSide || height > kMaxPictureSide)
        return false;
    return width * height * channels <= kMaxPictureBytes;
}

void AllocateBlock(PixelBlock& block, uint32_t width, uint32_t height, uint32_t channels)
{
    block.width = width;
    block.height = height;
    block.channels = channels;
    block.pixels.assign(size_t{width} * height * channels, 0);
}

void ApplyColourKey(PixelBlock& rgba)
{
    if (rgba.channels != 4 || rgba.pixels.size() < 4)
        return;
    uint8_t* p = rgba.pixels.data();
    const uint8_t r = p[0];
    const uint8_t g = p[1];
    const uint8_t b = p[2];
    uint8_t* const end = p + rgba.pixels.size();
    for (; p != end; p += 4)
        p[3] = (p[0] == r && p[1] == g && p[2] == b) ? 0 : 255;
}

}  // namespace qx
