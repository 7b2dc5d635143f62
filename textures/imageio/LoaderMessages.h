// The loaders' message texts, all in one place.  The numbered ones are the
// loaders' historic messages, word for word; the others are this editor's
// own, for files the historic loaders never checked (unsupported kinds,
// impossible sizes).  Paths appear exactly as the loader was given them.
#pragma once

#include <cstdint>
#include <string>

#include "ImageKind.h"
#include "PixelBlock.h"

namespace qx {

// Messages 1 to 14 (see the table in LoaderMessages.cpp); numbers 3, 4 and
// 5 ignore the path.
LoaderMessage LoaderMessageNo(int number, const std::string& path);

// Caption of the loader family a message is shown under.
inline constexpr const char* kBmpCaption = "BMP Unit";
inline constexpr const char* kTgaErrorCaption = "TGA File Error";
inline constexpr const char* kPngCaption = "PNG Unit";
inline constexpr const char* kGifCaption = "GIF Unit";
inline constexpr const char* kJpegCaption = "BMP Unit";  // sic: the JPEG loader's caption

// The caption a loader's own messages carry.
const char* LoaderCaption(ImageKind kind);

// A BMP that is not the uncompressed 24-bit kind; `kind` says what it is
// ("8 bits per pixel", "RLE8 compression", ...).
LoaderMessage UnsupportedBmpMessage(const std::string& path, const std::string& kind);
// A BMP whose headers end before their stated size.
LoaderMessage BmpHeaderShortMessage();
// Width or height zero, negative or beyond the cap.
LoaderMessage PictureSizeMessage(const char* caption, const std::string& path, int64_t width, int64_t height);
// A file too large to be read in one piece.
LoaderMessage FileTooLargeMessage(const char* caption, const std::string& path);
// Memory for the picture (or its rescaled copy) could not be had.
LoaderMessage OutOfMemoryMessage(const char* caption, const std::string& path);

}  // namespace qx
