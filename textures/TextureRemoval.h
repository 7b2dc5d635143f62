// How the texture window removes a registered texture.  The editor installs
// a hook that also renumbers the texture indices its boxes store and guards
// the helper textures; without it, RemoveTexture alone runs.
#pragma once

#include <cstdint>
#include <functional>

namespace qx {

// The hook returns whether the texture was removed.
std::function<bool(int32_t index)>& TextureRemovalHook();

// Removes entry `index` through the hook (or RemoveTexture); true when the
// registry no longer holds it.
bool RemoveRegisteredTexture(int32_t index);

}  // namespace qx
