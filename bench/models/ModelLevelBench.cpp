// A level built of one imported model: 1,000 placements of one object that
// holds a 65,522-face 3DS model (a height field generated into a temporary
// project folder), the model shared by all of them.
//
// - load: reading the project's files (ReadLevelFiles: texture list, object
//   list, the object file with its model, the map) against reading the
//   model file once (the work the load cannot avoid); goal at most 1.5 x;
// - the game's build of its collision world and draw grid for the level
//   (the model's bounding-volume tree made once);
// - the collision step of one 60 Hz frame (two ticks) of a running, jumping,
//   turning walk across the model's surface, tested per triangle; goal at
//   most 50 us.
// No GL, no display.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "LargeModel3ds.h"
#include "LevelFiles.h"
#include "LevelScene.h"
#include "ModelReaders.h"
#include "ModelsGl.h"
#include "Paths.h"
#include "PlayerMotion.h"
#include "ProjectFiles.h"
#include "QX3DObject.h"

namespace fs = std::filesystem;

namespace {

constexpr int kPlacements = 1000;
constexpr int kColumns = 40;
constexpr float kSpacing = 200;  // the model covers 181 x 181

struct ModelLevel {
    fs::path folder;
    std::string modelFile;

    ModelLevel()
    {
        folder = fs::temp_directory_path() / ("qx_model_level_" + std::to_string(::getpid()));
        fs::create_directories(folder / "models");
        modelFile = (folder / "models" / "hall.3ds").string();
        WriteWholeFile(modelFile, MakeLarge3ds(1, 182));
        TQX3DObject hall("_Hall");
        hall.AddList();
        TModel3ds model;
        model.FileName = "hall.3ds";
        model.Scale = {1, 1, 1};
        hall.Lists[0]->Append(model);
        ProjectContent content;
        content.AddObject("_Hall");
        for (int p = 0; p < kPlacements; ++p)
            content.AddPlacement("_Hall", TPlacement{float(p % kColumns) * kSpacing, 0,
                                                     float(p / kColumns) * kSpacing, 0, 0, 0, 1, 1, 1});
        // Above the middle of the first placement's field (x 0 .. 181,
        // z -181 .. 0, heights within 5 of 0).
        content.PlayerPos[0] = 70;
        content.PlayerPos[1] = 8;
        content.PlayerPos[2] = -90;
        WriteWholeFile((folder / qx::kTextureListFile).string(), "0\r\n");
        WriteWholeFile((folder / qx::kObjectListFile).string(), qx::FormatObjectList(content));
        WriteWholeFile((folder / "_Hall.qxobj").string(), qx::FormatObjectFile(hall));
        WriteWholeFile((folder / qx::kMapFile).string(), qx::FormatMap(content));
        qx::InstallModelReaders();
    }
    ~ModelLevel()
    {
        std::error_code ec;
        fs::remove_all(folder, ec);
    }
    qx::LevelFiles Load() const { return qx::ReadLevelFiles(folder.string() + "/", nullptr); }
};

ModelLevel& Level()
{
    static ModelLevel level;
    return level;
}

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

void BM_LevelLoadAgainstReadingTheModelOnce(benchmark::State& state)
{
    ModelLevel& level = Level();
    double model = 0, load = 0;
    int faces = 0, problems = 0;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        qx::ForgetModelFiles();
        const qx::ModelFileRead read = qx::ReadModelFile(qx::ModelKind::Model3ds, level.modelFile);
        auto t1 = std::chrono::steady_clock::now();
        const qx::LevelFiles files = level.Load();
        auto t2 = std::chrono::steady_clock::now();
        model += Seconds(t1 - t0);
        load += Seconds(t2 - t1);
        faces = static_cast<int>(read.model->Triangles().size() / 3);
        problems = static_cast<int>(files.modelProblems.size());
        benchmark::DoNotOptimize(files.content.PlacementCount);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["model_ms"] = model / n * 1e3;
    state.counters["load_ms"] = load / n * 1e3;
    state.counters["load/model"] = load / model;
    state.counters["faces"] = faces;
    state.counters["problems"] = problems;
}
BENCHMARK(BM_LevelLoadAgainstReadingTheModelOnce)->Unit(benchmark::kMillisecond)->MinTime(2.0);

struct PlayLevel {
    qx::LevelFiles files;
    qx::LevelScene scene;
    PlayLevel() : files(Level().Load()) { scene.Build(files.content); }
};

PlayLevel& Play()
{
    static PlayLevel play;
    return play;
}

void BM_GameCollisionBuildOfTheModelLevel(benchmark::State& state)
{
    const qx::LevelFiles& files = Play().files;
    for (auto _ : state) {
        qx::LevelScene scene;
        scene.Build(files.content);
        benchmark::DoNotOptimize(scene.collision.PlacementCount());
    }
}
BENCHMARK(BM_GameCollisionBuildOfTheModelLevel)->Unit(benchmark::kMillisecond);

// The collision step of one 60 Hz frame on the model's surface.
void BM_GameCollisionStepOnAModel(benchmark::State& state)
{
    PlayLevel& play = Play();
    qx::PlayerMotion player(play.scene.collision, play.scene.start);
    qx::MoveInput in;
    in.forward = in.run = in.jump = true;
    int frame = 0;
    for (auto _ : state) {
        // After a point going round a circle 100 across in the middle of the
        // first placement's field.
        const float turn = float(frame++) * 0.01f;
        const float dx = 90 + 50 * std::cos(turn) - player.Feet()[0];
        const float dz = -90 + 50 * std::sin(turn) - player.Feet()[2];
        in.yaw = std::atan2(dx, dz);
        player.Advance(1.0 / 60, in);
    }
    state.counters["volumes/frame"] =
        static_cast<double>(player.VolumesTested()) / static_cast<double>(state.iterations());
    state.counters["x"] = player.Feet()[0];
    state.counters["y"] = player.Feet()[1];
    state.counters["z"] = player.Feet()[2];
    state.counters["respawns"] = player.FallRespawns();
}
BENCHMARK(BM_GameCollisionStepOnAModel)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
