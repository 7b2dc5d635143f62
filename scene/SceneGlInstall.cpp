// Linked whole into every program that links qx_scene, so that the scene's
// data builds its GL caches wherever the drawing is linked.
#include "ObjectBuffers.h"
#include "ObjectGlSide.h"
#include "Primitives.h"

namespace {

const bool g_installed = [] {
    qx::ObjectGlSide& side = qx::ObjectGl();
    side.buildLists = qx::BuildObjectLists;
    side.compileSphere = [](TSphere& sphere) { sphere.Compile(); };
    return true;
}();

}  // namespace
