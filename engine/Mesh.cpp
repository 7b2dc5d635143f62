#include "Mesh.h"

#include <algorithm>
#include <array>
#include <compare>
#include <bit>
#include <cmath>
#include <numbers>

namespace qx {

namespace {

bool SameBits(float a, float b) { return std::bit_cast<uint32_t>(a) == std::bit_cast<uint32_t>(b); }

bool SameColor(const TColor4& a, const TColor4& b)
{
    return SameBits(a.R, b.R) && SameBits(a.G, b.G) && SameBits(a.B, b.B) && SameBits(a.A, b.A);
}

// How many vertices a run of independent primitives keeps: GL drops an
// incomplete last primitive, and runs of such primitives are joined.
size_t Whole(shapes::Run run, size_t count)
{
    switch (run) {
    case shapes::Run::Lines: return count / 2 * 2;
    case shapes::Run::Triangles: return count / 3 * 3;
    case shapes::Run::Quads: return count / 4 * 4;
    default: return count;
    }
}

bool JoinsRuns(shapes::Run run) { return run != shapes::Run::QuadStrip && run != shapes::Run::Polygon; }

}  // namespace

bool MeshState::Same(const MeshState& o) const
{
    if (run != o.run || textureBy != o.textureBy || texGen != o.texGen || blendEquation != o.blendEquation ||
        blendMode != o.blendMode || cull != o.cull || normals != o.normals || material != o.material ||
        !SameColor(color, o.color))
        return false;
    if (textureBy != MeshTexture::Keep && textureBy != MeshTexture::Off && texture != o.texture)
        return false;
    return !material || (SameColor(surface.ambient, o.surface.ambient) &&
                         SameColor(surface.diffuse, o.surface.diffuse) &&
                         SameColor(surface.highlight, o.surface.highlight) &&
                         SameColor(surface.emission, o.surface.emission) &&
                         SameBits(surface.shininess, o.surface.shininess));
}

MeshBuilder::MeshBuilder() { stack_.emplace_back(); }

void MeshBuilder::Push() { stack_.push_back(stack_.back()); }

void MeshBuilder::Pop()
{
    if (stack_.size() > 1)
        stack_.pop_back();
}

void MeshBuilder::Multiply(const Matrix& r)
{
    Matrix& l = stack_.back();
    Matrix out;
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 4; ++col) {
            double v = 0;
            for (int k = 0; k < 3; ++k)
                v += l.m[row * 4 + k] * r.m[k * 4 + col];
            out.m[row * 4 + col] = v + (col == 3 ? l.m[row * 4 + 3] : 0);
        }
    }
    l = out;
}

void MeshBuilder::Translate(double x, double y, double z)
{
    Matrix t;
    t.m[3] = x, t.m[7] = y, t.m[11] = z;
    Multiply(t);
}

void MeshBuilder::Rotate(double angle, double ax, double ay, double az)
{
    const double length = std::sqrt(ax * ax + ay * ay + az * az);
    if (length == 0)
        return;  // GL leaves the matrix as it is
    ax /= length, ay /= length, az /= length;
    const double a = angle * std::numbers::pi / 180;
    const double c = std::cos(a), s = std::sin(a), k = 1 - c;
    Matrix r;
    const double m[12] = {ax * ax * k + c,      ax * ay * k - az * s, ax * az * k + ay * s, 0,
                          ay * ax * k + az * s, ay * ay * k + c,      ay * az * k - ax * s, 0,
                          az * ax * k - ay * s, az * ay * k + ax * s, az * az * k + c,      0};
    std::copy(std::begin(m), std::end(m), r.m);
    Multiply(r);
}

void MeshBuilder::Scale(double x, double y, double z)
{
    Matrix s;
    s.m[0] = x, s.m[5] = y, s.m[10] = z;
    Multiply(s);
}

void MeshBuilder::BindRegistry(int32_t index, int32_t registrySize)
{
    if (index > registrySize - 1 || index < -1)
        return;
    currentTextureBy = MeshTexture::Registry;
    currentTexture = index;
}

MeshGroup& MeshBuilder::GroupOf(const MeshState& state)
{
    for (MeshGroup& g : groups_)
        if (g.state.Same(state))
            return g;
    groups_.push_back(MeshGroup{state, {}, {}, {}, {}});
    return groups_.back();
}

void MeshBuilder::Begin(shapes::Run run)
{
    MeshState state = state_;
    state.run = run;
    objectLinear_ = state.texGen == 2;
    sphereMap_ = state.texGen == 1;
    if (objectLinear_)
        state.texGen = 0;
    if (sphereMap_)
        state.normals = true;
    group_ = &GroupOf(state);
    runStart_ = group_->vertices.size();
}

void MeshBuilder::Normal(const TVec3& n) { normal_ = n; }

void MeshBuilder::Vertex(float x, float y, float z, float s, float t)
{
    currentS = s, currentT = t;
    if (group_ == nullptr)
        return;
    const double* m = stack_.back().m;
    MeshVertex v{};
    v.piece = piece;
    v.x = static_cast<float>(m[0] * x + m[1] * y + m[2] * z + m[3]);
    v.y = static_cast<float>(m[4] * x + m[5] * y + m[6] * z + m[7]);
    v.z = static_cast<float>(m[8] * x + m[9] * y + m[10] * z + m[11]);
    v.s = objectLinear_ ? x : s;
    v.t = objectLinear_ ? y : t;
    if (group_->state.normals) {
        // GL turns normals by the inverse transpose; GL_NORMALIZE makes the
        // length moot, so the cofactors (its multiple) serve.
        const TVec3 n = sphereMap_ ? TVec3{0, 0, 1} : normal_;
        const double c[9] = {m[5] * m[10] - m[6] * m[9], m[6] * m[8] - m[4] * m[10], m[4] * m[9] - m[5] * m[8],
                             m[2] * m[9] - m[1] * m[10], m[0] * m[10] - m[2] * m[8], m[1] * m[8] - m[0] * m[9],
                             m[1] * m[6] - m[2] * m[5],  m[2] * m[4] - m[0] * m[6], m[0] * m[5] - m[1] * m[4]};
        const double det = m[0] * c[0] + m[1] * c[1] + m[2] * c[2];
        const double sign = det < 0 ? -1 : 1;
        v.nx = static_cast<float>(sign * (c[0] * n.X + c[1] * n.Y + c[2] * n.Z));
        v.ny = static_cast<float>(sign * (c[3] * n.X + c[4] * n.Y + c[5] * n.Z));
        v.nz = static_cast<float>(sign * (c[6] * n.X + c[7] * n.Y + c[8] * n.Z));
    }
    group_->vertices.push_back(v);
}

void MeshBuilder::End()
{
    if (group_ == nullptr)
        return;
    MeshGroup& g = *group_;
    group_ = nullptr;
    const size_t count = Whole(g.state.run, g.vertices.size() - runStart_);
    g.vertices.resize(runStart_ + count);
    if (count == 0)
        return;
    if (solid && count == 4 && g.state.run == shapes::Run::Quads)
        solidFaces_.push_back({static_cast<uint32_t>(&g - groups_.data()), static_cast<uint32_t>(runStart_)});
    if (JoinsRuns(g.state.run) && !g.runFirst.empty()) {
        g.runCount.back() += static_cast<int32_t>(count);
        return;
    }
    g.runFirst.push_back(static_cast<int32_t>(runStart_));
    g.runCount.push_back(static_cast<int32_t>(count));
}

void MeshBuilder::DropSharedFaces(std::vector<OccluderQuad>* kept)
{
    struct Key {
        uint32_t group;
        std::array<std::array<uint32_t, 3>, 4> corners;  // bit patterns, sorted
    };
    std::vector<Key> keys;  // per face
    keys.reserve(solidFaces_.size());
    // The faces ordered by a hash of their key (then by face): faces on the
    // same corners come together, and sorting moves 16 bytes, not the keys.
    std::vector<std::pair<uint64_t, uint32_t>> order;
    order.reserve(solidFaces_.size());
    for (uint32_t f = 0; f < solidFaces_.size(); ++f) {
        const SolidFace& face = solidFaces_[f];
        Key key{face.group, {}};
        for (uint32_t k = 0; k < 4; ++k) {
            const MeshVertex& v = groups_[face.group].vertices[face.first + k];
            key.corners[k] = {std::bit_cast<uint32_t>(v.x), std::bit_cast<uint32_t>(v.y), std::bit_cast<uint32_t>(v.z)};
        }
        std::sort(key.corners.begin(), key.corners.end());
        uint64_t hash = 1469598103934665603ull ^ key.group;
        for (const auto& corner : key.corners)
            for (const uint32_t bits : corner)
                hash = (hash ^ bits) * 1099511628211ull;
        order.emplace_back(hash, f);
        keys.push_back(key);
    }
    std::sort(order.begin(), order.end());
    const auto normal = [&](const SolidFace& face) {
        const MeshVertex* v = &groups_[face.group].vertices[face.first];
        const double a[3] = {double(v[1].x) - v[0].x, double(v[1].y) - v[0].y, double(v[1].z) - v[0].z};
        const double b[3] = {double(v[2].x) - v[0].x, double(v[2].y) - v[0].y, double(v[2].z) - v[0].z};
        return std::array<double, 3>{a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
    };
    std::vector<bool> dropped(solidFaces_.size(), false);
    bool any = false;
    for (size_t i = 0; i < order.size();) {
        size_t end = i + 1;
        while (end < order.size() && order[end].first == order[i].first)
            ++end;
        // Within one hash, pairs of faces on the same corners, each by face.
        for (size_t a = i; a < end; ++a)
            for (size_t b = a + 1; b < end && !dropped[order[a].second]; ++b) {
                const uint32_t fa = order[a].second, fb = order[b].second;
                if (dropped[fb] || keys[fa].group != keys[fb].group || keys[fa].corners != keys[fb].corners)
                    continue;
                const auto na = normal(solidFaces_[fa]), nb = normal(solidFaces_[fb]);
                if (na[0] * nb[0] + na[1] * nb[1] + na[2] * nb[2] < 0)
                    dropped[fa] = dropped[fb] = any = true;
            }
        i = end;
    }
    if (kept) {
        for (size_t f = 0; f < solidFaces_.size(); ++f)
            if (!dropped[f]) {
                OccluderQuad& q = kept->emplace_back();
                q.piece = groups_[solidFaces_[f].group].vertices[solidFaces_[f].first].piece;
                for (uint32_t k = 0; k < 4; ++k) {
                    const MeshVertex& v = groups_[solidFaces_[f].group].vertices[solidFaces_[f].first + k];
                    q.corner[k][0] = v.x, q.corner[k][1] = v.y, q.corner[k][2] = v.z;
                }
            }
    }
    if (any) {
        // Quads join into one run per group: what remains closes up.
        std::vector<std::vector<bool>> gone(groups_.size());
        for (size_t f = 0; f < solidFaces_.size(); ++f)
            if (dropped[f]) {
                const SolidFace& face = solidFaces_[f];
                std::vector<bool>& g = gone[face.group];
                g.resize(groups_[face.group].vertices.size(), false);
                for (uint32_t k = 0; k < 4; ++k)
                    g[face.first + k] = true;
            }
        for (size_t gi = 0; gi < groups_.size(); ++gi) {
            MeshGroup& g = groups_[gi];
            if (gone[gi].empty() || g.runFirst.size() != 1)
                continue;
            size_t out = 0;
            for (size_t v = 0; v < g.vertices.size(); ++v)
                if (!gone[gi][v])
                    g.vertices[out++] = g.vertices[v];
            g.vertices.resize(out);
            g.runCount[0] = static_cast<int32_t>(out) - g.runFirst[0];
        }
    }
    solidFaces_.clear();
}

std::vector<MeshGroup> MeshBuilder::Take()
{
    std::vector<MeshGroup> out;
    for (MeshGroup& g : groups_)
        if (!g.vertices.empty())
            out.push_back(std::move(g));
    groups_.clear();
    group_ = nullptr;
    solidFaces_.clear();
    return out;
}

}  // namespace qx
