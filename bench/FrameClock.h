// What the game's frame benchmarks measure a frame by: this thread's CPU
// time (with LP_NUM_THREADS=0, Mesa's drawing included), and the median
// over runs.
#pragma once

#include <algorithm>
#include <ctime>
#include <vector>

namespace qxbench {

inline double ThreadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) * 1e-6;
}

inline double MedianOf(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace qxbench
