// Buffer objects are GL 1.5; the compatibility context has them and Mesa's
// libGL exports them.
#define GL_GLEXT_PROTOTYPES 1
#include "ObjectBuffers.h"

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

constexpr GLsizei kPlainStride = 5 * sizeof(float);
constexpr GLsizei kNormalStride = 8 * sizeof(float);

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

// A draw whose culler hid fewer than one placement in kWorthShare rests it
// for the next kRestFrames draws: where nothing hides much (an open floor,
// the map seen from above) its work costs more than it saves, and a view
// that turns to where it pays is culled again a few frames later.
constexpr size_t kWorthShare = 20;
constexpr int kRestFrames = 7;

const void* At(GLsizeiptr offset) { return reinterpret_cast<const void*>(offset); }

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
                                                          std::vector<OccluderQuad> occluders)
{
    size_t plain = 0, withNormals = 0;
    for (const MeshGroup& g : groups)
        (g.state.normals ? withNormals : plain) += g.vertices.size();
    if (plain + withNormals == 0)
        return nullptr;
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
                    static_cast<int32_t>(g.vertices.size()), 0, 0};
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
    out->occluders_ = std::move(occluders);
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
    // The placement's origin in eye space looks down -Z.
    const float depth = -matrices_.back()[14];
    for (uint32_t g = 0; g < buffers.groups_.size(); ++g) {
        const uint32_t state = buffers.groups_[g].state;
        const bool blended = states[state].Blended();
        items_.push_back({&buffers, g, matrix, blended ? count + state : state, blended ? 0.0f : depth});
    }
}

bool DrawBatch::Cull()
{
    if (!g_occlusion || !glIsEnabled(GL_DEPTH_TEST) || glIsEnabled(GL_LIGHTING))
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
    // Nearest first by the placement's origin: any order is sound (only
    // what is drawn hides), the nearest hide the most.
    order_.resize(matrices_.size());
    for (uint32_t m = 0; m < order_.size(); ++m)
        order_[m] = m;
    std::sort(order_.begin(), order_.end(), [&](uint32_t a, uint32_t b) {
        return matrices_[b][14] < matrices_[a][14] || (matrices_[b][14] == matrices_[a][14] && a < b);
    });
    hidden_.assign(matrices_.size(), 0);
    for (const uint32_t m : order_) {
        const ObjectBuffers& b = *placed_[m];
        if (occlusion_.Hidden(matrices_[m].data(), b.min_, b.max_)) {
            hidden_[m] = 1;
            ++hiddenCount_;
        } else if (!b.occluders_.empty()) {
            occlusion_.AddQuads(matrices_[m].data(), b.occluders_);
        }
    }
    if (static_cast<size_t>(hiddenCount_) * kWorthShare < matrices_.size())
        resting_ = kRestFrames;
    return true;
}

void DrawBatch::Draw()
{
    hiddenCount_ = 0;
    if (items_.empty()) {
        matrices_.clear();
        placed_.clear();
        return;
    }
    const bool culled = Cull();
    // A counting sort by rank keeps the order of addition within a state
    // and allocates nothing once the vectors have grown.
    const size_t ranks = 2 * States().size();
    counts_.assign(ranks + 1, 0);
    for (const Item& item : items_)
        ++counts_[item.rank + 1];
    for (size_t r = 1; r <= ranks; ++r)
        counts_[r] += counts_[r - 1];
    sorted_.resize(items_.size());
    for (const Item& item : items_)
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

    glPushMatrix();
    BeginArrays();
    uint32_t state = UINT32_MAX, matrix = UINT32_MAX;
    const ObjectBuffers* bound = nullptr;
    bool normals = false;
    for (const Item& item : sorted_) {
        if (culled && hidden_[item.matrix])
            continue;
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
        item.buffers->DrawGroup(g);
    }
    EndArrays();
    RestoreState(state == UINT32_MAX ? nullptr : &States()[state]);
    glPopMatrix();
    items_.clear();
    matrices_.clear();
    placed_.clear();
}

}  // namespace qx
