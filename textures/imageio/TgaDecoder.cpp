// TGA: an 18-byte header, the image-ID field, then pixels as B, G, R(, A),
// raw (type 2) or in run-length packets (type 10).
#include <algorithm>
#include <cstring>

#include "ImageDecoders.h"
#include "LittleEndian.h"
#include "LoaderMessages.h"

namespace qx {

namespace {

constexpr size_t kHeaderBytes = 18;

DecodeResult Fail(LoaderMessage message)
{
    DecodeResult result;
    result.messages.push_back(std::move(message));
    return result;
}

// Writes one file pixel (B, G, R(, A)) as R, G, B(, A).
inline void PutPixel(uint8_t* dst, const uint8_t* src, uint32_t bytes)
{
    dst[0] = src[2];
    dst[1] = src[1];
    dst[2] = src[0];
    if (bytes == 4)
        dst[3] = src[3];
}

// Run-length packets into `out` (pixels in file order).  False when the
// data ends before the picture is complete; a packet running past the
// picture is clipped.
bool DecodeRunLength(Bytes data, uint32_t bytes, uint8_t* out, uint64_t pixelCount)
{
    size_t pos = 0;
    uint64_t done = 0;
    while (done < pixelCount) {
        if (pos >= data.size())
            return false;
        const uint8_t head = data[pos++];
        const uint64_t count = std::min<uint64_t>((head & 0x7F) + 1u, pixelCount - done);
        if (head & 0x80) {
            if (data.size() - pos < bytes)
                return false;
            for (uint64_t i = 0; i < count; ++i)
                PutPixel(out + (done + i) * bytes, data.data() + pos, bytes);
            pos += bytes;
        } else {
            const uint64_t packetBytes = ((head & 0x7F) + 1u) * uint64_t{bytes};
            if (data.size() - pos < count * bytes)
                return false;
            for (uint64_t i = 0; i < count; ++i)
                PutPixel(out + (done + i) * bytes, data.data() + pos + i * bytes, bytes);
            pos += static_cast<size_t>(std::min<uint64_t>(packetBytes, data.size() - pos));
        }
        done += count;
    }
    return true;
}

// File order to block order: rows bottom first, pixels left to right.
void Reorient(PixelBlock& block, bool topFirst, bool rightFirst)
{
    const size_t rowBytes = block.RowBytes();
    if (topFirst) {
        for (uint32_t r = 0; r < block.height / 2; ++r)
            std::swap_ranges(block.Row(r), block.Row(r) + rowBytes, block.Row(block.height - 1 - r));
    }
    if (rightFirst) {
        const uint32_t n = block.channels;
        for (uint32_t r = 0; r < block.height; ++r) {
            uint8_t* row = block.Row(r);
            for (uint32_t a = 0, b = block.width - 1; a < b; ++a, --b)
                std::swap_ranges(row + a * n, row + a * n + n, row + b * n);
        }
    }
}

}  // namespace

DecodeResult DecodeTga(Bytes file, const std::string& path)
{
    if (file.size() < kHeaderBytes)
        return Fail(LoaderMessageNo(11, path));
    const uint8_t idLength = file[0];
    const uint8_t colourMapType = file[1];
    const uint8_t imageType = file[2];
    const uint32_t width = ReadLe16(file.data() + 12);
    const uint32_t height = ReadLe16(file.data() + 14);
    const uint8_t depth = file[16];
    const uint8_t descriptor = file[17];

    if (imageType != 2 && imageType != 10)
        return Fail(LoaderMessageNo(8, path));
    if (colourMapType != 0)
        return Fail(LoaderMessageNo(9, path));
    if (depth != 24 && depth != 32)
        return Fail(LoaderMessageNo(10, path));
    const uint32_t bytes = depth / 8;
    if (!PictureSizeAllowed(width, height, bytes))
        return Fail(PictureSizeMessage(kTgaErrorCaption, path, width, height));

    const size_t dataStart = kHeaderBytes + idLength;
    if (dataStart > file.size())
        return Fail(LoaderMessageNo(11, path));
    const Bytes data = file.subspan(dataStart);
    const uint64_t pixelCount = uint64_t{width} * height;

    // Probe before allocating: a packet holds at most 128 pixels, so a file
    // too short for even that many packets cannot fill the picture.
    const uint64_t leastBytes = imageType == 2 ? pixelCount * bytes : (pixelCount + 127) / 128 * (1 + bytes);
    if (data.size() < leastBytes)
        return Fail(LoaderMessageNo(11, path));

    PixelBlock block;
    AllocateBlock(block, width, height, bytes);
    if (imageType == 2) {
        const uint8_t* src = data.data();
        uint8_t* dst = block.pixels.data();
        for (uint64_t i = 0; i < pixelCount; ++i, src += bytes, dst += bytes)
            PutPixel(dst, src, bytes);
    } else if (!DecodeRunLength(data, bytes, block.pixels.data(), pixelCount)) {
        return Fail(LoaderMessageNo(11, path));
    }
    Reorient(block, (descriptor & 0x20) != 0, (descriptor & 0x10) != 0);

    DecodeResult result;
    result.block = std::move(block);
    return result;
}

}  // namespace qx
