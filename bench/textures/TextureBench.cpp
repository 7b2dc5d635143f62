// Decode-and-upload of a 1024 x 1024 picture in each format, against the
// library decoding alone (libpng, libjpeg, giflib) and Qt's image reader,
// plus the GL upload with its mipmap build on its own.
#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QImage>

#include <GL/gl.h>
#include <gif_lib.h>
#include <jpeglib.h>
#include <png.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "CountingNew.h"
#include "SurfacelessGl.h"
#include "TextureUpload.h"
#include "imageio/ImageDecoders.h"
#include "imageio/Resample.h"

namespace {

constexpr int kSide = 1024;

// A texture-like picture: smooth gradients under some noise.
QImage MakePicture()
{
    QImage image(kSide, kSide, QImage::Format_RGB32);
    std::mt19937 random(7);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            const int noise = int(random() % 24);
            image.setPixel(x, y, qRgb((x / 4 + noise) & 255, (y / 4 + noise) & 255, ((x + y) / 8 + noise) & 255));
        }
    return image;
}

std::string Encode(const QImage& image, const char* format, int quality = -1)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, quality);
    return bytes.toStdString();
}

std::string MakeTga(const QImage& image)
{
    std::string out(18, '\0');
    out[2] = 2;
    out[12] = char(kSide & 255);
    out[13] = char(kSide >> 8);
    out[14] = char(kSide & 255);
    out[15] = char(kSide >> 8);
    out[16] = 24;
    for (int y = kSide - 1; y >= 0; --y)
        for (int x = 0; x < kSide; ++x) {
            const QRgb c = image.pixel(x, y);
            out += char(qBlue(c));
            out += char(qGreen(c));
            out += char(qRed(c));
        }
    return out;
}

int WriteToString(GifFileType* gif, const GifByteType* data, int length)
{
    static_cast<std::string*>(gif->UserData)->append(reinterpret_cast<const char*>(data), size_t(length));
    return length;
}

// 256 colours: 8 levels of red and green, 4 of blue.
std::string MakeGif(const QImage& image)
{
    std::string out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, WriteToString, &error);
    GifColorType colours[256];
    for (int i = 0; i < 256; ++i)
        colours[i] = {GifByteType((i >> 5) * 36), GifByteType(((i >> 2) & 7) * 36), GifByteType((i & 3) * 85)};
    ColorMapObject* map = GifMakeMapObject(256, colours);
    EGifPutScreenDesc(gif, kSide, kSide, 8, 0, map);
    EGifPutImageDesc(gif, 0, 0, kSide, kSide, false, nullptr);
    std::vector<GifPixelType> line(kSide);
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            const QRgb c = image.pixel(x, y);
            line[size_t(x)] = GifPixelType(((qRed(c) / 32) << 5) | ((qGreen(c) / 32) << 2) | (qBlue(c) / 64));
        }
        EGifPutLine(gif, line.data(), kSide);
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return out;
}

struct Files {
    std::string bmp, tga, png, gif, jpeg;
};

const Files& Pictures()
{
    static const Files files = [] {
        const QImage picture = MakePicture();
        return Files{Encode(picture, "BMP"), MakeTga(picture), Encode(picture, "PNG"), MakeGif(picture),
                     Encode(picture, "JPEG", 90)};
    }();
    return files;
}

qx::Bytes AsBytes(const std::string& s)
{
    return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
}

qx::DecodeResult DecodeKind(qx::ImageKind kind)
{
    const Files& f = Pictures();
    switch (kind) {
    case qx::ImageKind::Bmp: return qx::DecodeBmp(AsBytes(f.bmp), "b.bmp", false);
    case qx::ImageKind::Tga: return qx::DecodeTga(AsBytes(f.tga), "b.tga");
    case qx::ImageKind::Png: return qx::DecodePng(AsBytes(f.png), "b.png", false);
    case qx::ImageKind::Gif: return qx::DecodeGif(AsBytes(f.gif), "b.gif", false);
    case qx::ImageKind::Jpeg: return qx::DecodeJpeg(AsBytes(f.jpeg), "b.jpg", false);
    case qx::ImageKind::None: break;
    }
    return {};
}

const std::string& FileOf(qx::ImageKind kind)
{
    const Files& f = Pictures();
    switch (kind) {
    case qx::ImageKind::Bmp: return f.bmp;
    case qx::ImageKind::Tga: return f.tga;
    case qx::ImageKind::Png: return f.png;
    case qx::ImageKind::Gif: return f.gif;
    default: return f.jpeg;
    }
}

void Decode(benchmark::State& state, qx::ImageKind kind)
{
    for (auto _ : state) {
        qx::DecodeResult result = DecodeKind(kind);
        if (!result.ok())
            state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(result.block);
    }
}

SurfacelessGl& Gl()
{
    static SurfacelessGl gl;
    return gl;
}

void DecodeAndUpload(benchmark::State& state, qx::ImageKind kind)
{
    if (!Gl().valid()) {
        state.SkipWithError("no GL context");
        return;
    }
    for (auto _ : state) {
        qx::DecodeResult result = DecodeKind(kind);
        GLuint name = qx::UploadBlock(*result.block, false);
        glFinish();
        glDeleteTextures(1, &name);
    }
}

void UploadOnly(benchmark::State& state, uint32_t channels)
{
    if (!Gl().valid()) {
        state.SkipWithError("no GL context");
        return;
    }
    qx::PixelBlock block;
    qx::AllocateBlock(block, kSide, kSide, channels);
    for (size_t i = 0; i < block.pixels.size(); ++i)
        block.pixels[i] = uint8_t(i * 7);
    for (auto _ : state) {
        GLuint name = qx::UploadBlock(block, false);
        glFinish();
        glDeleteTextures(1, &name);
    }
}

void QtReader(benchmark::State& state, qx::ImageKind kind, const char* format)
{
    const std::string& file = FileOf(kind);
    for (auto _ : state) {
        QImage image = QImage::fromData(reinterpret_cast<const uchar*>(file.data()), int(file.size()), format);
        benchmark::DoNotOptimize(image.constBits());
    }
}

struct Reader {
    const std::string* data;
    size_t pos;
};

void PngRead(png_structp png, png_bytep out, size_t length)
{
    auto* r = static_cast<Reader*>(png_get_io_ptr(png));
    std::memcpy(out, r->data->data() + r->pos, length);
    r->pos += length;
}

// libpng alone: its native 8-bit RGB rows.
void LibPngOnly(benchmark::State& state)
{
    std::vector<uint8_t> pixels(size_t(kSide) * kSide * 3);
    std::vector<png_bytep> rows(kSide);
    for (int y = 0; y < kSide; ++y)
        rows[size_t(y)] = pixels.data() + size_t(y) * kSide * 3;
    for (auto _ : state) {
        Reader reader{&Pictures().png, 0};
        png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        png_set_read_fn(png, &reader, PngRead);
        png_read_info(png, info);
        png_read_image(png, rows.data());
        png_destroy_read_struct(&png, &info, nullptr);
        benchmark::DoNotOptimize(pixels.data());
    }
}

// libjpeg alone: its default RGB output.
void LibJpegOnly(benchmark::State& state)
{
    std::vector<uint8_t> row(size_t(kSide) * 3);
    const std::string& file = Pictures().jpeg;
    for (auto _ : state) {
        jpeg_decompress_struct cinfo;
        jpeg_error_mgr errors;
        cinfo.err = jpeg_std_error(&errors);
        jpeg_create_decompress(&cinfo);
        jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(file.data()), file.size());
        jpeg_read_header(&cinfo, TRUE);
        jpeg_start_decompress(&cinfo);
        while (cinfo.output_scanline < cinfo.output_height) {
            JSAMPROW r = row.data();
            jpeg_read_scanlines(&cinfo, &r, 1);
        }
        jpeg_finish_decompress(&cinfo);
        jpeg_destroy_decompress(&cinfo);
        benchmark::DoNotOptimize(row.data());
    }
}

int GifRead(GifFileType* gif, GifByteType* out, int length)
{
    auto* r = static_cast<Reader*>(gif->UserData);
    const size_t n = std::min(size_t(length), r->data->size() - r->pos);
    std::memcpy(out, r->data->data() + r->pos, n);
    r->pos += n;
    return int(n);
}

// giflib alone: the frame's palette indices.
void GiflibOnly(benchmark::State& state)
{
    for (auto _ : state) {
        Reader reader{&Pictures().gif, 0};
        int error = 0;
        GifFileType* gif = DGifOpen(&reader, GifRead, &error);
        DGifSlurp(gif);
        benchmark::DoNotOptimize(gif->SavedImages[0].RasterBits);
        DGifCloseFile(gif, &error);
    }
}

}  // namespace

// The rescale of a large picture that is not a power of two: 8191 x 8191 RGB
// to 8192 x 8192.  The peak of the heap above what the source already held
// shows that no whole-picture scratch buffer is made (the result is the
// only picture-sized allocation).
void RescaleLarge(benchmark::State& state)
{
    qx::PixelBlock source;
    qx::AllocateBlock(source, 8191, 8191, 3);
    for (size_t i = 0; i < source.pixels.size(); ++i)
        source.pixels[i] = static_cast<uint8_t>(i * 2654435761u >> 24);
    double peakMiB = 0;
    for (auto _ : state) {
        qxbench::ResetHeapPeak();
        const std::size_t before = qxbench::HeapBytesInUse();
        const qx::PixelBlock result = qx::ResampleBlock(source, 8192, 8192);
        benchmark::DoNotOptimize(result.pixels.data());
        peakMiB = double(qxbench::HeapBytesPeak() - before) / (1 << 20);
    }
    state.counters["source_MiB"] = double(source.pixels.size()) / (1 << 20);
    state.counters["peak_above_source_MiB"] = peakMiB;
}
BENCHMARK(RescaleLarge)->Unit(benchmark::kMillisecond)->Iterations(1);

BENCHMARK_CAPTURE(Decode, Bmp, qx::ImageKind::Bmp)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Decode, Tga, qx::ImageKind::Tga)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Decode, Png, qx::ImageKind::Png)->Unit(benchmark::kMillisecond);
BENCHMARK(LibPngOnly)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(QtReader, Png, qx::ImageKind::Png, "PNG")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Decode, Jpeg, qx::ImageKind::Jpeg)->Unit(benchmark::kMillisecond);
BENCHMARK(LibJpegOnly)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(QtReader, Jpeg, qx::ImageKind::Jpeg, "JPEG")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Decode, Gif, qx::ImageKind::Gif)->Unit(benchmark::kMillisecond);
BENCHMARK(GiflibOnly)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(QtReader, Gif, qx::ImageKind::Gif, "GIF")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(QtReader, Bmp, qx::ImageKind::Bmp, "BMP")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(UploadOnly, Rgb, 3u)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(UploadOnly, Rgba, 4u)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DecodeAndUpload, Bmp, qx::ImageKind::Bmp)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DecodeAndUpload, Tga, qx::ImageKind::Tga)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DecodeAndUpload, Png, qx::ImageKind::Png)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DecodeAndUpload, Jpeg, qx::ImageKind::Jpeg)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DecodeAndUpload, Gif, qx::ImageKind::Gif)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
