// What the object renderer's two files share: the process's table of render
// states and the setting of a state around draws (ObjectBuffers.cpp keeps
// them, ObjectBuffersBatch.cpp draws the frame's batch with them).
#pragma once

#include <cstdint>
#include <vector>

#include "Mesh.h"

namespace qx::buffers_detail {

// Every state any object's groups use, each once: a group names its state
// by index, and the frame's batch sorts by it.
std::vector<MeshState>& States();
uint32_t StateIndex(const MeshState& state);
// A group seen from both sides switches culling off for itself alone, as
// the immediate drawing does; `previous` is the state drawn before (null:
// none in this draw).
void ApplyState(const MeshState& s, const MeshState* previous);
// What DrawAt leaves after an object.
void RestoreState(const MeshState* last);
// The client arrays the buffers draw with, on and off again.
void BeginArrays();
void EndArrays();

}  // namespace qx::buffers_detail
