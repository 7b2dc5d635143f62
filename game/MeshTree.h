// The triangles of one model file in the model's own space, in a bounding
// volume hierarchy: a binary tree of boxes built once when the level loads,
// split at the median of the longer side, a few triangles per leaf.  A
// query visits the leaves whose boxes overlap it, so a step beside a model
// of tens of thousands of faces tests a handful of them.  One tree per
// model file, shared by every object and placement using it.  No GL, no Qt.
#pragma once

#include <cstdint>
#include <vector>

#include "BoxGrid.h"

namespace qx {

class MeshTree {
public:
    // corners: nine floats per triangle (three corners).  Triangles with a
    // corner that is not finite are left out.
    explicit MeshTree(const std::vector<float>& corners);

    const Box3& Bounds() const { return bounds_; }
    size_t TriangleCount() const { return corners_.size() / 9; }

    // Calls f(corners) (nine floats) for every triangle whose bounds
    // overlap `query`.  Allocates nothing.
    template <typename F>
    void ForEachTriangle(const Box3& query, F&& f) const
    {
        if (nodes_.empty())
            return;
        uint32_t stack[kMaxDepth];
        int top = 0;
        stack[top++] = 0;
        while (top > 0) {
            const Node& node = nodes_[stack[--top]];
            if (!Meets(node.box, query))
                continue;
            if (node.count > 0) {
                for (uint32_t t = node.first; t < node.first + node.count; ++t)
                    if (Meets(triangleBounds_[t], query))
                        f(&corners_[9 * static_cast<size_t>(t)]);
                continue;
            }
            const uint32_t self = static_cast<uint32_t>(&node - nodes_.data());
            stack[top++] = node.first;  // the right child
            stack[top++] = self + 1;    // the left child, next in the array
        }
    }

private:
    static constexpr int kMaxDepth = 64;
    static constexpr uint32_t kLeafSize = 4;

    struct Node {
        Box3 box;
        uint32_t first = 0;  // a leaf's first triangle; an inner node's right child
        uint32_t count = 0;  // triangles of a leaf; 0 for an inner node
    };

    static bool Meets(const Box3& a, const Box3& b)
    {
        return (a.min[0] < b.max[0]) & (b.min[0] < a.max[0]) & (a.min[1] < b.max[1]) & (b.min[1] < a.max[1]) &
               (a.min[2] < b.max[2]) & (b.min[2] < a.max[2]);
    }
    uint32_t BuildNode(std::vector<uint32_t>& order, uint32_t begin, uint32_t end, int depth,
                       const std::vector<Box3>& boxes, const std::vector<float>& centres);

    Box3 bounds_;
    std::vector<Node> nodes_;
    std::vector<float> corners_;       // in tree order
    std::vector<Box3> triangleBounds_;  // in tree order
};

}  // namespace qx
