#include "ShapeFields.h"

#include <algorithm>
#include <utility>

#include "PrimitiveList.h"
#include "Text1251.h"

namespace {

// Calls f(array member, count member) for the kind, so that one body
// serves every kind and any number of lists.
template <typename F>
decltype(auto) WithKind(ShapeKind kind, F&& f)
{
    using L = TGLPremitives;
    switch (kind) {
    case ShapeKind::Sphere: return f(&L::Spheres, &L::SphereCount);
    case ShapeKind::Torus: return f(&L::Tori, &L::TorusCount);
    case ShapeKind::Floor: return f(&L::Floors, &L::FloorCount);
    case ShapeKind::Wall: return f(&L::Walls, &L::WallCount);
    case ShapeKind::Model3ds: return f(&L::Models3ds, &L::Model3dsCount);
    case ShapeKind::ModelBlender: return f(&L::BlenderModels, &L::BlenderCount);
    case ShapeKind::Box: break;
    }
    return f(&L::Boxes, &L::BoxCount);
}

// Entries past the count are not primitives, whatever the array holds.
template <typename T>
int ValidCount(const std::vector<T>& items, int16_t count)
{
    return static_cast<int>(std::min(items.size(), static_cast<size_t>(std::max<int16_t>(count, 0))));
}

template <typename T>
bool Names(const std::vector<T>& items, int16_t count, int index)
{
    return index >= 0 && index < ValidCount(items, count);
}

// The rectangle's second side is a floor's depth and an upright wall's
// height: the editor's row for each.
void FlatFields(ShapeFields& f, TFlatRect& r, int secondRow)
{
    f.Position = &r.Position;
    f.Rotation = &r.Rotation;
    f.Size[0] = &r.SizeX;
    f.Size[secondRow] = &r.SizeZ;
    f.Tiling = &r.Tiling;
    f.Texture = &r.Texture;
}

void ModelFields(ShapeFields& f, TModelPlacement& m)
{
    f.Position = &m.Position;
    f.Rotation = &m.Rotation;
    f.Size[0] = &m.Scale.X;
    f.Size[1] = &m.Scale.Z;
    f.Size[2] = &m.Scale.Y;
}

}  // namespace

bool IsModel(ShapeKind kind) { return kind == ShapeKind::Model3ds || kind == ShapeKind::ModelBlender; }

std::string PartNodeText(const TGLPremitives& list, ShapeKind kind, int index)
{
    switch (kind) {
    case ShapeKind::Box: return Cp("[к]_Коробка");
    case ShapeKind::Sphere: return Cp("[ш]_Сфера");
    case ShapeKind::Torus: return Cp("[т]_Торус");
    case ShapeKind::Floor: return Cp("[п]_Пол");
    case ShapeKind::Wall: return Cp("[с]_Стена");
    case ShapeKind::Model3ds:
    case ShapeKind::ModelBlender: break;
    }
    const auto& models = list.Models3ds;
    const auto& blender = list.BlenderModels;
    std::string name;
    if (kind == ShapeKind::Model3ds && Names(models, list.Model3dsCount, index))
        name = models[static_cast<size_t>(index)].FileName;
    else if (kind == ShapeKind::ModelBlender && Names(blender, list.BlenderCount, index))
        name = blender[static_cast<size_t>(index)].FileName;
    return Cp("[м]_") + name;
}

ShapeFields FieldsOf(TGLPremitives& list, ShapeKind kind, int index)
{
    ShapeFields f;
    f.Kind = kind;
    if (index < 0 || index >= ShapeCount(list, kind))
        return f;
    const auto i = static_cast<size_t>(index);
    switch (kind) {
    case ShapeKind::Box: {
        TBox& b = list.Boxes[i];
        f.Position = &b.Position;
        f.Rotation = &b.Rotation;
        f.Size[0] = &b.Size.X;
        f.Size[1] = &b.Size.Z;
        f.Size[2] = &b.Size.Y;
        f.Tiling = &b.Tiling;
        f.BlendEquation = &b.BlendEquation;
        f.BlendMode = &b.BlendMode;
        f.CullFront = &b.CullFront;
        f.Texture = &b.Texture;
        break;
    }
    case ShapeKind::Sphere: {
        TSphere& s = list.Spheres[i];
        f.Position = &s.Position;
        f.Rotation = &s.Rotation;
        f.Size[0] = &s.Radius;
        f.Texture = &s.Texture;
        f.SizeChanged = [&s] { s.DisplayList = qx::GlListRef(); };
        break;
    }
    case ShapeKind::Torus: {
        TTorus& t = list.Tori[i];
        f.Position = &t.Position;
        f.Rotation = &t.Rotation;
        f.Size[0] = &t.ShapeParams[0];
        f.Size[1] = &t.ShapeParams[1];
        f.Texture = &t.Texture;
        break;
    }
    case ShapeKind::Floor: FlatFields(f, list.Floors[i], 1); break;
    case ShapeKind::Wall: FlatFields(f, list.Walls[i], 2); break;
    case ShapeKind::Model3ds: ModelFields(f, list.Models3ds[i]); break;
    case ShapeKind::ModelBlender: ModelFields(f, list.BlenderModels[i]); break;
    }
    return f;
}

int ShapeCount(const TGLPremitives& list, ShapeKind kind)
{
    return WithKind(kind, [&](auto items, auto count) { return ValidCount(list.*items, list.*count); });
}

int AddNewShape(TGLPremitives& list, ShapeKind kind, int32_t texture)
{
    switch (kind) {
    case ShapeKind::Box: return list.AddBox(texture, 0, 0, 0, 8, 8, 8, 1, 0, 0, 0);
    // The player marker's tessellation: round enough at editing distance.
    case ShapeKind::Sphere: return list.AddSphere(texture, 16, 0, 0, 0, 4, 0, 0, 0);
    case ShapeKind::Torus: {
        TTorus torus;
        torus.Texture = texture;
        torus.ShapeParams[0] = 4;
        torus.ShapeParams[1] = 1;
        return list.Append(std::move(torus));
    }
    case ShapeKind::Floor: {
        const int n = list.AddFloor(texture, 0, 0, 0, 8, 8, 1, 0, 0, 0);
        list.Floors[static_cast<size_t>(n)].OwnTransform = true;
        return n;
    }
    case ShapeKind::Wall: {
        // The floor's rectangle turned about X so that its depth rises from
        // where it stands: 8 wide, 8 high.
        TWall wall;
        wall.Texture = texture;
        wall.SizeX = 8;
        wall.SizeZ = 8;
        wall.Tiling = 1;
        wall.Rotation = {-90, 0, 0};
        return list.Append(std::move(wall));
    }
    case ShapeKind::Model3ds:
    case ShapeKind::ModelBlender: break;
    }
    return -1;
}

int CopyShape(const TGLPremitives& source, ShapeKind kind, int index, TGLPremitives& target, int at)
{
    return WithKind(kind, [&](auto items, auto count) {
        const auto& from = source.*items;
        auto& to = target.*items;
        if (!Names(from, source.*count, index))
            return -1;
        if (at < 0)
            return static_cast<int>(target.Append(from[static_cast<size_t>(index)]));
        if (!Names(to, target.*count, at))
            return -1;
        to[static_cast<size_t>(at)] = from[static_cast<size_t>(index)];
        return at;
    });
}

int InsertShape(const TGLPremitives& source, ShapeKind kind, int index, TGLPremitives& target, int at)
{
    return WithKind(kind, [&](auto items, auto count) {
        const auto& from = source.*items;
        if (!Names(from, source.*count, index) || at < 0 || at > ValidCount(target.*items, target.*count))
            return -1;
        const int end = target.Append(from[static_cast<size_t>(index)]);
        auto& to = target.*items;
        std::rotate(to.begin() + at, to.begin() + end, to.begin() + end + 1);
        return at;
    });
}

bool DeleteShape(TGLPremitives& list, ShapeKind kind, int index)
{
    return WithKind(kind, [&](auto items, auto count) {
        auto& v = list.*items;
        if (!Names(v, list.*count, index))
            return false;
        const int n = ValidCount(v, list.*count);
        v.erase(v.begin() + index);
        list.*count = static_cast<int16_t>(n - 1);
        return true;
    });
}

void HideShape(TGLPremitives& list, ShapeKind kind, int index, bool hide)
{
    WithKind(kind, [&](auto items, auto count) {
        auto& v = list.*items;
        int16_t& c = list.*count;
        if (hide) {
            if (!Names(v, c, index))
                return;
            const int n = ValidCount(v, c);
            std::rotate(v.begin() + index, v.begin() + index + 1, v.begin() + n);
            c = static_cast<int16_t>(n - 1);
            return;
        }
        const int n = ValidCount(v, c) + 1;
        if (index < 0 || index >= n || static_cast<size_t>(n) > v.size())
            return;
        std::rotate(v.begin() + index, v.begin() + n - 1, v.begin() + n);
        c = static_cast<int16_t>(n);
    });
}

void ForEachTexture(TGLPremitives& list, const std::function<void(ShapeKind kind, int index, int32_t& texture)>& f)
{
    for (ShapeKind kind : {ShapeKind::Box, ShapeKind::Sphere, ShapeKind::Torus, ShapeKind::Floor, ShapeKind::Wall})
        for (int i = 0; i < ShapeCount(list, kind); ++i)
            f(kind, i, *FieldsOf(list, kind, i).Texture);
}

ShapeValues ValuesOf(const ShapeFields& fields)
{
    ShapeValues v;
    const auto get = [](const auto* field, auto& value) {
        if (field)
            value = *field;
    };
    get(fields.Position, v.Position);
    get(fields.Rotation, v.Rotation);
    for (int row = 0; row < 3; ++row)
        get(fields.Size[row], v.Size[row]);
    get(fields.Tiling, v.Tiling);
    get(fields.BlendEquation, v.BlendEquation);
    get(fields.BlendMode, v.BlendMode);
    get(fields.CullFront, v.CullFront);
    get(fields.Texture, v.Texture);
    return v;
}

void PutValues(const ShapeFields& fields, const ShapeValues& v)
{
    const auto put = [](auto* field, const auto& value) {
        if (field)
            *field = value;
    };
    bool resized = false;
    for (int row = 0; row < 3; ++row)
        if (fields.Size[row] && *fields.Size[row] != v.Size[row]) {
            *fields.Size[row] = v.Size[row];
            resized = true;
        }
    put(fields.Position, v.Position);
    put(fields.Rotation, v.Rotation);
    put(fields.Tiling, v.Tiling);
    put(fields.BlendEquation, v.BlendEquation);
    put(fields.BlendMode, v.BlendMode);
    put(fields.CullFront, v.CullFront);
    put(fields.Texture, v.Texture);
    if (resized && fields.SizeChanged)
        fields.SizeChanged();
}
