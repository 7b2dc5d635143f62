// A click's pick among 50,000 placements and a drag of 1,000 selected ones.
//
// BM_Pick/0 is the benchmark level as the editor's view draws it (placements
// spread over 4,000 x 4,000 units, a few hundred within the draw range);
// BM_Pick/1 packs all 50,000 within the range, so every one is drawn and
// tested.  BM_DragMove is one mouse move of a drag: the selection set to its
// starting positions plus the snapped offset.  BM_DeleteUndoRedo takes one
// placement off the middle of the map and puts it back.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

#include "BenchmarkLevel.h"
#include "MapEdits.h"

namespace {

ProjectContent Level(float field) { return qxbench::BenchmarkLevel(field); }

// As the view in edit mode draws: modes 1, 3 and 2, range 200, band 15.
qx::MapDrawFilter EditView()
{
    qx::MapDrawFilter f;
    f.visible = true;
    f.modes = (1 << 1) | (1 << 2) | (1 << 3);
    f.range = 200;
    f.band = 15;
    f.level = 1;
    return f;
}

void BM_Pick(benchmark::State& state)
{
    static const ProjectContent spread = Level(4000);
    static const ProjectContent packed = Level(250);
    const ProjectContent& content = state.range(0) == 0 ? spread : packed;
    const qx::MapDrawFilter filter = EditView();
    std::vector<qx::Bounds> scratch;
    std::mt19937 random(3);
    std::uniform_real_distribution<double> angle(0, 6.283185307179586);
    int hits = 0;
    for (auto _ : state) {
        // From the camera's place, 30 units up, looking down and out.
        const double a = angle(random);
        qx::Ray ray;
        ray.origin[1] = 30;
        ray.dir[0] = std::cos(a);
        ray.dir[1] = -0.3;
        ray.dir[2] = std::sin(a);
        hits += qx::PickPlacement(content, filter, ray, scratch) >= 0;
    }
    state.counters["hit_share"] = static_cast<double>(hits) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_Pick)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_DragMove(benchmark::State& state)
{
    static ProjectContent content = Level(4000);
    qx::Selection selection;
    std::vector<TPlacement> origins;
    for (int32_t i = 0; i < 1000; ++i) {
        selection.push_back(content.PlacementId(i * 50));
        origins.push_back(content.Placements[static_cast<size_t>(i * 50)]);
    }
    float dx = 0;
    for (auto _ : state) {
        dx += 0.5f;
        benchmark::DoNotOptimize(qx::MoveSelected(content, selection, origins, dx, 0, 0));
    }
}
BENCHMARK(BM_DragMove)->Unit(benchmark::kMicrosecond);

// Delete of one selected placement in the middle of the map, its undo and
// its redo: each finds the placement by identity and moves the map once.
void BM_DeleteUndoRedo(benchmark::State& state)
{
    static ProjectContent content = Level(4000);
    qx::Selection selection{content.PlacementId(content.PlacementCount / 2)};
    for (auto _ : state) {
        const qx::MapChange change = qx::DeleteSelected(content, selection);
        qx::Undo(content, selection, change);
        qx::Redo(content, selection, change);
        qx::Undo(content, selection, change);
    }
}
BENCHMARK(BM_DeleteUndoRedo)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
