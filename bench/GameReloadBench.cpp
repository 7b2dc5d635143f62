// A running game following its project, on the benchmark level saved by
// the editor's own save (2,000 objects of 50 boxes, their boxes on four
// pictures of 512 x 512, 50,000 placements on a 4,000-unit field):
//
// - read_and_build (kind 0: a cold start, 1: the reload after a save that
//   changed one box, its build sliced as the game's frames slice it): wall
//   time of the read (ReadGameLevel) and of the build (the GL half);
//   the reload is held to 1.5 x the cold start;
// - frames while a reload happens: the game's frame (LevelReload's share,
//   then the level drawn at 256 x 256) with the follower's thread reading
//   after a save; this thread's CPU time per frame (run with
//   LP_NUM_THREADS=0 so that Mesa draws on it): the median frame before the
//   save and the slowest from the save's end until 60 frames after the
//   swap, held to 2 x; and the time from the save's completion to the end
//   of the first frame that draws the new level.  The median of three runs.
//
// Needs a display (xvfb-run).
#include <GL/gl.h>
#include <QImage>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "BenchmarkLevel.h"
#include "FrameClock.h"
#include "GLEngine.h"
#include "GameLevel.h"
#include "GlBenchMain.h"
#include "GlTestContext.h"
#include "LevelFollower.h"
#include "LevelScene.h"
#include "PlayerMotion.h"
#include "Project.h"
#include "Paths.h"
#include "ProjectWatch.h"
#include "TestSupport.h"
#include "Textures.h"

namespace fs = std::filesystem;

namespace {

qxtest::GlTestContext* g_context = nullptr;

constexpr int kPictures = 4;
constexpr int kSize = 256;

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point t) { return std::chrono::duration<double, std::milli>(Clock::now() - t).count(); }

// The process's CPU time: the read decodes on several threads.
double ProcessCpuMs() { return static_cast<double>(std::clock()) * 1e3 / CLOCKS_PER_SEC; }

// Wall and process CPU time of a piece of work.
struct Took {
    double wallMs = 0, cpuMs = 0;
    Took& operator+=(const Took& o)
    {
        wallMs += o.wallMs;
        cpuMs += o.cpuMs;
        return *this;
    }
};

template <typename F>
Took Time(F&& work)
{
    const auto t = Clock::now();
    const double c = ProcessCpuMs();
    work();
    return {MsSince(t), ProcessCpuMs() - c};
}

using qxbench::MedianOf;
using qxbench::ThreadCpuMs;

// The project on disk and what the editor saves into it.
struct SavedLevel {
    qxtest::TempDir dir;
    ProjectContent content;
    TextureRegistry pictures;  // the editor's registry: names only
    int saves = 0;

    SavedLevel() : content(qxbench::BenchmarkLevel(4000))
    {
        fs::create_directories(dir.path() / "textures");
        for (int i = 0; i < kPictures; ++i) {
            const std::string name = "bench" + std::to_string(i) + ".bmp";
            QImage picture(512, 512, QImage::Format_RGB32);
            picture.fill(QColor(40 * i, 200 - 40 * i, 90));
            picture.save(QString::fromStdString((dir.path() / "textures" / name).string()));
            pictures.TextureNames.push_back(name);
            pictures.TextureIds.push_back(0);
            pictures.TextureKeyed.push_back(false);
        }
        pictures.TextureCount = kPictures;
        for (int32_t n = 0; n < content.MapObjectCount; ++n)
            for (TBox& b : content.MapObjects[static_cast<size_t>(n)]->Lists[0]->Boxes)
                b.Texture = n % kPictures;
        content.PlayerPos[1] = 2;
        Save();
    }
    std::string Folder() const { return dir.path().string() + "/"; }
    // A designer's edit: one box of one object grows or shrinks.
    void Save()
    {
        content.MapObjects[0]->Lists[0]->Boxes[0].Size.Y = 1.0f + static_cast<float>(++saves % 2);
        qx::SaveProject(Folder(), pictures, content, qx::ProjectTrees{});
    }
};

SavedLevel& Saved()
{
    static SavedLevel* saved = new SavedLevel();
    return *saved;
}

std::string ProgramFolder() { return std::string(QX_DIST_DIR) + "/"; }

void MakeCurrent()
{
    static bool initialised = false;
    g_context->makeCurrent();
    if (!initialised)
        InitGLState();
    initialised = true;
}

// A level as the game's start reads and builds it.
std::unique_ptr<qx::GameLevel> ColdLevel(Took* read = nullptr, Took* build = nullptr)
{
    auto level = std::make_unique<qx::GameLevel>();
    std::optional<qx::LevelRead> r;
    const Took reading = Time([&] { r.emplace(qx::ReadGameLevel(ProgramFolder(), Saved().Folder(), {}, false)); });
    const Took building = Time([&] { qx::BuildGameLevel(std::move(*r), *level); });
    if (read)
        *read += reading;
    if (build)
        *build += building;
    return level;
}

// Kind 0: a cold start's read and build; 1: the reload's, after a save.
// Manual time: read and build; counters: each apart, in wall and process
// CPU time, and the old level's release.
void BM_GameReadAndBuild(benchmark::State& state)
{
    MakeCurrent();
    SavedLevel& saved = Saved();
    const bool reload = state.range(0) == 1;
    std::unique_ptr<qx::GameLevel> played = reload ? ColdLevel() : nullptr;
    Took read, build, release;
    for (auto _ : state) {
        const Took before = read;
        const Took builtBefore = build;
        if (!reload) {
            std::unique_ptr<qx::GameLevel> level = ColdLevel(&read, &build);
            release += Time([&] {
                level.reset();
                glFinish();
            });
        } else {
            saved.Save();
            std::optional<qx::LevelRead> next;
            read += Time([&] { next.emplace(qx::ReadGameLevel(ProgramFolder(), saved.Folder(), played->pictures, true)); });
            std::optional<qx::GameLevel> built;
            build += Time([&] {
                // Slices as a frame of 10 ms gives them.
                qx::LevelBuild building(std::move(*next), played->pictures);
                while (!building.Step(Clock::now() + std::chrono::microseconds(2500))) {
                }
                built.emplace(building.Finish(played->pictures));
            });
            release += Time([&] {
                *played = std::move(*built);
                glFinish();
            });
        }
        state.SetIterationTime((read.wallMs - before.wallMs + build.wallMs - builtBefore.wallMs) * 1e-3);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["read_ms"] = read.wallMs / n;
    state.counters["read_cpu_ms"] = read.cpuMs / n;
    state.counters["build_ms"] = build.wallMs / n;
    state.counters["build_cpu_ms"] = build.cpuMs / n;
    state.counters["old_level_freed_ms"] = release.wallMs / n;
}
BENCHMARK(BM_GameReadAndBuild)
    ->ArgName("reload")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

struct FramesRun {
    double medianMs = 0, slowestMs = 0, slowestBeforeMs = 0, slowestWallMs = 0, medianWallMs = 0, saveToScreenMs = 0;
    double slowestAfterSwap = 0;  // the slowest frame's place: 0 the swap's frame, -1 the one before...
    double buildFrames = 0;       // frames before the swap slower than 1.5 x the median
};

FramesRun RunWhileReloading(qx::GameLevel& level)
{
    SavedLevel& saved = Saved();
    qx::LevelFollower follower(ProgramFolder(), saved.Folder(), qx::StampProject(ToFsPath(saved.Folder())));
    follower.Resume(level.pictures, nullptr);
    qx::LevelReload reload;
    qx::ViewPoint view;
    std::copy(level.scene.start, level.scene.start + 3, view.eye);
    view.eye[1] += qx::PlayerMotion::kEyeHeight;
    view.yaw = 1.5707964f;
    view.pitch = -0.1f;
    std::vector<double> cpu, wall;
    // One frame as the game's: the reload's share, then the level drawn.
    const auto frame = [&] {
        const auto t = Clock::now();
        const double c = ThreadCpuMs();
        const qx::LevelReload::Step step = reload.Frame(follower, level);
        glPushMatrix();
        qx::DrawLevel(level.content, level.scene, level.sky.get(), view, kSize, kSize);
        glPopMatrix();
        glFinish();
        cpu.push_back(ThreadCpuMs() - c);
        wall.push_back(MsSince(t));
        if (step.event != qx::LevelReload::Event::None)
            follower.Resume(level.pictures, nullptr);
        return step.event;
    };
    for (int i = 0; i < 120; ++i)
        frame();
    FramesRun run;
    run.medianMs = MedianOf(cpu);
    run.slowestBeforeMs = *std::max_element(cpu.begin(), cpu.end());
    run.medianWallMs = MedianOf(wall);
    const size_t saved0 = cpu.size();
    saved.Save();
    const auto saveEnd = Clock::now();
    size_t swapped = 0;
    while (frame() != qx::LevelReload::Event::Swapped)
        if (MsSince(saveEnd) > 30000)
            std::abort();
    swapped = cpu.size() - 1;
    run.saveToScreenMs = MsSince(saveEnd);
    for (int i = 0; i < 60; ++i)
        frame();
    const auto slowest = std::max_element(cpu.begin() + static_cast<std::ptrdiff_t>(saved0), cpu.end());
    run.slowestMs = *slowest;
    run.slowestAfterSwap = static_cast<double>(slowest - cpu.begin()) - static_cast<double>(swapped);
    run.slowestWallMs = *std::max_element(wall.begin() + static_cast<std::ptrdiff_t>(saved0), wall.end());
    for (size_t f = saved0; f < swapped; ++f)
        run.buildFrames += cpu[f] > 1.5 * run.medianMs ? 1 : 0;
    return run;
}

void BM_GameFramesWhileReloading(benchmark::State& state)
{
    const char* threads = std::getenv("LP_NUM_THREADS");
    if (!threads || std::string(threads) != "0") {
        state.SkipWithError("run with LP_NUM_THREADS=0, so that Mesa draws on the measured thread");
        return;
    }
    MakeCurrent();
    std::unique_ptr<qx::GameLevel> level = ColdLevel();
    qx::PrepareDrawing(level->content, level->scene, level->sky.get(), kSize, kSize);
    std::vector<FramesRun> runs;
    for (auto _ : state)
        runs.push_back(RunWhileReloading(*level));
    const auto median = [&](double FramesRun::*field) {
        std::vector<double> values;
        for (const FramesRun& r : runs)
            values.push_back(r.*field);
        return MedianOf(values);
    };
    const double frame = median(&FramesRun::medianMs);
    state.counters["cpu_median_ms"] = frame;
    state.counters["cpu_slowest_ms"] = median(&FramesRun::slowestMs);
    state.counters["cpu_slowest/median"] = median(&FramesRun::slowestMs) / frame;
    state.counters["cpu_slowest_before_save/median"] = median(&FramesRun::slowestBeforeMs) / frame;
    state.counters["wall_slowest/median"] = median(&FramesRun::slowestWallMs) / median(&FramesRun::medianWallMs);
    state.counters["slowest_after_swap"] = median(&FramesRun::slowestAfterSwap);
    state.counters["slow_frames_before_swap"] = median(&FramesRun::buildFrames);
    state.counters["save_to_screen_ms"] = median(&FramesRun::saveToScreenMs);
}
BENCHMARK(BM_GameFramesWhileReloading)->Iterations(3)->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) { return qxbench::RunGlBenchmarks(argc, argv, g_context); }
