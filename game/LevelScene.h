// What the game keeps of a loaded level for play: the collision world of
// all placed objects, and the placements sorted into a ground grid with the
// world bounds of what each one draws.  Built once after loading (no GL);
// DrawLevel then draws a frame from it without allocating.
//
// A frame draws what the editor's map view draws around its camera (the
// placements closer than the map draw distance, each as its object's display
// list under its transform), plus culling: only grid cells near the eye are
// visited, and cells and placements outside the view are skipped.
#pragma once

#include <cstdint>
#include <vector>

#include "BoxGrid.h"
#include "CollisionWorld.h"
#include "ProjectContent.h"

class TQX3DObject;
class TSkybox;

namespace qx {

// The editor's map draw distance.
inline constexpr float kDrawDistance = 200.0f;
// The editor's ground grid (its floor object "ObjSetka").
inline constexpr float kGroundSide = 1000.0f;
inline constexpr float kGroundThickness = 0.5f;

// The collision volumes of an object in its own space: one box per volume
// of its collision set; a footprint of negative size is left out.
std::vector<Box3> ObjectVolumes(const TQX3DObject& object);
// What the object's drawn list covers in its own space (boxes turned about
// their corners); empty when it draws nothing.
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
    // The editor's ground grid: 1000 x 1000 units from the origin along +X
    // and +Z, at the height of the player start (which the designer put on
    // it).  The player stands on it; off its edge the player falls.  Set
    // before Build; `ground` draws it (null: not drawn).
    bool groundGrid = false;
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
    int placements = 0;  // placements drawn
};

// One frame of the level into the current viewport (device pixels): clear,
// perspective, camera, sky box around the eye, placements.  Leaves the
// modelview matrix as the camera set it.
DrawCounts DrawLevel(const ProjectContent& content, const LevelScene& scene, const TSkybox* sky,
                     const ViewPoint& view, int width, int height);

}  // namespace qx
