// Loading 3DS models: the generated large model (8 meshes of 33,124
// vertices and 65,522 faces) and the largest real files of the shared test
// data, each with the editor's reader (normals included) beside lib3ds
// (Debian's, which reads the same file and computes no normals) when it was
// found at configure time.  The large model's time is also split into the
// file read, the chunk walk with normals, and the normals alone.
//
//   bench/bench_models [--benchmark_repetitions=N]
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#ifdef QX_HAVE_LIB3DS
#include <lib3ds/file.h>
#endif

#include "LargeModel3ds.h"
#include "Model3ds.h"
#include "Paths.h"

namespace {

namespace fs = std::filesystem;

// T3DModel.LoadFromFile without the texture loads (lib3ds loads none
// either, and the benchmark has no GL context): the file read, the chunk
// walk and the normals.
void Load(benchmark::State& state, const std::string& path)
{
    for (auto _ : state) {
        T3DModel model;
        const std::string bytes = ReadWholeFile(path);
        if (!qx::Read3ds({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()}, model, nullptr).ok) {
            state.SkipWithError("the model did not load");
            return;
        }
        benchmark::DoNotOptimize(model.Objects.data());
    }
}

#ifdef QX_HAVE_LIB3DS
void LoadLib3ds(benchmark::State& state, const std::string& path)
{
    for (auto _ : state) {
        Lib3dsFile* file = lib3ds_file_load(path.c_str());
        if (!file) {
            state.SkipWithError("lib3ds refused the file");
            return;
        }
        benchmark::DoNotOptimize(file);
        lib3ds_file_free(file);
    }
}
#endif

void ReadBytes(benchmark::State& state, const std::string& path)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadWholeFile(path).data());
}

void WalkChunks(benchmark::State& state, const std::string& path)
{
    const std::string bytes = ReadWholeFile(path);
    for (auto _ : state) {
        T3DModel model;
        qx::Read3ds({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()}, model, nullptr);
        benchmark::DoNotOptimize(model.Objects.data());
    }
}

void NormalsOnly(benchmark::State& state, const std::string& path)
{
    const std::string bytes = ReadWholeFile(path);
    T3DModel model;
    qx::Read3ds({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()}, model, nullptr);
    for (auto _ : state)
        for (T3DObject& o : model.Objects)
            qx::ComputeNormals(o);
}

std::vector<fs::path> LargestRealFiles(size_t count)
{
    const char* env = std::getenv("QX_TESTDATA");
    const fs::path root = fs::path(env && *env ? env : QX_DEFAULT_TESTDATA) / "3ds";
    std::vector<fs::path> files;
    std::error_code error;
    for (fs::recursive_directory_iterator it(root, error), end; !error && it != end; it.increment(error)) {
        std::string ext = it->path().extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(), ::tolower);
        if (it->is_regular_file() && ext == ".3ds" && it->file_size() > 0)
            files.push_back(it->path());
    }
    std::sort(files.begin(), files.end(),
              [](const fs::path& a, const fs::path& b) { return fs::file_size(a) > fs::file_size(b); });
    files.resize(std::min(files.size(), count));
    return files;
}

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    const fs::path large = fs::temp_directory_path() / ("qx_bench_large_" + std::to_string(::getpid()) + ".3ds");
    WriteWholeFile(large.string(), MakeLarge3ds());
    const std::string l = large.string();
    benchmark::RegisterBenchmark("Large3ds/editor", Load, l)->Unit(benchmark::kMillisecond);
#ifdef QX_HAVE_LIB3DS
    benchmark::RegisterBenchmark("Large3ds/lib3ds", LoadLib3ds, l)->Unit(benchmark::kMillisecond);
#endif
    benchmark::RegisterBenchmark("Large3ds/editor_file_read", ReadBytes, l)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Large3ds/editor_chunks_and_normals", WalkChunks, l)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Large3ds/editor_normals_only", NormalsOnly, l)->Unit(benchmark::kMillisecond);
    for (const fs::path& file : LargestRealFiles(4)) {
        const std::string name = file.filename().string();
        benchmark::RegisterBenchmark(("Real/" + name + "/editor").c_str(), Load, file.string());
#ifdef QX_HAVE_LIB3DS
        benchmark::RegisterBenchmark(("Real/" + name + "/lib3ds").c_str(), LoadLib3ds, file.string());
#endif
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fs::remove(large);
    return 0;
}
