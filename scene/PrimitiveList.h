// TGLPremitives: one primitive list of a scene object, holding one array per
// primitive kind.  Every walk over the kinds goes in the fixed order boxes,
// spheres, tori, floors, walls, 3DS models, Blender models, each kind in
// index order; so drawing order is by kind, not by insertion.
//
// A count is the number of valid entries of its array.  The Add operations
// return the new primitive's index (the count before the call) and store
// their arguments unchecked.  A kind holds at most 32767 primitives.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "DisplayList.h"
#include "Primitives.h"

class TGLPremitives {
public:
    static constexpr int16_t kMaxCount = 32767;

    TGLPremitives() = default;
    virtual ~TGLPremitives() = default;
    TGLPremitives(const TGLPremitives&) = delete;
    TGLPremitives& operator=(const TGLPremitives&) = delete;

    int16_t BoxCount = 0;
    std::vector<TBox> Boxes;
    int16_t SphereCount = 0;
    std::vector<TSphere> Spheres;
    int16_t TorusCount = 0;
    std::vector<TTorus> Tori;
    int16_t FloorCount = 0;
    std::vector<TFloor> Floors;
    int16_t WallCount = 0;
    std::vector<TWall> Walls;
    int16_t Model3dsCount = 0;
    std::vector<TModel3ds> Models3ds;
    int16_t BlenderCount = 0;
    std::vector<TModelBlender> BlenderModels;
    qx::GlListRef ListId;  // reserved; released with the list
    int16_t Tag = 0;       // reserved
    std::string Text;      // reserved

    // Defaults of TBox for the fields not given; callers set the render
    // modes on the returned box.
    int16_t AddBox(int32_t texture, float x, float y, float z, float sizeX, float sizeY, float sizeZ,
                   float tiling, float rotX, float rotY, float rotZ);
    // Boxes after index move down one place.  False (nothing changed) for an
    // index that names no box.
    bool DeleteBox(int16_t index);
    // Compiles the sphere's display list at once.
    int16_t AddSphere(int32_t texture, int16_t segments, float x, float y, float z, float radius,
                      float rotX, float rotY, float rotZ);
    int16_t AddFloor(int32_t texture, float x, float y, float z, float sizeX, float sizeZ,
                     float tiling, float rotX, float rotY, float rotZ);
    // The model file (a file-system path) is read once and its model shared
    // (qx::ReadModelFile), its pictures loaded (GL); FileName is the file's
    // name in code page 1251.  A name without a 1251 spelling, a file that
    // cannot be read, one without a 3DS main chunk or a Blender export that
    // does not convert throw the reader's message and add nothing.  The
    // warnings of a damaged 3DS file read now go to qx::TakeModelWarnings.
    int16_t AddModel3ds(const std::string& fileName, float x, float y, float z, float rotX,
                        float rotY, float rotZ, float scaleX, float scaleY, float scaleZ);
    int16_t AddModelBlender(const std::string& fileName, float x, float y, float z, float rotX,
                            float rotY, float rotZ, float scaleX, float scaleY, float scaleZ);
    // A primitive appended as it stands (nothing compiled, nothing read).
    int16_t Append(TBox item);
    int16_t Append(TSphere item);
    int16_t Append(TTorus item);
    int16_t Append(TFloor item);
    int16_t Append(TWall item);
    int16_t Append(TModel3ds item);
    int16_t Append(TModelBlender item);
    // What drawing needs before the list is compiled: spheres without a
    // display list compiled, the models' pictures loaded.  GL.
    void PrepareDrawing();

    // Draws every primitive immediately, in kind order.
    void Draw() const;
    // Deep copy; compiled sphere and torus lists and 3DS models are shared
    // with the source, Blender models copied.
    virtual void Assign(const TGLPremitives& source);

    // Makes `compiled` (a list holding this list's Draw) keep alive the
    // display lists that Draw calls.
    void KeepCalledListsAlive(qx::GlListRef& compiled) const;
};

// The walk over a primitive list's kinds, shared by the list's data code,
// its drawing and its mesh: each kind's valid entries (its count, never past
// its array), in the fixed kind order.
namespace qx {

template <typename T>
std::span<const T> Valid(const std::vector<T>& items, int16_t count)
{
    return {items.data(), std::min(items.size(), static_cast<size_t>(std::max<int16_t>(count, 0)))};
}

// The kinds in their fixed order: each array with its count.
inline constexpr auto kPrimitiveKinds = std::make_tuple(
    std::pair{&TGLPremitives::Boxes, &TGLPremitives::BoxCount},
    std::pair{&TGLPremitives::Spheres, &TGLPremitives::SphereCount},
    std::pair{&TGLPremitives::Tori, &TGLPremitives::TorusCount},
    std::pair{&TGLPremitives::Floors, &TGLPremitives::FloorCount},
    std::pair{&TGLPremitives::Walls, &TGLPremitives::WallCount},
    std::pair{&TGLPremitives::Models3ds, &TGLPremitives::Model3dsCount},
    std::pair{&TGLPremitives::BlenderModels, &TGLPremitives::BlenderCount});

// Calls visit(array member, count member) for each kind in order.
template <typename Visit>
void ForEachKind(Visit&& visit)
{
    std::apply([&](const auto&... kind) { (visit(kind.first, kind.second), ...); }, kPrimitiveKinds);
}

}  // namespace qx
