// The level's collision volumes in world space: each placed shape (an
// object's volumes, turned as its boxes are) scaled, turned and moved by its
// placement exactly as the placement is drawn.  Shapes are kept in their own
// space and transformed when a query reaches them, so a level of millions
// of volumes costs one box per placement; the query itself is taken into a
// placement's space first, so only the volumes near it are transformed.
// Placements are found through grids of growing cell size (one per size
// class of their bounds), so a query looks at the placements near it only,
// whatever the level's size.  A shape may also use models' triangles: each
// model's tree (MeshTree, one per model file) under the model's transform
// within the shape; a query reaches the tree in the model's own space, so
// only the triangles near it are transformed.  No GL, no Qt.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "BoxGrid.h"
#include "MeshTree.h"
#include "Solid.h"

namespace qx {

struct PlacedShape {
    uint32_t shape = 0;
    float pos[3] = {0, 0, 0};
    float scale[3] = {1, 1, 1};
    float turn[3] = {0, 0, 0};  // degrees about X, Y, Z, as a placement is drawn
};

// A model within a shape: mesh `mesh` scaled, turned (degrees about X, Y,
// Z) and moved, as a model primitive is drawn within its object.
struct MeshUse {
    uint32_t mesh = 0;
    float pos[3] = {0, 0, 0};
    float scale[3] = {1, 1, 1};
    float turn[3] = {0, 0, 0};
};

class CollisionWorld {
public:
    // shapes[k]: the volumes of shape k in its own space; volumes whose
    // bounds are empty or not finite are dropped.  shapeMeshes[k] (when
    // there is such an entry): the models shape k uses, out of `meshes`.
    // A sphere is placed as a sphere, its radius scaled by the largest of
    // the placement's scales (placements of uneven scale want it as
    // triangles).  Placements of unknown or empty shapes, or whose bounds
    // are not finite, add nothing.
    void Build(const std::vector<std::vector<Solid>>& shapes, const std::vector<PlacedShape>& placed,
               const std::vector<std::shared_ptr<const MeshTree>>& meshes = {},
               const std::vector<std::vector<MeshUse>>& shapeMeshes = {});

    // Calls f(volume) for every world volume that overlaps `query`, and for
    // some whose bounds overlap it while they do not; never for one whose
    // bounds miss it.
    template <typename F>
    void ForEachVolume(const Box3& query, F&& f) const
    {
        const auto visit = [&](uint32_t p) {
            if (!bounds_[p].Overlaps(query))
                return;
            const Placed& s = placed_[p];
            Box3 local;
            const bool cull = s.invertible && LocalQuery(query, s, local);
            for (uint32_t g = shapeGroups_[s.shape]; g < shapeGroups_[s.shape + 1]; ++g) {
                if (cull && !Meets(groupBounds_[g], local))
                    continue;
                for (uint32_t v = groupFirst_[g]; v < groupFirst_[g + 1]; ++v) {
                    if (cull && !Meets(localBounds_[v], local))
                        continue;
                    const Solid world = Place(volumes_[v], s.m, s.pos, s.sphereScale);
                    if (world.bounds.Overlaps(query))
                        f(world);
                }
            }
            for (uint32_t u = shapeUses_[s.shape]; u < shapeUses_[s.shape + 1]; ++u) {
                const Use& use = uses_[u];
                float m[9], pos[3], inverse[9];
                Compose(s.m, s.pos, use.m, use.pos, m, pos);
                Box3 inMesh = use.tree->Bounds();
                if (s.invertible && use.invertible) {
                    Multiply(use.inverse, s.inverse, inverse);
                    if (!LocalBox(query, inverse, pos, inMesh))
                        inMesh = use.tree->Bounds();
                }
                use.tree->ForEachTriangle(inMesh, [&](const float* c) {
                    float corners[3][3];
                    for (int k = 0; k < 3; ++k)
                        for (int r = 0; r < 3; ++r)
                            corners[k][r] = pos[r] + m[3 * r] * c[3 * k] + m[3 * r + 1] * c[3 * k + 1] +
                                            m[3 * r + 2] * c[3 * k + 2];
                    const Solid world = Solid::Triangle(corners[0], corners[1], corners[2]);
                    if (world.bounds.Overlaps(query))
                        f(world);
                });
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

    // The lowest bottom of all placed bounds; false when there are none.
    bool Lowest(float& y) const;
    size_t PlacementCount() const { return placed_.size(); }

private:
    struct Placed {
        uint32_t shape = 0;
        float pos[3] = {0, 0, 0};
        float m[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};  // turn x scale, row-major
        float inverse[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
        bool invertible = true;
        float sphereScale = 1;  // a sphere's radius grows by it
    };
    struct Use {
        const MeshTree* tree = nullptr;
        float pos[3] = {0, 0, 0};
        float m[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
        float inverse[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
        bool invertible = true;
    };
    struct Level {
        BoxGrid grid;
        std::vector<uint32_t> placements;  // grid item -> placement
    };

    static Solid Place(const Solid& local, const float m[9], const float pos[3], float sphereScale)
    {
        Solid w;
        w.kind = local.kind;
        for (int r = 0; r < 3; ++r) {
            const float* row = m + 3 * r;
            w.corner[r] = pos[r] + row[0] * local.corner[0] + row[1] * local.corner[1] + row[2] * local.corner[2];
            if (local.kind != SolidKind::Sphere)
                for (int k = 0; k < 3; ++k)
                    w.edge[k][r] = row[0] * local.edge[k][0] + row[1] * local.edge[k][1] + row[2] * local.edge[k][2];
        }
        if (local.kind == SolidKind::Sphere)
            w.edge[0][0] = local.Radius() * sphereScale;
        w.UpdateBounds();
        return w;
    }
    // out = a b (row-major 3 x 3).
    static void Multiply(const float a[9], const float b[9], float out[9])
    {
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                out[3 * r + c] = a[3 * r] * b[c] + a[3 * r + 1] * b[3 + c] + a[3 * r + 2] * b[6 + c];
    }
    // The transform x -> outer (inner x + innerPos) + outerPos.
    static void Compose(const float outer[9], const float outerPos[3], const float inner[9], const float innerPos[3],
                        float m[9], float pos[3])
    {
        Multiply(outer, inner, m);
        for (int r = 0; r < 3; ++r)
            pos[r] = outerPos[r] + outer[3 * r] * innerPos[0] + outer[3 * r + 1] * innerPos[1] +
                     outer[3 * r + 2] * innerPos[2];
    }
    // Box3::Overlaps without branches, for scanning a shape's volumes.
    static bool Meets(const Box3& a, const Box3& b)
    {
        return (a.min[0] < b.max[0]) & (b.min[0] < a.max[0]) & (a.min[1] < b.max[1]) & (b.min[1] < a.max[1]) &
               (a.min[2] < b.max[2]) & (b.min[2] < a.max[2]);
    }
    // A box around the query in the space that `inverse` (with the
    // translation pos) maps to, a little wider than exact so that rounding
    // never culls a volume it reaches.
    static bool LocalBox(const Box3& query, const float inverse[9], const float pos[3], Box3& local);
    static bool LocalQuery(const Box3& query, const Placed& s, Box3& local)
    {
        return LocalBox(query, s.inverse, s.pos, local);
    }

    // A shape's volumes in groups of a few neighbours, so a query skips
    // most of a large shape group by group.
    std::vector<Solid> volumes_;
    std::vector<Box3> localBounds_;   // of each volume, packed for the scan
    std::vector<uint32_t> groupFirst_;  // first volume of each group, then the end
    std::vector<Box3> groupBounds_;
    std::vector<uint32_t> shapeGroups_;  // first group of each shape, then the end
    std::vector<std::shared_ptr<const MeshTree>> meshes_;
    std::vector<Use> uses_;
    std::vector<uint32_t> shapeUses_;  // first use of each shape, then the end
    std::vector<Placed> placed_;  // only placements with volumes
    std::vector<Box3> bounds_;    // world bounds of each placed shape
    std::vector<Level> levels_;
    std::vector<uint32_t> huge_;  // wider than the coarsest grid
    float lowest_ = 0;
};

}  // namespace qx
