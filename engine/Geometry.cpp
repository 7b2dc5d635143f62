#include "Geometry.h"

#include "GLEngine.h"
#include "Shapes.h"

namespace {

// Hands the shapes' walks to GL as they come.
struct ImmediateSink {
    void Begin(qx::shapes::Run run) { glBegin(GlRunMode(run)); }
    void Normal(const TVec3& n) { glNormal3f(n.X, n.Y, n.Z); }
    void Vertex(float x, float y, float z, float s, float t)
    {
        glTexCoord2f(s, t);
        glVertex3f(x, y, z);
    }
    void End() { glEnd(); }
};

}  // namespace

GLenum GlRunMode(qx::shapes::Run run)
{
    switch (run) {
    case qx::shapes::Run::Points: return GL_POINTS;
    case qx::shapes::Run::Lines: return GL_LINES;
    case qx::shapes::Run::Triangles: return GL_TRIANGLES;
    case qx::shapes::Run::Quads: return GL_QUADS;
    case qx::shapes::Run::QuadStrip: return GL_QUAD_STRIP;
    case qx::shapes::Run::Polygon: break;
    }
    return GL_POLYGON;
}

void DrawCube(float tiling, float sizeX, float sizeY, float sizeZ, float x, float y, float z)
{
    if (sizeX < 0 || sizeY < 0 || sizeZ < 0)
        return;
    const float hx = sizeX / 2, hy = sizeY / 2, hz = sizeZ / 2;
    glPushMatrix();
    glTranslatef(x + hx, y + hy, z + hz);
    ImmediateSink sink;
    qx::shapes::CubeFaces(sink, tiling, hx, hy, hz);
    glPopMatrix();
}

int32_t CompileSphere(int32_t segments, float radius, float cx, float cy, float cz)
{
    const GLuint id = glGenLists(1);
    glNewList(id, GL_COMPILE);
    ImmediateSink sink;
    qx::shapes::SphereStrips(sink, segments, radius, cx, cy, cz);
    glEndList();
    return static_cast<int32_t>(id);
}

void DrawTorus(float ringRadius, float tubeRadius)
{
    ImmediateSink sink;
    qx::shapes::TorusStrips(sink, ringRadius, tubeRadius);
}

qx::GlListRef CompileSphereList(int32_t segments, float radius, float cx, float cy, float cz)
{
    return qx::GlListRef::Adopt(static_cast<GLuint>(CompileSphere(segments, radius, cx, cy, cz)));
}

void DrawFloorQuad(float tiling, float sizeX, float sizeZ)
{
    ImmediateSink sink;
    qx::shapes::FloorTriangles(sink, tiling, sizeX, sizeZ);
}

void DrawAxes(float length)
{
    const float l = 0.8f * length;
    glBegin(GL_LINES);
    glColor3ub(255, 0, 0);
    glVertex3f(0, 0, 0);
    glVertex3f(l, 0, 0);
    glColor3ub(0, 255, 0);
    glVertex3f(0, 0, 0);
    glVertex3f(0, l, 0);
    glColor3ub(0, 0, 255);
    glVertex3f(0, 0, 0);
    glVertex3f(0, 0, l);
    glEnd();
    glColor3ub(255, 255, 255);
}

void DrawScreenQuad(uint8_t anchor, const TColor4& color, uint8_t blendEquation, float x, float y,
                    float width, float height, float depth, uint8_t blendMode)
{
    SetBlend(blendEquation, blendMode);
    glColor4f(color.R, color.G, color.B, color.A);
    glPushMatrix();
    switch (anchor) {
    case 0: glTranslatef(x, y + height, 0); break;
    case 1: glTranslatef(x - width / 2, y + height / 2, 0); break;
    case 2: glTranslatef(x - width, y, 0); break;
    default: break;
    }
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex3f(0, 0, -depth);
    glTexCoord2f(0, 1);
    glVertex3f(0, -height, -depth);
    glTexCoord2f(1, 1);
    glVertex3f(width, -height, -depth);
    glTexCoord2f(1, 0);
    glVertex3f(width, 0, -depth);
    glEnd();
    glPopMatrix();
}
