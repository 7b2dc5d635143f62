#include "ObjectMesh.h"

#include "PrimitiveList.h"

namespace qx {

namespace {

// RotateBy: three turns, each about an axis given as 0.5 in its component.
void RotateBy(MeshBuilder& b, const TVec3& r)
{
    b.Rotate(r.X, 0.5, 0, 0);
    b.Rotate(r.Y, 0, 0.5, 0);
    b.Rotate(r.Z, 0, 0, 0.5);
}

// A state with the texture the drawing has bound so far.
MeshState Current(const MeshBuilder& b)
{
    MeshState s;
    s.textureBy = b.currentTextureBy;
    s.texture = b.currentTexture;
    s.color = b.currentColor;
    return s;
}

void AppendBox(MeshBuilder& b, const TBox& box, int32_t registrySize)
{
    b.Push();
    b.BindRegistry(box.Texture, registrySize);
    b.Translate(box.Position.X, box.Position.Y, box.Position.Z);
    if (box.Rotation.X != 0)
        b.Rotate(box.Rotation.X, 0.5, 0, 0);
    if (box.Rotation.Y != 0)
        b.Rotate(box.Rotation.Y, 0, 0.5, 0);
    if (box.Rotation.Z != 0)
        b.Rotate(box.Rotation.Z, 0, 0, 0.5);
    MeshState s = Current(b);
    s.texGen = box.TexGenMode;
    s.blendEquation = box.BlendEquation;
    s.blendMode = box.BlendMode;
    s.color = box.Color;
    s.cull = box.CullFront ? MeshCull::Front : MeshCull::Back;
    const TVec3& size = box.Size;
    if (size.X >= 0 && size.Y >= 0 && size.Z >= 0) {
        const float hx = size.X / 2, hy = size.Y / 2, hz = size.Z / 2;
        b.Translate(hx, hy, hz);
        b.UseState(s);
        // Untextured, opaque, one colour, seen from outside and not flat:
        // a solid whose faces against another such box nobody sees.
        const bool untextured = s.textureBy == MeshTexture::Off || (s.textureBy == MeshTexture::Registry && s.texture == -1);
        b.solid = untextured && s.texGen == 0 && s.blendMode == 0 && s.cull == MeshCull::Front && s.color.A == 1 &&
                  size.X > 0 && size.Y > 0 && size.Z > 0;
        shapes::CubeFaces(b, box.Tiling, hx, hy, hz);
        b.solid = false;
    }
    b.currentColor = TColor4{1, 1, 1, 1};
    b.Pop();
}

// Bind, translate, turn: the start of the kinds placed by their own fields.
void PushPlaced(MeshBuilder& b, int32_t texture, const TVec3& position, const TVec3& rotation, int32_t registrySize)
{
    b.Push();
    b.BindRegistry(texture, registrySize);
    b.Translate(position.X, position.Y, position.Z);
    RotateBy(b, rotation);
}

void AppendRect(MeshBuilder& b, const TFlatRect& rect, bool placed, int32_t registrySize)
{
    if (placed) {
        PushPlaced(b, rect.Texture, rect.Position, rect.Rotation, registrySize);
    } else {
        b.Push();
        b.BindRegistry(rect.Texture, registrySize);
    }
    MeshState s = Current(b);
    s.normals = true;
    if (placed)
        s.cull = MeshCull::None;
    b.UseState(s);
    shapes::FloorTriangles(b, rect.Tiling, rect.SizeX, rect.SizeZ);
    b.Pop();
}

void AppendModel(MeshBuilder& b, const TModelPlacement& placement, const ImportedModel* model)
{
    b.Push();
    b.Translate(placement.Position.X, placement.Position.Y, placement.Position.Z);
    RotateBy(b, placement.Rotation);
    b.Scale(placement.Scale.X, placement.Scale.Y, placement.Scale.Z);
    if (model)
        model->AppendMesh(b);
    b.Pop();
}

}  // namespace

std::vector<MeshGroup> BuildListMesh(const TGLPremitives& list, int32_t registrySize,
                                     std::vector<OccluderQuad>* occluders)
{
    MeshBuilder b;
    // Each box a piece of its own, for SplitIntoChunks.
    for (const TBox& box : Valid(list.Boxes, list.BoxCount)) {
        ++b.piece;
        AppendBox(b, box, registrySize);
    }
    b.piece = 0;
    b.DropSharedFaces(occluders);
    for (const TSphere& sphere : Valid(list.Spheres, list.SphereCount)) {
        PushPlaced(b, sphere.Texture, sphere.Position, sphere.Rotation, registrySize);
        b.UseState(Current(b));
        shapes::SphereStrips(b, sphere.Segments, sphere.Radius, 0, 0, 0);
        b.Pop();
    }
    for (const TTorus& torus : Valid(list.Tori, list.TorusCount)) {
        PushPlaced(b, torus.Texture, torus.Position, torus.Rotation, registrySize);
        MeshState s = Current(b);
        s.cull = MeshCull::Back;
        b.UseState(s);
        shapes::TorusStrips(b, torus.ShapeParams[0], torus.ShapeParams[1]);
        b.Pop();
    }
    for (const TFloor& floor : Valid(list.Floors, list.FloorCount))
        AppendRect(b, floor, floor.OwnTransform, registrySize);
    for (const TWall& wall : Valid(list.Walls, list.WallCount))
        AppendRect(b, wall, true, registrySize);
    for (const TModel3ds& model : Valid(list.Models3ds, list.Model3dsCount))
        AppendModel(b, model, model.Model.get());
    for (const TModelBlender& model : Valid(list.BlenderModels, list.BlenderCount))
        AppendModel(b, model, model.GameObj.get());
    return b.Take();
}

}  // namespace qx
