// The 3DS reader over arbitrary bytes: whatever it keeps must be drawable
// (every face index below its object's vertex count, a normal per vertex).
#include <cstdint>
#include <cstdlib>

#include "Messages.h"
#include "Model3ds.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static qx::RecordingMessageSink quiet;
    qx::ScopedMessageSink scope(quiet);
    quiet.entries.clear();
    const qx::TextureLoader loader = [](const std::string& path, uint32_t& id) {
        id = static_cast<uint32_t>(path.size());
        return path.size() % 2 == 0;
    };
    T3DModel model;
    qx::Read3ds({data, size}, model, loader);
    for (const T3DObject& o : model.Objects) {
        if (o.Normals.size() != o.Vertices.size())
            std::abort();
        for (const TFace& f : o.Faces)
            if (f.A >= o.Vertices.size() || f.B >= o.Vertices.size() || f.C >= o.Vertices.size())
                std::abort();
        if (o.Textured() && o.TexCoords.size() < o.Vertices.size())
            std::abort();
    }
    return 0;
}
