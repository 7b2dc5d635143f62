// Helpers of the scene tests: solid-colour textures registered in the texture
// registry, GL state snapshots, and stand-in imported models.
#pragma once

#include <GL/gl.h>

#include <array>
#include <memory>
#include <vector>

#include "ImportedModel.h"
#include "ModelReaders.h"
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

struct GlStateSnapshot {
    GLboolean blend, texture2d, depthTest, texGenS, texGenT;
    GLint cullFace, matrixDepth, blendSrc, blendDst, textureBinding;
    float colour[4];

    static GlStateSnapshot Take()
    {
        GlStateSnapshot s{};
        s.blend = glIsEnabled(GL_BLEND);
        s.texture2d = glIsEnabled(GL_TEXTURE_2D);
        s.depthTest = glIsEnabled(GL_DEPTH_TEST);
        s.texGenS = glIsEnabled(GL_TEXTURE_GEN_S);
        s.texGenT = glIsEnabled(GL_TEXTURE_GEN_T);
        glGetIntegerv(GL_CULL_FACE_MODE, &s.cullFace);
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &s.matrixDepth);
        glGetIntegerv(GL_BLEND_SRC, &s.blendSrc);
        glGetIntegerv(GL_BLEND_DST, &s.blendDst);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &s.textureBinding);
        glGetFloatv(GL_CURRENT_COLOR, s.colour);
        return s;
    }
    bool operator==(const GlStateSnapshot& o) const
    {
        return blend == o.blend && texture2d == o.texture2d && depthTest == o.depthTest &&
               texGenS == o.texGenS && texGenT == o.texGenT && cullFace == o.cullFace &&
               matrixDepth == o.matrixDepth && blendSrc == o.blendSrc && blendDst == o.blendDst &&
               textureBinding == o.textureBinding && colour[0] == o.colour[0] &&
               colour[1] == o.colour[1] && colour[2] == o.colour[2] && colour[3] == o.colour[3];
    }
};

// A model read from a file that draws one point at the local (1, 0, 0),
// collides as one triangle and counts its picture loads.
class PointModel : public qx::LoadedModel {
public:
    explicit PointModel(int* pictureLoads = nullptr) : pictureLoads_(pictureLoads) {}
    void Draw() const override
    {
        glBegin(GL_POINTS);
        glVertex3f(1, 0, 0);
        glEnd();
    }
    std::unique_ptr<qx::ImportedModel> Clone() const override { return std::make_unique<PointModel>(*this); }
    std::vector<TVec3> Triangles() const override { return {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}}; }

protected:
    void LoadPicturesNow() const override
    {
        if (pictureLoads_)
            ++*pictureLoads_;
    }

private:
    int* pictureLoads_;
};

}  // namespace qxtest
