// The game runtime's frame and collision step on a generated level of the
// editor's benchmark size: 2,000 objects of 50 boxes, 50,000 placements on a
// 1,500 x 1,200 field.  The player stands at the field's edge, looking into
// the placements or away from them (frustum culling must make looking away
// cheap), and walks through the field for the collision step (its volumes
// turned as they are drawn) and for thirty seconds of play.  Counters:
// allocs/frame (the counting operator new: play allocates nothing) and the
// placements and grid cells a frame touches.  Needs a display (xvfb-run).
//
// The frames run on every object path (path 0: the display lists kept as
// the reference, 1: the vertex buffers, 2: the buffers with occlusion
// culling of placements and of the boxes of those that show, the pictures
// of all three compared) at 256 x 256, 1024 x 768 and 1280 x 720, and
// beside them a frame of only the placements GL shows (what culling whole
// placements could reach at most); CPU
// time is this thread's, so run with LP_NUM_THREADS=0 for Mesa's drawing
// to count.  A 65,000-face 3DS model placed 100 times in view is held
// against the same triangles drawn as boxes.
#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include <sys/resource.h>

#include "Collisions.h"
#include "CountingNew.h"
#include "FrameClock.h"
#include "GlBenchMain.h"
#include "GLEngine.h"
#include "GlTestContext.h"
#include "LevelScene.h"
#include "NumberText.h"
#include "Paths.h"
#include "PlayerMotion.h"
#include "Model3ds.h"
#include "ModelsGl.h"
#include "ObjectBuffers.h"
#include "PathRatio.h"
#include "PictureLevel.h"
#include "QX3DObject.h"
#include "Skybox.h"

#include <QOpenGLFramebufferObject>

namespace {

qxtest::GlTestContext* g_context = nullptr;

using qxbench::MedianOf;
using qxbench::ThreadCpuMs;

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
            // Both paths, so that one run holds them side by side.
            qx::SetObjectPath(qx::ObjectPath::DisplayLists);
            o.BuildDisplayLists();
            qx::SetObjectPath(qx::ObjectPath::Buffers);
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
        // As the game does before its first frame.
        qx::PrepareDrawing(content, scene, sky.get(), 256, 256);
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

// The frame's size: 256 x 256 draws into the context's own framebuffer,
// 1024 x 768 and 1280 x 720 into one of that size.
struct FrameSize {
    int width, height;
    explicit FrameSize(int64_t arg)
        : width(arg == 1280 || arg == 1024 ? static_cast<int>(arg) : 256),
          height(arg == 1280 ? 720 : arg == 1024 ? 768 : 256)
    {
        static QOpenGLFramebufferObject* big[2] = {nullptr, nullptr};
        g_context->makeCurrent();
        if (width == 256)
            return;
        QOpenGLFramebufferObject*& frame = big[width == 1024];
        if (!frame)
            frame = new QOpenGLFramebufferObject(width, height, QOpenGLFramebufferObject::Depth);
        frame->bind();
    }
};

// Three frames to warm up, then the measured ones; allocs/frame counts the
// heap allocations of the measured frames.
template <typename F>
void MeasureFrames(benchmark::State& state, F&& frame)
{
    for (int i = 0; i < 3; ++i)
        frame();
    const long long allocs = qxbench::HeapAllocations();
    for (auto _ : state)
        frame();
    state.counters["allocs/frame"] =
        static_cast<double>(qxbench::HeapAllocations() - allocs) / static_cast<double>(state.iterations());
}

// Arguments: the object path (0 reference, 1 buffers, 2 buffers with
// occlusion culling) and the frame's width.
// The player at the field's edge, looking the way of `yaw` (0 along +Z;
// +X, into the field, is pi/2) and a little down.
qx::ViewPoint FieldEdgeView(float yaw, float pitch = -0.1f)
{
    qx::ViewPoint view;
    view.eye[0] = -10;
    view.eye[1] = 4;
    view.eye[2] = 600;
    view.yaw = yaw;
    view.pitch = pitch;
    return view;
}

using qxtest::Drawing;
using qxtest::kDrawings;

void UseDrawing(const benchmark::State& state)
{
    qxtest::UseDrawing(kDrawings[std::clamp<int64_t>(state.range(0), 0, 2)]);
}

// The frame into the placements on every path, read back: how many of the
// buffers' and the culled frame's pixels differ from the reference's.
void BM_GamePicture(benchmark::State& state)
{
    BenchLevel& level = Level();
    const FrameSize size(state.range(0));
    const qx::ViewPoint view = FieldEdgeView(1.5707964f);
    std::vector<unsigned char> pictures[3];
    int hidden = 0;
    for (auto _ : state)
        for (const Drawing path : kDrawings) {
            qxtest::UseDrawing(path);
            glPushMatrix();
            hidden = qx::DrawLevel(level.content, level.scene, level.sky.get(), view, size.width, size.height).hidden;
            glPopMatrix();
            auto& picture = pictures[static_cast<int>(path)];
            picture.resize(static_cast<size_t>(size.width) * static_cast<size_t>(size.height) * 4);
            glReadPixels(0, 0, size.width, size.height, GL_RGBA, GL_UNSIGNED_BYTE, picture.data());
        }
    const double pixels = size.width * size.height;
    state.counters["pixels"] = pixels;
    state.counters["hidden"] = hidden;
    for (const Drawing path : {Drawing::Buffers, Drawing::Culled}) {
        const size_t differ = qxtest::DifferentPixels(pictures[0], pictures[static_cast<int>(path)]);
        const std::string name = path == Drawing::Buffers ? "buffers" : "culled";
        state.counters[name + " differing"] = static_cast<double>(differ);
        state.counters[name + " differing %"] = 100.0 * static_cast<double>(differ) / pixels;
    }
    qxtest::UseDrawing(Drawing::Culled);
}
BENCHMARK(BM_GamePicture)->ArgName("width")->Arg(256)->Arg(1024)->Arg(1280)->Iterations(1)->Unit(benchmark::kMillisecond);

// Without `rasterise`, a one-pixel scissor leaves Mesa's rasterizer (the
// same work on both paths, for the same picture) next to nothing: what
// remains is the frame's own CPU and Mesa's vertex work.
void Frame(benchmark::State& state, float yaw, bool rasterise = true, float pitch = -0.1f)
{
    BenchLevel& level = Level();
    const FrameSize size(state.range(1));
    UseDrawing(state);
    const qx::ViewPoint view = FieldEdgeView(yaw, pitch);
    qx::DrawCounts counts;
    const auto frame = [&] {
        glPushMatrix();
        if (!rasterise) {
            glEnable(GL_SCISSOR_TEST);
            glScissor(0, 0, 1, 1);
        }
        counts = qx::DrawLevel(level.content, level.scene, level.sky.get(), view, size.width, size.height);
        glDisable(GL_SCISSOR_TEST);
        glPopMatrix();
        glFinish();
    };
    MeasureFrames(state, frame);
    state.counters["placements"] = counts.placements;
    state.counters["hidden"] = counts.hidden;
    state.counters["hidden chunks"] = counts.hiddenChunks;
    state.counters["cells"] = counts.cells;
    qxtest::UseDrawing(Drawing::Culled);
}

// Yaw 0 looks along +Z; +X (into the field) is yaw pi/2, -X is -pi/2.
void BM_GameFrame_IntoPlacements(benchmark::State& state) { Frame(state, 1.5707964f); }
void BM_GameFrame_AwayFromPlacements(benchmark::State& state) { Frame(state, -1.5707964f); }
void BM_GameFrame_IntoPlacementsUnrasterised(benchmark::State& state) { Frame(state, 1.5707964f, false); }
// Down at the field's first rows, seen from above, and the floor between
// the blocks: much to draw, little hidden.
void BM_GameFrame_DownAtTheFloor(benchmark::State& state) { Frame(state, 1.5707964f, true, -0.6f); }
BENCHMARK(BM_GameFrame_IntoPlacements)
    ->ArgNames({"path", "width"})
    ->ArgsProduct({{0, 1, 2}, {256, 1024, 1280}})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
BENCHMARK(BM_GameFrame_IntoPlacementsUnrasterised)
    ->ArgNames({"path", "width"})
    ->ArgsProduct({{0, 1, 2}, {256, 1280}})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
BENCHMARK(BM_GameFrame_DownAtTheFloor)
    ->ArgNames({"path", "width"})
    ->ArgsProduct({{1, 2}, {256, 1024, 1280}})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
BENCHMARK(BM_GameFrame_AwayFromPlacements)
    ->ArgNames({"path", "width"})
    ->ArgsProduct({{0, 1, 2}, {256, 1024, 1280}})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

// The culled frame against the buffers' frame in turns (PathRatio.h).
// Views (first argument): 0 into the placements, 1 down at the floor, 2 away
// from them.
void BM_GameFrame_CulledOverBuffers(benchmark::State& state)
{
    BenchLevel& level = Level();
    const FrameSize size(state.range(1));
    const float yaw = state.range(0) == 2 ? -1.5707964f : 1.5707964f;
    const qx::ViewPoint view = FieldEdgeView(yaw, state.range(0) == 1 ? -0.6f : -0.1f);
    qxbench::CulledOverBuffers(state, [&](bool culled) {
        qxtest::UseDrawing(culled ? Drawing::Culled : Drawing::Buffers);
        glPushMatrix();
        qx::DrawLevel(level.content, level.scene, level.sky.get(), view, size.width, size.height);
        glPopMatrix();
        glFinish();
    });
    qxtest::UseDrawing(Drawing::Culled);
}
BENCHMARK(BM_GameFrame_CulledOverBuffers)
    ->ArgNames({"view", "width"})
    ->ArgsProduct({{0, 1, 2}, {256, 1024, 1280}})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(8.0);

// What culling whole placements could reach at most: the view into the
// placements drawn, then each placement in range and in view drawn again
// alone under an occlusion query (depth test LEQUAL, nothing written) to
// find those GL shows no pixel of; then frames of the sky, the ground and
// only the placements it showed, against frames of all of them (both
// without the culler).  Counters: placements wholly hidden, and the two
// frames' CPU time.
void BM_GameFrame_PlacementsShownOnly(benchmark::State& state)
{
    BenchLevel& level = Level();
    const FrameSize size(state.range(0));
    qxtest::UseDrawing(Drawing::Buffers);
    const qx::ViewPoint view = FieldEdgeView(1.5707964f);
    std::vector<uint32_t> all;
    for (uint32_t i = 0; i < level.content.Placements.size(); ++i) {
        const TPlacement& p = level.content.Placements[i];
        const double dx = p.PosX - view.eye[0], dz = p.PosZ - view.eye[2];
        if (dx * dx + dz * dz < 210.0 * 210.0 && level.content.PlacementObjects()[i] >= 0)
            all.push_back(i);
    }
    glPushMatrix();
    qx::DrawLevel(level.content, level.scene, level.sky.get(), view, size.width, size.height);
    glDepthFunc(GL_LEQUAL);
    glDepthMask(GL_FALSE);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    std::vector<GLuint> queries(all.size());
    glGenQueries(static_cast<GLsizei>(queries.size()), queries.data());
    for (size_t n = 0; n < all.size(); ++n) {
        const TPlacement& p = level.content.Placements[all[n]];
        glBeginQuery(GL_SAMPLES_PASSED, queries[n]);
        level.content.MapObjects[static_cast<size_t>(level.content.PlacementObjects()[all[n]])]->DrawAt(
            p.PosX, p.PosY, p.PosZ, p.RotX, p.RotY, p.RotZ, p.ScaleX, p.ScaleY, p.ScaleZ);
        glEndQuery(GL_SAMPLES_PASSED);
    }
    std::vector<uint32_t> shown;
    for (size_t n = 0; n < all.size(); ++n) {
        GLuint samples = 0;
        glGetQueryObjectuiv(queries[n], GL_QUERY_RESULT, &samples);
        if (samples > 0)
            shown.push_back(all[n]);
    }
    glDeleteQueries(static_cast<GLsizei>(queries.size()), queries.data());
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthMask(GL_TRUE);
    glDepthFunc(GL_LESS);
    glPopMatrix();
    qx::DrawBatch batch;
    const auto frame = [&](const std::vector<uint32_t>& placements) {
        glPushMatrix();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glViewport(0, 0, size.width, size.height);
        SetProjection(0, size.width, size.height);
        float d[3];
        qx::ViewDirection(view, d);
        gluLookAt(view.eye[0], view.eye[1], view.eye[2], view.eye[0] + d[0], view.eye[1] + d[1], view.eye[2] + d[2], 0, 1, 0);
        level.sky->Draw(view.eye[0], view.eye[1], view.eye[2]);
        for (const uint32_t i : placements) {
            const TPlacement& p = level.content.Placements[i];
            level.content.MapObjects[static_cast<size_t>(level.content.PlacementObjects()[i])]->AddTo(
                batch, p.PosX, p.PosY, p.PosZ, p.RotX, p.RotY, p.RotZ, p.ScaleX, p.ScaleY, p.ScaleZ);
        }
        batch.Draw();
        glPopMatrix();
        glFinish();
    };
    double allMs = 0, shownMs = 0;
    int frames = 0;
    for (auto _ : state) {
        const double t0 = ThreadCpuMs();
        frame(all);
        const double t1 = ThreadCpuMs();
        frame(shown);
        shownMs += ThreadCpuMs() - t1;
        allMs += t1 - t0;
        ++frames;
    }
    state.counters["placements"] = static_cast<double>(all.size());
    state.counters["hidden"] = static_cast<double>(all.size() - shown.size());
    state.counters["all_ms"] = allMs / frames;
    state.counters["shown_only_ms"] = shownMs / frames;
    state.counters["shown/all"] = shownMs / allMs;
    qxtest::UseDrawing(Drawing::Culled);
}
BENCHMARK(BM_GameFrame_PlacementsShownOnly)
    ->ArgName("width")
    ->Arg(256)
    ->Arg(1024)
    ->Arg(1280)
    ->Iterations(20)
    ->Unit(benchmark::kMillisecond);

// A 65,000-face model (one mesh, untextured, a wavy sheet of 161 x 203
// vertices), or the same 65,000 triangles as 5,417 boxes of 12 each.
std::unique_ptr<TQX3DObject> HeavyObject(bool model)
{
    auto o = std::make_unique<TQX3DObject>(model ? "_Model" : "_Boxes");
    o->AddList();
    TGLPremitives& list = *o->Lists[0];
    if (model) {
        T3DModel m;
        T3DObject& mesh = m.Objects.emplace_back();
        mesh.Material.Diffuse = {0.7f, 0.6f, 0.5f, 1};
        constexpr int kColumns = 161, kRows = 203;
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kColumns; ++c)
                mesh.Vertices.push_back({float(c) * 0.05f, 0.3f * std::sin(float(c + r) * 0.2f), float(r) * 0.05f});
        for (int r = 0; r + 1 < kRows; ++r)
            for (int c = 0; c + 1 < kColumns; ++c) {
                const auto v = static_cast<uint32_t>(r * kColumns + c);
                mesh.Faces.push_back({v, v + kColumns, v + 1});
                mesh.Faces.push_back({v + 1, v + kColumns, v + kColumns + 1});
            }
        mesh.Faces.resize(65000);
        qx::ComputeNormals(mesh);
        list.Models3ds.emplace_back();
        list.Models3ds[0].Model = qx::MakeModel3ds(std::move(m));
        list.Models3ds[0].Scale = {1, 1, 1};
        list.Model3dsCount = 1;
    } else {
        for (int b = 0; b < 5417; ++b)
            list.AddBox(-1, float(b % 80) * 0.1f, 0.3f * std::sin(float(b) * 0.1f), float(b / 80) * 0.12f, 0.08f,
                        0.08f, 0.1f, 1, 0, 0, 0);
    }
    o->BuildDisplayLists();
    return o;
}

// 100 placements of the object in a 10 x 10 block in front of the eye.
void HeavyFrame(benchmark::State& state, bool model)
{
    const FrameSize size(state.range(1));
    UseDrawing(state);
    static std::unique_ptr<TQX3DObject> objects[2][3];
    std::unique_ptr<TQX3DObject>& object = objects[model][state.range(0)];
    if (!object) {
        InitGLState();
        object = HeavyObject(model);
    }
    qx::DrawBatch batch;
    const auto frame = [&] {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glViewport(0, 0, size.width, size.height);
        SetProjection(0, size.width, size.height);
        gluLookAt(40, 30, -25, 40, 0, 40, 0, 1, 0);
        for (int p = 0; p < 100; ++p) {
            const float x = float(p % 10) * 9, z = float(p / 10) * 11;
            if (state.range(0) == 0)
                object->DrawAt(x, 0, z, 0, 0, 0, 1, 1, 1);
            else
                object->AddTo(batch, x, 0, z, 0, 0, 0, 1, 1, 1);
        }
        batch.Draw();
        glFinish();
    };
    MeasureFrames(state, frame);
    qxtest::UseDrawing(Drawing::Culled);
}

void BM_Model65kFacesTimes100(benchmark::State& state) { HeavyFrame(state, true); }
void BM_Boxes65kTrianglesTimes100(benchmark::State& state) { HeavyFrame(state, false); }
BENCHMARK(BM_Model65kFacesTimes100)
    ->ArgNames({"path", "width"})
    ->ArgsProduct({{0, 1, 2}, {256}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Boxes65kTrianglesTimes100)
    ->ArgNames({"path", "width"})
    ->ArgsProduct({{0, 1, 2}, {256}})
    ->Unit(benchmark::kMillisecond);

// The collision step of one 60 Hz frame: a running, jumping, turning walk
// through the field, against volumes turned as they are drawn (boxes turned
// in their objects, placements turned and scaled).
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
    state.counters["volumes/frame"] =
        static_cast<double>(player.VolumesTested()) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_GameCollisionStepPerFrame)->Unit(benchmark::kMicrosecond);

// What one frame of the walk did and cost.
struct FrameRecord {
    double wallMs = 0, cpuMs = 0, systemMs = 0;
    long long cells = 0, placements = 0, hidden = 0, hiddenChunks = 0, boxes = 0, volumes = 0;
    long long minorFaults = 0, majorFaults = 0, switches = 0, allocations = 0;
};

struct ThreadUsage {
    double systemMs = 0;
    long long minorFaults = 0, majorFaults = 0, switches = 0;
};

ThreadUsage Usage()
{
    rusage u{};
    getrusage(RUSAGE_THREAD, &u);
    return {static_cast<double>(u.ru_stime.tv_sec) * 1e3 + static_cast<double>(u.ru_stime.tv_usec) * 1e-3,
            u.ru_minflt, u.ru_majflt, u.ru_nivcsw};
}

struct Spread {
    double median = 0, p99 = 0, max = 0;
};

Spread SpreadOf(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times[times.size() * 99 / 100], times.back()};
}

// One line per frame of every run, for finding what the slow frames have in
// common: run, frame, times in microseconds, then the counts.
void WriteRecords(const std::string& file, const std::vector<std::vector<FrameRecord>>& runs)
{
    std::string text = "run,frame,wall_us,cpu_us,system_us,cells,placements,hidden,hidden_boxes,boxes,volumes,minor_faults,"
                       "major_faults,involuntary_switches,allocations\n";
    const auto number = [&text](double value) {
        text += IntToEditText(static_cast<int32_t>(std::lround(value)));
        text += ',';
    };
    for (size_t r = 0; r < runs.size(); ++r)
        for (size_t f = 0; f < runs[r].size(); ++f) {
            const FrameRecord& x = runs[r][f];
            number(static_cast<double>(r));
            number(static_cast<double>(f));
            for (double ms : {x.wallMs, x.cpuMs, x.systemMs})
                number(ms * 1e3);
            for (long long n : {x.cells, x.placements, x.hidden, x.hiddenChunks, x.boxes, x.volumes, x.minorFaults,
                                x.majorFaults, x.switches, x.allocations})
                number(static_cast<double>(n));
            text.back() = '\n';
        }
    WriteWholeFile(file, text);
}

// Thirty seconds of play at 60 Hz (1,800 frames: step and draw) walking into
// the field, three times.  The spread is this thread's CPU time per frame
// (with LP_NUM_THREADS=0 Mesa draws on this thread, so it is the frame's
// whole work without the waits of a machine shared with others): median,
// 99th percentile and slowest frame, each the median of the three runs.
// QX_BENCH_WALK_RECORD=FILE writes every frame's record.
void BM_GameWalk30Seconds(benchmark::State& state)
{
    const char* threads = std::getenv("LP_NUM_THREADS");
    if (!threads || std::string(threads) != "0") {
        state.SkipWithError("run with LP_NUM_THREADS=0, so that Mesa draws on the measured thread");
        return;
    }
    BenchLevel& level = Level();
    UseDrawing(state);
    std::vector<std::vector<FrameRecord>> runs;
    for (auto _ : state) {
        std::vector<FrameRecord> frames(1800);
        qx::PlayerMotion player(level.scene.collision, level.scene.start);
        qx::MoveInput in;
        in.forward = in.run = in.jump = true;
        for (size_t f = 0; f < frames.size(); ++f) {
            FrameRecord& x = frames[f];
            const auto t0 = std::chrono::steady_clock::now();
            const double c0 = ThreadCpuMs();
            const ThreadUsage u0 = Usage();
            const long long a0 = qxbench::HeapAllocations();
            const uint64_t v0 = player.VolumesTested();
            in.yaw = 1.5707964f + 0.6f * std::sin(float(f) * 0.01f);
            player.Advance(1.0 / 60, in);
            qx::ViewPoint view;
            player.Eye(view.eye);
            view.yaw = in.yaw;
            glPushMatrix();
            const qx::DrawCounts counts = qx::DrawLevel(level.content, level.scene, level.sky.get(), view, 256, 256);
            glPopMatrix();
            glFinish();
            x.allocations = qxbench::HeapAllocations() - a0;
            const ThreadUsage u1 = Usage();
            x.cpuMs = ThreadCpuMs() - c0;
            x.wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
            x.systemMs = u1.systemMs - u0.systemMs;
            x.minorFaults = u1.minorFaults - u0.minorFaults;
            x.majorFaults = u1.majorFaults - u0.majorFaults;
            x.switches = u1.switches - u0.switches;
            x.cells = counts.cells;
            x.placements = counts.placements;
            x.hidden = counts.hidden;
            x.hiddenChunks = counts.hiddenChunks;
            x.boxes = counts.boxes;
            x.volumes = static_cast<long long>(player.VolumesTested() - v0);
        }
        runs.push_back(std::move(frames));
    }
    std::vector<double> median, p99, max, wallMedian, wallMax;
    for (const std::vector<FrameRecord>& frames : runs) {
        std::vector<double> cpu, wall;
        for (const FrameRecord& x : frames) {
            cpu.push_back(x.cpuMs);
            wall.push_back(x.wallMs);
        }
        const Spread c = SpreadOf(cpu), w = SpreadOf(wall);
        median.push_back(c.median);
        p99.push_back(c.p99);
        max.push_back(c.max);
        wallMedian.push_back(w.median);
        wallMax.push_back(w.max);
    }
    state.counters["cpu_median_ms"] = MedianOf(median);
    state.counters["cpu_p99_ms"] = MedianOf(p99);
    state.counters["cpu_max_ms"] = MedianOf(max);
    state.counters["cpu_p99/median"] = MedianOf(p99) / MedianOf(median);
    state.counters["cpu_max/median"] = MedianOf(max) / MedianOf(median);
    state.counters["wall_median_ms"] = MedianOf(wallMedian);
    state.counters["wall_max/median"] = MedianOf(wallMax) / MedianOf(wallMedian);
    if (const char* file = std::getenv("QX_BENCH_WALK_RECORD"))
        WriteRecords(file + std::string(state.range(0) == 2 ? "" : ".unculled"), runs);
    qxtest::UseDrawing(Drawing::Culled);
}
// On the buffers (1) and culled (2); the record of the culled walk goes to
// the file named, the other's beside it with ".unculled" added.
BENCHMARK(BM_GameWalk30Seconds)->ArgName("path")->Arg(1)->Arg(2)->Unit(benchmark::kSecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) { return qxbench::RunGlBenchmarks(argc, argv, g_context); }
