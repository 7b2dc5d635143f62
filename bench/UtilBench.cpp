// Number text, 1251 conversion and the tree formats at the sizes the editor
// meets: every edit field refresh, every project file line, start-up trees.
#include "NumberText.h"
#include "Text1251.h"
#include "TreeFiles.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

std::vector<float> SampleFloats()
{
    std::vector<float> values;
    for (int i = 0; i < 1024; ++i)
        values.push_back(static_cast<float>(i * 37 - 5000) / 7.0f);
    return values;
}

void BM_FloatToEditText(benchmark::State& state)
{
    const std::vector<float> values = SampleFloats();
    for (auto _ : state)
        for (float v : values)
            benchmark::DoNotOptimize(FloatToEditText(v));
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(values.size()));
}
BENCHMARK(BM_FloatToEditText);

void BM_EditTextToFloat(benchmark::State& state)
{
    std::vector<std::string> texts;
    for (float v : SampleFloats())
        texts.push_back(FloatToEditText(v));
    for (auto _ : state)
        for (const std::string& t : texts)
            benchmark::DoNotOptimize(EditTextToFloat(t));
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(texts.size()));
}
BENCHMARK(BM_EditTextToFloat);

void BM_Utf8ToCp1251(benchmark::State& state)
{
    std::string text;
    for (int i = 0; i < 1000; ++i)
        text += "Сохранить проект «Карта №1» — ok ";
    for (auto _ : state)
        benchmark::DoNotOptimize(Utf8ToCp1251(text));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_Utf8ToCp1251);

// A folder per 100 objects, each object with two parts.
std::string TreeText(int objects)
{
    std::string text;
    for (int i = 0; i < objects; ++i) {
        if (i % 100 == 0)
            text += "+folder" + std::to_string(i / 100) + "\r\n";
        text += "\t_object" + std::to_string(i) + "\r\n\t\tpart a\r\n\t\tpart b\r\n";
    }
    return text;
}

void BM_ParseTreeText(benchmark::State& state)
{
    const std::string text = TreeText(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        MemoryTree tree;
        ParseTreeText(tree, text);
        benchmark::DoNotOptimize(tree.nodes.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ParseTreeText)->Arg(1000)->Arg(10000);

void BM_FormatTreeAndIcons(benchmark::State& state)
{
    MemoryTree tree;
    ParseTreeText(tree, TreeText(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        benchmark::DoNotOptimize(FormatTreeText(tree));
        benchmark::DoNotOptimize(FormatIconIndexes(tree));
    }
    state.SetItemsProcessed(state.iterations() * tree.NodeCount());
}
BENCHMARK(BM_FormatTreeAndIcons)->Arg(10000);

}  // namespace
