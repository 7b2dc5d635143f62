// Decoders from file bytes to pixel blocks, free of GL and widgets.  Each
// reads only inside the bytes it is given, whatever the headers claim, and
// reports every failure as messages (never an exception for bad input, never
// an exit).  `path` only goes into the messages.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "ImageKind.h"
#include "PixelBlock.h"

namespace qx {

using Bytes = std::span<const uint8_t>;

// Uncompressed 24-bit BMP (either row order, pixel-data offset honoured,
// rows padded to 4 bytes).  Plain: an RGB block of every row.  Keyed: an
// RGBA block with the colour key; short pixel data still gives a block (the
// missing rows black) after message 5, failures before the pixels add
// message 6.
DecodeResult DecodeBmp(Bytes file, const std::string& path, bool keyed);
// TGA types 2 and 10 at 24 (RGB) or 32 bits (RGBA, own alpha), any origin.
DecodeResult DecodeTga(Bytes file, const std::string& path);
// PNG, GIF (first frame) and JPEG: opaque RGBA, colour key when `keyed`.
DecodeResult DecodePng(Bytes file, const std::string& path, bool keyed);
DecodeResult DecodeGif(Bytes file, const std::string& path, bool keyed);
DecodeResult DecodeJpeg(Bytes file, const std::string& path, bool keyed);

// Reads the file (a file-system path: UTF-8, "\" also separates) and runs
// the decoder of `kind`; a file that cannot be read gets that loader's
// opening message.  ImageKind::None gives no block and no message.
DecodeResult DecodeImageFile(ImageKind kind, const std::string& path, bool keyed);

}  // namespace qx
