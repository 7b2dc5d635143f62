// Turning a pixel block into a mipmapped GL texture.  The new name stays
// bound to GL_TEXTURE_2D.  Rows are read tightly packed (the unpack
// alignment is 1 during the upload and restored after it), so any width
// uploads correctly.  Wrap modes stay GL's default GL_REPEAT.
#pragma once

#include <cstdint>

#include "imageio/PixelBlock.h"

// format is GL_RGB or GL_RGBA; linear magnification and minification.
uint32_t CreateTexture(uint16_t width, uint16_t height, uint32_t format, const uint8_t* pixels);

namespace qx {

// The upload of a pixel block by the loader that made it: CreateTexture,
// except that a keyed BMP starts with nearest-neighbour magnification.
uint32_t UploadBlock(const PixelBlock& block, bool keyedBmp);

}  // namespace qx
