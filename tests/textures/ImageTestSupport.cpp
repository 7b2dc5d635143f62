#include "ImageTestSupport.h"

#include <QCryptographicHash>
#include <QImageReader>

namespace qxtest {

namespace {

void PutLe16(std::string& out, size_t at, uint32_t v)
{
    out[at] = static_cast<char>(v & 255);
    out[at + 1] = static_cast<char>((v >> 8) & 255);
}

void PutLe32(std::string& out, size_t at, uint32_t v)
{
    PutLe16(out, at, v & 0xFFFF);
    PutLe16(out, at + 2, v >> 16);
}

}  // namespace

Rgb Pattern(uint32_t x, uint32_t y)
{
    return {static_cast<uint8_t>(x * 37 + y * 11), static_cast<uint8_t>(x * 5 + y * 73), static_cast<uint8_t>(x ^ (y * 3))};
}

std::string MakeBmp(uint32_t width, uint32_t height, const PixelAt& pixel, const BmpOptions& options)
{
    const uint32_t stride = (width * 3 + 3) & ~3u;
    const uint32_t headers = 54 + options.coloursUsed * 4 + options.gapBeforePixels;
    std::string out(headers + stride * height, '\0');
    out[0] = 'B';
    out[1] = 'M';
    PutLe32(out, 2, static_cast<uint32_t>(out.size()));
    PutLe32(out, 10, options.offsetZero ? 0 : headers);
    PutLe32(out, 14, 40);
    PutLe32(out, 18, width);
    PutLe32(out, 22, options.topDown ? static_cast<uint32_t>(-static_cast<int32_t>(height)) : height);
    PutLe16(out, 26, 1);
    PutLe16(out, 28, options.bitsPerPixel);
    PutLe32(out, 30, options.compression);
    PutLe32(out, 34, stride * height);
    PutLe32(out, 46, options.coloursUsed);
    for (uint32_t row = 0; row < height; ++row) {
        const uint32_t y = options.topDown ? row : height - 1 - row;
        char* dst = out.data() + headers + size_t{stride} * row;
        for (uint32_t x = 0; x < width; ++x) {
            const Rgb c = pixel(x, y);
            dst[3 * x] = static_cast<char>(c.b);
            dst[3 * x + 1] = static_cast<char>(c.g);
            dst[3 * x + 2] = static_cast<char>(c.r);
        }
    }
    return out;
}

std::string MakeTga(uint32_t width, uint32_t height, const PixelAt& pixel, const TgaOptions& options)
{
    std::string out(18, '\0');
    out[0] = static_cast<char>(options.imageId.size());
    out[1] = static_cast<char>(options.colourMapType);
    out[2] = static_cast<char>(options.type);
    PutLe16(out, 12, width);
    PutLe16(out, 14, height);
    out[16] = static_cast<char>(options.depth);
    out[17] = static_cast<char>(options.descriptor);
    out += options.imageId;
    const bool topFirst = (options.descriptor & 0x20) != 0;
    const uint32_t bytes = options.depth / 8;
    std::vector<std::string> pixels;
    for (uint32_t row = 0; row < height; ++row) {
        const uint32_t y = topFirst ? row : height - 1 - row;
        for (uint32_t x = 0; x < width; ++x) {
            const Rgb c = pixel(x, y);
            std::string p{static_cast<char>(c.b), static_cast<char>(c.g), static_cast<char>(c.r)};
            if (bytes == 4)
                p += static_cast<char>(TgaAlpha(x, y));
            p.resize(bytes, '\0');
            pixels.push_back(p);
        }
    }
    if (options.type != 10) {
        for (const std::string& p : pixels)
            out += p;
        return out;
    }
    for (size_t i = 0; i < pixels.size();) {
        size_t run = 1;
        while (i + run < pixels.size() && run < 128 && pixels[i + run] == pixels[i])
            ++run;
        if (run > 1) {
            out += static_cast<char>(0x80 | (run - 1));
            out += pixels[i];
            i += run;
            continue;
        }
        size_t raw = 1;
        while (i + raw < pixels.size() && raw < 128 && pixels[i + raw] != pixels[i + raw - 1])
            ++raw;
        out += static_cast<char>(raw - 1);
        for (size_t k = 0; k < raw; ++k)
            out += pixels[i + k];
        i += raw;
    }
    return out;
}

std::string MakeGif(uint16_t frameWidth, uint16_t frameHeight, const std::function<uint8_t(uint32_t, uint32_t)>& indexAt,
                    const GifOptions& options)
{
    std::string out = "GIF89a";
    const auto le16 = [&](uint32_t v) {
        out += static_cast<char>(v & 255);
        out += static_cast<char>((v >> 8) & 255);
    };
    le16(options.screenWidth);
    le16(options.screenHeight);
    out += options.withPalette ? '\xF7' : '\0';
    out += std::string(2, '\0');
    if (options.withPalette)
        for (int i = 0; i < 256; ++i) {
            out += static_cast<char>(i);
            out += static_cast<char>(2 * i);
            out += static_cast<char>(3 * i);
        }
    if (options.transparent >= 0)
        out += std::string("\x21\xF9\x04\x01\x00\x00", 6) + static_cast<char>(options.transparent) + '\0';
    out += '\x2C';
    le16(options.left);
    le16(options.top);
    le16(frameWidth);
    le16(frameHeight);
    out += options.interlaced ? '\x40' : '\0';

    std::vector<uint32_t> rows;
    if (options.interlaced) {
        for (auto [start, step] : {std::pair{0u, 8u}, {4u, 8u}, {2u, 4u}, {1u, 2u}})
            for (uint32_t y = start; y < frameHeight; y += step)
                rows.push_back(y);
    } else {
        for (uint32_t y = 0; y < frameHeight; ++y)
            rows.push_back(y);
    }
    // LZW with 9-bit codes only: a clear code before the table would grow.
    std::vector<uint32_t> codes{256};
    uint32_t sinceClear = 0;
    for (uint32_t y : rows)
        for (uint32_t x = 0; x < frameWidth; ++x) {
            if (sinceClear == 254) {
                codes.push_back(256);
                sinceClear = 0;
            }
            codes.push_back(indexAt(x, y));
            ++sinceClear;
        }
    codes.push_back(257);
    std::string packed;
    uint32_t bits = 0;
    int count = 0;
    for (uint32_t code : codes) {
        bits |= code << count;
        count += 9;
        while (count >= 8) {
            packed += static_cast<char>(bits & 255);
            bits >>= 8;
            count -= 8;
        }
    }
    if (count > 0)
        packed += static_cast<char>(bits & 255);
    out += '\x08';
    for (size_t i = 0; i < packed.size(); i += 255) {
        const std::string block = packed.substr(i, 255);
        out += static_cast<char>(block.size());
        out += block;
    }
    out += '\0';
    out += '\x3B';
    return out;
}

QImage ReadWithQt(const std::string& file)
{
    QImageReader reader(QString::fromStdString(file));
    reader.setAutoTransform(false);
    QImage image = reader.read();
    if (image.isNull())
        return image;
    return image.convertToFormat(QImage::Format_RGBA8888);
}

uint32_t BlockPixel(const qx::PixelBlock& block, uint32_t x, uint32_t yFromTop)
{
    const uint8_t* p = block.pixels.data() + block.RowBytes() * (block.height - 1 - yFromTop) + size_t{x} * block.channels;
    const uint32_t a = block.channels == 4 ? p[3] : 255;
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | a;
}

std::string Md5Hex(const std::vector<uint8_t>& bytes)
{
    const QByteArray data(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
    return QCryptographicHash::hash(data, QCryptographicHash::Md5).toHex().toStdString();
}

}  // namespace qxtest
