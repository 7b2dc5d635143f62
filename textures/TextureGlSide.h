// What the texture table asks of GL.  The table (names, keys, the staging
// of a project's pictures) is data; the GL names it records are the GPU's
// copies of the pictures, which the drawing side makes and deletes.  The
// GL texture library (qx_textures) installs these before main in every
// program that links it; a program without it keeps a table whose names
// all stay 0, as a load without a GL context does.
#pragma once

#include <cstdint>
#include <string>

#include "imageio/ImageKind.h"
#include "imageio/PixelBlock.h"

namespace qx {

struct TextureGlSide {
    // The loader `kind` names: decode, report, upload (RunTextureLoader).
    bool (*load)(ImageKind kind, const std::string& path, uint32_t& textureId, bool keyed) = nullptr;
    // A decoded picture made a texture (UploadBlock).
    uint32_t (*upload)(const PixelBlock& block, bool keyedBmp) = nullptr;
    void (*deleteName)(uint32_t name) = nullptr;
};

TextureGlSide& TextureGl();

}  // namespace qx
