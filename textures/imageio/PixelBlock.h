// The pixel block every loader hands to the GL upload: width x height
// pixels, bottom row of the picture first, 3 (R, G, B) or 4 (R, G, B, A)
// bytes a pixel, rows not padded.  Plus the size cap every decoder checks
// before it allocates, and the colour key.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qx {

// Largest picture any decoder accepts: each side and the whole block.
inline constexpr uint32_t kMaxPictureSide = 16384;
inline constexpr uint64_t kMaxPictureBytes = uint64_t{256} << 20;  // 256 MiB

struct PixelBlock {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t channels = 0;  // 3 or 4
    std::vector<uint8_t> pixels;

    size_t RowBytes() const { return size_t{width} * channels; }
    uint8_t* Row(uint32_t r) { return pixels.data() + RowBytes() * r; }
    const uint8_t* Row(uint32_t r) const { return pixels.data() + RowBytes() * r; }
};

// True when both sides are 1..kMaxPictureSide and the block stays within
// kMaxPictureBytes.  Arithmetic in 64 bits, so header values cannot wrap.
bool PictureSizeAllowed(uint64_t width, uint64_t height, uint32_t channels);

// Sizes the block (zero-filled); the size must have passed PictureSizeAllowed.
void AllocateBlock(PixelBlock& block, uint32_t width, uint32_t height, uint32_t channels);

// Colour key on an RGBA block: pixels whose R, G, B equal those of the first
// pixel (the bottom-left one) get alpha 0, all others alpha 255.
void ApplyColourKey(PixelBlock& rgba);

// A message a decoder wants shown: caption and text in code page 1251.
struct LoaderMessage {
    std::string caption;
    std::string text;
};

// What decoding gave: a block (possibly with messages, as for a keyed BMP
// whose data is short) or no block and the messages that say why.
struct DecodeResult {
    std::optional<PixelBlock> block;
    std::vector<LoaderMessage> messages;

    bool ok() const { return block.has_value(); }
};

}  // namespace qx
