#include "TextureLoaders.h"

#include <new>

#include "Messages.h"
#include "Text1251.h"
#include "imageio/LoaderMessages.h"
#include "TextureUpload.h"
#include "imageio/ImageDecoders.h"

namespace {

bool LoadThrough(qx::ImageKind kind, const std::string& path, uint32_t& textureId, bool keyed)
{
    const qx::DecodeResult result = qx::DecodeImageFile(kind, path, keyed);
    for (const qx::LoaderMessage& message : result.messages)
        qx::Messages().ShowMessage(message.caption, message.text);
    if (!result.ok())
        return false;
    try {
        textureId = qx::UploadBlock(*result.block, kind == qx::ImageKind::Bmp && keyed);
    } catch (const std::bad_alloc&) {
        const qx::LoaderMessage message = qx::OutOfMemoryMessage(qx::LoaderCaption(kind), Utf8ToCp1251(path));
        qx::Messages().ShowMessage(message.caption, message.text);
        return false;
    }
    return true;
}

}  // namespace

bool LoadBmpTexture(const std::string& path, uint32_t& textureId)
{
    return LoadThrough(qx::ImageKind::Bmp, path, textureId, false);
}

bool LoadKeyedBmpTexture(const std::string& path, uint32_t& textureId)
{
    return LoadThrough(qx::ImageKind::Bmp, path, textureId, true);
}

bool LoadTgaTexture(const std::string& path, uint32_t& textureId)
{
    return LoadThrough(qx::ImageKind::Tga, path, textureId, false);
}

bool LoadPngTexture(const std::string& path, uint32_t& textureId, bool keyed)
{
    return LoadThrough(qx::ImageKind::Png, path, textureId, keyed);
}

bool LoadGifTexture(const std::string& path, uint32_t& textureId, bool keyed)
{
    return LoadThrough(qx::ImageKind::Gif, path, textureId, keyed);
}

bool LoadJpgTexture(const std::string& path, uint32_t& textureId, bool keyed)
{
    return LoadThrough(qx::ImageKind::Jpeg, path, textureId, keyed);
}

namespace qx {

bool RunTextureLoader(ImageKind kind, const std::string& path, uint32_t& textureId, bool keyed)
{
    if (kind == ImageKind::None)
        return false;
    // TGA ignores the flag; the others pass it on.
    return LoadThrough(kind, path, textureId, kind == ImageKind::Tga ? false : keyed);
}

}  // namespace qx
