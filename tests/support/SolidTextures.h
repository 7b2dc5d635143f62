// Solid-colour textures in the texture registry, for GL tests of drawing.
#pragma once

#include <GL/gl.h>

#include <array>
#include <vector>

#include "Textures.h"

namespace qxtest {

// Registers one 1 x 1 texture per colour at registry indices 0, 1, ...; the
// registry is emptied again at the end of the scope.
class SolidTextures {
public:
    explicit SolidTextures(const std::vector<std::array<unsigned char, 3>>& colours)
    {
        ResetTextures();
        TextureRegistry& reg = Textures();
        ids_.resize(colours.size());
        glGenTextures(static_cast<GLsizei>(ids_.size()), ids_.data());
        for (size_t i = 0; i < colours.size(); ++i) {
            glBindTexture(GL_TEXTURE_2D, ids_[i]);
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, colours[i].data());
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        }
        glBindTexture(GL_TEXTURE_2D, 0);
        reg.TextureNames.assign(colours.size(), "solid.bmp");
        reg.TextureIds.assign(ids_.begin(), ids_.end());
        reg.TextureKeyed.assign(colours.size(), false);
        reg.TextureCount = static_cast<int32_t>(colours.size());
    }
    ~SolidTextures()
    {
        ResetTextures();
        glDeleteTextures(static_cast<GLsizei>(ids_.size()), ids_.data());
    }
    GLuint Id(size_t i) const { return ids_[i]; }

private:
    std::vector<GLuint> ids_;
};

}  // namespace qxtest
