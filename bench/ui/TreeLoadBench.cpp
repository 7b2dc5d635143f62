// Loading a tree file into the tree widget against loading it into the
// in-memory trees: one folder of 16,000 children, the shape that used to
// make the widget's loading quadratic.  And the view of a document's tree:
// a 2,000-node tree shown afresh, and brought up to one renamed node.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTreeWidget>

#include <string>

#include "DocTreeView.h"
#include "TreeFiles.h"
#include "TreeWidgetAccess.h"

namespace {

std::string WideFolder(int children)
{
    std::string text = "+folder\r\n";
    for (int i = 0; i < children; ++i)
        text += "\t_object" + std::to_string(i) + "\r\n";
    return text;
}

void InMemoryTree(benchmark::State& state)
{
    const std::string text = WideFolder(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        MemoryTree tree;
        ParseTreeText(tree, text);
        benchmark::DoNotOptimize(tree.nodes.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(InMemoryTree)->Arg(16000)->Unit(benchmark::kMillisecond);

void IntoDocTree(benchmark::State& state)
{
    const std::string text = WideFolder(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        qx::DocTree tree;
        ParseTreeText(tree, text);
        benchmark::DoNotOptimize(tree.NodeCount());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(IntoDocTree)->Arg(16000)->Unit(benchmark::kMillisecond);

void ViewShowsANewTree(benchmark::State& state)
{
    qx::DocTree tree;
    ParseTreeText(tree, WideFolder(static_cast<int>(state.range(0))));
    tree.SetExpanded(0, true);
    qx::DocTree empty;
    QTreeWidget widget;
    DocTreeView view(&widget, &empty);
    for (auto _ : state) {
        view.SetTree(&tree);
        state.PauseTiming();
        view.SetTree(&empty);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(ViewShowsANewTree)->Arg(2000)->Unit(benchmark::kMillisecond);

void ViewFollowsARename(benchmark::State& state)
{
    qx::DocTree tree;
    ParseTreeText(tree, WideFolder(static_cast<int>(state.range(0))));
    tree.SetExpanded(0, true);
    QTreeWidget widget;
    DocTreeView view(&widget, &tree);
    view.Show();
    int i = 0;
    for (auto _ : state) {
        tree.SetText(1000, "_renamed" + std::to_string(i++));
        view.Show();
    }
}
BENCHMARK(ViewFollowsARename)->Arg(2000)->Unit(benchmark::kMillisecond);

void TreeWidget(benchmark::State& state)
{
    const std::string text = WideFolder(static_cast<int>(state.range(0)));
    QTreeWidget widget;
    for (auto _ : state) {
        TreeWidgetAccess access(&widget);
        access.Clear();
        ParseTreeText(access, text);
        benchmark::DoNotOptimize(widget.topLevelItemCount());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(TreeWidget)->Arg(16000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
