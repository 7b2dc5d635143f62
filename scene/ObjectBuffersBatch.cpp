// The frame's batch of placements (ObjectBuffers.h): sorted by state,
// culled against the occlusion buffer placement by placement and chunk by
// chunk, and drawn.
#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cmath>
#include <span>

#include "ObjectBuffers.h"
#include "ObjectBuffersState.h"

namespace qx {

namespace {

using namespace buffers_detail;

// A draw whose culler spared GL less than kWorthShare times the cells it
// visited rests it for the next kRestFrames draws: where little hides (an
// open floor, the editor's scattered boxes, the map seen from above) its
// work costs more than it saves.  A view that turns to where it pays is
// culled again a few frames later.  What GL is spared: the pixels of the
// bounding rectangles of what proved hidden, and for each box left out
// kPartPixels more (its triangles' setup, which small far boxes cost
// whatever their pixels).  The game's field gives 3 to 20 a cell and pays,
// the editor's scattered boxes 1.4 to 2.5 and gain nothing.
constexpr double kWorthShare = 3;
constexpr double kPartPixels = 16;
// Each rest that follows another doubles, up to kLongestRest draws, so
// that a view where culling never pays seldom pays for the look.
constexpr int kRestFrames = 7;
constexpr int kLongestRest = 31;

// Whether the box [lo, hi] under modelview m and projection p lies wholly
// beyond one plane of the clip volume: then every point of it does (the
// clip coordinates are linear in the point), whatever the sign of w.
bool OutsideView(const float* p, const float* m, const float lo[3], const float hi[3])
{
    float clip[8][4];
    for (int k = 0; k < 8; ++k) {
        const float v[3] = {(k & 1) ? hi[0] : lo[0], (k & 2) ? hi[1] : lo[1], (k & 4) ? hi[2] : lo[2]};
        float eye[4];
        for (int r = 0; r < 4; ++r)
            eye[r] = m[r] * v[0] + m[4 + r] * v[1] + m[8 + r] * v[2] + m[12 + r];
        for (int r = 0; r < 4; ++r)
            clip[k][r] = p[r] * eye[0] + p[4 + r] * eye[1] + p[8 + r] * eye[2] + p[12 + r] * eye[3];
    }
    for (int axis = 0; axis < 3; ++axis)
        for (const float side : {-1.0f, 1.0f}) {
            int beyond = 0;
            // A hair of margin for rounding that differs from GL's own.
            for (int k = 0; k < 8; ++k)
                beyond += side * clip[k][axis] - clip[k][3] > 1e-5f * std::fabs(clip[k][3]);
            if (beyond == 8)
                return true;
        }
    return false;
}

// Whether a chunk that is a solid's box shows as the closed box from the
// eye: its open face, if it has one, turns away (the eye lies on the box's
// side of that face's plane).
bool ClosedFrom(const MeshChunk& chunk, const OcclusionBuffer::Placed& placed)
{
    if (chunk.open < 0)
        return true;
    if (!placed.eyeKnown)
        return false;
    const float* e = chunk.box.edge[chunk.open / 2];
    double along = 0, length = 0;
    for (int r = 0; r < 3; ++r) {
        along += (double(placed.eye[r]) - chunk.box.corner[r]) * e[r];
        length += double(e[r]) * e[r];
    }
    along /= length;
    return chunk.open % 2 ? along < 1 - 1e-3 : along > 1e-3;
}

}  // namespace

void DrawBatch::Add(const ObjectBuffers& buffers, float x, float y, float z, float rotX, float rotY, float rotZ,
                    float scaleX, float scaleY, float scaleZ)
{
    if (matrices_.empty())
        glGetFloatv(GL_PROJECTION_MATRIX, projection_);
    glPushMatrix();
    ApplyPlacement(x, y, z, rotX, rotY, rotZ, scaleX, scaleY, scaleZ);
    matrices_.emplace_back();
    glGetFloatv(GL_MODELVIEW_MATRIX, matrices_.back().data());
    glPopMatrix();
    if (OutsideView(projection_, matrices_.back().data(), buffers.min_, buffers.max_)) {
        matrices_.pop_back();
        return;
    }
    const auto matrix = static_cast<uint32_t>(matrices_.size() - 1);
    placed_.push_back(&buffers);
    const std::vector<MeshState>& states = States();
    const auto count = static_cast<uint32_t>(states.size());
    // The centre of what its vertices cover along the view (eye space
    // looks down -Z): its origin may lie at a corner, turned either way.
    const float* m = matrices_.back().data();
    float depth = -m[14];
    for (int a = 0; a < 3; ++a)
        depth -= m[4 * a + 2] * 0.5f * (buffers.min_[a] + buffers.max_[a]);
    distance_.push_back(depth);
    for (uint32_t g = 0; g < buffers.groups_.size(); ++g) {
        const uint32_t state = buffers.groups_[g].state;
        const bool blended = states[state].Blended();
        items_.push_back({&buffers, g, matrix, blended ? count + state : state, blended ? 0.0f : depth});
    }
}

bool DrawBatch::Cull()
{
    if (!OcclusionCulling()) {
        resting_ = 0;  // switched on again, it culls at once
        rest_ = kRestFrames;
        return false;
    }
    if (!glIsEnabled(GL_DEPTH_TEST) || glIsEnabled(GL_LIGHTING))
        return false;
    if (resting_ > 0) {
        --resting_;
        return false;
    }
    GLboolean writes = GL_FALSE;
    GLint test = 0, viewport[4] = {0, 0, 0, 0};
    glGetBooleanv(GL_DEPTH_WRITEMASK, &writes);
    glGetIntegerv(GL_DEPTH_FUNC, &test);
    if (!writes || (test != GL_LESS && test != GL_LEQUAL))
        return false;
    glGetIntegerv(GL_VIEWPORT, viewport);
    occlusion_.Begin(projection_, viewport[2], viewport[3]);
    // Nearest first (by the centre of what the placement's vertices
    // cover): any order is sound (only what is drawn hides), the nearest
    // hide the most.
    order_.resize(matrices_.size());
    for (uint32_t m = 0; m < order_.size(); ++m)
        order_[m] = m;
    std::sort(order_.begin(), order_.end(), [&](uint32_t a, uint32_t b) {
        return distance_[a] < distance_[b] || (distance_[a] == distance_[b] && a < b);
    });
    hidden_.assign(matrices_.size(), 0);
    shown_.assign(matrices_.size(), UINT64_MAX);
    // What GL is spared, in pixels (see kWorthShare).
    double saved = 0;
    for (size_t i = 0; i < order_.size(); ++i) {
        const uint32_t m = order_[i];
        const ObjectBuffers& b = *placed_[m];
        // The next placement's chunks are read while this one's are tested:
        // they lie anywhere in memory, and waiting for them cost a quarter
        // of the tests' time.
        if (i + 1 < order_.size()) {
            const ObjectBuffers& next = *placed_[order_[i + 1]];
            const char* chunks = reinterpret_cast<const char*>(next.chunks_.data());
            for (size_t at = 0; at < next.chunks_.size() * sizeof(MeshChunk); at += 64)
                __builtin_prefetch(chunks + at);
            __builtin_prefetch(next.runs_.data());
            __builtin_prefetch(next.runOrder_.data());
            __builtin_prefetch(next.chunkOrder_.data());
        }
        const OcclusionBuffer::Placed placed = occlusion_.Under(matrices_[m].data());
        if (occlusion_.Hidden(placed, b.min_, b.max_)) {
            saved += occlusion_.LastArea() + kPartPixels * static_cast<double>(std::max<size_t>(b.chunks_.size(), 1));
            hidden_[m] = 1;
            ++hiddenCount_;
            continue;
        }
        const std::span<const OccluderQuad> quads(b.occluders_);
        occlusion_.AddQuads(placed, quads.first(b.occluderAt_[1]));
        // Chunks nearest first, so that those a nearer one of the same
        // placement covers are found hidden; a run of neighbours first as
        // one, all hidden at once when it is.
        const size_t n = b.chunks_.size(), runs = b.runs_.size();
        uint8_t way = 0;
        for (int a = 0; a < 3; ++a)
            way |= static_cast<uint8_t>((b.min_[a] + b.max_[a] < 2 * placed.eye[a]) << a);
        uint64_t shown = 0;
        for (size_t k = 0; k < runs; ++k) {
            const uint8_t r = b.runOrder_[way * runs + k];
            const size_t first = r * ObjectBuffers::kChunkRun, count = std::min(n - first, ObjectBuffers::kChunkRun);
            if (count > 1 && occlusion_.Hidden(placed, b.runs_[r].lo, b.runs_[r].hi)) {
                saved += occlusion_.LastArea() + kPartPixels * static_cast<double>(count);
                hiddenChunks_ += static_cast<int>(count);
                continue;
            }
            const uint8_t* order = b.chunkOrder_.data() + way * n + first;
            for (size_t i = 0; i < count; ++i) {
                const uint8_t c = order[i];
                const MeshChunk& chunk = b.chunks_[c];
                if (occlusion_.Hidden(placed, chunk.box)) {
                    saved += occlusion_.LastArea() + kPartPixels;
                    ++hiddenChunks_;
                    continue;
                }
                shown |= uint64_t{1} << c;
                // A box by its outline: one fill for its three faces.
                if (chunk.whole && ClosedFrom(chunk, placed))
                    occlusion_.AddBox(placed, Inset(chunk.box, 2 * chunk.grown));
                else
                    occlusion_.AddQuads(placed,
                                        quads.subspan(b.occluderAt_[c + 1], b.occluderAt_[c + 2] - b.occluderAt_[c + 1]));
            }
        }
        shown_[m] = n == 0 || shown == (n >= 64 ? UINT64_MAX : (uint64_t{1} << n) - 1) ? UINT64_MAX : shown;
    }
    if (saved < kWorthShare * static_cast<double>(occlusion_.Work())) {
        resting_ = rest_;
        rest_ = std::min(2 * rest_ + 1, kLongestRest);
    } else {
        rest_ = kRestFrames;
    }
    return true;
}

void DrawBatch::Draw()
{
    DrawOpaque();
    DrawBlended();
}

void DrawBatch::DrawOpaque()
{
    hiddenCount_ = 0;
    hiddenChunks_ = 0;
    blendedFrom_ = 0;
    sorted_.clear();
    if (items_.empty())
        return;
    const bool culled = Cull();
    if (!culled)
        shown_.assign(matrices_.size(), UINT64_MAX);
    // A counting sort by rank keeps the order of addition within a state
    // and allocates nothing once the vectors have grown.
    const size_t ranks = 2 * States().size();
    counts_.assign(ranks + 1, 0);
    for (const Item& item : items_)
        if (!culled || !hidden_[item.matrix])
            ++counts_[item.rank + 1];
    for (size_t r = 1; r <= ranks; ++r)
        counts_[r] += counts_[r - 1];
    sorted_.resize(counts_[ranks]);
    blendedFrom_ = counts_[States().size()];
    for (const Item& item : items_)
        if (!culled || !hidden_[item.matrix])
            sorted_[counts_[item.rank]++] = item;
    // Each rank now ends where the next begins.
    size_t begin = 0;
    for (size_t r = 0; r < ranks; ++r) {
        const size_t end = counts_[r];
        if (end - begin > 1)
            std::sort(sorted_.begin() + static_cast<ptrdiff_t>(begin), sorted_.begin() + static_cast<ptrdiff_t>(end),
                      [](const Item& a, const Item& b) {
                          return a.depth < b.depth || (a.depth == b.depth && a.matrix < b.matrix);
                      });
        begin = end;
    }
    DrawItems(0, blendedFrom_);
}

void DrawBatch::DrawBlended()
{
    DrawItems(blendedFrom_, sorted_.size());
    items_.clear();
    matrices_.clear();
    distance_.clear();
    placed_.clear();
    sorted_.clear();
    blendedFrom_ = 0;
}

void DrawBatch::DrawItems(size_t begin, size_t end)
{
    if (begin == end)
        return;
    glPushMatrix();
    BeginArrays();
    uint32_t state = UINT32_MAX, matrix = UINT32_MAX;
    const ObjectBuffers* bound = nullptr;
    bool normals = false;
    for (size_t i = begin; i < end; ++i) {
        const Item& item = sorted_[i];
        const ObjectBuffers::Group& g = item.buffers->groups_[item.group];
        if (g.state != state) {
            const MeshState* previous = state == UINT32_MAX ? nullptr : &States()[state];
            state = g.state;
            ApplyState(States()[state], previous);
        }
        if (item.buffers != bound || g.normals != normals) {
            bound = item.buffers;
            normals = g.normals;
            bound->UseLayout(normals);
        }
        if (item.matrix != matrix) {
            matrix = item.matrix;
            glLoadMatrixf(matrices_[matrix].data());
        }
        const uint64_t shown = shown_[item.matrix];
        if (g.chunkAt == UINT32_MAX || shown == UINT64_MAX) {
            item.buffers->DrawGroup(g);
            continue;
        }
        // The ranges of the chunks that may show, neighbours joined.
        const GLint* at = item.buffers->chunkFirst_.data() + g.chunkAt;
        drawFirst_.clear();
        drawCount_.clear();
        GLint from = g.first, to = at[0];
        for (uint32_t c = 0; c < item.buffers->chunks_.size(); ++c) {
            if (!(shown >> c & 1))
                continue;
            if (at[c] != to) {
                if (to > from) {
                    drawFirst_.push_back(from);
                    drawCount_.push_back(to - from);
                }
                from = at[c];
            }
            to = at[c + 1];
        }
        if (to > from) {
            drawFirst_.push_back(from);
            drawCount_.push_back(to - from);
        }
        if (!drawFirst_.empty())
            glMultiDrawArrays(g.mode, drawFirst_.data(), drawCount_.data(), static_cast<GLsizei>(drawFirst_.size()));
    }
    EndArrays();
    RestoreState(state == UINT32_MAX ? nullptr : &States()[state]);
    glPopMatrix();
}

}  // namespace qx
