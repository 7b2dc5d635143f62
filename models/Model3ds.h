// A 3D Studio mesh file as the editor shows it: named mesh objects, each
// with its vertices (already in the editor's Y-up axes), triangles, texture
// coordinates, per-vertex normals and one material of its own.
//
// Reading needs no GL: Read3ds takes the file's bytes and a texture loader
// (null: no texture loads).  It trusts no length, count, index or name in
// the file; what does not hold together is left out and said in `faults`,
// never read out of bounds.  Drawing (Draw, Apply, LoadFromFile, which loads
// through the texture registry) is in the GL part of the module.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "VectorMath.h"

namespace qx {

using ModelBytes = std::span<const uint8_t>;
// Loads the texture at a design path (backslashes, code page 1251) and writes
// its GL name on success.
using TextureLoader = std::function<bool(const std::string& designPath, uint32_t& textureId)>;

}  // namespace qx

struct TMaterial {
    std::string Name;
    std::string MapName;
    bool TextureLoaded = false;
    uint32_t TextureId = 0;
    // All zero until the file says otherwise; emission is never read.
    TColor4 Ambient, Emission, Specular, Diffuse;
    float Shininess = 0.0f;

    // Material state for the object about to be drawn; `textured` binds the
    // map, otherwise 2D texturing is switched off.
    void Apply(bool textured) const;
};

struct TTexCoord {
    float U = 0.0f;
    float V = 0.0f;
};

struct TFace {
    uint32_t A = 0, B = 0, C = 0;
};

struct T3DObject {
    bool Visible = true;
    std::string Name;
    TMaterial Material;
    uint8_t DrawMode = 0;  // 0 triangles, 1 lines, 2 points
    std::vector<TVec3> Vertices;
    std::vector<TVec3> Normals;
    std::vector<TTexCoord> TexCoords;
    std::vector<TFace> Faces;  // every index below Vertices.size()

    // A mesh without a coordinate per vertex is drawn in its diffuse colour
    // even when its map loaded.
    bool Textured() const { return Material.TextureLoaded && TexCoords.size() >= Vertices.size(); }
};

class T3DModel {
public:
    std::vector<T3DObject> Objects;

    void Clear() { Objects.clear(); }
    // Replaces the content with the file's; maps load through the texture
    // registry from "textures\" + map name.  True when the file opened and
    // began with a main chunk.  Needs the GL context.
    bool LoadFromFile(const std::string& fileName);
    void Draw() const;
};

namespace qx {

struct Read3dsResult {
    bool ok = false;                  // began with a main chunk
    std::vector<std::string> faults;  // what was left out, and why
};

// Replaces model's content with what the bytes hold.  The version warning
// goes through qx::Messages().
Read3dsResult Read3ds(ModelBytes file, T3DModel& model, const TextureLoader& loadTexture);

// The unit average of the normals (b - a) x (c - a) of the faces around each
// vertex, in time proportional to vertices plus faces.  A vertex no face
// uses gets NaN components (it is never drawn).
void ComputeNormals(T3DObject& object);

class MeshBuilder;
// What T3DModel::Draw draws, into the builder (no GL).
void AppendModel3dsMesh(const T3DModel& model, MeshBuilder& builder);

}  // namespace qx
