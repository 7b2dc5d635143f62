// Loading a tree file into the tree widget against loading it into the
// in-memory tree: one folder of 16,000 children, the shape that used to make
// the widget's loading quadratic.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTreeWidget>

#include <string>

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
