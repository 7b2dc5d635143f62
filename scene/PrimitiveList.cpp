#include "PrimitiveList.h"

#include <type_traits>
#include <utility>

#include "Errors.h"
#include "ModelReaders.h"
#include "ObjectGlSide.h"
#include "Paths.h"
#include "Text1251.h"

namespace {

using qx::ForEachKind;
using qx::Valid;

// The 16-bit count would wrap past 32767.
void CheckRoom(int16_t count)
{
    if (count >= TGLPremitives::kMaxCount)
        throw qx::Error("A primitive list holds at most 32767 primitives of one kind");
}

template <typename T>
int16_t Append(std::vector<T>& items, int16_t& count, T item)
{
    CheckRoom(count);
    const int16_t index = count;
    items.resize(static_cast<size_t>(index));
    items.push_back(std::move(item));
    ++count;
    return index;
}

template <typename T>
void CopyKind(std::vector<T>& items, int16_t& count, const std::vector<T>& source, int16_t sourceCount)
{
    const auto valid = Valid(source, sourceCount);
    items.assign(valid.begin(), valid.end());
    count = static_cast<int16_t>(valid.size());
}

}  // namespace

int16_t TGLPremitives::AddBox(int32_t texture, float x, float y, float z, float sizeX, float sizeY,
                              float sizeZ, float tiling, float rotX, float rotY, float rotZ)
{
    TBox box;
    box.Texture = texture;
    box.Position = {x, y, z};
    box.Size = {sizeX, sizeY, sizeZ};
    box.Tiling = tiling;
    box.Rotation = {rotX, rotY, rotZ};
    return ::Append(Boxes, BoxCount, std::move(box));
}

bool TGLPremitives::DeleteBox(int16_t index)
{
    // A negative index names no box either (the design only rules out
    // indices past the end, and would read before the array).
    if (index < 0 || index > BoxCount - 1 || static_cast<size_t>(index) >= Boxes.size())
        return false;
    Boxes.erase(Boxes.begin() + index);
    --BoxCount;
    return true;
}

int16_t TGLPremitives::AddSphere(int32_t texture, int16_t segments, float x, float y, float z,
                                 float radius, float rotX, float rotY, float rotZ)
{
    TSphere sphere;
    sphere.Position = {x, y, z};
    sphere.Radius = radius;
    sphere.Segments = segments;
    sphere.Texture = texture;
    sphere.Rotation = {rotX, rotY, rotZ};
    CheckRoom(SphereCount);
    if (const auto compile = qx::ObjectGl().compileSphere)
        compile(sphere);
    return ::Append(Spheres, SphereCount, std::move(sphere));
}

int16_t TGLPremitives::AddFloor(int32_t texture, float x, float y, float z, float sizeX,
                                float sizeZ, float tiling, float rotX, float rotY, float rotZ)
{
    TFloor floor;
    floor.Texture = texture;
    floor.Position = {x, y, z};
    floor.SizeX = sizeX;
    floor.SizeZ = sizeZ;
    floor.Tiling = tiling;
    floor.Rotation = {rotX, rotY, rotZ};
    return ::Append(Floors, FloorCount, std::move(floor));
}

namespace {

// The model primitive of a file: read (or shared), its pictures loaded.
template <typename T>
T ModelPrimitive(qx::ModelKind kind, const std::string& fileName, float x, float y, float z, float rotX,
                 float rotY, float rotZ, float scaleX, float scaleY, float scaleZ)
{
    const std::string path = ToFsPath(fileName);
    const std::string name = path.substr(path.find_last_of('/') + 1);
    if (const std::string refusal = qx::ModelNameRefusal(name); !refusal.empty())
        throw qx::Error(refusal);
    qx::ModelFileRead read = qx::ReadModelFile(kind, fileName);
    read.model->LoadPictures();
    qx::SetLastModelWarnings(std::move(read.warnings));
    T model;
    if constexpr (std::is_same_v<T, TModel3ds>)
        model.Model = std::move(read.model);
    else
        model.GameObj = TGameObjCopy(std::move(read.model));
    model.FileName = Utf8ToCp1251(name);
    model.Position = {x, y, z};
    model.Rotation = {rotX, rotY, rotZ};
    model.Scale = {scaleX, scaleY, scaleZ};
    return model;
}

}  // namespace

int16_t TGLPremitives::AddModel3ds(const std::string& fileName, float x, float y, float z,
                                   float rotX, float rotY, float rotZ, float scaleX, float scaleY,
                                   float scaleZ)
{
    CheckRoom(Model3dsCount);
    return Append(ModelPrimitive<TModel3ds>(qx::ModelKind::Model3ds, fileName, x, y, z, rotX, rotY, rotZ,
                                            scaleX, scaleY, scaleZ));
}

int16_t TGLPremitives::AddModelBlender(const std::string& fileName, float x, float y, float z,
                                       float rotX, float rotY, float rotZ, float scaleX,
                                       float scaleY, float scaleZ)
{
    CheckRoom(BlenderCount);
    return Append(ModelPrimitive<TModelBlender>(qx::ModelKind::Blender, fileName, x, y, z, rotX, rotY, rotZ,
                                                scaleX, scaleY, scaleZ));
}

int16_t TGLPremitives::Append(TBox item) { return ::Append(Boxes, BoxCount, std::move(item)); }
int16_t TGLPremitives::Append(TSphere item) { return ::Append(Spheres, SphereCount, std::move(item)); }
int16_t TGLPremitives::Append(TTorus item) { return ::Append(Tori, TorusCount, std::move(item)); }
int16_t TGLPremitives::Append(TFloor item) { return ::Append(Floors, FloorCount, std::move(item)); }
int16_t TGLPremitives::Append(TWall item) { return ::Append(Walls, WallCount, std::move(item)); }
int16_t TGLPremitives::Append(TModel3ds item) { return ::Append(Models3ds, Model3dsCount, std::move(item)); }
int16_t TGLPremitives::Append(TModelBlender item)
{
    return ::Append(BlenderModels, BlenderCount, std::move(item));
}

void TGLPremitives::Assign(const TGLPremitives& source)
{
    if (&source == this)
        return;
    ListId = source.ListId;
    Tag = source.Tag;
    Text = source.Text;
    ForEachKind([&](auto items, auto count) {
        CopyKind(this->*items, this->*count, source.*items, source.*count);
    });
}
