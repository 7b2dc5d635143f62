// BMP: the 14-byte file header, a 40-byte (or longer) information header,
// pixel rows of 3 bytes a pixel padded to 4 bytes.
#include <algorithm>
#include <cstring>

#include "ImageDecoders.h"
#include "LittleEndian.h"
#include "LoaderMessages.h"

namespace qx {

namespace {

constexpr size_t kFileHeaderBytes = 14;
constexpr uint32_t kInfoHeaderBytes = 40;

std::string CompressionName(uint32_t compression)
{
    switch (compression) {
    case 1: return "RLE8 compression";
    case 2: return "RLE4 compression";
    case 3: return "bit-field masks";
    case 4: return "JPEG compression";
    case 5: return "PNG compression";
    case 6: return "alpha bit-field masks";
    default: return "compression type " + std::to_string(compression);
    }
}

// Everything the pixel pass needs, or the message that ends the load.
struct BmpLayout {
    uint32_t width = 0;
    uint32_t height = 0;
    bool topDown = false;
    uint64_t pixelStart = 0;
};

DecodeResult Fail(LoaderMessage message, bool keyed, const std::string& path)
{
    DecodeResult result;
    result.messages.push_back(std::move(message));
    if (keyed)
        result.messages.push_back(LoaderMessageNo(6, path));
    return result;
}

}  // namespace

DecodeResult DecodeBmp(Bytes file, const std::string& path, bool keyed)
{
    if (file.size() < kFileHeaderBytes + 4)
        return Fail(BmpHeaderShortMessage(), keyed, path);
    if (file[0] != 'B' || file[1] != 'M') {
        const std::string type{static_cast<char>(file[0]), static_cast<char>(file[1])};
        return Fail(UnsupportedBmpMessage(path, "file type '" + type + "'"), keyed, path);
    }
    const uint32_t offBits = ReadLe32(file.data() + 10);
    const uint32_t headerBytes = ReadLe32(file.data() + 14);
    if (headerBytes < kInfoHeaderBytes)
        return Fail(UnsupportedBmpMessage(path, "OS/2 header of " + std::to_string(headerBytes) + " bytes"),
                    keyed, path);
    if (file.size() < kFileHeaderBytes + kInfoHeaderBytes || file.size() - kFileHeaderBytes < headerBytes)
        return Fail(BmpHeaderShortMessage(), keyed, path);

    const uint8_t* info = file.data() + kFileHeaderBytes;
    const int64_t width = static_cast<int32_t>(ReadLe32(info + 4));
    const int64_t height = static_cast<int32_t>(ReadLe32(info + 8));
    const uint16_t bitsPerPixel = ReadLe16(info + 14);
    const uint32_t compression = ReadLe32(info + 16);
    const uint32_t coloursUsed = ReadLe32(info + 32);

    if (compression != 0)
        return Fail(UnsupportedBmpMessage(path, CompressionName(compression)), keyed, path);
    if (bitsPerPixel != 24)
        return Fail(UnsupportedBmpMessage(path, std::to_string(bitsPerPixel) + (bitsPerPixel == 1 ? " bit per pixel" : " bits per pixel")), keyed, path);
    const char* caption = kBmpCaption;
    const int64_t rows = height < 0 ? -height : height;
    if (!PictureSizeAllowed(width > 0 ? uint64_t(width) : 0, uint64_t(rows), keyed ? 4 : 3))
        return Fail(PictureSizeMessage(caption, path, width, height), keyed, path);

    BmpLayout layout;
    layout.width = static_cast<uint32_t>(width);
    layout.height = static_cast<uint32_t>(rows);
    layout.topDown = height < 0;
    // A colour table, pointless at 24 bits, may still sit before the pixels.
    const uint64_t tableEnd = kFileHeaderBytes + uint64_t{headerBytes} + uint64_t{coloursUsed} * 4;
    if (tableEnd > file.size())
        return Fail(LoaderMessageNo(3, path), keyed, path);
    // The offset says where the pixels are; one pointing into the headers or
    // past the file is ignored and the pixels taken to follow the table.
    const bool offsetUsable = offBits >= kFileHeaderBytes + uint64_t{headerBytes} && offBits <= file.size();
    layout.pixelStart = offsetUsable ? offBits : tableEnd;

    const uint64_t rowBytes = uint64_t{layout.width} * 3;
    const uint64_t stride = (rowBytes + 3) & ~uint64_t{3};
    const uint64_t available = file.size() - layout.pixelStart;
    // Whole rows present (the last row's padding may be missing).
    const uint64_t completeRows = available < rowBytes ? 0 : std::min<uint64_t>(layout.height, (available - rowBytes) / stride + 1);

    DecodeResult result;
    if (completeRows < layout.height) {
        if (!keyed) {
            result.messages.push_back(LoaderMessageNo(4, path));
            return result;
        }
        result.messages.push_back(LoaderMessageNo(5, path));
    }

    PixelBlock block;
    AllocateBlock(block, layout.width, layout.height, keyed ? 4 : 3);
    const uint8_t* src = file.data() + layout.pixelStart;
    for (uint32_t r = 0; r < completeRows; ++r, src += stride) {
        uint8_t* dst = block.Row(layout.topDown ? layout.height - 1 - r : r);
        if (keyed) {
            for (uint32_t x = 0; x < layout.width; ++x, dst += 4) {
                dst[0] = src[3 * x + 2];
                dst[1] = src[3 * x + 1];
                dst[2] = src[3 * x];
            }
        } else {
            for (uint32_t x = 0; x < layout.width; ++x, dst += 3) {
                dst[0] = src[3 * x + 2];
                dst[1] = src[3 * x + 1];
                dst[2] = src[3 * x];
            }
        }
    }
    if (keyed)
        ApplyColourKey(block);
    result.block = std::move(block);
    return result;
}

}  // namespace qx
