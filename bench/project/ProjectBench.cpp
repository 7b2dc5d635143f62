// The project's files, map drawing and texture load at the sizes the
// editor is held to, each against the limit of its work:
//
// - save: SaveProject against formatting the same reals with std::to_chars
//   (15 significant digits) and writing the same files;
// - load: ReadProject (no pictures) against reading the same files and
//   parsing every token with std::from_chars;
// - DrawMap: CPU time per frame against a bare loop that calls the display
//   lists of the placements DrawMap draws;
// - 300 JPEG textures of 1024 x 1024: StageTextures on two decoders against
//   one (serial decode and upload).
#include <GL/gl.h>
#include <GL/glu.h>
#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <jpeglib.h>
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>
#include <vector>

#include "BenchmarkLevel.h"
#include "GLEngine.h"
#include "GlTestContext.h"
#include "MapDraw.h"
#include "NumberText.h"
#include "Paths.h"
#include "Project.h"
#include "ProjectFiles.h"
#include "QX3DObject.h"
#include "TestSupport.h"

namespace fs = std::filesystem;

namespace {

qxtest::GlTestContext* g_context = nullptr;

constexpr float kField = 4000;  // placements spread over kField x kField

ProjectContent& Generated()
{
    static ProjectContent content = [] {
        ProjectContent c = qxbench::BenchmarkLevel(kField);
        c.PlayerPos[0] = 0.5f;
        c.PlayerPos[1] = 2;
        c.PlayerPos[2] = -0.5f;
        return c;
    }();
    return content;
}

std::vector<float> GeneratedReals()
{
    const ProjectContent& c = Generated();
    std::vector<float> reals;
    for (int32_t i = 0; i < c.MapObjectCount; ++i)
        for (const TBox& b : c.MapObjects[static_cast<size_t>(i)]->Lists[0]->Boxes)
            reals.insert(reals.end(), {b.Position.X, b.Position.Y, b.Position.Z, b.Size.X, b.Size.Y, b.Size.Z, b.Tiling,
                                       b.Rotation.X, b.Rotation.Y, b.Rotation.Z, float(b.BlendEquation),
                                       float(b.BlendMode), float(b.TexGenMode)});
    for (int32_t i = 0; i < c.PlacementCount; ++i) {
        const TPlacement& p = c.Placements[static_cast<size_t>(i)];
        reals.insert(reals.end(), {p.PosX, p.PosY, p.PosZ, p.RotX, p.RotY, p.RotZ, p.ScaleX, p.ScaleY, p.ScaleZ});
    }
    return reals;
}

const MemoryTree& EmptyTree()
{
    static MemoryTree tree;
    return tree;
}

void Save(const fs::path& folder)
{
    qx::SaveProject(folder.string() + "/", Textures(), Generated(), {&EmptyTree(), &EmptyTree()});
}

void WriteRaw(const std::string& path, const std::string& bytes)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
        std::abort();
    ::close(fd);
}

void BM_SaveProject(benchmark::State& state)
{
    SetDecimalSeparator('.');
    Generated();
    qxtest::TempDir dir;
    for (auto _ : state)
        Save(dir.path());
    state.counters["files"] = qxbench::kObjects + 7;
}

// Formatting alone, into memory.
void BM_SaveFormatOnly(benchmark::State& state)
{
    SetDecimalSeparator('.');
    const ProjectContent& c = Generated();
    for (auto _ : state) {
        size_t bytes = qx::FormatObjectList(c).size() + qx::FormatMap(c).size();
        for (int32_t i = 0; i < c.MapObjectCount; ++i)
            bytes += qx::FormatObjectFile(*c.MapObjects[static_cast<size_t>(i)]).size();
        benchmark::DoNotOptimize(bytes);
    }
}

// The same reals formatted with std::to_chars (15 significant digits) into
// the same number of files, written plainly.
void BM_SaveLimit(benchmark::State& state)
{
    const std::vector<float> reals = GeneratedReals();
    qxtest::TempDir dir;
    const size_t perFile = reals.size() / (qxbench::kObjects + 1);
    for (auto _ : state) {
        size_t next = 0;
        for (int f = 0; f <= qxbench::kObjects; ++f) {
            std::string out;
            const size_t end = f == qxbench::kObjects ? reals.size() : next + perFile;
            for (; next < end; ++next) {
                char buffer[32];
                const auto r = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(reals[next]),
                                             std::chars_format::general, 15);
                out.append(buffer, r.ptr);
                out += ' ';
            }
            WriteRaw((dir / ("f" + std::to_string(f))).string(), out);
        }
    }
}

// The limit's formatting alone.
void BM_SaveLimitFormatOnly(benchmark::State& state)
{
    const std::vector<float> reals = GeneratedReals();
    for (auto _ : state) {
        std::string out;
        for (float v : reals) {
            char buffer[32];
            const auto r = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(v),
                                         std::chars_format::general, 15);
            out.append(buffer, r.ptr);
            out += ' ';
        }
        benchmark::DoNotOptimize(out.data());
    }
}

void BM_LoadProject(benchmark::State& state)
{
    SetDecimalSeparator('.');
    qxtest::TempDir dir;
    Save(dir.path());
    qx::ReadOptions options;
    options.upload = false;
    for (auto _ : state) {
        qx::StagedProject staged = qx::ReadProject(dir.path().string() + "/", options);
        benchmark::DoNotOptimize(staged.boxCount);
    }
}

// Reading the same files and parsing every token with from_chars.
void BM_LoadLimit(benchmark::State& state)
{
    SetDecimalSeparator('.');
    qxtest::TempDir dir;
    Save(dir.path());
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(dir.path()))
        files.push_back(entry.path().string());
    for (auto _ : state) {
        double sum = 0;
        for (const std::string& file : files) {
            const std::string bytes = ReadWholeFile(file);
            const char* p = bytes.data();
            const char* end = p + bytes.size();
            while (p < end) {
                float v = 0;
                const auto r = std::from_chars(p, end, v);
                if (r.ec == std::errc())
                    sum += v;
                p = r.ptr == p ? p + 1 : r.ptr;
            }
        }
        benchmark::DoNotOptimize(sum);
    }
}

// Camera at the player start, looking along its initial direction.
void SetUpFrame()
{
    g_context->makeCurrent();
    InitGLState();
    glViewport(0, 0, 256, 256);
    SetProjection(0, 256, 256);
    const float* eye = Generated().PlayerPos;
    gluLookAt(eye[0], eye[1] + 24, eye[2], eye[0], eye[1] + 24, eye[2] - 1, 0, 1, 0);
}

void CompileObjects()
{
    static bool compiled = false;
    if (compiled)
        return;
    ProjectContent& c = Generated();
    for (int32_t i = 0; i < c.MapObjectCount; ++i)
        c.MapObjects[static_cast<size_t>(i)]->BuildDisplayLists();
    compiled = true;
}

void BM_DrawMap(benchmark::State& state)
{
    SetUpFrame();
    CompileObjects();
    const ProjectContent& c = Generated();
    int drawn = 0;
    ForEachDrawnPlacement(c, 3, 200, 15, c.PlayerPos[0], 10, c.PlayerPos[2], [&](size_t, int32_t) { ++drawn; });
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        DrawMap(c, 3, 200, 15, c.PlayerPos[0], 10, c.PlayerPos[2]);
        glFinish();
    }
    state.counters["drawn"] = drawn;
}

void BM_DrawMapBareLoop(benchmark::State& state)
{
    SetUpFrame();
    CompileObjects();
    const ProjectContent& c = Generated();
    std::vector<std::pair<const TQX3DObject*, TPlacement>> visible;
    ForEachDrawnPlacement(c, 3, 200, 15, c.PlayerPos[0], 10, c.PlayerPos[2], [&](size_t i, int32_t k) {
        visible.emplace_back(c.MapObjects[static_cast<size_t>(k)].get(), c.Placements[i]);
    });
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glColor4f(1, 1, 1, 1);
        for (const auto& [object, p] : visible)
            object->DrawAt(p.PosX, p.PosY, p.PosZ, p.RotX, p.RotY, p.RotZ, p.ScaleX, p.ScaleY, p.ScaleZ);
        glFinish();
    }
    state.counters["drawn"] = static_cast<double>(visible.size());
}

// 300 JPEG files of 1024 x 1024 (a smooth pattern with noise, quality 90).
const fs::path& JpegFolder()
{
    static qxtest::TempDir dir;
    static bool made = false;
    if (!made) {
        std::mt19937 random(3);
        std::vector<unsigned char> row(1024 * 3);
        for (int n = 0; n < 300; ++n) {
            const std::string path = (dir / ("t" + std::to_string(n) + ".jpg")).string();
            FILE* file = std::fopen(path.c_str(), "wb");
            jpeg_compress_struct cinfo;
            jpeg_error_mgr errors;
            cinfo.err = jpeg_std_error(&errors);
            jpeg_create_compress(&cinfo);
            jpeg_stdio_dest(&cinfo, file);
            cinfo.image_width = 1024;
            cinfo.image_height = 1024;
            cinfo.input_components = 3;
            cinfo.in_color_space = JCS_RGB;
            jpeg_set_defaults(&cinfo);
            jpeg_set_quality(&cinfo, 90, TRUE);
            jpeg_start_compress(&cinfo, TRUE);
            for (unsigned y = 0; y < 1024; ++y) {
                for (unsigned x = 0; x < 1024; ++x) {
                    row[3 * x] = static_cast<unsigned char>((x + n) ^ y);
                    row[3 * x + 1] = static_cast<unsigned char>(x * y / 1024 + random() % 16);
                    row[3 * x + 2] = static_cast<unsigned char>(y + n * 7);
                }
                JSAMPROW rows[1] = {row.data()};
                jpeg_write_scanlines(&cinfo, rows, 1);
            }
            jpeg_finish_compress(&cinfo);
            jpeg_destroy_compress(&cinfo);
            std::fclose(file);
        }
        made = true;
    }
    return dir.path();
}

void BM_Load300Jpeg(benchmark::State& state)
{
    g_context->makeCurrent();
    std::vector<qx::TextureListEntry> entries;
    for (int n = 0; n < 300; ++n)
        entries.push_back({"t" + std::to_string(n) + ".jpg", false});
    const std::string folder = JpegFolder().string() + "/";
    for (auto _ : state) {
        qx::StagedTextures staged = qx::StageTextures(entries, folder, static_cast<unsigned>(state.range(0)), true, {});
        glFinish();
        benchmark::DoNotOptimize(staged.registry.TextureCount);
    }
}

}  // namespace

BENCHMARK(BM_SaveProject)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveFormatOnly)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveLimit)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveLimitFormatOnly)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadProject)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadLimit)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DrawMap)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_DrawMapBareLoop)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_Load300Jpeg)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    auto context = std::make_unique<qxtest::GlTestContext>();
    if (!context->valid())
        return 1;
    g_context = context.get();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
