#include <GL/gl.h>

#include <algorithm>

#include "Errors.h"
#include "ModelsGl.h"
#include "Paths.h"
#include "TexturePath.h"
#include "Textures.h"

namespace qx {

TextureLoader RegistryTextureLoader(const std::string& fsFolder)
{
    // The registry answers a second request for a file that failed with
    // success and GL name 0; no loaded texture has that name.
    return [fsFolder](const std::string& path, uint32_t& textureId) {
        uint32_t id = 0;
        if (!LoadTextureFile(FindFileIgnoringCase(path, fsFolder), id, false) || id == 0)
            return false;
        textureId = id;
        return true;
    };
}

}  // namespace qx

void TMaterial::Apply(bool textured) const
{
    glMaterialfv(GL_FRONT, GL_AMBIENT, &Ambient.R);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, &Diffuse.R);
    glMaterialfv(GL_FRONT, GL_SPECULAR, &Specular.R);
    glMaterialfv(GL_FRONT, GL_EMISSION, &Emission.R);
    // A percentage above 100 would give a negative exponent, which GL refuses
    // with an error that later checks would trip over.
    glMaterialf(GL_FRONT, GL_SHININESS, std::clamp(Shininess, 0.0f, 128.0f));
    glDisable(GL_TEXTURE_GEN_T);
    glDisable(GL_TEXTURE_GEN_S);
    if (textured) {
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, TextureId);
    } else {
        glDisable(GL_TEXTURE_2D);
    }
}

bool T3DModel::LoadFromFile(const std::string& fileName)
{
    Clear();
    std::string bytes;
    try {
        bytes = ReadWholeFile(ToFsPath(fileName));
    } catch (const qx::Error&) {
        return false;
    }
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    return qx::Read3ds({data, bytes.size()}, *this, qx::RegistryTextureLoader()).ok;
}

void T3DModel::Draw() const
{
    for (const T3DObject& o : Objects) {
        if (!o.Visible || o.Normals.size() < o.Vertices.size())
            continue;
        const bool textured = o.Textured();
        o.Material.Apply(textured);
        glBegin(o.DrawMode == 1 ? GL_LINES : o.DrawMode == 2 ? GL_POINTS : GL_TRIANGLES);
        const TColor4& diffuse = o.Material.Diffuse;
        for (const TFace& f : o.Faces) {
            for (const uint32_t k : {f.A, f.B, f.C}) {
                glNormal3fv(&o.Normals[k].X);
                if (textured)
                    glTexCoord2f(o.TexCoords[k].U, o.TexCoords[k].V);
                else
                    glColor3f(diffuse.R, diffuse.G, diffuse.B);
                glVertex3fv(&o.Vertices[k].X);
            }
        }
        glEnd();
    }
}
