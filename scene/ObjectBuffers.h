// The object renderer's GL side: an object's mesh groups in one vertex
// buffer (GL 1.5 buffer objects through the compatibility context, drawn
// with client arrays), and the frame's batch, which draws many placements
// state-sorted: each group's state is set once per frame, each placement
// gets one transform and one draw per group, and what lies wholly hidden
// behind nearer opaque boxes is not drawn (Occlusion.h): a whole placement,
// or the chunks of one (MeshChunks.h), its buffer then drawn by the ranges
// of the chunks that may show.
//
// Today's display-list drawing stays as the reference path (benchmarks and
// the tests that hold the two to the same picture switch between them).
#pragma once

#include <GL/gl.h>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "Mesh.h"
#include "MeshChunks.h"
#include "Occlusion.h"

class TQX3DObject;

namespace qx {

enum class ObjectPath { Buffers, DisplayLists };
// Which drawing BuildDisplayLists builds and DrawAt, DrawMap and the game
// use.  Buffers unless a benchmark or test asks for the reference.
void SetObjectPath(ObjectPath path);
ObjectPath CurrentObjectPath();
// Whether the batch leaves out placements hidden behind nearer ones (on
// unless a benchmark or test compares without).
void SetOcclusionCulling(bool on);
bool OcclusionCulling();

class ObjectBuffers {
public:
    static constexpr size_t kChunkRun = 8;
    struct Group {
        uint32_t state;   // index into the process's state table
        bool normals;     // which part of the buffer (and which layout)
        GLenum mode;
        int32_t first, count;        // one run
        uint32_t runBegin, runEnd;   // or these runs (strips, polygons)
        // Cut into the buffers' chunks: chunkFirst_[chunkAt + c] is where
        // chunk c begins (before chunk 0: what belongs to none; the last
        // entry the run's end); UINT32_MAX: drawn whole.
        uint32_t chunkAt;
    };

    // Uploads the groups; null when they hold nothing to draw.  The
    // occluders are the outer faces of its opaque solids (kept on the CPU);
    // groups, occluders and chunks as SplitIntoChunks leaves them.
    static std::shared_ptr<const ObjectBuffers> Upload(const std::vector<MeshGroup>& groups,
                                                       std::vector<OccluderQuad> occluders = {},
                                                       std::vector<MeshChunk> chunks = {});
    ~ObjectBuffers();
    ObjectBuffers(const ObjectBuffers&) = delete;
    ObjectBuffers& operator=(const ObjectBuffers&) = delete;

    const std::vector<Group>& Groups() const { return groups_; }
    // Draws every group under the current modelview, each in its state,
    // and leaves the state as DrawAt leaves it.
    void Draw() const;

private:
    ObjectBuffers() = default;
    friend class DrawBatch;
    friend void DrawEachNewState(const std::vector<const ObjectBuffers*>& buffers);
    void UseLayout(bool normals) const;
    void DrawGroup(const Group& g) const;

    GLuint buffer_ = 0;
    float min_[3] = {0, 0, 0}, max_[3] = {0, 0, 0};  // what the vertices cover
    GLsizeiptr normalsAt_ = 0;  // byte offset of the vertices with normals
    std::vector<Group> groups_;
    std::vector<GLint> runFirst_;
    std::vector<GLsizei> runCount_;
    std::vector<OccluderQuad> occluders_;
    std::vector<MeshChunk> chunks_;
    std::vector<GLint> chunkFirst_;
    // occluders_[occluderAt_[c + 1], occluderAt_[c + 2]) belong to chunk
    // c, those before occluderAt_[1] to none.
    std::vector<uint32_t> occluderAt_;
    // Runs of kChunkRun neighbouring chunks (SplitIntoChunks numbers
    // neighbours in a row) and what each covers, tested before their chunks.
    std::vector<MeshChunk> runs_;
    // Nearest first as seen along each of the eight diagonal directions
    // (bit 0: -X, 1: -Y, 2: -Z): the runs, runOrder_[8 x runs], and within
    // each run its chunks, chunkOrder_[8 x n] (run r's at r x kChunkRun).
    std::vector<uint8_t> runOrder_, chunkOrder_;
};

// Draws, for each render state that `buffers` use and an earlier call has
// not drawn, one group that has it, under the current matrices and
// viewport, and leaves the state as DrawAt leaves it.  A driver that
// prepares each state on its first draw (a software renderer compiles code
// for it) does so here, at a cost that grows with the states, not with the
// objects.  Null entries are skipped.
void DrawEachNewState(const std::vector<const ObjectBuffers*>& buffers);

// A GL context is current (without one nothing can be uploaded).
bool CanUpload();

// How many vertex buffers exist (tests and benchmarks: nothing leaks).
int64_t LiveGlBuffers();

// One frame's placements of objects, drawn together.  Keeps its storage
// between frames: in steady state a frame allocates nothing.
class DrawBatch {
public:
    // The placement's transform as DrawAt applies it, taken from GL once.
    // A placement wholly outside the view is left out (GL would clip all
    // of it away).
    void Add(const ObjectBuffers& buffers, float x, float y, float z, float rotX, float rotY, float rotZ,
             float scaleX, float scaleY, float scaleZ);
    // Opaque groups first, then blended ones.  Within an opaque state the
    // nearest placements come first, so that the depth test spares the
    // rasterizer the far ones' hidden pixels; blended ones keep the order
    // added.  With occlusion culling on, the depth test on and lighting off
    // (lit, a material's alpha could let the alpha test drop a box's
    // pixels), placements are taken nearest first: one wholly behind the
    // opaque solids of those before it is left out, and of the others each
    // chunk so hidden; the solids of what is drawn hide what follows (after
    // a draw where this hid little, the next few draw without it).  Leaves the modelview matrix as it found it
    // and the batch empty.
    void Draw();
    // Draw in two steps, for drawing between them what must come after the
    // opaque placements and before the blended ones.  DrawBlended empties
    // the batch.
    void DrawOpaque();
    void DrawBlended();
    bool Empty() const { return items_.empty(); }
    // Placements the last Draw left out as hidden, and chunks of the
    // others.
    int Hidden() const { return hiddenCount_; }
    int HiddenChunks() const { return hiddenChunks_; }

private:
    struct Item {
        const ObjectBuffers* buffers;
        uint32_t group;
        uint32_t matrix;
        uint32_t rank;
        float depth;  // distance along the view, nearest first
    };
    // Marks hidden_ for each placement; false when the frame cannot cull.
    bool Cull();
    void DrawItems(size_t begin, size_t end);

    std::vector<Item> items_, sorted_;  // sorted_: what DrawOpaque left to draw
    size_t blendedFrom_ = 0;
    std::vector<std::array<float, 16>> matrices_;
    std::vector<const ObjectBuffers*> placed_;  // per matrix
    std::vector<float> distance_;               // per matrix: its Item::depth
    std::vector<uint32_t> counts_, order_;
    std::vector<uint8_t> hidden_;
    std::vector<float> depth_;
    std::vector<uint64_t> shown_;  // per matrix: a bit per chunk that may show
    std::vector<GLint> drawFirst_;
    std::vector<GLsizei> drawCount_;
    int hiddenCount_ = 0, hiddenChunks_ = 0;
    int resting_ = 0;  // draws left without culling (see Cull)
    int rest_ = 7;     // how long the next rest lasts
    OcclusionBuffer occlusion_;
    float projection_[16] = {};
};

// TQX3DObject::BuildListRange on the path in force: lists [first, first +
// count) of `object` compiled or uploaded (SceneGlInstall.cpp installs it).
void BuildObjectLists(TQX3DObject& object, int16_t first, int16_t count);

// The translation, rotations about X, Y, Z and scale of a placement.
void ApplyPlacement(float x, float y, float z, float rotX, float rotY, float rotZ, float scaleX, float scaleY,
                    float scaleZ);

}  // namespace qx
