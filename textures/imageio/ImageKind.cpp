#include "ImageKind.h"

#include <cstddef>

namespace qx {

namespace {

bool EndsWithUpper(std::string_view path, std::string_view upperEnding)
{
    if (path.size() < upperEnding.size())
        return false;
    const std::string_view tail = path.substr(path.size() - upperEnding.size());
    for (size_t i = 0; i < tail.size(); ++i) {
        char c = tail[i];
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        if (c != upperEnding[i])
            return false;
    }
    return true;
}

}  // namespace

ImageKind ImageKindForPath(std::string_view path, bool acceptJpegEnding)
{
    if (EndsWithUpper(path, ".BMP"))
        return ImageKind::Bmp;
    if (EndsWithUpper(path, ".JPG"))
        return ImageKind::Jpeg;
    if (acceptJpegEnding && EndsWithUpper(path, ".JPEG"))
        return ImageKind::Jpeg;
    if (EndsWithUpper(path, ".TGA"))
        return ImageKind::Tga;
    if (EndsWithUpper(path, ".PNG"))
        return ImageKind::Png;
    if (EndsWithUpper(path, ".GIF"))
        return ImageKind::Gif;
    return ImageKind::None;
}

}  // namespace qx
