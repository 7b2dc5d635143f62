#include "CollisionWorld.h"

namespace qx {

namespace {

// Cell sizes of the size classes; a placement goes to the first whose cell
// is at least as wide as its bounds.
constexpr float kCellSizes[] = {16.0f, 128.0f, 1024.0f, 8192.0f};

}  // namespace

void CollisionWorld::Build(const std::vector<std::vector<Box3>>& shapes, const std::vector<PlacedShape>& placed)
{
    volumes_.clear();
    shapeBegin_.assign(1, 0);
    std::vector<Box3> shapeBounds;
    for (const std::vector<Box3>& shape : shapes) {
        Box3 all;
        for (const Box3& v : shape)
            if (!v.IsEmpty()) {
                volumes_.push_back(v);
                all.Add(v);
            }
        shapeBegin_.push_back(static_cast<uint32_t>(volumes_.size()));
        shapeBounds.push_back(all);
    }

    placed_.clear();
    bounds_.clear();
    lowest_ = 0;
    bool any = false;
    for (const PlacedShape& s : placed) {
        if (s.shape >= shapes.size() || shapeBounds[s.shape].IsEmpty())
            continue;
        const Box3 b = Place(shapeBounds[s.shape], s);
        bool finite = true;
        for (int a = 0; a < 3; ++a)
            finite = finite && std::isfinite(b.min[a]) && std::isfinite(b.max[a]);
        if (!finite)
            continue;
        placed_.push_back(s);
        bounds_.push_back(b);
        lowest_ = any ? std::min(lowest_, b.min[1]) : b.min[1];
        any = true;
    }

    levels_.assign(std::size(kCellSizes), Level());
    huge_.clear();
    std::vector<std::vector<float>> keys(levels_.size());
    std::vector<std::vector<Box3>> boxes(levels_.size());
    for (uint32_t p = 0; p < bounds_.size(); ++p) {
        const Box3& b = bounds_[p];
        const float extent = std::max(b.max[0] - b.min[0], b.max[2] - b.min[2]);
        size_t l = 0;
        while (l < levels_.size() && extent > kCellSizes[l])
            ++l;
        if (l == levels_.size()) {
            huge_.push_back(p);
            continue;
        }
        // Keyed by the lowest corner: the box then lies in its cell and the
        // next one along each axis, so a query widened by one cell finds it.
        keys[l].push_back(b.min[0]);
        keys[l].push_back(b.min[2]);
        boxes[l].push_back(b);
        levels_[l].placements.push_back(p);
    }
    for (size_t l = 0; l < levels_.size(); ++l)
        levels_[l].grid.Build(kCellSizes[l], keys[l], boxes[l]);
}

bool CollisionWorld::Lowest(float& y) const
{
    if (placed_.empty())
        return false;
    y = lowest_;
    return true;
}

}  // namespace qx
