// The built-in shapes in immediate mode: the box, the longitude/latitude
// sphere (compiled once into a display list), the floor rectangle, the axes
// overlay and the screen-space quad of the 2D overlay.
//
// Every surface is wound clockwise as seen from the side meant to be seen,
// which is the visible side under the editor's front-face culling.  None of
// the routines binds a texture; the vertex order, texture coordinates and
// anchors are fixed because tests and saved looks depend on them.
#pragma once

#include <GL/gl.h>

#include <cstdint>

#include "DisplayList.h"
#include "Shapes.h"
#include "VectorMath.h"

// The glBegin mode of a shape walk's run.
GLenum GlRunMode(qx::shapes::Run run);

// Six textured quads covering [x, x+sizeX] x [y, y+sizeY] x [z, z+sizeZ], the
// texture repeated `tiling` times along each edge.  No normals.  A negative
// size draws nothing (not even the matrix push); a zero size draws a flat box.
void DrawCube(float tiling, float sizeX, float sizeY, float sizeZ, float x, float y, float z);

// Compiles a new display list holding a sphere of `segments` segments around
// Y and segments/2 bands, centred on (cx, cy, cz); an odd positive count is
// made even.  Fewer than 4 segments or a zero radius compile a single point.
// The caller owns the returned list id.  Not between glBegin/glEnd, nor
// while another list is being compiled.
int32_t CompileSphere(int32_t segments, float radius, float cx, float cy, float cz);
// The same, owned by a shared reference.
qx::GlListRef CompileSphereList(int32_t segments, float radius, float cx, float cy, float cz);

// A torus about the Y axis of ring radius (to the tube's centre) and tube
// radius, 24 x 12 segments, its outside seen with back faces culled.
void DrawTorus(float ringRadius, float tubeRadius);

// Two triangles covering [0, sizeX] x [0, sizeZ] at y = 0, visible from
// above, normal from TriangleNormal (NaN for a degenerate rectangle).
void DrawFloorQuad(float tiling, float sizeX, float sizeZ);

// Red X, green Y, blue Z lines of 0.8 * length from the origin; leaves the
// current colour white.
void DrawAxes(float length);

// A textured, coloured rectangle of the overlay projection (y down).  Anchor
// 0: (x, y) is the top-left corner; 1: the centre; 2: the bottom-right
// corner; others: the quad starts at the origin.  Leaves blending as
// SetBlend(blendEquation, blendMode) set it.
void DrawScreenQuad(uint8_t anchor, const TColor4& color, uint8_t blendEquation, float x, float y,
                    float width, float height, float depth, uint8_t blendMode);
