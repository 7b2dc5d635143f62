// The main of a benchmark program that draws: a QGuiApplication and an
// offscreen Mesa context, made before the benchmarks run and gone after.
#pragma once

namespace qxtest {
class GlTestContext;
}

namespace qxbench {

// Sets `context` for the benchmarks' use while they run; 1 when no context
// could be made.
int RunGlBenchmarks(int argc, char** argv, qxtest::GlTestContext*& context);

}  // namespace qxbench
