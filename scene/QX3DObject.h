// TQX3DObject: a named scene object made of primitive lists.  Placed objects
// draw their current list's vertex buffers under a transform (DrawAt, or
// many placements at once through a DrawBatch); objects being edited draw
// their lists immediately (DrawAllAt) so each change shows at once.  The
// reference path (ObjectBuffers.h) compiles and calls display lists instead.
//
// Buffers and display lists are shared between copies made by Assign and
// held by reference count: they stay valid while any object (or any compiled
// list calling them) uses them, and are deleted when the last user lets go,
// so rebuilding, clearing and reloading do not leak GL objects.
//
// The object is data (qx_scene_data, no GL): the buffers and display lists
// are caches the drawing library (qx_scene) builds and deletes, and the
// drawing methods below are defined there (ObjectDraw.cpp).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "DisplayList.h"
#include "PrimitiveList.h"
#include "VectorMath.h"

class TCollision;
namespace qx {
class ObjectBuffers;
class DrawBatch;
}  // namespace qx

class TQX3DObject {
public:
    static constexpr int16_t kMaxLists = 32767;

    // An empty name becomes "QX3DObject:" and a pseudo-random number below
    // 32000.  The object starts with no lists.
    explicit TQX3DObject(const std::string& name = std::string());
    virtual ~TQX3DObject() = default;
    TQX3DObject(const TQX3DObject&) = delete;
    TQX3DObject& operator=(const TQX3DObject&) = delete;

    int16_t ListCount = 0;
    int16_t CurrentList = 0;
    std::string Name;  // also the stem of the object's file
    // Counts the changes of what the lists hold, so that copies kept beside
    // the object (the autosave's) know when they are stale.  AddList, Clear,
    // Assign and every rebuild of the GL side count one; code that changes
    // a list in place and builds nothing calls Changed().
    uint64_t Revision = 0;
    void Changed() { ++Revision; }
    // The Revision the GL side was last built at (or copied from a built
    // source): differing, what is drawn from buffers is stale.
    uint64_t BuiltRevision = 0;
    bool DrawingStale() const { return Revision != BuiltRevision; }
    TVec3 Reserved1;
    TVec3 Reserved2;
    TVec3 Reserved3;
    TVec3 Reserved4{1, 1, 1};
    // One entry per list; an empty reference (Id() == -1) is not compiled.
    std::vector<qx::GlListRef> DisplayLists;
    // One entry per list; null: nothing built, or nothing to draw.
    std::vector<std::shared_ptr<const qx::ObjectBuffers>> Buffers;
    std::vector<std::unique_ptr<TGLPremitives>> Lists;
    std::shared_ptr<TCollision> Collision;  // made by loading the object file

    // Appends an empty list and makes it current.
    void AddList();
    // Destroys every list; CurrentList keeps its value.
    virtual void Clear();
    // Builds every list's vertex buffers (the reference path: compiles a
    // new display list); call after each change.
    void BuildDisplayLists();
    // Builds lists [first, first + count) only (a load shows its progress
    // between portions).
    void BuildListRange(int16_t first, int16_t count);
    // Draws the current list under the transform (rotations about X, then
    // Y, then Z, in degrees).  An unbuilt or missing list draws nothing and
    // touches no GL state.
    void DrawAt(float x, float y, float z, float rotX, float rotY, float rotZ, float scaleX,
                float scaleY, float scaleZ) const;
    // The same placement drawn with the batch's others (buffers only).
    void AddTo(qx::DrawBatch& batch, float x, float y, float z, float rotX, float rotY, float rotZ, float scaleX,
               float scaleY, float scaleZ) const;
    // Draws every list immediately under the transform.
    void DrawAllAt(float x, float y, float z, float rotX, float rotY, float rotZ, float scaleX,
                   float scaleY, float scaleZ) const;
    // Deep copy of name, lists and reserved fields; display lists are shared,
    // the collision set is not copied.
    virtual void Assign(const TQX3DObject& source);
};
