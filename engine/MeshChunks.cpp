#include "MeshChunks.h"

#include <algorithm>
#include <array>
#include <cmath>
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

// Three axes at right angles, unit length.
using Frame = std::array<std::array<double, 3>, 3>;

// The frame of a primitive's first two edges, when they are not too short
// or in one line.
bool FrameOf(const MeshVertex& a, const MeshVertex& b, const MeshVertex& c, Frame& out)
{
    double u[3] = {double(b.x) - a.x, double(b.y) - a.y, double(b.z) - a.z};
    double v[3] = {double(c.x) - b.x, double(c.y) - b.y, double(c.z) - b.z};
    const double lu = std::sqrt(u[0] * u[0] + u[1] * u[1] + u[2] * u[2]);
    if (!(lu > 1e-6))
        return false;
    for (double& x : u)
        x /= lu;
    const double along = u[0] * v[0] + u[1] * v[1] + u[2] * v[2];
    for (int k = 0; k < 3; ++k)
        v[k] -= along * u[k];
    const double lv = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (!(lv > 1e-6 * lu))
        return false;
    for (double& x : v)
        x /= lv;
    out[0] = {u[0], u[1], u[2]};
    out[1] = {v[0], v[1], v[2]};
    out[2] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
    return true;
}

// Calls f(vertex) for each vertex of chunk k (after the sort below: its
// range in each group that was cut), range(the group's primitive size,
// first, end) before each range.
template <typename Range, typename Vertex>
void ForChunk(const std::vector<MeshGroup>& groups, size_t k, Range&& range, Vertex&& f)
{
    for (const MeshGroup& g : groups) {
        if (g.chunkStart.empty())
            continue;
        range(PrimitiveSize(g), g.chunkStart[k], g.chunkStart[k + 1]);
        for (int32_t v = g.chunkStart[k]; v < g.chunkStart[k + 1]; ++v)
            f(g.vertices[static_cast<size_t>(v)]);
    }
}

// The smallest of two boxes around chunk k's vertices, into `chunk`: along
// the axes, or along the frame of its first face (a box's own frame), grown
// a hair for the rounding of its corners.
void BoxAround(const std::vector<MeshGroup>& groups, size_t k, MeshChunk& chunk)
{
    Frame frame;
    bool framed = false;
    for (const MeshGroup& g : groups) {
        const size_t size = PrimitiveSize(g);
        if (!framed && !g.chunkStart.empty() && size >= 3 && g.chunkStart[k] + 2 < g.chunkStart[k + 1]) {
            const MeshVertex* v = &g.vertices[static_cast<size_t>(g.chunkStart[k])];
            framed = FrameOf(v[0], v[1], v[2], frame);
        }
    }
    double lo[3] = {INFINITY, INFINITY, INFINITY}, hi[3] = {-INFINITY, -INFINITY, -INFINITY};
    if (framed)
        ForChunk(groups, k, [](size_t, int32_t, int32_t) {}, [&](const MeshVertex& v) {
            for (int a = 0; a < 3; ++a) {
                const double d = frame[a][0] * v.x + frame[a][1] * v.y + frame[a][2] * v.z;
                lo[a] = std::min(lo[a], d), hi[a] = std::max(hi[a], d);
            }
        });
    // A turned box must be clearly smaller: its corners round.
    const double axes = (double(chunk.hi[0]) - chunk.lo[0]) * (double(chunk.hi[1]) - chunk.lo[1]) * (double(chunk.hi[2]) - chunk.lo[2]);
    if (!framed || !((hi[0] - lo[0]) * (hi[1] - lo[1]) * (hi[2] - lo[2]) < 0.98 * axes)) {
        chunk.box = AlongAxes(chunk.lo, chunk.hi);
        chunk.grown = 0;
        return;
    }
    double reach = 0;
    for (int a = 0; a < 3; ++a)
        reach = std::max({reach, std::fabs(double(chunk.lo[a])), std::fabs(double(chunk.hi[a]))});
    const double pad = 1e-6 * reach;
    for (int r = 0; r < 3; ++r) {
        double corner = 0;
        for (int a = 0; a < 3; ++a) {
            corner += (lo[a] - pad) * frame[a][r];
            chunk.box.edge[a][r] = static_cast<float>((hi[a] - lo[a] + 2 * pad) * frame[a][r]);
        }
        chunk.box.corner[r] = static_cast<float>(corner);
    }
    chunk.grown = static_cast<float>(pad);
}

// Whether chunk k's vertices are all quads, five or six faces of the
// chunk's box, each once; the one missing into `open`.
bool FacesOfBox(const std::vector<MeshGroup>& groups, size_t k, MeshChunk& chunk)
{
    size_t vertices = 0;
    bool quads = true;
    ForChunk(groups, k, [&](size_t size, int32_t from, int32_t to) {
        vertices += static_cast<size_t>(to - from);
        quads = quads && (from == to || size == 4);
    }, [](const MeshVertex&) {});
    if (!quads || (vertices != 20 && vertices != 24))
        return false;
    // Each edge over its length squared: a point's share of the way along it.
    float along[3][3];
    for (int a = 0; a < 3; ++a) {
        const float* e = chunk.box.edge[a];
        const double length = double(e[0]) * e[0] + double(e[1]) * e[1] + double(e[2]) * e[2];
        if (!(length > 0))
            return false;
        for (int r = 0; r < 3; ++r)
            along[a][r] = static_cast<float>(e[r] / length);
    }
    int faces = 0;  // bit 2 a + end: the face at that end (0 or 1) of edge a is there
    int ends[3] = {0, 0, 0};  // of the quad being read, per edge: bit 0 a corner at its start, bit 1 at its end
    size_t corner = 0;
    bool faceOfBox = true;
    ForChunk(groups, k, [](size_t, int32_t, int32_t) {}, [&](const MeshVertex& v) {
        const float d[3] = {v.x - chunk.box.corner[0], v.y - chunk.box.corner[1], v.z - chunk.box.corner[2]};
        for (int a = 0; a < 3; ++a) {
            const float s = d[0] * along[a][0] + d[1] * along[a][1] + d[2] * along[a][2];
            faceOfBox &= std::min(std::fabs(s), std::fabs(1 - s)) < 1e-3f;
            ends[a] |= s < 0.5f ? 1 : 2;
        }
        if (++corner % 4 != 0 || !faceOfBox)
            return;
        // A face: its corners at one end of one edge, at both of the others.
        int face = -1, across = 0;
        for (int a = 0; a < 3; ++a) {
            if (ends[a] != 3) {
                face = 2 * a + (ends[a] == 2);
                ++across;
            }
            ends[a] = 0;
        }
        faceOfBox = across == 1 && !(faces >> face & 1);
        faces |= faceOfBox ? 1 << face : 0;
    });
    if (!faceOfBox)
        return false;
    chunk.open = -1;
    for (int f = 0; f < 6; ++f)
        if (!(faces >> f & 1))
            chunk.open = static_cast<int8_t>(f);
    return true;
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
    // The occluders by tag, in a stable counting sort.
    std::vector<size_t> occluderAt(covered.size() + 2, 0);
    for (OccluderQuad& q : occluders) {
        q.piece = tag(q.piece);
        ++occluderAt[q.piece + 1];
    }
    std::partial_sum(occluderAt.begin(), occluderAt.end(), occluderAt.begin());
    std::vector<bool> hasOccluders(covered.size(), false);
    for (size_t k = 0; k < covered.size(); ++k)
        hasOccluders[k] = occluderAt[k + 2] > occluderAt[k + 1];
    if (!covered.empty()) {
        std::vector<OccluderQuad> sorted(occluders.size());
        for (const OccluderQuad& q : occluders)
            sorted[occluderAt[q.piece]++] = q;
        occluders = std::move(sorted);
    }
    for (size_t k = 0; k < covered.size(); ++k) {
        MeshChunk& c = out.emplace_back();
        for (int a = 0; a < 3; ++a)
            c.lo[a] = covered[k].lo[a], c.hi[a] = covered[k].hi[a];
        BoxAround(groups, k, c);
        // One solid box (a solid's faces give occluders).
        c.whole = hasOccluders[k] && FacesOfBox(groups, k, c);
    }
    return out;
}

}  // namespace qx
