#include "Skybox.h"

#include <GL/gl.h>

#include "GLEngine.h"
#include "Geometry.h"
#include "Textures.h"

namespace {

struct SkyCorner {
    float x, y, z;
    float s, t;
};

void EmitFace(int32_t texture, const SkyCorner (&corners)[4])
{
    BindTexture(texture);
    glBegin(GL_QUADS);
    for (const SkyCorner& c : corners) {
        glTexCoord2f(c.s, c.t);
        glVertex3f(c.x, c.y, c.z);
    }
    glEnd();
}

}  // namespace

TSkybox::TSkybox(bool boxed, float size) : Boxed(boxed), Size(size) {}

void TSkybox::BuildList()
{
    if (!Boxed) {
        // The sphere list itself binds nothing, so the top texture is bound
        // inside the sky box's own list: binding it once at build time would
        // leave the sky in whatever texture was bound last when it is drawn.
        qx::GlListRef sphere = CompileSphereList(100, Size, 0, 0, 0);
        qx::GlListRef list = qx::GlListRef::Generate();
        if (!list)
            return;
        glNewList(static_cast<GLuint>(list.Id()), GL_COMPILE);
        BindTexture(TopTexture);
        glCallList(static_cast<GLuint>(sphere.Id(0)));
        glEndList();
        list.KeepAlive(sphere);
        DisplayList = std::move(list);
        return;
    }

    qx::GlListRef list = qx::GlListRef::Generate();
    if (!list)
        return;
    glNewList(static_cast<GLuint>(list.Id()), GL_COMPILE);
    glPushMatrix();
    glScaled(Size, Size, Size);
    EmitFace(FrontTexture, {{-1, -1, 1, 0, 0}, {1, -1, 1, 1, 0}, {1, 1, 1, 1, 1}, {-1, 1, 1, 0, 1}});
    EmitFace(BackTexture,
             {{-1, -1, -1, 1, 0}, {-1, 1, -1, 1, 1}, {1, 1, -1, 0, 1}, {1, -1, -1, 0, 0}});
    EmitFace(TopTexture, {{-1, 1, -1, 0, 0}, {-1, 1, 1, 1, 0}, {1, 1, 1, 1, 1}, {1, 1, -1, 0, 1}});
    EmitFace(BottomTexture,
             {{-1, -1, -1, 0, 1}, {1, -1, -1, 0, 0}, {1, -1, 1, 1, 0}, {-1, -1, 1, 1, 1}});
    EmitFace(LeftTexture, {{1, -1, -1, 1, 0}, {1, 1, -1, 1, 1}, {1, 1, 1, 0, 1}, {1, -1, 1, 0, 0}});
    EmitFace(RightTexture,
             {{-1, -1, -1, 0, 0}, {-1, -1, 1, 1, 0}, {-1, 1, 1, 1, 1}, {-1, 1, -1, 0, 1}});
    glPopMatrix();
    glEndList();
    DisplayList = std::move(list);
}

void TSkybox::Draw(float x, float y, float z) const
{
    glTranslatef(x, y, z);
    glCullFace(GL_FRONT);
    SetBlend(0, 0);
    glColor4f(1, 1, 1, 1);
    glDisable(GL_DEPTH_TEST);
    glCallList(static_cast<GLuint>(DisplayList.Id(0)));
    glEnable(GL_DEPTH_TEST);
    glTranslatef(-x, -y, -z);
}
