// GIF through giflib, record by record, so that nothing past the first
// frame is read and every size is checked before anything is allocated.
// The first frame is drawn onto a black opaque surface of the logical
// screen's size at its own offset; transparent pixels leave the surface.
#include <algorithm>
#include <cstring>
#include <memory>

#include <gif_lib.h>

#include "ImageDecoders.h"
#include "LibraryDecoder.h"
#include "LoaderMessages.h"

namespace qx {

namespace {

int ReadFromMemory(GifFileType* gif, GifByteType* out, int length)
{
    auto* reader = static_cast<MemoryReader*>(gif->UserData);
    const size_t count = std::min(static_cast<size_t>(std::max(length, 0)), reader->size - reader->pos);
    std::memcpy(out, reader->data + reader->pos, count);
    reader->pos += count;
    return static_cast<int>(count);
}

struct GifCloser {
    void operator()(GifFileType* gif) const
    {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};
using GifHandle = std::unique_ptr<GifFileType, GifCloser>;

// Skips an extension's sub-blocks; a graphic control block sets the
// transparent index (the last one before the frame wins).
bool ReadExtension(GifFileType* gif, int& transparent)
{
    int code = 0;
    GifByteType* ext = nullptr;
    if (DGifGetExtension(gif, &code, &ext) == GIF_ERROR)
        return false;
    if (code == GRAPHICS_EXT_FUNC_CODE && ext != nullptr && ext[0] >= 4) {
        GraphicsControlBlock gcb;
        if (DGifExtensionToGCB(ext[0], ext + 1, &gcb) == GIF_OK)
            transparent = gcb.TransparentColor;
    }
    while (ext != nullptr) {
        if (DGifGetExtensionNext(gif, &ext) == GIF_ERROR)
            return false;
    }
    return true;
}

LibraryOutcome DrawFirstFrame(GifFileType* gif, int transparent, PixelBlock& block)
{
    if (DGifGetImageDesc(gif) == GIF_ERROR)
        return LibraryOutcome::Failed;
    const GifImageDesc& frame = gif->Image;
    if (frame.Width <= 0 || frame.Height <= 0 || frame.Left < 0 || frame.Top < 0)
        return LibraryOutcome::Failed;
    // A screen of size 0 is taken to be as large as the frame's extent.
    const int64_t screenWidth = gif->SWidth > 0 ? gif->SWidth : int64_t{frame.Left} + frame.Width;
    const int64_t screenHeight = gif->SHeight > 0 ? gif->SHeight : int64_t{frame.Top} + frame.Height;
    if (!PictureSizeAllowed(uint64_t(screenWidth), uint64_t(screenHeight), 4)) {
        block.width = static_cast<uint32_t>(screenWidth);
        block.height = static_cast<uint32_t>(screenHeight);
        return LibraryOutcome::TooLarge;
    }
    const ColorMapObject* map = frame.ColorMap != nullptr ? frame.ColorMap : gif->SColorMap;
    AllocateBlock(block, static_cast<uint32_t>(screenWidth), static_cast<uint32_t>(screenHeight), 4);

    // Palette as RGBA words, with entries past the map black and the
    // transparent entry marked to be skipped.
    uint8_t palette[256][4] = {};
    for (int i = 0; i < 256; ++i) {
        palette[i][3] = 255;
        if (map != nullptr && i < map->ColorCount) {
            palette[i][0] = map->Colors[i].Red;
            palette[i][1] = map->Colors[i].Green;
            palette[i][2] = map->Colors[i].Blue;
        }
    }
    if (transparent >= 0 && transparent < 256)
        palette[transparent][3] = 0;
    for (uint8_t* p = block.pixels.data(); p != block.pixels.data() + block.pixels.size(); p += 4)
        p[3] = 255;

    std::vector<GifPixelType> line(static_cast<size_t>(frame.Width));
    const int visibleWidth = static_cast<int>(std::max<int64_t>(0, std::min<int64_t>(frame.Width, screenWidth - frame.Left)));
    static constexpr int kPassStart[4] = {0, 4, 2, 1};
    static constexpr int kPassStep[4] = {8, 8, 4, 2};
    const int passes = frame.Interlace ? 4 : 1;
    for (int pass = 0; pass < passes; ++pass) {
        const int start = frame.Interlace ? kPassStart[pass] : 0;
        const int step = frame.Interlace ? kPassStep[pass] : 1;
        for (int y = start; y < frame.Height; y += step) {
            if (DGifGetLine(gif, line.data(), frame.Width) == GIF_ERROR)
                return LibraryOutcome::Failed;
            const int64_t screenY = int64_t{frame.Top} + y;
            if (screenY >= screenHeight || visibleWidth == 0)
                continue;
            uint8_t* dst = block.Row(static_cast<uint32_t>(screenHeight - 1 - screenY)) + size_t(frame.Left) * 4;
            for (int x = 0; x < visibleWidth; ++x, dst += 4) {
                const uint8_t* colour = palette[line[static_cast<size_t>(x)]];
                if (colour[3] != 0)
                    std::memcpy(dst, colour, 4);
            }
        }
    }
    return LibraryOutcome::Decoded;
}

LibraryOutcome DecodeInto(Bytes file, PixelBlock& block)
{
    MemoryReader reader{file.data(), file.size(), 0};
    int error = 0;
    GifHandle gif(DGifOpen(&reader, ReadFromMemory, &error));
    if (!gif)
        return LibraryOutcome::Failed;
    int transparent = NO_TRANSPARENT_COLOR;
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif.get(), &type) == GIF_ERROR)
            return LibraryOutcome::Failed;
        if (type == IMAGE_DESC_RECORD_TYPE)
            return DrawFirstFrame(gif.get(), transparent, block);
        if (type == EXTENSION_RECORD_TYPE) {
            if (!ReadExtension(gif.get(), transparent))
                return LibraryOutcome::Failed;
            continue;
        }
        return LibraryOutcome::Failed;  // the trailer before any frame
    }
}

}  // namespace

DecodeResult DecodeGif(Bytes file, const std::string& path, bool keyed)
{
    return RunLibraryDecoder([&](PixelBlock& block) { return DecodeInto(file, block); }, kGifCaption, 13, path, keyed);
}

}  // namespace qx
