// The 2D views on the benchmark level: a rectangle selection over all
// 50,000 placements, the bounds table it reads (rebuilt on a change of the
// map), and one mouse move of a drag of 1,000 selected placements.
//
// BM_RectSelect/0 draws a rectangle round the whole level in the top view
// (every placement inside), /1 round its middle quarter, /2 the same with
// Alt (touching).  BM_RectSelectFromScratch adds building the table first,
// as a view that had not kept one would.  BM_ViewDragStep/0 is one mouse
// move of a drag of 1,000 selected placements in the top view (each move a
// grid step further); /1 adds what a listening view does on it: refresh the
// bounds of the moved placements.
#include <benchmark/benchmark.h>

#include "BenchmarkLevel.h"
#include "ViewEdits.h"
#include "WholeLevelView.h"
#include "ViewPick.h"

namespace {

const ProjectContent& Level()
{
    static const ProjectContent level = qxbench::BenchmarkLevel(4000);
    return level;
}

// Pixels of the rectangle: round the whole level (mode 0), or round the
// middle of the view (1, and 2 with Alt).
void Rectangle(const qx::OrthoView& view, int mode, double& x0, double& y0, double& x1, double& y1)
{
    x0 = mode == 0 ? 0 : view.width / 4.0;
    y0 = mode == 0 ? 0 : view.height / 4.0;
    x1 = view.width - x0;
    y1 = view.height - y0;
}

void BM_RectSelect(benchmark::State& state)
{
    const ProjectContent& content = Level();
    qx::PlacedBoundsTable table;
    table.Rebuild(content);
    const qx::OrthoView view = qxbench::WholeLevelView(content, table);
    const int mode = static_cast<int>(state.range(0));
    double x0, y0, x1, y1;
    Rectangle(view, mode, x0, y0, x1, y1);
    size_t selected = 0;
    for (auto _ : state)
        selected = qx::SelectInRect(content, table, view, x0, y0, x1, y1, mode == 2).size();
    state.counters["selected"] = static_cast<double>(selected);
}
BENCHMARK(BM_RectSelect)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// /0 after a change of the objects (their own bounds too), /1 after a change
// of the map only.
void BM_BoundsRebuild(benchmark::State& state)
{
    const ProjectContent& content = Level();
    qx::PlacedBoundsTable table;
    table.Rebuild(content);
    for (auto _ : state) {
        if (state.range(0) == 0)
            table.Rebuild(content);
        else
            table.Refresh(content);
        benchmark::DoNotOptimize(table.placements.data());
    }
}
BENCHMARK(BM_BoundsRebuild)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_RectSelectFromScratch(benchmark::State& state)
{
    const ProjectContent& content = Level();
    qx::PlacedBoundsTable table;
    table.Rebuild(content);
    const qx::OrthoView view = qxbench::WholeLevelView(content, table);
    double x0, y0, x1, y1;
    Rectangle(view, 0, x0, y0, x1, y1);
    for (auto _ : state) {
        qx::PlacedBoundsTable fresh;
        fresh.Rebuild(content);
        benchmark::DoNotOptimize(qx::SelectInRect(content, fresh, view, x0, y0, x1, y1, false).size());
    }
}
BENCHMARK(BM_RectSelectFromScratch)->Unit(benchmark::kMillisecond);

void BM_ViewDragStep(benchmark::State& state)
{
    static Document doc;
    static_cast<ProjectContent&>(doc) = Level();
    doc.GridStepX = doc.GridStepZ = 0.5f;
    doc.Selection.clear();
    for (int32_t i = 0; i < 1000; ++i)
        doc.Selection.push_back(doc.PlacementId(i * 50));
    qx::PlacedBoundsTable table;
    table.Rebuild(doc);
    int listener = 0;
    if (state.range(0) == 1)
        listener = doc.Events.Observe([&](uint32_t changes) {
            if (changes & qx::MapChanged)
                table.Update(doc, qx::SelectedIndices(doc, doc.Selection));
        });
    const qx::OrthoView view = qxbench::WholeLevelView(doc, table);
    qx::PlaneDrag drag;
    qx::BeginPlaneDrag(doc, view, 640, 360, drag);
    const double gridStepPixels = 0.5 * view.zoom;
    double x = 640;
    for (auto _ : state) {
        x += gridStepPixels;
        qx::DragInPlane(doc, x, 360, drag);
    }
    qx::EndPlaneDrag(doc, drag);
    doc.Events.Forget(listener);
}
BENCHMARK(BM_ViewDragStep)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
