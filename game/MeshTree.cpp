#include "MeshTree.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace qx {

MeshTree::MeshTree(const std::vector<float>& corners)
{
    const size_t count = corners.size() / 9;
    std::vector<Box3> boxes;
    std::vector<float> centres;
    std::vector<uint32_t> kept;
    boxes.reserve(count);
    centres.reserve(3 * count);
    for (size_t t = 0; t < count; ++t) {
        const float* c = &corners[9 * t];
        if (!std::all_of(c, c + 9, [](float v) { return std::isfinite(v); }))
            continue;
        Box3 b;
        for (int k = 0; k < 3; ++k)
            b.AddPoint(c + 3 * k);
        for (int a = 0; a < 3; ++a)
            centres.push_back(0.5f * (b.min[a] + b.max[a]));
        boxes.push_back(b);
        kept.push_back(static_cast<uint32_t>(t));
    }
    if (boxes.empty())
        return;
    std::vector<uint32_t> order(boxes.size());
    std::iota(order.begin(), order.end(), 0u);
    nodes_.reserve(2 * boxes.size() / kLeafSize + 1);
    BuildNode(order, 0, static_cast<uint32_t>(order.size()), 0, boxes, centres);
    bounds_ = nodes_[0].box;
    corners_.reserve(9 * order.size());
    triangleBounds_.reserve(order.size());
    for (const uint32_t i : order) {
        const float* c = &corners[9 * static_cast<size_t>(kept[i])];
        corners_.insert(corners_.end(), c, c + 9);
        triangleBounds_.push_back(boxes[i]);
    }
}

uint32_t MeshTree::BuildNode(std::vector<uint32_t>& order, uint32_t begin, uint32_t end, int depth,
                             const std::vector<Box3>& boxes, const std::vector<float>& centres)
{
    const uint32_t index = static_cast<uint32_t>(nodes_.size());
    nodes_.emplace_back();
    Box3 box, middles;
    for (uint32_t i = begin; i < end; ++i) {
        box.Add(boxes[order[i]]);
        middles.AddPoint(&centres[3 * static_cast<size_t>(order[i])]);
    }
    nodes_[index].box = box;
    // The pending stack of a query holds at most one node per level.
    if (end - begin <= kLeafSize || depth >= kMaxDepth - 2) {
        nodes_[index].first = begin;
        nodes_[index].count = end - begin;
        return index;
    }
    int axis = 0;
    for (int a = 1; a < 3; ++a)
        if (middles.max[a] - middles.min[a] > middles.max[axis] - middles.min[axis])
            axis = a;
    const uint32_t mid = begin + (end - begin) / 2;
    std::nth_element(order.begin() + begin, order.begin() + mid, order.begin() + end, [&](uint32_t a, uint32_t b) {
        return centres[3 * static_cast<size_t>(a) + axis] < centres[3 * static_cast<size_t>(b) + axis];
    });
    BuildNode(order, begin, mid, depth + 1, boxes, centres);
    const uint32_t right = BuildNode(order, mid, end, depth + 1, boxes, centres);
    nodes_[index].first = right;
    return index;
}

}  // namespace qx
