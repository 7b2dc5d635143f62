// The editor's frame on its start-up scene, in a generated installation in a
// temporary folder.  Reports per frame the wall time, the main thread's CPU
// time and the whole process's CPU time (Mesa's rasterizer threads draw
// beside the main thread unless LP_NUM_THREADS=0), frames per second of
// wall time, and heap allocations: in steady state (nothing changes between
// frames) a frame must allocate nothing.
#include <QApplication>
#include <QTest>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
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

double Seconds(clockid_t clock)
{
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Wall, main-thread and process clocks, read together.
struct Clocks {
    double wall = Seconds(CLOCK_MONOTONIC);
    double thread = Seconds(CLOCK_THREAD_CPUTIME_ID);
    double process = Seconds(CLOCK_PROCESS_CPUTIME_ID);
};

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
    const Clocks start;
    for (auto _ : state)
        RenderFrame(window);
    const Clocks end;
    const double frames = static_cast<double>(state.iterations());
    state.counters["allocs/frame"] = static_cast<double>(qxbench::HeapAllocations() - before) / frames;
    state.counters["wall ms/frame"] = 1e3 * (end.wall - start.wall) / frames;
    state.counters["cpu ms/frame"] = 1e3 * (end.thread - start.thread) / frames;
    state.counters["process cpu ms/frame"] = 1e3 * (end.process - start.process) / frames;
    state.counters["fps"] = frames / (end.wall - start.wall);
}
// Time is wall time, CPU the main thread's.
BENCHMARK(BM_StartupSceneFrame)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

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
