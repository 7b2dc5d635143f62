// Axis-aligned boxes and a uniform grid over the ground plane (X-Z) that
// finds the boxes near a point without walking all of them.  Each item sits
// in exactly one cell, the one holding its key point; a cell keeps the union
// of its items' boxes, so a whole cell can be culled at once.  Queries
// allocate nothing.  No GL, no Qt.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <unordered_map>
#include <vector>

namespace qx {

struct Box3 {
    float min[3] = {std::numeric_limits<float>::max(), std::numeric_limits<float>::max(),
                    std::numeric_limits<float>::max()};
    float max[3] = {std::numeric_limits<float>::lowest(), std::numeric_limits<float>::lowest(),
                    std::numeric_limits<float>::lowest()};

    static Box3 Of(float x0, float y0, float z0, float x1, float y1, float z1)
    {
        return Box3{{x0, y0, z0}, {x1, y1, z1}};
    }
    bool IsEmpty() const { return !(min[0] <= max[0] && min[1] <= max[1] && min[2] <= max[2]); }
    bool IsFinite() const
    {
        for (int a = 0; a < 3; ++a)
            if (!std::isfinite(min[a]) || !std::isfinite(max[a]))
                return false;
        return true;
    }
    void Add(const Box3& other)
    {
        for (int a = 0; a < 3; ++a) {
            min[a] = std::min(min[a], other.min[a]);
            max[a] = std::max(max[a], other.max[a]);
        }
    }
    void AddPoint(const float p[3])
    {
        for (int a = 0; a < 3; ++a) {
            min[a] = std::min(min[a], p[a]);
            max[a] = std::max(max[a], p[a]);
        }
    }
    // Open intervals: boxes that only touch do not overlap.
    bool Overlaps(const Box3& o) const
    {
        return min[0] < o.max[0] && o.min[0] < max[0] && min[1] < o.max[1] && o.min[1] < max[1] &&
               min[2] < o.max[2] && o.min[2] < max[2];
    }
};

class BoxGrid {
public:
    struct Cell {
        Box3 bounds;  // union of the items' boxes
        uint32_t begin = 0, end = 0;  // range of Items()
        int32_t cx = 0, cz = 0;
    };

    // keys[2i], keys[2i+1]: the (x, z) key point of item i.  Items whose key
    // is not finite are left out.
    void Build(float cellSize, const std::vector<float>& keys, const std::vector<Box3>& bounds);

    float CellSize() const { return cell_; }
    const std::vector<uint32_t>& Items() const { return items_; }
    size_t CellCount() const { return cells_.size(); }

    // Calls f(cell) for each non-empty cell whose key area meets the
    // rectangle [x0, x1] x [z0, z1].
    template <typename F>
    void ForEachCell(float x0, float z0, float x1, float z1, F&& f) const
    {
        if (cells_.empty() || !(x0 <= x1) || !(z0 <= z1))
            return;
        const int64_t cx0 = Coord(x0), cx1 = Coord(x1), cz0 = Coord(z0), cz1 = Coord(z1);
        // A rectangle larger than the level: walk the cells themselves.
        if (static_cast<double>(cx1 - cx0 + 1) * static_cast<double>(cz1 - cz0 + 1) > 2.0 * cells_.size()) {
            for (const Cell& c : cells_)
                if (c.cx >= cx0 && c.cx <= cx1 && c.cz >= cz0 && c.cz <= cz1)
                    f(c);
            return;
        }
        for (int64_t cz = cz0; cz <= cz1; ++cz)
            for (int64_t cx = cx0; cx <= cx1; ++cx) {
                const auto hit = index_.find(Key(cx, cz));
                if (hit != index_.end())
                    f(cells_[hit->second]);
            }
    }

private:
    int64_t Coord(float v) const
    {
        const double c = std::floor(static_cast<double>(v) / cell_);
        return static_cast<int64_t>(std::clamp(c, -2.0e9, 2.0e9));
    }
    static uint64_t Key(int64_t cx, int64_t cz)
    {
        return (static_cast<uint64_t>(static_cast<uint32_t>(cx)) << 32) | static_cast<uint32_t>(cz);
    }

    float cell_ = 1;
    std::unordered_map<uint64_t, uint32_t> index_;
    std::vector<Cell> cells_;
    std::vector<uint32_t> items_;
};

}  // namespace qx
