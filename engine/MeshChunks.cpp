#include "MeshChunks.h"

#include <algorithm>
#include <numeric>

namespace qx {

namespace {

// Vertices per primitive of a group that can be cut between primitives; 0
// for strips and polygons, whose runs keep together.
size_t PrimitiveSize(const MeshGroup& g)
{
    if (g.runFirst.size() != 1 || g.runFirst[0] != 0)
        return 0;
    switch (g.state.run) {
    case shapes::Run::Points: return 1;
    case shapes::Run::Lines: return 2;
    case shapes::Run::Triangles: return 3;
    case shapes::Run::Quads: return 4;
    default: return 0;
    }
}

struct Bounds {
    float lo[3] = {1e30f, 1e30f, 1e30f}, hi[3] = {-1e30f, -1e30f, -1e30f};
    void Add(const float p[3])
    {
        for (int a = 0; a < 3; ++a)
            lo[a] = std::min(lo[a], p[a]), hi[a] = std::max(hi[a], p[a]);
    }
    void Add(const Bounds& b)
    {
        Add(b.lo);
        Add(b.hi);
    }
    float Middle(int axis) const { return (lo[axis] + hi[axis]) / 2; }
};

// Pieces [begin, end) of `order` into `count` chunks: halved at the middle
// piece along the longest extent of what they cover, each half getting its
// share of the count.
void Cluster(std::vector<uint32_t>& order, size_t begin, size_t end, int count, const std::vector<Bounds>& pieces,
             std::vector<uint32_t>& chunkOf, uint32_t& chunks)
{
    if (count <= 1 || end - begin <= 1) {
        for (size_t i = begin; i < end; ++i)
            chunkOf[order[i]] = chunks;
        ++chunks;
        return;
    }
    Bounds all;
    for (size_t i = begin; i < end; ++i)
        all.Add(pieces[order[i]]);
    int axis = 0;
    for (int a = 1; a < 3; ++a)
        if (all.hi[a] - all.lo[a] > all.hi[axis] - all.lo[axis])
            axis = a;
    const int first = count / 2;
    const size_t middle = begin + (end - begin) * static_cast<size_t>(first) / static_cast<size_t>(count);
    const auto at = [&](size_t i) { return order.begin() + static_cast<ptrdiff_t>(i); };
    std::nth_element(at(begin), at(middle), at(end), [&](uint32_t a, uint32_t b) {
        return pieces[a].Middle(axis) < pieces[b].Middle(axis) ||
               (pieces[a].Middle(axis) == pieces[b].Middle(axis) && a < b);
    });
    Cluster(order, begin, middle, first, pieces, chunkOf, chunks);
    Cluster(order, middle, end, count - first, pieces, chunkOf, chunks);
}

}  // namespace

std::vector<MeshChunk> SplitIntoChunks(std::vector<MeshGroup>& groups, std::vector<OccluderQuad>& occluders,
                                       int maxChunks)
{
    // What each piece covers in the groups that can be cut.
    std::vector<Bounds> pieces;
    for (const MeshGroup& g : groups)
        if (PrimitiveSize(g) > 0)
            for (const MeshVertex& v : g.vertices)
                if (v.piece > 0) {
                    if (pieces.size() < v.piece)
                        pieces.resize(v.piece);
                    const float p[3] = {v.x, v.y, v.z};
                    pieces[v.piece - 1].Add(p);
                }
    std::vector<uint32_t> order;
    for (uint32_t i = 0; i < pieces.size(); ++i)
        if (pieces[i].lo[0] <= pieces[i].hi[0])
            order.push_back(i);
    std::vector<uint32_t> chunkOf(pieces.size(), UINT32_MAX);
    uint32_t chunks = 0;
    Cluster(order, 0, order.size(), std::clamp(maxChunks, 1, 64), pieces, chunkOf, chunks);
    // The tag a piece becomes: 1 + its chunk, 0 when it has none (its
    // vertices lie only in groups drawn whole, or there is one chunk).
    const auto tag = [&](uint32_t piece) -> uint32_t {
        if (chunks < 2 || piece == 0 || piece > chunkOf.size() || chunkOf[piece - 1] == UINT32_MAX)
            return 0;
        return chunkOf[piece - 1] + 1;
    };
    std::vector<MeshChunk> out;
    std::vector<Bounds> covered(chunks < 2 ? 0 : chunks);
    for (MeshGroup& g : groups) {
        g.chunkStart.clear();
        const size_t size = PrimitiveSize(g);
        if (size == 0) {
            for (MeshVertex& v : g.vertices)
                v.piece = 0;
            continue;
        }
        for (MeshVertex& v : g.vertices)
            v.piece = tag(v.piece);
        if (covered.empty())
            continue;
        // A stable counting sort of the primitives by tag.
        std::vector<int32_t> start(chunks + 2, 0);
        for (size_t p = 0; p + size <= g.vertices.size(); p += size)
            start[g.vertices[p].piece + 1] += static_cast<int32_t>(size);
        std::partial_sum(start.begin(), start.end(), start.begin());
        std::vector<MeshVertex> sorted(g.vertices.size());
        std::vector<int32_t> next(start.begin(), start.end() - 1);
        for (size_t p = 0; p + size <= g.vertices.size(); p += size) {
            const uint32_t t = g.vertices[p].piece;
            for (size_t k = 0; k < size; ++k) {
                MeshVertex& v = sorted[static_cast<size_t>(next[t]++)];
                v = g.vertices[p + k];
                v.piece = t;
                if (t > 0) {
                    const float at[3] = {v.x, v.y, v.z};
                    covered[t - 1].Add(at);
                }
            }
        }
        g.vertices = std::move(sorted);
        g.chunkStart.assign(start.begin() + 1, start.end());
    }
    for (OccluderQuad& q : occluders)
        q.piece = tag(q.piece);
    std::stable_sort(occluders.begin(), occluders.end(),
                     [](const OccluderQuad& a, const OccluderQuad& b) { return a.piece < b.piece; });
    for (const Bounds& b : covered) {
        MeshChunk& c = out.emplace_back();
        for (int a = 0; a < 3; ++a)
            c.lo[a] = b.lo[a], c.hi[a] = b.hi[a];
    }
    return out;
}

}  // namespace qx
