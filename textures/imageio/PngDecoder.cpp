// PNG through libpng.  Its errors come back here by longjmp and become
// message 12; nothing libpng reports can end the process.  Transparency is
// dropped (alpha channel, grey alpha, tRNS) and the picture expanded to
// 8-bit RGB with a filler byte of 255, written straight into the block.
#include <csetjmp>
#include <cstring>

#include <png.h>

#include "ImageDecoders.h"
#include "LibraryDecoder.h"
#include "LoaderMessages.h"

namespace qx {

namespace {

void ReadFromMemory(png_structp png, png_bytep out, size_t length)
{
    auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (length > reader->size - reader->pos)
        png_error(png, "read past the end of the data");
    std::memcpy(out, reader->data + reader->pos, length);
    reader->pos += length;
}

[[noreturn]] void JumpOnError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void IgnoreWarning(png_structp, png_const_charp) {}

// Kept apart from DecodePng so that nothing with a destructor lives in the
// frame that setjmp returns to twice; the block and row table belong to the
// caller.
LibraryOutcome DecodeInto(Bytes file, PixelBlock& block, std::vector<png_bytep>& rows)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, JumpOnError, IgnoreWarning);
    if (png == nullptr)
        return LibraryOutcome::Failed;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return LibraryOutcome::Failed;
    }
    MemoryReader reader{file.data(), file.size(), 0};
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return LibraryOutcome::Failed;
    }
    png_set_read_fn(png, &reader, ReadFromMemory);
    // Our own cap gives the clearer message, so libpng's is widened.
    png_set_user_limits(png, 0x7fffffff, 0x7fffffff);
    png_read_info(png, info);

    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    if (!PictureSizeAllowed(width, height, 4)) {
        block.width = width;
        block.height = height;
        png_destroy_read_struct(&png, &info, nullptr);
        return LibraryOutcome::TooLarge;
    }
    png_set_scale_16(png);
    png_set_expand(png);
    png_set_strip_alpha(png);
    png_set_gray_to_rgb(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != size_t{width} * 4)
        png_error(png, "unexpected row layout");

    AllocateBlock(block, width, height, 4);
    rows.resize(height);
    for (png_uint_32 r = 0; r < height; ++r)
        rows[r] = block.Row(height - 1 - r);
    png_read_image(png, rows.data());
    // Chunks after the pixels are not needed, and a damaged tail must not
    // cost the picture.
    png_destroy_read_struct(&png, &info, nullptr);
    return LibraryOutcome::Decoded;
}

}  // namespace

DecodeResult DecodePng(Bytes file, const std::string& path, bool keyed)
{
    std::vector<png_bytep> rows;
    return RunLibraryDecoder([&](PixelBlock& block) { return DecodeInto(file, block, rows); }, kPngCaption, 12,
                             path, keyed);
}

}  // namespace qx
