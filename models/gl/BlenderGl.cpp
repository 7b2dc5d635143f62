#include <GL/gl.h>

#include "BlenderModel.h"
#include "ModelsGl.h"
#include "NumberText.h"
#include "Paths.h"

void LoadGameObj(const std::string& fileName, TGameObj& obj)
{
    TGameObj read = qx::ParseGameObj(ReadWholeFile(ToFsPath(fileName)));
    // The file name is the file system's; the texture names are 1251 text.
    qx::LoadGameObjTextures(read, qx::RegistryTextureLoader(PathFolder(fileName)));
    obj = std::move(read);
}

void DrawGameObj(const TGameObj& obj)
{
    for (const TPoligon& p : obj.Poligons.Poligons) {
        // An untextured face keeps whatever texture is bound.
        if (p.Textured)
            glBindTexture(GL_TEXTURE_2D, p.TextureId);
        glBegin(GL_POLYGON);
        for (size_t j = 0; j < p.Vertices.size(); ++j) {
            glTexCoord2f(p.TexCoords[j].U, p.TexCoords[j].V);
            glNormal3fv(&p.Normals[j].X);
            glVertex3fv(&p.Vertices[j].X);
        }
        glEnd();
    }
}
