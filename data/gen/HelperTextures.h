// The editor's own small textures: the ground grid, the screen cross-hair
// and the library's "no texture" picture.
#pragma once

#include "Image.h"

namespace qx::data {

// One grid cell: a line along each edge, so the floor's repeats draw a grid
// (two tiles meeting give a line two pixels wide).  Loaded without colour
// key, so it carries a repeated top row (WithRepeatedTopRow).
Image GridCell();

// The colour the cross-hair is drawn on.  It is the bottom-left pixel, which
// the keyed loader makes transparent with every pixel of the same colour.
// Black rather than a loud colour: filtering blends the cross's edges with
// the key's RGB, and black merges with the cross's dark outline.
inline constexpr Rgb CrossHairKey{0, 0, 0};
// 32 x 32, drawn one to one at the centre of the view.
Image CrossHair();

// Shown in the texture window's preview for nodes that name no texture.
Image NoTexturePicture();

}  // namespace qx::data
