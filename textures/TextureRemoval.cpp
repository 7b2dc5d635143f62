#include "TextureRemoval.h"

#include "Textures.h"

namespace qx {

std::function<bool(int32_t)>& TextureRemovalHook()
{
    static std::function<bool(int32_t)> hook;
    return hook;
}

bool RemoveRegisteredTexture(int32_t index)
{
    if (const auto& hook = TextureRemovalHook())
        return hook(index);
    const int32_t before = Textures().TextureCount;
    RemoveTexture(index);
    return Textures().TextureCount != before;
}

}  // namespace qx
