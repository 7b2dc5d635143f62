// A large 3DS model for the benchmarks: `meshes` height-field grids of
// side x side vertices ((side - 1)^2 x 2 faces each) with texture
// coordinates, all in one material without a map.  side 182 gives the
// 33,124 vertices and 65,522 faces of a detailed game model.
#pragma once

#include <string>

std::string MakeLarge3ds(int meshes = 8, int side = 182);
