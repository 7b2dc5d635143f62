// The Blender-export reader over arbitrary text: a face holds as many
// normals and texture coordinates as corners, or the read fails with the
// conversion error.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "BlenderModel.h"
#include "Errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    try {
        TGameObj obj = qx::ParseGameObj(std::string_view(reinterpret_cast<const char*>(data), size));
        for (const TPoligon& p : obj.Poligons.Poligons)
            if (p.Normals.size() != p.Vertices.size() || p.TexCoords.size() != p.Vertices.size())
                std::abort();
        qx::LoadGameObjTextures(obj, [](const std::string&, uint32_t& id) {
            id = 1;
            return true;
        });
    } catch (const qx::ConvertError&) {
    }
    return 0;
}
