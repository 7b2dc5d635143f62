// Objects a load replaced are destroyed after the new project shows, a few
// at a time between frames: freeing a big project's primitives and GL
// buffers at once would hold the window still for as long as building it.
// GUI thread, with the scene's GL context current when ReleaseSome runs.
#pragma once

#include <chrono>
#include <memory>
#include <vector>

class TQX3DObject;

namespace qx {

void ReleaseLater(std::vector<std::shared_ptr<TQX3DObject>> objects);
// Destroys queued objects, oldest first, until `budget` has passed (at
// least one when any wait).  True while some remain.
bool ReleaseSome(std::chrono::microseconds budget);
size_t ObjectsAwaitingRelease();

}  // namespace qx
