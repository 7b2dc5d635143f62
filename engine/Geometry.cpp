#include "Geometry.h"

#include <cmath>
#include <numbers>

#include "GLEngine.h"

namespace {

// One face of the cube: four (s, t) -> (a, b) corners in the face's plane.
struct CubeCorner {
    int s, t;  // 0 or 1, scaled by the tiling
    int a, b;  // -1 or +1, scaled by the half sizes of the face's two axes
};
using CubeFace = CubeCorner[4];

// Faces in drawing order: back, front, bottom, top, left, right.
constexpr CubeFace kBack = {{0, 1, +1, +1}, {1, 1, -1, +1}, {1, 0, -1, -1}, {0, 0, +1, -1}};
constexpr CubeFace kFront = {{1, 1, +1, +1}, {1, 0, +1, -1}, {0, 0, -1, -1}, {0, 1, -1, +1}};
constexpr CubeFace kBottom = {{1, 0, +1, +1}, {1, 1, +1, -1}, {0, 1, -1, -1}, {0, 0, -1, +1}};
constexpr CubeFace kTop = {{0, 1, +1, +1}, {1, 1, -1, +1}, {1, 0, -1, -1}, {0, 0, +1, -1}};
constexpr CubeFace kLeft = {{1, 1, +1, +1}, {1, 0, -1, +1}, {0, 0, -1, -1}, {0, 1, +1, -1}};
constexpr CubeFace kRight = {{0, 1, +1, +1}, {1, 1, +1, -1}, {1, 0, -1, -1}, {0, 0, -1, +1}};

enum class Plane { XY, XZ, YZ };

void EmitFace(const CubeFace& face, Plane plane, float fixed, float ha, float hb, float tiling)
{
    glBegin(GL_QUADS);
    for (const CubeCorner& c : face) {
        glTexCoord2f(c.s * tiling, c.t * tiling);
        const float a = c.a * ha;
        const float b = c.b * hb;
        switch (plane) {
        case Plane::XY: glVertex3f(a, b, fixed); break;
        case Plane::XZ: glVertex3f(a, fixed, b); break;
        case Plane::YZ: glVertex3f(fixed, a, b); break;
        }
    }
    glEnd();
}

}  // namespace

void DrawCube(float tiling, float sizeX, float sizeY, float sizeZ, float x, float y, float z)
{
    if (sizeX < 0 || sizeY < 0 || sizeZ < 0)
        return;
    const float hx = sizeX / 2, hy = sizeY / 2, hz = sizeZ / 2;
    glPushMatrix();
    glTranslatef(x + hx, y + hy, z + hz);
    EmitFace(kBack, Plane::XY, -hz, hx, hy, tiling);
    EmitFace(kFront, Plane::XY, +hz, hx, hy, tiling);
    EmitFace(kBottom, Plane::XZ, -hy, hx, hz, tiling);
    EmitFace(kTop, Plane::XZ, +hy, hx, hz, tiling);
    EmitFace(kLeft, Plane::YZ, -hx, hy, hz, tiling);
    EmitFace(kRight, Plane::YZ, +hx, hy, hz, tiling);
    glPopMatrix();
}

int32_t CompileSphere(int32_t segments, float radius, float cx, float cy, float cz)
{
    const GLuint id = glGenLists(1);
    glNewList(id, GL_COMPILE);
    // The evenness step comes before the absolute value, so a negative odd
    // count stays odd.
    if (segments > 0 && segments % 2 != 0)
        ++segments;
    const int64_t n = std::abs(static_cast<int64_t>(segments));
    const double r = std::fabs(radius);

    if (n < 4 || r == 0) {
        glBegin(GL_POINTS);
        glVertex3f(cx, cy, cz);
        glEnd();
        glEndList();
        return static_cast<int32_t>(id);
    }

    constexpr double kPi = std::numbers::pi;
    for (int64_t j = 0; j < n / 2; ++j) {
        const float theta1 = static_cast<float>(2 * kPi * j / n - kPi / 2);
        const float theta2 = static_cast<float>(2 * kPi * (j + 1) / n - kPi / 2);
        const double c1 = std::cos(double(theta1)), s1 = std::sin(double(theta1));
        const double c2 = std::cos(double(theta2)), s2 = std::sin(double(theta2));
        const float tUpper = static_cast<float>(2.0 * (j + 1) / n);
        const float tLower = static_cast<float>(2.0 * j / n);
        glBegin(GL_QUAD_STRIP);
        for (int64_t i = 0; i <= n; ++i) {
            const float phi = static_cast<float>(2 * kPi * i / n);
            const double cp = std::cos(double(phi)), sp = std::sin(double(phi));
            const float s = static_cast<float>(1.0 - double(i) / n);
            glTexCoord2f(s, tUpper);
            glVertex3f(float(cx + r * c2 * cp), float(cy + r * s2), float(cz + r * c2 * sp));
            glTexCoord2f(s, tLower);
            glVertex3f(float(cx + r * c1 * cp), float(cy + r * s1), float(cz + r * c1 * sp));
        }
        glEnd();
    }
    glEndList();
    return static_cast<int32_t>(id);
}

qx::GlListRef CompileSphereList(int32_t segments, float radius, float cx, float cy, float cz)
{
    return qx::GlListRef::Adopt(static_cast<GLuint>(CompileSphere(segments, radius, cx, cy, cz)));
}

void DrawFloorQuad(float tiling, float sizeX, float sizeZ)
{
    const float t = tiling;
    const TVec3 first[3] = {{sizeX, 0, 0}, {sizeX, 0, sizeZ}, {0, 0, 0}};
    const TVec3 second[3] = {{sizeX, 0, sizeZ}, {0, 0, sizeZ}, {0, 0, 0}};
    TVec3 n;

    TriangleNormal(first, n);
    glBegin(GL_TRIANGLES);
    glNormal3f(n.X, n.Y, n.Z);
    glTexCoord2f(0, 0);
    glVertex3fv(&first[0].X);
    glTexCoord2f(0, t);
    glVertex3fv(&first[1].X);
    glTexCoord2f(t, 0);
    glVertex3fv(&first[2].X);
    glEnd();

    TriangleNormal(second, n);
    glBegin(GL_TRIANGLES);
    glNormal3f(n.X, n.Y, n.Z);
    glTexCoord2f(0, t);
    glVertex3fv(&second[0].X);
    glTexCoord2f(t, t);
    glVertex3fv(&second[1].X);
    glTexCoord2f(t, 0);
    glVertex3fv(&second[2].X);
    glEnd();
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
