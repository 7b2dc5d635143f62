// The editor's frame on its start-up scene, in a generated installation in a
// temporary folder.  Reports per frame the wall time, the main thread's CPU
// time and the whole process's CPU time (Mesa's rasterizer threads draw
// beside the main thread unless LP_NUM_THREADS=0), frames per second of
// wall time, and heap allocations: in steady state (nothing changes between
// frames) a frame must allocate nothing.
#include <QApplication>
#include <QImage>
#include <QCoreApplication>
#include <QTest>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchmarkLevel.h"
#include "Camera.h"
#include "CountingNew.h"
#include "EditorState.h"
#include "EditorWindows.h"
#include "FrameLoop.h"
#include "GLEngine.h"
#include "Installation.h"
#include "ObjectBuffers.h"
#include "OrthoPainter.h"
#include "PathRatio.h"
#include "PictureLevel.h"
#include "SceneSurface.h"
#include "Vantor.h"
#include "WholeLevelView.h"

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

// Steady-state frames after `warmUp` ones, with the counters above.
void MeasureFrames(benchmark::State& state, TFVantor& window, int warmUp)
{
    for (int i = 0; i < warmUp; ++i)
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

void BM_StartupSceneFrame(benchmark::State& state)
{
    // The warm-up draws the first frames' texts and glyph lists.
    MeasureFrames(state, *TheEditor().windows->vantor, 20);
}
// Time is wall time, CPU the main thread's.
BENCHMARK(BM_StartupSceneFrame)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

// The benchmark level in the editor's state, both paths built.
void LoadBenchmarkLevel()
{
    static bool loaded = false;
    if (loaded)
        return;
    TheEditor();
    MakeEngineCurrent();
    EditorState& state = ::Editor();
    static_cast<ProjectContent&>(state) = qxbench::BenchmarkLevel(4000);
    for (const qx::ObjectPath path : {qx::ObjectPath::DisplayLists, qx::ObjectPath::Buffers}) {
        qx::SetObjectPath(path);
        for (int32_t i = 0; i < state.MapObjectCount; ++i)
            if (const auto& o = state.MapObjects[static_cast<size_t>(i)])
                o->BuildDisplayLists();
        // The helpers the frame draws as well.
        for (TQX3DObject* o : {state.GridObject, state.PlayerMarker})
            if (o)
                o->BuildDisplayLists();
    }
    loaded = true;
}

// The scene panel as near `width` (256: 256 x 256, 1024: 1024 x 768,
// 1280: 1280 x 720) as the window lets it be, the camera in the level.
TFVantor& LevelInView(int64_t width)
{
    LoadBenchmarkLevel();
    TFVantor& window = *TheEditor().windows->vantor;
    const int w = width == 1280 || width == 1024 ? static_cast<int>(width) : 256;
    const int h = width == 1280 ? 720 : width == 1024 ? 768 : 256;
    // The panel takes what the window's other parts leave.
    for (int i = 0; i < 3; ++i) {
        window.resize(window.width() + w - window.Scene->width(), window.height() + h - window.Scene->height());
        QCoreApplication::processEvents();
    }
    ::Editor().Camera->SetPosition(0, 12, 0);
    return window;
}

// The picture of every drawing (the display lists, the buffers, the
// buffers culled), read back from the frame's buffer: how many of the
// buffers' and the culled frame's pixels differ from the reference's.
void BM_BenchmarkLevelPicture(benchmark::State& state)
{
    TFVantor& window = LevelInView(state.range(0));
    const qreal ratio = window.SceneWindow->devicePixelRatio();
    const int w = static_cast<int>(window.Scene->width() * ratio), h = static_cast<int>(window.Scene->height() * ratio);
    std::vector<unsigned char> pictures[3];
    for (auto _ : state)
        for (const qxtest::Drawing drawing : qxtest::kDrawings) {
            qxtest::UseDrawing(drawing);
            DrawFrame(window);
            auto& picture = pictures[static_cast<size_t>(drawing)];
            picture.resize(static_cast<size_t>(w) * static_cast<size_t>(h) * 4);
            glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, picture.data());
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        }
    state.counters["pixels"] = w * h;
    for (const qxtest::Drawing drawing : {qxtest::Drawing::Buffers, qxtest::Drawing::Culled}) {
        const size_t differ = qxtest::DifferentPixels(pictures[0], pictures[static_cast<size_t>(drawing)]);
        const std::string name = drawing == qxtest::Drawing::Buffers ? "buffers" : "culled";
        state.counters[name + " differing"] = static_cast<double>(differ);
        state.counters[name + " differing %"] = 100.0 * static_cast<double>(differ) / (w * h);
    }
    qxtest::UseDrawing(qxtest::Drawing::Culled);
}
BENCHMARK(BM_BenchmarkLevelPicture)
    ->ArgName("width")
    ->Arg(256)
    ->Arg(1024)
    ->Arg(1280)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// Arguments: the drawing (0 the display lists, 1 the buffers, 2 the
// buffers culled) and the scene panel's width.
void BM_BenchmarkLevelFrame(benchmark::State& state)
{
    TFVantor& window = LevelInView(state.range(1));
    qxtest::UseDrawing(qxtest::kDrawings[std::clamp<int64_t>(state.range(0), 0, 2)]);
    MeasureFrames(state, window, 5);
    state.counters["panel w"] = window.Scene->width();
    state.counters["panel h"] = window.Scene->height();
    qxtest::UseDrawing(qxtest::Drawing::Culled);
}
BENCHMARK(BM_BenchmarkLevelFrame)
    ->ArgNames({"path", "width"})
    ->ArgsProduct({{0, 1, 2}, {256, 1024, 1280}})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0)
    ->UseRealTime();

// The culled frame against the buffers' frame in turns (PathRatio.h); run
// with LP_NUM_THREADS=0 for Mesa's drawing to count.
void BM_BenchmarkLevelFrame_CulledOverBuffers(benchmark::State& state)
{
    TFVantor& window = LevelInView(state.range(0));
    qxbench::CulledOverBuffers(state, [&](bool culled) {
        qxtest::UseDrawing(culled ? qxtest::Drawing::Culled : qxtest::Drawing::Buffers);
        RenderFrame(window);
    });
    qxtest::UseDrawing(qxtest::Drawing::Culled);
}
BENCHMARK(BM_BenchmarkLevelFrame_CulledOverBuffers)
    ->ArgName("width")
    ->Arg(256)
    ->Arg(1024)
    ->Arg(1280)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(8.0);

// The top view of the whole benchmark level at 1280 x 720, painted as the 2D
// pane paints it (into the image it then shows), against the frame
// above at the same size: its bounds table kept, as a pane keeps it between
// changes.  The camera and cursor marks are drawn too.  Argument 1 zooms in
// on the middle of the level until placements show part by part, as many
// parts as a picture draws one by one.
void BM_TopViewPaint(benchmark::State& state)
{
    LoadBenchmarkLevel();
    const EditorState& doc = ::Editor();
    qx::PlacedBoundsTable table;
    table.Rebuild(doc);
    qx::OrthoView view = qxbench::WholeLevelView(doc, table);
    if (state.range(0) == 1)
        view.ZoomAbout(view.width / 2.0, view.height / 2.0, 16);
    OrthoCamera camera;
    camera.shown = true;
    QImage image(view.width, view.height, QImage::Format_RGB32);
    OrthoPainter painter;
    const auto paint = [&] { painter.Paint(image, doc, view, table, camera); };
    paint();
    const long long before = qxbench::HeapAllocations();
    const Clocks start;
    for (auto _ : state)
        paint();
    const Clocks end;
    const double frames = static_cast<double>(state.iterations());
    state.counters["allocs/frame"] = static_cast<double>(qxbench::HeapAllocations() - before) / frames;
    state.counters["cpu ms/frame"] = 1e3 * (end.thread - start.thread) / frames;
    state.counters["process cpu ms/frame"] = 1e3 * (end.process - start.process) / frames;
}
BENCHMARK(BM_TopViewPaint)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

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
    if (g_editor) {
        // The level's GL objects go while their context is current.
        MakeEngineCurrent();
        static_cast<ProjectContent&>(::Editor()) = ProjectContent();
    }
    g_editor.reset();  // windows and GL go before the application object
    return 0;
}
