// The level's collision volumes in world space: each placed shape (an
// object's volumes) moved and scaled by its placement, rotation ignored, as
// the volumes themselves ignore their boxes' rotation.  Shapes are kept in
// their own space and transformed when a query reaches them, so a level of
// millions of volumes costs one box per placement.  Placements are found
// through grids of growing cell size (one per size class of their bounds),
// so a query looks at the placements near it only, whatever the level's
// size.  No GL, no Qt.
#pragma once

#include <cstdint>
#include <vector>

#include "BoxGrid.h"

namespace qx {

struct PlacedShape {
    uint32_t shape = 0;
    float pos[3] = {0, 0, 0};
    float scale[3] = {1, 1, 1};
};

class CollisionWorld {
public:
    // shapes[k]: the volumes of shape k in its own space; empty boxes are
    // dropped.  Placements of unknown or empty shapes add nothing.
    void Build(const std::vector<std::vector<Box3>>& shapes, const std::vector<PlacedShape>& placed);

    // Calls f(volume) for every world volume that overlaps `query`.
    template <typename F>
    void ForEachVolume(const Box3& query, F&& f) const
    {
        const auto visit = [&](uint32_t p) {
            if (!bounds_[p].Overlaps(query))
                return;
            const PlacedShape& s = placed_[p];
            for (uint32_t v = shapeBegin_[s.shape]; v < shapeBegin_[s.shape + 1]; ++v) {
                const Box3 world = Place(volumes_[v], s);
                if (world.Overlaps(query))
                    f(world);
            }
        };
        for (const Level& level : levels_) {
            const float c = level.grid.CellSize();
            level.grid.ForEachCell(query.min[0] - c, query.min[2] - c, query.max[0], query.max[2],
                                   [&](const BoxGrid::Cell& cell) {
                                       if (!cell.bounds.Overlaps(query))
                                           return;
                                       for (uint32_t i = cell.begin; i < cell.end; ++i)
                                           visit(level.placements[level.grid.Items()[i]]);
                                   });
        }
        for (uint32_t p : huge_)
            visit(p);
    }

    // The lowest bottom of all volumes; false when there are none.
    bool Lowest(float& y) const;
    size_t PlacementCount() const { return placed_.size(); }

    static Box3 Place(const Box3& local, const PlacedShape& s)
    {
        Box3 w;
        for (int a = 0; a < 3; ++a) {
            const float p = s.pos[a] + s.scale[a] * local.min[a];
            const float q = s.pos[a] + s.scale[a] * local.max[a];
            w.min[a] = p < q ? p : q;
            w.max[a] = p < q ? q : p;
        }
        return w;
    }

private:
    struct Level {
        BoxGrid grid;
        std::vector<uint32_t> placements;  // grid item -> placement
    };

    std::vector<Box3> volumes_;
    std::vector<uint32_t> shapeBegin_;
    std::vector<PlacedShape> placed_;  // only placements with volumes
    std::vector<Box3> bounds_;         // world bounds of each placed shape
    std::vector<Level> levels_;
    std::vector<uint32_t> huge_;       // wider than the coarsest grid
    float lowest_ = 0;
};

}  // namespace qx
