// The editor's frame on its start-up scene, in a generated installation in a
// temporary folder.  Reports frames per second and heap allocations per
// frame: in steady state (nothing changes between frames) a frame must
// allocate nothing.
#include <QApplication>
#include <QTest>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "CountingNew.h"
#include "EditorWindows.h"
#include "FrameLoop.h"
#include "Installation.h"
#include "Vantor.h"

namespace {

struct Editor {
    std::filesystem::path folder;
    std::unique_ptr<EditorWindows> windows;

    Editor()
    {
        folder = std::filesystem::temp_directory_path() / "qx-bench-frame";
        std::filesystem::create_directories(folder);
        for (const auto& file : qx::data::InstallationFiles())
            qx::data::WriteIfChanged(folder, file);
        std::filesystem::current_path(folder);
        windows = std::make_unique<EditorWindows>();
        windows->vantor->resize(1024, 768);
        windows->vantor->show();
        if (!QTest::qWaitForWindowExposed(windows->vantor.get()))
            std::fprintf(stderr, "the main window was not shown: frames draw into an unexposed window\n");
        windows->vantor->RenderTimer->stop();  // the benchmark drives the frames
    }
};

std::unique_ptr<Editor> g_editor;

Editor& TheEditor()
{
    if (!g_editor)
        g_editor = std::make_unique<Editor>();
    return *g_editor;
}

void BM_StartupSceneFrame(benchmark::State& state)
{
    TFVantor& window = *TheEditor().windows->vantor;
    for (int i = 0; i < 20; ++i)  // warm up: first-frame texts, glyph lists
        RenderFrame(window);
    const long long before = qxbench::HeapAllocations();
    for (auto _ : state)
        RenderFrame(window);
    state.counters["allocs/frame"] =
        benchmark::Counter(static_cast<double>(qxbench::HeapAllocations() - before) / static_cast<double>(state.iterations()));
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_StartupSceneFrame)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// A plain loop of steady-state frames, for instruction counts:
//   QX_BENCH_FRAMES=50 valgrind --tool=callgrind --toggle-collect='MeasuredFrames*' bench_frame
// gives the instructions of 50 frames (the main thread's share: Mesa's
// rasterizer threads are not in this call tree).
__attribute__((noinline)) void MeasuredFrames(TFVantor& window, int frames)
{
    for (int i = 0; i < frames; ++i)
        RenderFrame(window);
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (const char* frames = std::getenv("QX_BENCH_FRAMES")) {
        TFVantor& window = *TheEditor().windows->vantor;
        for (int i = 0; i < 20; ++i)
            RenderFrame(window);
        MeasuredFrames(window, std::atoi(frames));
        g_editor.reset();
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_editor.reset();  // windows and GL go before the application object
    return 0;
}
