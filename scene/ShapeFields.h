// Every primitive kind as the box editor and the object view's commands see
// it: a kind and an index into that kind's array of a primitive list, the
// fields the box editor shows, and the adds, copies and deletions the
// commands need for any kind (the list itself only has them for some).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "VectorMath.h"

class TGLPremitives;

enum class ShapeKind : uint8_t { Box, Sphere, Torus, Floor, Wall, Model3ds, ModelBlender };

bool IsModel(ShapeKind kind);

// The part tree's text of a kind: "[к]_Коробка", "[ш]_Сфера", ...; a model's
// is "[м]_" and its file name.  1251 bytes.
std::string PartNodeText(const TGLPremitives& list, ShapeKind kind, int index);

// The box editor's fields of one primitive, as pointers into its list
// (valid until the list changes).  Size rows are the editor's: first the
// width (Ex2), then the depth (Ey2), then the height (Ez2); a row the kind
// does not have is null, and so is any other field it does not have.
struct ShapeFields {
    ShapeKind Kind = ShapeKind::Box;
    TVec3* Position = nullptr;
    TVec3* Rotation = nullptr;
    float* Size[3] = {nullptr, nullptr, nullptr};
    float* Tiling = nullptr;
    uint8_t* BlendEquation = nullptr;
    uint8_t* BlendMode = nullptr;
    bool* CullFront = nullptr;
    int32_t* Texture = nullptr;
    // Run after a size changed (a sphere's compiled list no longer fits; the
    // list's PrepareDrawing compiles it again).
    std::function<void()> SizeChanged;

    explicit operator bool() const { return Position != nullptr; }
};

// What a primitive's fields hold, by value: an edit's before and after.
// Fields the kind does not have stay zero.
struct ShapeValues {
    TVec3 Position{};
    TVec3 Rotation{};
    float Size[3] = {0, 0, 0};
    float Tiling = 0;
    uint8_t BlendEquation = 0;
    uint8_t BlendMode = 0;
    bool CullFront = false;
    int32_t Texture = 0;
};

ShapeValues ValuesOf(const ShapeFields& fields);
// Writes the values into the fields the primitive has; a changed size runs
// SizeChanged, as the box editor's own edit does.
void PutValues(const ShapeFields& fields, const ShapeValues& values);

// Empty fields for an index that names no primitive of the kind.
ShapeFields FieldsOf(TGLPremitives& list, ShapeKind kind, int index);

int ShapeCount(const TGLPremitives& list, ShapeKind kind);

// A new primitive of the kind as the shape buttons make it, at the origin,
// textured with `texture` (models: ReadModel's result); returns its index.
// A floor honours its own transform; a wall starts upright; a sphere has
// radius 4, a torus ring radius 4 and tube radius 1.
int AddNewShape(TGLPremitives& list, ShapeKind kind, int32_t texture);
// Appends a copy of `source`'s primitive (kind, index) to `target`
// (-1 when there is none), or puts it in place of `at` when at >= 0.
int CopyShape(const TGLPremitives& source, ShapeKind kind, int index, TGLPremitives& target, int at = -1);
// Puts a copy of `source`'s primitive in at `at` of `target` (0 .. count),
// later ones moving up; -1 and nothing changed when either index is out.
int InsertShape(const TGLPremitives& source, ShapeKind kind, int index, TGLPremitives& target, int at);
// Later primitives of the kind move down one place.
bool DeleteShape(TGLPremitives& list, ShapeKind kind, int index);
// Moves primitive `index` of the kind to the end of the kind's valid
// entries and leaves it out of the count (`hide`), or takes it back to
// `index` (`!hide`): the frame draws a primitive being changed only once.
void HideShape(TGLPremitives& list, ShapeKind kind, int index, bool hide);
// Calls f(kind, index, texture) for every primitive that has a texture
// (every kind but the models, whose materials come with them).
void ForEachTexture(TGLPremitives& list, const std::function<void(ShapeKind kind, int index, int32_t& texture)>& f);
