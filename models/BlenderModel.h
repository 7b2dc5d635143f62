// A model written by the simple Blender text exporter: a list of faces,
// each with its texture file name, corner positions, corner normals and, for
// textured faces, texture coordinates.
//
// ParseGameObj needs no GL and never changes the process's decimal
// separator: numbers are read with "." whatever the user's locale.  A face
// keeps every corner the file gives it.  LoadGameObj and DrawGameObj (the GL
// part) load the textures through the registry and draw.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Model3ds.h"

struct TPoligon {
    std::string TextureName;  // as written, or "NOTEXTURE"
    std::vector<TVec3> Vertices;  // editor axes
    std::vector<TVec3> Normals;
    std::vector<TTexCoord> TexCoords;  // (0, 0) for untextured faces
    uint32_t TextureId = 0;
    bool Textured = false;

    int32_t Count() const { return static_cast<int32_t>(Vertices.size()); }
};

struct TPoligons {
    std::vector<TPoligon> Poligons;
};

struct TGameObj {
    TPoligons Poligons;
};

namespace qx {

// The polygons of the file's text.  Throws qx::ConvertError
// ("'%s' is not a valid floating point value") on a number that is not one.
TGameObj ParseGameObj(std::string_view text);

// Loads the textured faces' maps by their names, in face order; the loader
// knows the model's folder.
void LoadGameObjTextures(TGameObj& obj, const TextureLoader& loadTexture);

class MeshBuilder;
// What DrawGameObj draws, into the builder (no GL).
void AppendGameObjMesh(const TGameObj& obj, MeshBuilder& builder);

}  // namespace qx

// Reads the file and replaces obj's polygons; on any error (qx::InOutError
// for a file that cannot be read, qx::ConvertError) obj is unchanged.
// Needs the GL context.
void LoadGameObj(const std::string& fileName, TGameObj& obj);
void DrawGameObj(const TGameObj& obj);
