// The small GL helpers primitives use for texturing, and the binding of a
// registry entry.
#include "Textures.h"

#include <GL/gl.h>

void SetTextureFilter(int32_t mode)
{
    GLint mag = 0;
    GLint min = 0;
    switch (mode) {
    case 0: mag = GL_LINEAR; min = GL_LINEAR; break;
    case 1: mag = GL_NEAREST; min = GL_NEAREST; break;
    case 2: mag = GL_LINEAR; min = GL_LINEAR_MIPMAP_LINEAR; break;
    case 3: mag = GL_LINEAR; min = GL_NEAREST_MIPMAP_NEAREST; break;
    default: return;
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, mag);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, min);
}

void SetTexGen(int32_t mode)
{
    GLenum gen = 0;
    switch (mode) {
    case 1: gen = GL_SPHERE_MAP; break;
    case 2: gen = GL_OBJECT_LINEAR; break;
    case 3: gen = GL_EYE_LINEAR; break;
    default: break;
    }
    if (gen != 0) {
        glTexGenf(GL_S, GL_TEXTURE_GEN_MODE, static_cast<GLfloat>(gen));
        glTexGenf(GL_T, GL_TEXTURE_GEN_MODE, static_cast<GLfloat>(gen));
    }
    if (mode != 0) {
        glEnable(GL_TEXTURE_GEN_S);
        glEnable(GL_TEXTURE_GEN_T);
    } else {
        glDisable(GL_TEXTURE_GEN_S);
        glDisable(GL_TEXTURE_GEN_T);
    }
}

void BindTexture(int32_t index)
{
    const TextureRegistry& reg = Textures();
    if (index > reg.TextureCount - 1 || index < -1)
        return;
    if (index == -1)
        glDisable(GL_TEXTURE_2D);
    else
        glEnable(GL_TEXTURE_2D);
    // Deliberately before the bind: the filters go to the texture bound so
    // far, which in steady drawing has been bound through here before.
    SetTextureFilter(2);
    if (index >= 0) {
        const uint32_t name = reg.TextureIds[static_cast<size_t>(index)];
        glBindTexture(GL_TEXTURE_2D, name == TextureRegistry::kAwaitingUpload ? 0 : name);
    }
}

void BindTextureName(uint32_t name)
{
    glBindTexture(GL_TEXTURE_2D, name);
}

void DeleteTextureName(uint32_t name)
{
    const GLuint names[1] = {name};
    glDeleteTextures(1, names);
}
