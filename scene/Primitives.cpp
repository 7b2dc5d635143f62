#include "Primitives.h"

#include <GL/gl.h>

#include "GLEngine.h"
#include "Geometry.h"
#include "Textures.h"

namespace {

// The design gives each axis as 0.5 in its component; GL normalises it.
void RotateSkippingZero(const TVec3& r)
{
    if (r.X != 0)
        glRotatef(r.X, 0.5f, 0, 0);
    if (r.Y != 0)
        glRotatef(r.Y, 0, 0.5f, 0);
    if (r.Z != 0)
        glRotatef(r.Z, 0, 0, 0.5f);
}

void CallList(const qx::GlListRef& list) { glCallList(static_cast<GLuint>(list.Id(0))); }

// The common start of the kinds placed by their own fields; the caller pops.
void PushPlaced(int32_t texture, const TVec3& position, const TVec3& rotation)
{
    glPushMatrix();
    BindTexture(texture);
    glTranslatef(position.X, position.Y, position.Z);
    RotateBy(rotation);
}

}  // namespace

void RotateBy(const TVec3& r)
{
    glRotatef(r.X, 0.5f, 0, 0);
    glRotatef(r.Y, 0, 0.5f, 0);
    glRotatef(r.Z, 0, 0, 0.5f);
}

void TBox::Draw() const
{
    glPushMatrix();
    BindTexture(Texture);
    glTranslatef(Position.X, Position.Y, Position.Z);
    RotateSkippingZero(Rotation);
    SetTexGen(TexGenMode);
    SetBlend(BlendEquation, BlendMode);
    glColor4f(Color.R, Color.G, Color.B, Color.A);
    glCullFace(CullFront ? GL_FRONT : GL_BACK);
    DrawCube(Tiling, Size.X, Size.Y, Size.Z, 0, 0, 0);
    glColor4f(1, 1, 1, 1);
    glCullFace(GL_FRONT);
    SetBlend(0, 0);
    SetTexGen(0);
    glPopMatrix();
}

void TSphere::Compile() { DisplayList = CompileSphereList(Segments, Radius, 0, 0, 0); }

void TSphere::Draw() const
{
    PushPlaced(Texture, Position, Rotation);
    CallList(DisplayList);
    glPopMatrix();
}

void TTorus::Draw() const
{
    PushPlaced(Texture, Position, Rotation);
    glCullFace(GL_BACK);
    DrawTorus(ShapeParams[0], ShapeParams[1]);
    glCullFace(GL_FRONT);
    glPopMatrix();
}

namespace {

// The rectangle placed by its own fields, both sides shown.
void DrawPlacedRect(const TFlatRect& rect)
{
    PushPlaced(rect.Texture, rect.Position, rect.Rotation);
    glDisable(GL_CULL_FACE);
    DrawFloorQuad(rect.Tiling, rect.SizeX, rect.SizeZ);
    glEnable(GL_CULL_FACE);
    glPopMatrix();
}

}  // namespace

void TFloor::Draw() const
{
    if (OwnTransform) {
        DrawPlacedRect(*this);
        return;
    }
    BindTexture(Texture);
    DrawFloorQuad(Tiling, SizeX, SizeZ);
}

void TWall::Draw() const { DrawPlacedRect(*this); }

namespace {

void DrawPlaced(const TModelPlacement& placement, const qx::ImportedModel* model)
{
    glPushMatrix();
    glTranslatef(placement.Position.X, placement.Position.Y, placement.Position.Z);
    RotateBy(placement.Rotation);
    glScaled(placement.Scale.X, placement.Scale.Y, placement.Scale.Z);
    if (model)
        model->Draw();
    glPopMatrix();
}

}  // namespace

void TModel3ds::Draw() const { DrawPlaced(*this, Model.get()); }

void TModelBlender::Draw() const { DrawPlaced(*this, GameObj.get()); }
