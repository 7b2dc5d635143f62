// The game runtime's frame and collision step on a generated level of the
// editor's benchmark size: 2,000 objects of 50 boxes, 50,000 placements on a
// 1,500 x 1,200 field.  The player stands at the field's edge, looking into
// the placements or away from them (frustum culling must make looking away
// cheap), and walks through the field for the collision step.  Counters:
// allocs/frame (the counting operator new: play allocates nothing) and the
// placements and grid cells a frame touches.  Needs a display (xvfb-run).
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <string>
#include <memory>
#include <vector>

#include "Collisions.h"
#include "CountingNew.h"
#include "GlBenchMain.h"
#include "GLEngine.h"
#include "GlTestContext.h"
#include "LevelScene.h"
#include "PlayerMotion.h"
#include "QX3DObject.h"
#include "Skybox.h"

namespace {

qxtest::GlTestContext* g_context = nullptr;

constexpr int kObjects = 2000;
constexpr int kBoxes = 50;
constexpr int kColumns = 250;
constexpr int kRows = 200;
constexpr float kSpacing = 6.0f;

// Objects of 5 x 5 x 2 boxes of 0.8 (a 4 x 1.6 x 4 block, lower than a
// step); the boxes keep the volumes the object-file reader gives them.
struct BenchLevel {
    ProjectContent content;
    qx::LevelScene scene;
    std::unique_ptr<TSkybox> sky;

    BenchLevel()
    {
        for (int n = 0; n < kObjects; ++n) {
            const std::string name = "_Bench" + std::to_string(n);
            TQX3DObject& o = *content.MapObjects[static_cast<size_t>(content.AddObject(name))];
            o.Collision = std::make_shared<TCollision>(name);
            o.Collision->Margin = 0;
            for (int b = 0; b < kBoxes; ++b) {
                const float x = float(b % 5) * 0.8f, y = float(b / 25) * 0.8f, z = float(b / 5 % 5) * 0.8f;
                o.Lists[0]->AddBox(-1, x, y, z, 0.8f, 0.8f, 0.8f, 1, 0, float(n % 4) * 5, 0);
                o.Collision->AddVolume(x, y, z, 0.8f, 0.8f, 0.8f);
            }
            o.BuildDisplayLists();
        }
        for (int p = 0; p < kColumns * kRows; ++p)
            content.AddPlacement("_Bench" + std::to_string(p % kObjects),
                                 TPlacement{float(p % kColumns) * kSpacing, 0, float(p / kColumns) * kSpacing, 0,
                                            float(p % 4) * 90, 0, 1, 1 + float(p % 3) * 0.25f, 1});
        // A ground under the field, so the walk has a floor.
        TQX3DObject& ground = *content.MapObjects[static_cast<size_t>(content.AddObject("_Ground"))];
        ground.Collision = std::make_shared<TCollision>("_Ground");
        ground.Collision->Margin = 0;
        ground.Collision->AddVolume(-100, -1, -100, 1700, 1, 1400);
        content.AddPlacement("_Ground", TPlacement{0, 0, 0, 0, 0, 0, 1, 1, 1});
        content.PlayerPos[0] = -10;
        content.PlayerPos[2] = 600;
        scene.Build(content);
        sky = std::make_unique<TSkybox>(true, 500.0f);
        sky->BuildList();
    }
};

BenchLevel& Level()
{
    static BenchLevel* level = [] {
        g_context->makeCurrent();
        InitGLState();
        return new BenchLevel();
    }();
    return *level;
}

void Frame(benchmark::State& state, float yaw)
{
    BenchLevel& level = Level();
    qx::ViewPoint view;
    view.eye[0] = -10;
    view.eye[1] = 4;
    view.eye[2] = 600;
    view.yaw = yaw;
    view.pitch = -0.1f;
    qx::DrawCounts counts;
    const auto frame = [&] {
        glPushMatrix();
        counts = qx::DrawLevel(level.content, level.scene, level.sky.get(), view, 256, 256);
        glPopMatrix();
        glFinish();
    };
    for (int i = 0; i < 3; ++i)
        frame();
    const long long allocs = qxbench::HeapAllocations();
    for (auto _ : state)
        frame();
    const double n = static_cast<double>(state.iterations());
    state.counters["allocs/frame"] = static_cast<double>(qxbench::HeapAllocations() - allocs) / n;
    state.counters["placements"] = counts.placements;
    state.counters["cells"] = counts.cells;
}

// Yaw 0 looks along +Z; +X (into the field) is yaw pi/2, -X is -pi/2.
void BM_GameFrame_IntoPlacements(benchmark::State& state) { Frame(state, 1.5707964f); }
void BM_GameFrame_AwayFromPlacements(benchmark::State& state) { Frame(state, -1.5707964f); }
BENCHMARK(BM_GameFrame_IntoPlacements)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_GameFrame_AwayFromPlacements)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The collision step of one 60 Hz frame: a running, jumping, turning walk
// through the field.
void BM_GameCollisionStepPerFrame(benchmark::State& state)
{
    BenchLevel& level = Level();
    qx::PlayerMotion player(level.scene.collision, level.scene.start);
    qx::MoveInput in;
    in.forward = in.run = in.jump = true;
    in.yaw = 1.5707964f;
    int frame = 0;
    const long long allocs = qxbench::HeapAllocations();
    for (auto _ : state) {
        in.yaw = 1.5707964f + 0.6f * std::sin(float(frame++) * 0.01f);
        player.Advance(1.0 / 60, in);
    }
    state.counters["allocs/frame"] =
        static_cast<double>(qxbench::HeapAllocations() - allocs) / static_cast<double>(state.iterations());
    state.counters["x"] = player.Feet()[0];
}
BENCHMARK(BM_GameCollisionStepPerFrame)->Unit(benchmark::kMicrosecond);

double ThreadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) * 1e-6;
}

// Slowest frame against the median, of wall time and of this thread's CPU
// time (with LP_NUM_THREADS=0 Mesa draws on this thread, so the CPU time is
// the frame's whole work without the waits of a machine shared with others).
void ReportSpread(benchmark::State& state, const char* prefix, std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    const std::string p(prefix);
    state.counters[p + "median_ms"] = median;
    state.counters[p + "p99_ms"] = times[times.size() * 99 / 100];
    state.counters[p + "max_ms"] = times.back();
    state.counters[p + "max/median"] = times.back() / median;
}

// Thirty seconds of play at 60 Hz (1,800 frames: step and draw) walking into
// the field; the slowest frame against the median shows hitches.
void BM_GameWalk30Seconds(benchmark::State& state)
{
    BenchLevel& level = Level();
    std::vector<double> times(1800), cpu(1800);
    for (auto _ : state) {
        qx::PlayerMotion player(level.scene.collision, level.scene.start);
        qx::MoveInput in;
        in.forward = in.run = in.jump = true;
        for (size_t f = 0; f < times.size(); ++f) {
            const auto t0 = std::chrono::steady_clock::now();
            const double c0 = ThreadCpuMs();
            in.yaw = 1.5707964f + 0.6f * std::sin(float(f) * 0.01f);
            player.Advance(1.0 / 60, in);
            qx::ViewPoint view;
            player.Eye(view.eye);
            view.yaw = in.yaw;
            glPushMatrix();
            qx::DrawLevel(level.content, level.scene, level.sky.get(), view, 256, 256);
            glPopMatrix();
            glFinish();
            times[f] = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
            cpu[f] = ThreadCpuMs() - c0;
        }
    }
    ReportSpread(state, "", times);
    ReportSpread(state, "cpu_", cpu);
}
BENCHMARK(BM_GameWalk30Seconds)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) { return qxbench::RunGlBenchmarks(argc, argv, g_context); }
