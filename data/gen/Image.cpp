#include "Image.h"

#include <algorithm>
#include <stdexcept>

namespace qx::data {

Image::Image(int width, int height, Rgb fill)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, fill)
{
    if (width <= 0 || height <= 0)
        throw std::invalid_argument("image size must be positive");
}

Rgb Image::At(int x, int row) const
{
    return pixels_.at(static_cast<size_t>(row) * width_ + x);
}

void Image::Set(int x, int row, Rgb colour)
{
    pixels_.at(static_cast<size_t>(row) * width_ + x) = colour;
}

void Image::Plot(int x, int y, Rgb colour)
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return;
    Set(x, height_ - 1 - y, colour);
}

Image WithRepeatedTopRow(const Image& image)
{
    Image out(image.Width(), image.Height() + 1);
    for (int row = 0; row <= image.Height(); ++row)
        for (int x = 0; x < image.Width(); ++x)
            out.Set(x, row, image.At(x, std::min(row, image.Height() - 1)));
    return out;
}

namespace {

void Put16(std::string& out, uint32_t v)
{
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>((v >> 8) & 0xFF));
}

void Put32(std::string& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

}  // namespace

std::string EncodeBmp24(const Image& image)
{
    if (image.Width() % 4 != 0)
        throw std::invalid_argument("BMP width must be a multiple of 4");
    const uint32_t dataSize = static_cast<uint32_t>(image.Width()) * image.Height() * 3;
    const uint32_t offset = 14 + 40;

    std::string out;
    out.reserve(offset + dataSize);
    out += "BM";
    Put32(out, offset + dataSize);
    Put16(out, 0);
    Put16(out, 0);
    Put32(out, offset);

    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(image.Width()));
    Put32(out, static_cast<uint32_t>(image.Height()));
    Put16(out, 1);   // planes
    Put16(out, 24);  // bits per pixel
    Put32(out, 0);   // no compression
    Put32(out, dataSize);
    Put32(out, 2835);  // 72 dpi, as most painters write it
    Put32(out, 2835);
    Put32(out, 0);  // colours used: the loaders skip that many bytes
    Put32(out, 0);

    for (int row = 0; row < image.Height(); ++row) {
        for (int x = 0; x < image.Width(); ++x) {
            const Rgb p = image.At(x, row);
            out.push_back(static_cast<char>(p.b));
            out.push_back(static_cast<char>(p.g));
            out.push_back(static_cast<char>(p.r));
        }
    }
    return out;
}

}  // namespace qx::data
