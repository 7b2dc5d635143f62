// Linked whole into every program that links qx_textures, so that the
// texture table uploads and deletes through GL wherever GL is linked.
#include "TextureGlSide.h"
#include "TextureLoaders.h"
#include "TextureUpload.h"
#include "Textures.h"

namespace {

const bool g_installed = [] {
    qx::TextureGlSide& side = qx::TextureGl();
    side.load = qx::RunTextureLoader;
    side.upload = qx::UploadBlock;
    side.deleteName = DeleteTextureName;
    return true;
}();

}  // namespace
