// Work shared among a few threads: `work` runs on the calling thread and on
// threads - 1 others at once (it takes its items from a counter of its
// own), and the call returns when every one has returned.
#pragma once

#include <cstddef>
#include <thread>
#include <vector>

namespace qx {

template <typename Work>
void RunOnThreads(size_t threads, const Work& work)
{
    std::vector<std::thread> workers;
    for (size_t t = 1; t < threads; ++t)
        workers.emplace_back(work);
    work();
    for (std::thread& w : workers)
        w.join();
}

}  // namespace qx
