// What the game keeps of a loaded level for play: the collision world of
// all placed objects, and the placements sorted into a ground grid with the
// world bounds of what each one draws.  Built once after loading (no GL);
// DrawLevel then draws a frame from it without allocating.
//
// A frame draws what the editor's map view draws around its camera (the
// placements closer than the map draw distance, each as its object's current
// list under its transform), plus culling: only grid cells near the eye are
// visited, and cells and placements outside the view are skipped.
#pragma once

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "BoxGrid.h"
#include "CollisionWorld.h"
#include "ProjectContent.h"
#include "Solid.h"

class TQX3DObject;
class TSkybox;

namespace qx {

// The editor's map draw distance.
inline constexpr float kDrawDistance = 200.0f;
// The implicit ground: the editor's grid picture at its scale (600 repeats
// per 1,000 units), reaching this far beyond the level on every side, and
// this far below the lowest geometry, so the two never fight for a pixel.
inline constexpr float kGridRepeatsPerUnit = 0.6f;
inline constexpr float kGroundMargin = 100.0f;
inline constexpr float kGroundBelowGeometry = 0.05f;
inline constexpr float kGroundThickness = 0.5f;

// The collision volumes of an object in its own space: volume i of its
// collision set turned about the corner of box i of its first list, as the
// box is drawn (a footprint of negative size, or a box that draws nothing,
// is left out); then the other shapes of that list as they are drawn:
// floors and walls as flat turned rectangles (a floor at the object's origin
// unless it honours its own transform), spheres as spheres (as triangles
// when `spheresAsTriangles`, for placements of uneven scale), tori as the
// triangles of their 24 x 12 surface (the ring about the torus's Y axis).
std::vector<Solid> ObjectVolumes(const TQX3DObject& object, bool spheresAsTriangles = false);
// The models of the object's first list that collide by their triangles:
// each model (a qx::LoadedModel, one per model file) gets one tree in
// `meshes` (found again through `known`), and a use under its primitive's
// transform.
std::vector<MeshUse> ObjectMeshes(const TQX3DObject& object, std::vector<std::shared_ptr<const MeshTree>>& meshes,
                                  std::vector<std::pair<const void*, uint32_t>>& known);
// What the object's drawn list covers in its own space (boxes turned about
// their corners, the other kinds as they collide, models by their
// triangles); empty when it draws nothing.
Box3 ObjectDrawBounds(const TQX3DObject& object);
// `local` under a placement's transform (translation, rotations about X, Y,
// Z in degrees, scale), as DrawAt applies it.
Box3 PlacedBounds(const Box3& local, const TPlacement& p);

struct LevelScene {
    CollisionWorld collision;
    BoxGrid drawGrid;                 // keyed by placement position
    std::vector<uint32_t> placement;  // grid item -> placement index
    std::vector<int32_t> object;      // grid item -> object index
    std::vector<Box3> bounds;         // grid item -> world bounds
    float start[3] = {0, 0, 0};
    // The ground under the level, laid by Build when `groundGrid` is set:
    // its top at the lower of the start's feet and a little below the lowest
    // drawn geometry, covering every placement's bounds and the start with
    // a margin.  A level with its own floor under the start stands on that,
    // and the ground catches whoever steps off it; off the ground's edge, a
    // fall.  `ground` draws it (null: not drawn): a floor of the ground's
    // width and depth with its picture once across, which DrawLevel repeats
    // at the editor's scale, the lines where the editor's grid has them.
    bool groundGrid = false;
    Box3 groundBox;  // empty when there is none
    const TQX3DObject* ground = nullptr;

    void Build(const ProjectContent& content);
};

struct ViewPoint {
    float eye[3] = {0, 0, 0};
    float yaw = 0;    // 0 looks along +Z; growing turns left
    float pitch = 0;  // radians, up positive
};

// Forward unit vector of a view.
void ViewDirection(const ViewPoint& view, float out[3]);

struct DrawCounts {
    int cells = 0;       // grid cells visited
    int placements = 0;  // placements in range and in view
    int boxes = 0;       // their boxes
    int hidden = 0;      // of those, left out as hidden behind nearer ones
    int hiddenChunks = 0;  // chunks of the others left out so
};

// Draws the first frame's view from the start (width x height device
// pixels), then each render state of the level's objects that view did not
// use once into one pixel, and waits for it: the GL driver prepares each
// new combination of render state (a software renderer compiles code for
// it) and its buffers for a frame of that size here, at loading, and not in
// the first frames of play, for about the cost of the first frame.  Leaves
// the buffers cleared and the matrices as it found them.
void PrepareDrawing(const ProjectContent& content, const LevelScene& scene, const TSkybox* sky, int width,
                    int height);

// One frame of the level into the current viewport (device pixels): clear,
// perspective, camera, sky box around the eye, placements.  Leaves the
// modelview matrix as the camera set it.
DrawCounts DrawLevel(const ProjectContent& content, const LevelScene& scene, const TSkybox* sky,
                     const ViewPoint& view, int width, int height);

}  // namespace qx
