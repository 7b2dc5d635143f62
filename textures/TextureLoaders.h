// The loaders: one image file in, one GL texture name out.  Each decodes
// its file (imageio/), shows the decoder's messages through qx::Messages(),
// and uploads the pixel block.  The output is written only on success.
// The GL context must be current.
#pragma once

#include <cstdint>
#include <string>

#include "imageio/ImageKind.h"

bool LoadBmpTexture(const std::string& path, uint32_t& textureId);
bool LoadKeyedBmpTexture(const std::string& path, uint32_t& textureId);
bool LoadTgaTexture(const std::string& path, uint32_t& textureId);
bool LoadPngTexture(const std::string& path, uint32_t& textureId, bool keyed);
bool LoadGifTexture(const std::string& path, uint32_t& textureId, bool keyed);
bool LoadJpgTexture(const std::string& path, uint32_t& textureId, bool keyed);

namespace qx {

// Runs the loader `kind` names; false for ImageKind::None.
bool RunTextureLoader(ImageKind kind, const std::string& path, uint32_t& textureId, bool keyed);

}  // namespace qx
