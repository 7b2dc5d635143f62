// TSkybox: the textured cube (or sphere) around the eye, drawn first in a
// frame with the depth test off so that everything drawn later covers it.
// Face textures are texture registry indices; note that the left texture
// lies on the +X face and the right texture on the -X face.
#pragma once

#include <cstdint>

#include "DisplayList.h"

class TSkybox {
public:
    // Size: half the edge of the cube, or the sphere's radius.
    TSkybox(bool boxed, float size);
    virtual ~TSkybox() = default;

    bool Boxed = true;
    float Size = 0;
    qx::GlListRef DisplayList;
    int32_t FrontTexture = 0;   // Z = +1
    int32_t BackTexture = 0;    // Z = -1
    int32_t TopTexture = 0;     // Y = +1
    int32_t BottomTexture = 0;  // Y = -1
    int32_t LeftTexture = 0;    // X = +1
    int32_t RightTexture = 0;   // X = -1

    // Compiles the faces (with their texture binds) into DisplayList,
    // replacing an earlier build.
    void BuildList();
    // Draws centred on (x, y, z) without depth test; leaves the modelview
    // matrix as it found it.
    void Draw(float x, float y, float z) const;
};
