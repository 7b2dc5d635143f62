// The models' drawing (T3DModel::Draw, DrawGameObj) as mesh groups.
#include <algorithm>

#include "BlenderModel.h"
#include "Mesh.h"
#include "Model3ds.h"

namespace qx {

void AppendModel3dsMesh(const T3DModel& model, MeshBuilder& builder)
{
    for (const T3DObject& o : model.Objects) {
        if (!o.Visible || o.Normals.size() < o.Vertices.size())
            continue;
        const bool textured = o.Textured();
        const TMaterial& m = o.Material;
        MeshState state;
        state.normals = true;
        state.material = true;
        state.surface = {m.Ambient, m.Diffuse, m.Specular, m.Emission, std::clamp(m.Shininess, 0.0f, 128.0f)};
        state.textureBy = textured ? MeshTexture::Name : MeshTexture::Off;
        state.texture = static_cast<int32_t>(m.TextureId);
        builder.currentTextureBy = state.textureBy;
        builder.currentTexture = state.texture;
        // An untextured mesh sets its diffuse colour on every vertex, and
        // leaves it to what comes next.
        if (!textured && !o.Faces.empty())
            builder.currentColor = TColor4{m.Diffuse.R, m.Diffuse.G, m.Diffuse.B, 1};
        state.color = builder.currentColor;
        builder.UseState(state);
        builder.Begin(o.DrawMode == 1   ? shapes::Run::Lines
                      : o.DrawMode == 2 ? shapes::Run::Points
                                        : shapes::Run::Triangles);
        for (const TFace& f : o.Faces)
            for (const uint32_t k : {f.A, f.B, f.C}) {
                builder.Normal(o.Normals[k]);
                const TVec3& p = o.Vertices[k];
                // Untextured, the coordinate is whatever came before.
                const TTexCoord uv = textured ? o.TexCoords[k] : TTexCoord{builder.currentS, builder.currentT};
                builder.Vertex(p.X, p.Y, p.Z, uv.U, uv.V);
            }
        builder.End();
    }
}

void AppendGameObjMesh(const TGameObj& obj, MeshBuilder& builder)
{
    for (const TPoligon& p : obj.Poligons.Poligons) {
        if (p.Textured) {
            builder.currentTextureBy = MeshTexture::Bind;
            builder.currentTexture = static_cast<int32_t>(p.TextureId);
        }
        MeshState state;
        state.normals = true;
        state.textureBy = builder.currentTextureBy;
        state.texture = builder.currentTexture;
        state.color = builder.currentColor;
        builder.UseState(state);
        builder.Begin(shapes::Run::Polygon);
        for (size_t j = 0; j < p.Vertices.size(); ++j) {
            builder.Normal(j < p.Normals.size() ? p.Normals[j] : TVec3{});
            builder.Vertex(p.Vertices[j].X, p.Vertices[j].Y, p.Vertices[j].Z, p.TexCoords[j].U, p.TexCoords[j].V);
        }
        builder.End();
    }
}

}  // namespace qx
