// What the scene's data asks of GL.  An object's display lists and vertex
// buffers and a sphere's compiled list are caches that the drawing library
// (qx_scene) builds from the primitives; the data library holds them as
// references it never looks into.  When the data asks for a rebuild
// (BuildDisplayLists, a new sphere) it goes through these, which qx_scene
// installs before main in every program that links it; a program without
// it builds nothing, as the editor does without a GL context.
#pragma once

#include <cstdint>

class TQX3DObject;
struct TSphere;

namespace qx {

struct ObjectGlSide {
    // TQX3DObject::BuildListRange's work: lists [first, first + count).
    void (*buildLists)(TQX3DObject& object, int16_t first, int16_t count) = nullptr;
    void (*compileSphere)(TSphere& sphere) = nullptr;
};

ObjectGlSide& ObjectGl();

}  // namespace qx
