// A primitive list's drawing as mesh groups (no GL): what
// TGLPremitives::Draw draws under DrawAt's starting state (white, front
// faces culled, no blending), walked in the same order with the same
// numbers, so the vertex buffers made from it show what the list shows.
#pragma once

#include <cstdint>
#include <vector>

#include "Mesh.h"

class TGLPremitives;

namespace qx {

// registrySize: the texture registry's count, for BindTexture's rule that
// an index past the end changes nothing.  `occluders` (when given) gets the
// outer faces of the list's opaque solid boxes.  Box i's vertices and
// faces are tagged as piece i + 1, the other kinds' as none.
std::vector<MeshGroup> BuildListMesh(const TGLPremitives& list, int32_t registrySize,
                                     std::vector<OccluderQuad>* occluders = nullptr);

}  // namespace qx
