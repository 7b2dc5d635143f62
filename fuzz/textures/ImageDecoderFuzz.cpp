// One image decoder (chosen at build time by QX_FUZZ_KIND) over arbitrary
// bytes, with and without the colour key.  Any block it returns must have
// exactly the size its header implies.
#include <cstdint>
#include <cstdlib>

#include "imageio/ImageDecoders.h"

namespace {

qx::DecodeResult Decode(qx::Bytes bytes, bool keyed)
{
    switch (qx::ImageKind::QX_FUZZ_KIND) {
    case qx::ImageKind::Bmp: return qx::DecodeBmp(bytes, "f.bmp", keyed);
    case qx::ImageKind::Tga: return qx::DecodeTga(bytes, "f.tga");
    case qx::ImageKind::Png: return qx::DecodePng(bytes, "f.png", keyed);
    case qx::ImageKind::Gif: return qx::DecodeGif(bytes, "f.gif", keyed);
    case qx::ImageKind::Jpeg: return qx::DecodeJpeg(bytes, "f.jpg", keyed);
    case qx::ImageKind::None: break;
    }
    return {};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const qx::Bytes bytes(data, size);
    for (bool keyed : {false, true}) {
        const qx::DecodeResult result = Decode(bytes, keyed);
        if (result.ok()) {
            const qx::PixelBlock& b = *result.block;
            if (b.pixels.size() != size_t{b.width} * b.height * b.channels || b.width == 0 || b.height == 0)
                std::abort();
        } else if (result.messages.empty()) {
            std::abort();  // a refusal must say why
        }
    }
    return 0;
}
