// The culled frame against the buffers' frame, measured in turns in one
// loop, so that whatever else the machine does falls on both alike.  Each
// turn is a block of frames of one path: switching the culler on wakes it
// from a rest, and a block is long enough for its rests to take their
// course as in a steady view (a turn of 64 frames culls at most 4 of them
// where culling never pays, against 2 in 64 in a steady view).
#pragma once

#include <benchmark/benchmark.h>

#include "FrameClock.h"

namespace qxbench {

inline constexpr int kPathTurn = 64;

// frame(culled) draws one frame of that path.  Counters: each path's CPU
// per frame (this thread's) and their ratio.
template <typename Frame>
void CulledOverBuffers(benchmark::State& state, Frame&& frame)
{
    for (const bool culled : {false, true})
        for (int i = 0; i < 3; ++i)
            frame(culled);
    double ms[2] = {0, 0};
    long long frames[2] = {0, 0};
    bool culled = false;
    for (auto _ : state) {
        const double start = ThreadCpuMs();
        frame(culled);
        ms[culled] += ThreadCpuMs() - start;
        if (++frames[culled] % kPathTurn == 0)
            culled = !culled;
    }
    // The benchmark library's first, short runs that size the loop.
    if (frames[0] == 0 || frames[1] == 0)
        return;
    state.counters["buffers_ms"] = ms[0] / static_cast<double>(frames[0]);
    state.counters["culled_ms"] = ms[1] / static_cast<double>(frames[1]);
    state.counters["culled/buffers"] = (ms[1] / static_cast<double>(frames[1])) / (ms[0] / static_cast<double>(frames[0]));
}

}  // namespace qxbench
