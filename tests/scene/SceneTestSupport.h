// Helpers of the scene tests: solid-colour textures registered in the texture
// registry, GL state snapshots, and stand-in imported models.
#pragma once

#include <GL/gl.h>

#include <array>
#include <memory>
#include <vector>

#include "ImportedModel.h"
#include "Mesh.h"
#include "ModelReaders.h"
#include "ObjectBuffers.h"
#include "SolidTextures.h"
#include "Textures.h"

namespace qxtest {

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

// Draws through the display lists of the reference path while in scope.
struct ObjectPathScope {
    explicit ObjectPathScope(qx::ObjectPath path) { qx::SetObjectPath(path); }
    ~ObjectPathScope() { qx::SetObjectPath(qx::ObjectPath::Buffers); }
};

// A model read from a file that draws one point at the local (1, 0, 0),
// collides as one triangle and counts its picture loads.
class PointModel : public qx::LoadedModel {
public:
    explicit PointModel(int* pictureLoads = nullptr) : pictureLoads_(pictureLoads) {}
    void Draw() const override
    {
        glBegin(GL_POINTS);
        glTexCoord2f(0, 0);
        glVertex3f(1, 0, 0);
        glEnd();
    }
    void AppendMesh(qx::MeshBuilder& builder) const override
    {
        builder.UseState(qx::MeshState{});
        builder.Begin(qx::shapes::Run::Points);
        builder.Vertex(1, 0, 0, 0, 0);
        builder.End();
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
