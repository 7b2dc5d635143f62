// Which loader a path gets: decided by the upper-cased ending of the path
// alone, never by the file's contents.
#pragma once

#include <string_view>

namespace qx {

enum class ImageKind { None, Bmp, Tga, Png, Gif, Jpeg };

// ".BMP", ".JPG", ".TGA", ".PNG", ".GIF" (ASCII letters compared without
// case); ".JPEG" only when acceptJpegEnding is set, as the registry's
// AddTexture does and LoadTextureFile does not.
ImageKind ImageKindForPath(std::string_view path, bool acceptJpegEnding);

}  // namespace qx
