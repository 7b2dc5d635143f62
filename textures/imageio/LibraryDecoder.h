// What the PNG, GIF and JPEG decoders share around their library: the
// outcome of one decode, turned into a result with the loader's message.
#pragma once

#include <new>
#include <string>

#include "LoaderMessages.h"
#include "PixelBlock.h"

namespace qx {

// The file's bytes as a library's read callback sees them.
struct MemoryReader {
    const uint8_t* data;
    size_t size;
    size_t pos;
};

enum class LibraryOutcome { Decoded, Failed, TooLarge };

// Runs decode(block) -> LibraryOutcome.  On TooLarge the block carries only
// the width and height the file claimed.  A library failure (or running out
// of memory) gives message `failureMessage`; a decoded block gets the colour
// key when `keyed`.
template <typename Decode>
DecodeResult RunLibraryDecoder(Decode&& decode, const char* caption, int failureMessage, const std::string& path,
                               bool keyed)
{
    DecodeResult result;
    PixelBlock block;
    LibraryOutcome outcome = LibraryOutcome::Failed;
    try {
        outcome = decode(block);
    } catch (const std::bad_alloc&) {
        outcome = LibraryOutcome::Failed;
    }
    if (outcome == LibraryOutcome::TooLarge) {
        result.messages.push_back(PictureSizeMessage(caption, path, block.width, block.height));
    } else if (outcome == LibraryOutcome::Failed) {
        result.messages.push_back(LoaderMessageNo(failureMessage, path));
    } else {
        if (keyed)
            ApplyColourKey(block);
        result.block = std::move(block);
    }
    return result;
}

}  // namespace qx
