#include "ObjectRelease.h"

#include <deque>

#include "QX3DObject.h"

namespace qx {

namespace {

std::deque<std::shared_ptr<TQX3DObject>>& Queue()
{
    static std::deque<std::shared_ptr<TQX3DObject>> queue;
    return queue;
}

}  // namespace

void ReleaseLater(std::vector<std::shared_ptr<TQX3DObject>> objects)
{
    for (auto& o : objects)
        if (o)
            Queue().push_back(std::move(o));
}

bool ReleaseSome(std::chrono::microseconds budget)
{
    auto& queue = Queue();
    const auto end = std::chrono::steady_clock::now() + budget;
    while (!queue.empty()) {
        queue.pop_front();
        if (std::chrono::steady_clock::now() >= end)
            break;
    }
    return !queue.empty();
}

size_t ObjectsAwaitingRelease() { return Queue().size(); }

}  // namespace qx
