// The game's start-up plus its first 10 frames on the editor's benchmark
// level (2,000 objects of 50 boxes, 50,000 placements), saved as a project
// in a temporary folder.  Each round starts, in turn:
//   cold:   a probe of the game's start (the level loaded as GAME_EXE loads
//           it, then 10 frames of the start view at 1024 x 768) without the
//           warm-up before the first frame;
//   warm:   the same probe with the warm-up (qx::PrepareDrawing);
//   game:   GAME_EXE of this build, QX_GAME_FRAMES=10;
//   before: when QX_BENCH_GAME_BEFORE names another build's GAME_EXE (one
//           that plays the project in Sys/Saves beside itself, such as the
//           display-list build), that one on the same project.
// Reported: each one's CPU time (user + system of the whole process, the
// median of the rounds), game/before, what the warm-up costs (warm - cold)
// against the probe's first frame without it, and the probes' frames: the
// slowest of the 10 and the first against their median.  Run with
// LP_NUM_THREADS=0 (Mesa's drawing then counts on the drawing thread and no
// rasterizer threads wait for it) under xvfb-run.
#include <QGuiApplication>
#include <QOpenGLFramebufferObject>
#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "BenchmarkLevel.h"
#include "GLEngine.h"
#include "GameLevel.h"
#include "GlTestContext.h"
#include "NumberText.h"
#include "Paths.h"
#include "PlayerMotion.h"
#include "Project.h"
#include "Textures.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

constexpr int kFrames = 10;
constexpr int kWidth = 1024, kHeight = 768;

double ThreadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) * 1e-6;
}

// The probe: what GameWindow::Start and its first frames do, without the
// window.  Prints the frames' CPU times in microseconds, one per line.
int RunProbe(int argc, char** argv, const std::string& folder, bool warm)
{
    QGuiApplication app(argc, argv);
    qxtest::GlTestContext context;
    if (!context.valid())
        return 1;
    context.makeCurrent();
    QOpenGLFramebufferObject frame(kWidth, kHeight, QOpenGLFramebufferObject::Depth);
    frame.bind();
    InitGLState();
    qx::GameLevel level;
    qx::BuildGameLevel(qx::ReadGameLevel(QX_DIST_DIR "/", folder, {}, false), level);
    qx::PlayerMotion player(level.scene.collision, level.scene.start);
    if (warm)
        qx::PrepareDrawing(level.content, level.scene, level.sky.get(), kWidth, kHeight);
    qx::MoveInput input;
    for (int f = 0; f < kFrames; ++f) {
        const double start = ThreadCpuMs();
        player.Advance(1.0 / 60, input);
        qx::ViewPoint view;
        player.Eye(view.eye);
        glPushMatrix();
        qx::DrawLevel(level.content, level.scene, level.sky.get(), view, kWidth, kHeight);
        glPopMatrix();
        glFinish();
        const double us = (ThreadCpuMs() - start) * 1e3;
        std::printf("%s\n", IntToEditText(static_cast<int32_t>(us)).c_str());
    }
    return 0;
}

// The benchmark level as a project on disk (the player where the project
// benchmark puts it), once per run.
const fs::path& ProjectFolder()
{
    static const fs::path folder = [] {
        const fs::path made = fs::temp_directory_path() / ("qx-bench-start-" + std::to_string(::getpid()));
        fs::create_directories(made);
        ProjectContent content = qxbench::BenchmarkLevel(4000);
        content.PlayerPos[0] = 0.5f;
        content.PlayerPos[1] = 2;
        content.PlayerPos[2] = -0.5f;
        MemoryTree empty;
        qx::SaveProject(made.string() + "/", Textures(), content, {&empty, &empty});
        return made;
    }();
    return folder;
}

// A copy of another build's GAME_EXE with the project in Sys/Saves beside
// it and that build's pictures, for a build that takes no folder.
std::string BeforeGame()
{
    static const std::string copied = []() -> std::string {
        const char* given = std::getenv("QX_BENCH_GAME_BEFORE");
        if (!given || !*given)
            return {};
        const fs::path from(given);
        const fs::path at = ProjectFolder().string() + "-before";
        fs::create_directories(at / "Sys");
        fs::copy_file(from, at / "GAME_EXE", fs::copy_options::overwrite_existing);
        fs::copy(ProjectFolder(), at / "Sys" / "Saves",
                 fs::copy_options::recursive | fs::copy_options::skip_existing);
        if (fs::exists(from.parent_path() / "textures") && !fs::exists(at / "textures"))
            fs::create_directory_symlink(fs::absolute(from.parent_path() / "textures"), at / "textures");
        return (at / "GAME_EXE").string();
    }();
    return copied;
}

struct Run {
    double cpuMs = 0;                 // user + system of the process
    std::vector<double> framesMs;     // the probe's frames
};

// Starts `args` with QX_GAME_FRAMES set and waits for it.
Run Start(const std::vector<std::string>& args)
{
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        if (std::string(*e).rfind("QX_GAME_FRAMES=", 0) != 0)
            env.emplace_back(*e);
    env.push_back("QX_GAME_FRAMES=" + std::to_string(kFrames));
    std::vector<char*> envp;
    for (const std::string& e : env)
        envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    int out[2];
    if (::pipe(out) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    pid_t pid = 0;
    const int failed = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t n; !failed && (n = ::read(out[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<size_t>(n));
    ::close(out[0]);
    Run run;
    if (failed)
        return run;
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    run.cpuMs = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-3;
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = std::min(text.find('\n', at), text.size());
        if (end > at)
            run.framesMs.push_back(qx::StrictTextToInt(std::string_view(text).substr(at, end - at)) * 1e-3);
        at = end + 1;
    }
    return run;
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::string g_self;

void BM_GameStartPlus10Frames(benchmark::State& state)
{
    const char* threads = std::getenv("LP_NUM_THREADS");
    if (!threads || std::string(threads) != "0") {
        state.SkipWithError("run with LP_NUM_THREADS=0, so that Mesa draws on the measured thread");
        return;
    }
    const std::string folder = ProjectFolder().string() + "/";
    const std::string before = BeforeGame();
    enum { kCold, kWarm, kGame, kBefore, kKinds };
    std::vector<double> cpu[kKinds], firstFrame[2], slowest[2], firstToMedian[2];
    int round = 0;
    for (auto _ : state) {
        // Each round in another order, so that no kind always runs first.
        for (int n = 0; n < kKinds; ++n) {
            const int kind = (n + round) % kKinds;
            Run run;
            if (kind == kCold || kind == kWarm)
                run = Start({g_self, "--game-start-probe", folder, kind == kWarm ? "warm" : "cold"});
            else if (kind == kGame)
                run = Start({QX_DIST_DIR "/GAME_EXE", folder});
            else if (!before.empty())
                run = Start({before});
            else
                continue;
            cpu[kind].push_back(run.cpuMs);
            if (kind <= kWarm && run.framesMs.size() == static_cast<size_t>(kFrames)) {
                const double median = Median(run.framesMs);
                firstFrame[kind].push_back(run.framesMs[0]);
                slowest[kind].push_back(*std::max_element(run.framesMs.begin(), run.framesMs.end()) / median);
                firstToMedian[kind].push_back(run.framesMs[0] / median);
            }
        }
        ++round;
    }
    const char* names[kKinds] = {"cold", "warm", "game", "before"};
    for (int k = 0; k < kKinds; ++k)
        if (!cpu[k].empty())
            state.counters[std::string(names[k]) + "_cpu_ms"] = Median(cpu[k]);
    if (!cpu[kBefore].empty())
        state.counters["game/before"] = Median(cpu[kGame]) / Median(cpu[kBefore]);
    state.counters["warm-cold_ms"] = Median(cpu[kWarm]) - Median(cpu[kCold]);
    state.counters["cold_first_frame_ms"] = Median(firstFrame[kCold]);
    state.counters["(warm-cold)/cold_first"] =
        (Median(cpu[kWarm]) - Median(cpu[kCold])) / Median(firstFrame[kCold]);
    state.counters["warm_first/median"] = Median(firstToMedian[kWarm]);
    state.counters["warm_slowest/median"] = Median(slowest[kWarm]);
    state.counters["cold_first/median"] = Median(firstToMedian[kCold]);
}
BENCHMARK(BM_GameStartPlus10Frames)->Iterations(5)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == "--game-start-probe")
        return RunProbe(1, argv, argv[2], std::string(argv[3]) == "warm");
    g_self = fs::canonical("/proc/self/exe").string();
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    fs::remove_all(ProjectFolder(), ignored);
    fs::remove_all(ProjectFolder().string() + "-before", ignored);
    return 0;
}
