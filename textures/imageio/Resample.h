// Rescaling a pixel block to the power-of-two size the GL upload wants.
// GLU's gluBuild2DMipmaps would rescale by itself, but its scaler drops the
// last row whenever only the width changes; so blocks reach it already at
// the size it would have picked, and it only builds the mipmap chain.
#pragma once

#include <cstdint>

#include "PixelBlock.h"

namespace qx {

// GLU's choice for one side: the power of two at the side's leading bit,
// doubled when the next bit is set too (3 -> 4, 5 -> 4, 6 -> 8,
// 1023 -> 1024), then halved while above maxSide.
uint32_t GluTextureSide(uint32_t side, uint32_t maxSide);

// Area-averaging rescale (each target pixel the mean of the source area it
// covers), as GLU's own scaler means to do.
PixelBlock ResampleBlock(const PixelBlock& source, uint32_t width, uint32_t height);
// The same on tightly packed rows of n channels, into `target`.  Works row by
// row: besides the source and the result it holds a few rows of floats.
void ResamplePixels(const uint8_t* pixels, uint32_t sourceWidth, uint32_t sourceHeight, uint32_t n,
                    PixelBlock& target, uint32_t width, uint32_t height);

}  // namespace qx
