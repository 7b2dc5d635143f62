// Buffer objects are GL 1.5; the compatibility context has them and Mesa's
// libGL exports them.
#define GL_GLEXT_PROTOTYPES 1
#include "ObjectBuffers.h"
#include "ObjectBuffersState.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <QOpenGLContext>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "GLEngine.h"
#include "Geometry.h"
#include "Textures.h"

namespace qx {

namespace {

ObjectPath g_path = ObjectPath::Buffers;
bool g_occlusion = true;
int64_t g_liveBuffers = 0;

}  // namespace

namespace buffers_detail {

// Every state any object's groups use, each once: a group names its state
// by index, and the frame's batch sorts by it.
std::vector<MeshState>& States()
{
    static std::vector<MeshState> states;
    return states;
}

uint32_t StateIndex(const MeshState& state)
{
    std::vector<MeshState>& states = States();
    for (size_t i = 0; i < states.size(); ++i)
        if (states[i].Same(state))
            return static_cast<uint32_t>(i);
    states.push_back(state);
    return static_cast<uint32_t>(states.size() - 1);
}

// A group seen from both sides switches culling off for itself alone, as
// the immediate drawing does; `previous` is the state drawn before (null:
// none in this draw).
void ApplyState(const MeshState& s, const MeshState* previous)
{
    switch (s.textureBy) {
    case MeshTexture::Registry: BindTexture(s.texture); break;
    case MeshTexture::Name:
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(s.texture));
        break;
    case MeshTexture::Bind: glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(s.texture)); break;
    case MeshTexture::Off: glDisable(GL_TEXTURE_2D); break;
    case MeshTexture::Keep: break;
    }
    SetTexGen(s.texGen);
    SetBlend(s.blendEquation, s.blendMode);
    glColor4f(s.color.R, s.color.G, s.color.B, s.color.A);
    if (s.cull == MeshCull::None) {
        glDisable(GL_CULL_FACE);
    } else {
        if (previous && previous->cull == MeshCull::None)
            glEnable(GL_CULL_FACE);
        glCullFace(s.cull == MeshCull::Front ? GL_FRONT : GL_BACK);
    }
    if (s.material) {
        glMaterialfv(GL_FRONT, GL_AMBIENT, &s.surface.ambient.R);
        glMaterialfv(GL_FRONT, GL_DIFFUSE, &s.surface.diffuse.R);
        glMaterialfv(GL_FRONT, GL_SPECULAR, &s.surface.highlight.R);
        glMaterialfv(GL_FRONT, GL_EMISSION, &s.surface.emission.R);
        glMaterialf(GL_FRONT, GL_SHININESS, s.surface.shininess);
    }
}

// What DrawAt leaves after an object.
void RestoreState(const MeshState* last)
{
    glColor4f(1, 1, 1, 1);
    if (last && last->cull == MeshCull::None)
        glEnable(GL_CULL_FACE);
    glCullFace(GL_FRONT);
    SetBlend(0, 0);
    SetTexGen(0);
}

void BeginArrays()
{
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
}

void EndArrays()
{
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

}  // namespace buffers_detail

namespace {

using namespace buffers_detail;

constexpr GLsizei kPlainStride = 5 * sizeof(float);
constexpr GLsizei kNormalStride = 8 * sizeof(float);

const void* At(GLsizeiptr offset) { return reinterpret_cast<const void*>(offset); }

}  // namespace

void SetObjectPath(ObjectPath path) { g_path = path; }
ObjectPath CurrentObjectPath() { return g_path; }
void SetOcclusionCulling(bool on) { g_occlusion = on; }
bool OcclusionCulling() { return g_occlusion; }
int64_t LiveGlBuffers() { return g_liveBuffers; }
bool CanUpload() { return QOpenGLContext::currentContext() != nullptr; }

void ApplyPlacement(float x, float y, float z, float rotX, float rotY, float rotZ, float scaleX, float scaleY,
                    float scaleZ)
{
    glTranslatef(x, y, z);
    glRotatef(rotX, 1, 0, 0);
    glRotatef(rotY, 0, 1, 0);
    glRotatef(rotZ, 0, 0, 1);
    glScaled(scaleX, scaleY, scaleZ);
}

std::shared_ptr<const ObjectBuffers> ObjectBuffers::Upload(const std::vector<MeshGroup>& groups,
                                                          std::vector<OccluderQuad> occluders,
                                                          std::vector<MeshChunk> chunks)
{
    size_t plain = 0, withNormals = 0;
    for (const MeshGroup& g : groups)
        (g.state.normals ? withNormals : plain) += g.vertices.size();
    if (plain + withNormals == 0)
        return nullptr;
    // A placement keeps a bit per chunk that may show: more are drawn whole.
    if (chunks.size() > 64)
        chunks.clear();
    std::shared_ptr<ObjectBuffers> out(new ObjectBuffers());
    const size_t bytes = plain * kPlainStride + withNormals * kNormalStride;
    std::vector<float> data(bytes / sizeof(float));
    out->normalsAt_ = static_cast<GLsizeiptr>(plain * kPlainStride);
    float* plainAt = data.data();
    float* normalAt = data.data() + plain * 5;
    int32_t plainNext = 0, normalNext = 0;
    bool first = true;
    for (const MeshGroup& g : groups) {
        if (g.vertices.empty())
            continue;
        const bool normals = g.state.normals;
        int32_t& next = normals ? normalNext : plainNext;
        float*& at = normals ? normalAt : plainAt;
        for (const MeshVertex& v : g.vertices) {
            const float p[3] = {v.x, v.y, v.z};
            for (int a = 0; a < 3; ++a) {
                out->min_[a] = first ? p[a] : std::min(out->min_[a], p[a]);
                out->max_[a] = first ? p[a] : std::max(out->max_[a], p[a]);
            }
            first = false;
            std::memcpy(at, &v, (normals ? 8 : 5) * sizeof(float));
            at += normals ? 8 : 5;
        }
        Group group{StateIndex(g.state), normals, GlRunMode(g.state.run), next,
                    static_cast<int32_t>(g.vertices.size()), 0, 0, UINT32_MAX};
        if (!chunks.empty() && g.chunkStart.size() == chunks.size() + 1) {
            group.chunkAt = static_cast<uint32_t>(out->chunkFirst_.size());
            for (const int32_t start : g.chunkStart)
                out->chunkFirst_.push_back(next + start);
        }
        if (g.runFirst.size() > 1) {
            group.runBegin = static_cast<uint32_t>(out->runFirst_.size());
            for (size_t r = 0; r < g.runFirst.size(); ++r) {
                out->runFirst_.push_back(next + g.runFirst[r]);
                out->runCount_.push_back(g.runCount[r]);
            }
            group.runEnd = static_cast<uint32_t>(out->runFirst_.size());
        }
        next += static_cast<int32_t>(g.vertices.size());
        out->groups_.push_back(group);
    }
    out->chunks_ = std::move(chunks);
    // A chunk that is one closed box goes into the culler by its outline
    // (ObjectBuffersBatch.cpp): its faces are never read, and are not kept.
    if (std::erase_if(occluders, [&out](const OccluderQuad& q) {
            return q.piece > 0 && q.piece <= out->chunks_.size() && out->chunks_[q.piece - 1].whole &&
                   out->chunks_[q.piece - 1].open < 0;
        }) > 0)
        occluders.shrink_to_fit();
    out->occluders_ = std::move(occluders);
    out->occluderAt_.assign(out->chunks_.size() + 2, 0);
    for (const OccluderQuad& q : out->occluders_)
        if (q.piece <= out->chunks_.size())
            ++out->occluderAt_[q.piece + 1];
    for (size_t c = 1; c < out->occluderAt_.size(); ++c)
        out->occluderAt_[c] += out->occluderAt_[c - 1];
    const size_t n = out->chunks_.size(), runs = (n + kChunkRun - 1) / kChunkRun;
    for (size_t r = 0; r < runs; ++r) {
        MeshChunk run = out->chunks_[r * kChunkRun];
        for (size_t c = r * kChunkRun; c < std::min(n, (r + 1) * kChunkRun); ++c)
            for (int a = 0; a < 3; ++a)
                run.lo[a] = std::min(run.lo[a], out->chunks_[c].lo[a]), run.hi[a] = std::max(run.hi[a], out->chunks_[c].hi[a]);
        out->runs_.push_back(run);
    }
    out->chunkOrder_.resize(8 * n);
    out->runOrder_.resize(8 * runs);
    for (uint8_t way = 0; way < 8; ++way) {
        const auto along = [way](const MeshChunk& k) {
            float d = 0;
            for (int a = 0; a < 3; ++a)
                d += (way >> a & 1 ? -1.0f : 1.0f) * (k.lo[a] + k.hi[a]);
            return d;
        };
        // An insertion sort of at most kChunkRun items, each key worked
        // out once; ties keep their order.
        const auto nearestFirst = [](uint8_t* order, size_t count, const MeshChunk* items, auto&& key) {
            float keys[kChunkRun];
            for (size_t c = 0; c < count; ++c) {
                const float k = key(items[c]);
                size_t at = c;
                for (; at > 0 && k < keys[at - 1]; --at) {
                    keys[at] = keys[at - 1];
                    order[at] = order[at - 1];
                }
                keys[at] = k;
                order[at] = static_cast<uint8_t>(c);
            }
        };
        nearestFirst(out->runOrder_.data() + way * runs, runs, out->runs_.data(), along);
        for (size_t r = 0; r < runs; ++r) {
            const size_t first = r * kChunkRun, count = std::min(n - first, kChunkRun);
            uint8_t* order = out->chunkOrder_.data() + way * n + first;
            nearestFirst(order, count, out->chunks_.data() + first, along);
            for (size_t c = 0; c < count; ++c)
                order[c] = static_cast<uint8_t>(order[c] + first);
        }
    }
    glGenBuffers(1, &out->buffer_);
    if (out->buffer_ == 0)
        return nullptr;
    ++g_liveBuffers;
    glBindBuffer(GL_ARRAY_BUFFER, out->buffer_);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(bytes), data.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return out;
}

ObjectBuffers::~ObjectBuffers()
{
    if (buffer_ == 0)
        return;
    --g_liveBuffers;
    // Without a context the name may belong to nothing (or to a torn-down
    // context's successor).
    if (CanUpload())
        glDeleteBuffers(1, &buffer_);
}

void ObjectBuffers::UseLayout(bool normals) const
{
    glBindBuffer(GL_ARRAY_BUFFER, buffer_);
    if (normals) {
        glEnableClientState(GL_NORMAL_ARRAY);
        glVertexPointer(3, GL_FLOAT, kNormalStride, At(normalsAt_));
        glTexCoordPointer(2, GL_FLOAT, kNormalStride, At(normalsAt_ + 3 * sizeof(float)));
        glNormalPointer(GL_FLOAT, kNormalStride, At(normalsAt_ + 5 * sizeof(float)));
    } else {
        glDisableClientState(GL_NORMAL_ARRAY);
        glVertexPointer(3, GL_FLOAT, kPlainStride, At(0));
        glTexCoordPointer(2, GL_FLOAT, kPlainStride, At(3 * sizeof(float)));
    }
}

void ObjectBuffers::DrawGroup(const Group& g) const
{
    if (g.runEnd > g.runBegin)
        glMultiDrawArrays(g.mode, runFirst_.data() + g.runBegin, runCount_.data() + g.runBegin,
                          static_cast<GLsizei>(g.runEnd - g.runBegin));
    else
        glDrawArrays(g.mode, g.first, g.count);
}

void ObjectBuffers::Draw() const
{
    BeginArrays();
    const MeshState* last = nullptr;
    for (const Group& g : groups_) {
        const MeshState& state = States()[g.state];
        ApplyState(state, last);
        last = &state;
        UseLayout(g.normals);
        DrawGroup(g);
    }
    EndArrays();
    RestoreState(last);
}

void DrawEachNewState(const std::vector<const ObjectBuffers*>& buffers)
{
    // Per process, as the state table is: a state drawn once stays prepared.
    static std::vector<bool> drawn;
    BeginArrays();
    const MeshState* last = nullptr;
    for (const ObjectBuffers* b : buffers) {
        if (b == nullptr)
            continue;
        for (const ObjectBuffers::Group& g : b->groups_) {
            if (drawn.size() <= g.state)
                drawn.resize(States().size(), false);
            if (drawn[g.state])
                continue;
            drawn[g.state] = true;
            const MeshState& state = States()[g.state];
            ApplyState(state, last);
            last = &state;
            b->UseLayout(g.normals);
            b->DrawGroup(g);
        }
    }
    EndArrays();
    RestoreState(last);
}

}  // namespace qx
