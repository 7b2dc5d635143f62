// The project's files, map drawing and texture load at the sizes the
// editor is held to, each against the limit of its work:
//
// - save: SaveProject against the same files (names, count, bytes) of the
//   project's reals formatted with std::to_chars (15 significant digits),
//   written as durably (temporary, flush, rename), on the disk of the
//   temporary folders and in RAM (/dev/shm, where the CPU's work remains);
// - load: ReadProject (no pictures) against reading the same files and
//   parsing every token with std::from_chars, on disk and in RAM;
// - the GL side of the load: every object's vertex buffers against the
//   display lists compiled as the reference path;
// - DrawMap: CPU time per frame on both object paths (path 0 the display
//   lists, 1 the buffers), and a bare loop that calls the display lists of
//   the placements DrawMap draws;
// - 300 JPEG textures of 1024 x 1024: StageTextures on two decoders against
//   one (serial decode and upload).
#include <GL/gl.h>
#include <GL/glu.h>
#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <jpeglib.h>
#include <unistd.h>

#include <atomic>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <random>
#include <set>
#include <thread>
#include <vector>

#include "BenchmarkLevel.h"
#include "GLEngine.h"
#include "GlTestContext.h"
#include "MapDraw.h"
#include "ObjectBuffers.h"
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

// A folder for the files of a benchmark: beside the temporary folders (the
// disk the save is measured on) or in RAM (/dev/shm), where a flush costs
// next to nothing and the CPU's work is what remains.
class BenchFolder {
public:
    explicit BenchFolder(bool ram)
    {
        if (!ram) {
            disk_.emplace();
            path_ = disk_->path();
            return;
        }
        char name[] = "/dev/shm/qx-bench-XXXXXX";
        if (!::mkdtemp(name))
            std::abort();
        path_ = name;
    }
    ~BenchFolder()
    {
        if (!disk_) {
            std::error_code ignored;
            fs::remove_all(path_, ignored);
        }
    }
    BenchFolder(const BenchFolder&) = delete;
    BenchFolder& operator=(const BenchFolder&) = delete;
    const fs::path& path() const { return path_; }

private:
    std::optional<qxtest::TempDir> disk_;
    fs::path path_;
};

// The files a save writes: names relative to the folder, and sizes.
struct SavedFile {
    fs::path name;
    size_t bytes = 0;
};

const std::vector<SavedFile>& SavedFiles()
{
    static const std::vector<SavedFile> files = [] {
        SetDecimalSeparator('.');
        qxtest::TempDir dir;
        Save(dir.path());
        std::vector<SavedFile> found;
        for (const auto& entry : fs::recursive_directory_iterator(dir.path()))
            if (entry.is_regular_file())
                found.push_back({fs::relative(entry.path(), dir.path()), static_cast<size_t>(entry.file_size())});
        return found;
    }();
    return files;
}

// The limit's text: the project's reals formatted with std::to_chars (15
// significant digits), one after another, cut to the sizes of the save's
// files.
void FormatLimitFiles(const std::vector<float>& reals, std::vector<std::string>& out)
{
    const std::vector<SavedFile>& files = SavedFiles();
    out.resize(files.size());
    size_t next = 0;
    for (size_t f = 0; f < files.size(); ++f) {
        std::string& text = out[f];
        text.clear();
        while (text.size() < files[f].bytes) {
            char buffer[32];
            const auto r = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(reals[next]),
                                         std::chars_format::general, 15);
            text.append(buffer, r.ptr);
            text += ' ';
            next = (next + 1) % reals.size();
        }
        text.resize(files[f].bytes);
    }
}

void Check(bool ok)
{
    if (!ok)
        std::abort();
}

// The save's durability and nothing more: each file into a temporary beside
// it, flushed (on as many threads as the save uses), renamed into place,
// the folders flushed after.  No journal, no files kept aside.
void WriteLimitFiles(const fs::path& folder, const std::vector<std::string>& texts)
{
    const std::vector<SavedFile>& files = SavedFiles();
    std::vector<std::string> targets(files.size()), temps(files.size());
    for (size_t i = 0; i < files.size(); ++i) {
        targets[i] = (folder / files[i].name).string();
        temps[i] = targets[i] + ".~limit";
    }
    std::atomic<size_t> next{0};
    const auto work = [&] {
        for (size_t i; (i = next++) < files.size();) {
            const int fd = ::open(temps[i].c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
            Check(fd >= 0);
            Check(::write(fd, texts[i].data(), texts[i].size()) == static_cast<ssize_t>(texts[i].size()));
            Check(::fdatasync(fd) == 0);
            Check(::close(fd) == 0);
        }
    };
    std::vector<std::thread> workers;
    for (int t = 1; t < 4; ++t)
        workers.emplace_back(work);
    work();
    for (std::thread& w : workers)
        w.join();
    std::set<fs::path> folders;
    for (size_t i = 0; i < files.size(); ++i) {
        Check(std::rename(temps[i].c_str(), targets[i].c_str()) == 0);
        folders.insert(fs::path(targets[i]).parent_path());
    }
    for (const fs::path& f : folders) {
        const int fd = ::open(f.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        Check(fd >= 0 && ::fsync(fd) == 0);
        ::close(fd);
    }
}

size_t SavedBytes()
{
    size_t bytes = 0;
    for (const SavedFile& f : SavedFiles())
        bytes += f.bytes;
    return bytes;
}

void CountFiles(benchmark::State& state)
{
    state.counters["files"] = static_cast<double>(SavedFiles().size());
    state.counters["MB"] = static_cast<double>(SavedBytes()) / 1e6;
}

// Argument: 0 on the disk of the temporary folders, 1 in RAM.
void BM_SaveProject(benchmark::State& state)
{
    SetDecimalSeparator('.');
    Generated();
    const BenchFolder dir(state.range(0) != 0);
    for (auto _ : state)
        Save(dir.path());
    CountFiles(state);
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

// The same files as the save (names, count, bytes), of reals formatted with
// std::to_chars, written as durably.
void BM_SaveLimit(benchmark::State& state)
{
    const std::vector<float> reals = GeneratedReals();
    const BenchFolder dir(state.range(0) != 0);
    for (const SavedFile& f : SavedFiles())
        fs::create_directories((dir.path() / f.name).parent_path());
    std::vector<std::string> texts;
    for (auto _ : state) {
        FormatLimitFiles(reals, texts);
        WriteLimitFiles(dir.path(), texts);
    }
    CountFiles(state);
}

// The limit's formatting alone.
void BM_SaveLimitFormatOnly(benchmark::State& state)
{
    const std::vector<float> reals = GeneratedReals();
    std::vector<std::string> texts;
    for (auto _ : state) {
        FormatLimitFiles(reals, texts);
        benchmark::DoNotOptimize(texts.data());
    }
}

void BM_LoadProject(benchmark::State& state)
{
    SetDecimalSeparator('.');
    const BenchFolder dir(state.range(0) != 0);
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
    const BenchFolder dir(state.range(0) != 0);
    Save(dir.path());
    std::vector<std::string> files;
    for (const SavedFile& f : SavedFiles())
        files.push_back((dir.path() / f.name).string());
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

qx::ObjectPath PathOf(const benchmark::State& state)
{
    return state.range(0) == 0 ? qx::ObjectPath::DisplayLists : qx::ObjectPath::Buffers;
}

// Both paths, so that one run holds them side by side.
void CompileObjects()
{
    static bool compiled = false;
    if (compiled)
        return;
    ProjectContent& c = Generated();
    for (const qx::ObjectPath path : {qx::ObjectPath::DisplayLists, qx::ObjectPath::Buffers}) {
        qx::SetObjectPath(path);
        for (int32_t i = 0; i < c.MapObjectCount; ++i)
            c.MapObjects[static_cast<size_t>(i)]->BuildDisplayLists();
    }
    compiled = true;
}

// What a load builds for GL once the files are read: every object's lists
// (the previous build's GL objects go outside the timing, as a load
// releases them after the new project shows).
void BM_BuildObjects(benchmark::State& state)
{
    SetUpFrame();
    qx::SetObjectPath(PathOf(state));
    const ProjectContent& c = Generated();
    std::vector<std::unique_ptr<TQX3DObject>> objects;
    for (auto _ : state) {
        state.PauseTiming();
        objects.clear();
        for (int32_t i = 0; i < c.MapObjectCount; ++i) {
            objects.push_back(std::make_unique<TQX3DObject>());
            objects.back()->Assign(*c.MapObjects[static_cast<size_t>(i)]);
        }
        glFinish();
        state.ResumeTiming();
        for (auto& o : objects)
            o->BuildDisplayLists();
        glFinish();
    }
    objects.clear();
    qx::SetObjectPath(qx::ObjectPath::Buffers);
}

void BM_DrawMap(benchmark::State& state)
{
    SetUpFrame();
    CompileObjects();
    qx::SetObjectPath(PathOf(state));
    const ProjectContent& c = Generated();
    int drawn = 0;
    ForEachDrawnPlacement(c, 3, 200, 15, c.PlayerPos[0], 10, c.PlayerPos[2], [&](size_t, int32_t) { ++drawn; });
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        DrawMap(c, 3, 200, 15, c.PlayerPos[0], 10, c.PlayerPos[2]);
        glFinish();
    }
    state.counters["drawn"] = drawn;
    qx::SetObjectPath(qx::ObjectPath::Buffers);
}

void BM_DrawMapBareLoop(benchmark::State& state)
{
    SetUpFrame();
    CompileObjects();
    qx::SetObjectPath(qx::ObjectPath::DisplayLists);
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
    qx::SetObjectPath(qx::ObjectPath::Buffers);
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

// Time is wall time; CPU is the whole process's (the writes run on threads).
#define QX_FILE_BENCHMARK(f) \
    BENCHMARK(f)->ArgName("ram")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime()
QX_FILE_BENCHMARK(BM_SaveProject);
QX_FILE_BENCHMARK(BM_SaveLimit);
QX_FILE_BENCHMARK(BM_LoadProject);
QX_FILE_BENCHMARK(BM_LoadLimit);
BENCHMARK(BM_SaveFormatOnly)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveLimitFormatOnly)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BuildObjects)->ArgName("path")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DrawMap)->ArgName("path")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2.0);
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
