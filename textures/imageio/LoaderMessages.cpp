#include "LoaderMessages.h"

#include "Text1251.h"

namespace qx {

LoaderMessage LoaderMessageNo(int number, const std::string& path)
{
    const std::string q = "\"";
    switch (number) {
    case 1: return {kBmpCaption, "Error opening " + path};
    case 2: return {kBmpCaption, "Error opening " + q + path};
    case 3: return {kBmpCaption, "Error reading palette"};
    case 4: return {kBmpCaption, "Error reading bitmap data"};
    case 5: return {Cp("Чтение БМП"), Cp("Не могу прочитать БМП файл")};
    case 6: return {"BMP Alpha unit", "Error load file: " + path};
    case 7: return {"TGA Unit", "Couldn't load - " + q + path + q};
    case 8: return {kTgaErrorCaption, "Couldn't load " + q + path + q + ". Only 24 and 32bit TGA supported."};
    case 9: return {kTgaErrorCaption, "Couldn't load " + q + path + q + ". Colormapped TGA files not supported."};
    case 10: return {kTgaErrorCaption, "Couldn't load " + q + path + q + ". Only 24 and 32 bit TGA files supported."};
    case 11: return {kTgaErrorCaption, "Couldn't read file " + q + path + q + "."};
    case 12: return {kPngCaption, "Couldn't load PNG - " + q + path + q};
    case 13: return {kGifCaption, "Couldn't load GIF - " + q + path + q};
    case 14: return {kJpegCaption, "Couldn't load JPG - " + q + path + q};
    default: return {"", ""};
    }
}

const char* LoaderCaption(ImageKind kind)
{
    switch (kind) {
    case ImageKind::Tga: return kTgaErrorCaption;
    case ImageKind::Png: return kPngCaption;
    case ImageKind::Gif: return kGifCaption;
    case ImageKind::Jpeg: return kJpegCaption;
    default: return kBmpCaption;
    }
}

LoaderMessage UnsupportedBmpMessage(const std::string& path, const std::string& kind)
{
    return {kBmpCaption, "Couldn't load \"" + path + "\". Unsupported BMP file (" + kind +
                             "): only uncompressed 24-bit BMP files are supported."};
}

LoaderMessage BmpHeaderShortMessage()
{
    return {kBmpCaption, "Error reading bitmap header"};
}

LoaderMessage PictureSizeMessage(const char* caption, const std::string& path, int64_t width, int64_t height)
{
    return {caption, "Couldn't load \"" + path + "\". Unsupported picture size " + std::to_string(width) +
                         " x " + std::to_string(height) + " (the limit is " + std::to_string(kMaxPictureSide) +
                         " x " + std::to_string(kMaxPictureSide) + " and " +
                         std::to_string(kMaxPictureBytes >> 20) + " MiB)."};
}

LoaderMessage FileTooLargeMessage(const char* caption, const std::string& path)
{
    return {caption, "Couldn't load \"" + path + "\". The file is too large."};
}

LoaderMessage OutOfMemoryMessage(const char* caption, const std::string& path)
{
    return {caption, "Couldn't load \"" + path + "\". There is not enough memory for the picture."};
}

}  // namespace qx
