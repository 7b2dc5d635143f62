#include "GlBenchMain.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

#include <memory>

#include "GlTestContext.h"

namespace qxbench {

int RunGlBenchmarks(int argc, char** argv, qxtest::GlTestContext*& context)
{
    QGuiApplication app(argc, argv);
    auto made = std::make_unique<qxtest::GlTestContext>();
    if (!made->valid())
        return 1;
    context = made.get();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    context = nullptr;
    return 0;
}

}  // namespace qxbench
