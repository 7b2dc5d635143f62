// The primitive kinds a primitive list holds, and how each draws itself in
// the current modelview space.  Every Draw is valid inside glNewList ...
// glEndList (texture binds included) and leaves the modelview matrix as it
// found it.  Texture fields are texture registry indices (-1: untextured).
//
// Primitives are values: copying one shares what the editor shares between
// copies of an object (a sphere's or torus's compiled list, a model read
// from a file) and copies the rest.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "DisplayList.h"
#include "ImportedModel.h"
#include "VectorMath.h"

// Three glRotatef calls: about X, then Y, then Z.
void RotateBy(const TVec3& rotation);

struct TBox {
    std::string Text;  // reserved
    int32_t Texture = 0;
    TVec3 Rotation;
    float Tiling = 0;
    TVec3 Position;  // the corner with the smallest coordinates
    TVec3 Size{8, 8, 8};
    uint8_t BlendEquation = 0;  // SetBlend equation code
    uint8_t BlendMode = 0;      // SetBlend function code, 0 = off
    uint8_t TexGenMode = 0;     // 0 off, 1 sphere map, 2 object linear, 3 eye linear
    bool CullFront = true;      // false shows the inside of the box
    TColor4 Color{1, 1, 1, 1};

    // Turns about Position (the corner), skipping axes whose angle is 0;
    // restores colour, culling, blending and tex-gen afterwards.
    void Draw() const;
};

struct TSphere {
    std::string Text;
    int32_t Texture = 0;
    TVec3 Rotation;
    TVec3 Position;  // the centre
    float Radius = 0;
    int16_t Segments = 0;
    qx::GlListRef DisplayList;  // shared by copies

    void Compile();  // DisplayList := a new sphere list of Segments and Radius
    void Draw() const;
};

struct TTorus {
    std::string Text;
    int32_t Texture = 0;
    TVec3 Rotation;
    float ShapeParams[3] = {0, 0, 0};
    TVec3 Position;
    qx::GlListRef DisplayList;  // nothing compiles it: list 0 is called

    void Draw() const;  // inside shown (back faces culled)
};

// Floors and walls share one layout: a rectangle of SizeX by SizeZ with its
// texture repeated Tiling times along each side.
struct TFlatRect {
    std::string Text;
    int32_t Texture = 0;
    TVec3 Rotation;
    float Tiling = 0;
    TVec3 Position;
    float SizeX = 0;
    float SizeZ = 0;
    bool OwnTransform = false;  // a floor the designer placed honours Position and Rotation
};

// A floor lies at the origin of the space it is drawn in: it ignores its
// Position and Rotation.
struct TFloor : TFlatRect {
    void Draw() const;
};

// A wall is the floor's rectangle moved and turned by its own fields; to
// stand upright it needs 90 degrees about X or Z.
struct TWall : TFlatRect {
    void Draw() const;
};

// What the two imported model kinds share: their own transform (the model
// kinds have no texture; their materials come with the model).
struct TModelPlacement {
    std::string Text;
    TVec3 Rotation;
    TVec3 Position;
    TVec3 Scale;
    std::string FileName;  // the model's file in the project's models/ folder
};

struct TModel3ds : TModelPlacement {
    std::shared_ptr<const qx::ImportedModel> Model;  // shared by copies; null draws nothing

    void Draw() const;
};

// A Blender-export model: like a 3DS model read once per file and shared by
// every primitive (and copy) that uses it.
class TGameObjCopy {
public:
    TGameObjCopy() = default;
    explicit TGameObjCopy(std::shared_ptr<const qx::ImportedModel> model) : model_(std::move(model)) {}

    const qx::ImportedModel* get() const { return model_.get(); }
    const std::shared_ptr<const qx::ImportedModel>& shared() const { return model_; }
    explicit operator bool() const { return static_cast<bool>(model_); }

private:
    std::shared_ptr<const qx::ImportedModel> model_;
};

struct TModelBlender : TModelPlacement {
    TGameObjCopy GameObj;  // empty draws nothing

    void Draw() const;
};
