// The texture list reader over arbitrary bytes: entries or a conversion
// error, nothing else.
#include <cstdint>
#include <string_view>

#include "Errors.h"
#include "TextureListFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    size_t entries = 0;
    try {
        qx::ParseTextureList(std::string_view(reinterpret_cast<const char*>(data), size),
                             [&](const qx::TextureListEntry&) { ++entries; });
    } catch (const qx::ConvertError&) {
    }
    return 0;
}
