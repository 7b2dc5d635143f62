// JPEG through libjpeg(-turbo).  Its fatal errors come back here by longjmp
// and become message 14; its warnings (a truncated file, say) are silent
// and the picture loads as far as it goes.  Colour and grey pictures are
// decoded straight into the block as RGBA; CMYK ones are converted here.
#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

#include "ImageDecoders.h"
#include "LibraryDecoder.h"
#include "LoaderMessages.h"

namespace qx {

namespace {

// Scans of a progressive file beyond this many are a denial of service,
// not a picture.
constexpr int kMaxScans = 500;
// Working memory libjpeg may take for coefficient buffers.
constexpr long kMaxDecoderMemory = 512L << 20;

struct ErrorManager {
    jpeg_error_mgr pub;
    jmp_buf jump;
};

[[noreturn]] void JumpOnError(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

void DiscardMessage(j_common_ptr) {}

void LimitScans(j_common_ptr cinfo)
{
    if (cinfo->is_decompressor && reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans)
        JumpOnError(cinfo);
}

// Inverted CMYK as Adobe writes it (the kind found in practice).
void CmykRowToRgba(const JSAMPLE* in, uint8_t* out, uint32_t width)
{
    for (uint32_t x = 0; x < width; ++x, in += 4, out += 4) {
        const unsigned k = in[3];
        out[0] = static_cast<uint8_t>(in[0] * k / 255);
        out[1] = static_cast<uint8_t>(in[1] * k / 255);
        out[2] = static_cast<uint8_t>(in[2] * k / 255);
        out[3] = 255;
    }
}

// Kept apart so that nothing with a destructor lives in the frame that
// setjmp returns to twice; the block belongs to the caller.
LibraryOutcome DecodeInto(Bytes file, PixelBlock& block)
{
    jpeg_decompress_struct cinfo;
    ErrorManager errors;
    jpeg_progress_mgr progress{};
    cinfo.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = JumpOnError;
    errors.pub.output_message = DiscardMessage;
    progress.progress_monitor = LimitScans;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return LibraryOutcome::Failed;
    }
    jpeg_create_decompress(&cinfo);
    cinfo.progress = &progress;
    cinfo.mem->max_memory_to_use = kMaxDecoderMemory;
    jpeg_mem_src(&cinfo, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&cinfo, TRUE);
    if (!PictureSizeAllowed(cinfo.image_width, cinfo.image_height, 4)) {
        block.width = cinfo.image_width;
        block.height = cinfo.image_height;
        jpeg_destroy_decompress(&cinfo);
        return LibraryOutcome::TooLarge;
    }
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_RGBA;
    jpeg_start_decompress(&cinfo);
    if (cinfo.output_width != cinfo.image_width || cinfo.output_height != cinfo.image_height ||
        cinfo.output_components != 4)
        JumpOnError(reinterpret_cast<j_common_ptr>(&cinfo));

    const uint32_t width = cinfo.output_width;
    const uint32_t height = cinfo.output_height;
    AllocateBlock(block, width, height, 4);
    JSAMPARRAY cmykRow =
        cmyk ? (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE, width * 4, 1)
             : nullptr;
    while (cinfo.output_scanline < height) {
        uint8_t* dst = block.Row(height - 1 - cinfo.output_scanline);
        if (cmyk) {
            if (jpeg_read_scanlines(&cinfo, cmykRow, 1) != 1)
                break;
            CmykRowToRgba(cmykRow[0], dst, width);
        } else {
            JSAMPROW row = dst;
            if (jpeg_read_scanlines(&cinfo, &row, 1) != 1)
                break;
        }
    }
    // No jpeg_finish_decompress: what follows the last row does not matter.
    jpeg_destroy_decompress(&cinfo);
    return LibraryOutcome::Decoded;
}

}  // namespace

DecodeResult DecodeJpeg(Bytes file, const std::string& path, bool keyed)
{
    return RunLibraryDecoder([&](PixelBlock& block) { return DecodeInto(file, block); }, kJpegCaption, 14, path, keyed);
}

}  // namespace qx
