#include "QX3DObject.h"

#include <GL/gl.h>

#include <random>

#include "Errors.h"
#include "GLEngine.h"

namespace {

std::string RandomObjectName()
{
    static std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<int> number(0, 31999);
    return "QX3DObject:" + std::to_string(number(generator));
}

void Transform(float x, float y, float z, float rotX, float rotY, float rotZ, float scaleX,
               float scaleY, float scaleZ)
{
    glTranslatef(x, y, z);
    glRotatef(rotX, 1, 0, 0);
    glRotatef(rotY, 0, 1, 0);
    glRotatef(rotZ, 0, 0, 1);
    glScaled(scaleX, scaleY, scaleZ);
}

}  // namespace

TQX3DObject::TQX3DObject(const std::string& name)
    : Name(name.empty() ? RandomObjectName() : name)
{
}

void TQX3DObject::AddList()
{
    if (ListCount >= kMaxLists)
        throw qx::Error("An object holds at most 32767 primitive lists");
    ++ListCount;
    CurrentList = static_cast<int16_t>(ListCount - 1);
    Lists.resize(static_cast<size_t>(ListCount));
    DisplayLists.resize(static_cast<size_t>(ListCount));
    Lists[CurrentList] = std::make_unique<TGLPremitives>();
    DisplayLists[CurrentList] = qx::GlListRef();
}

void TQX3DObject::Clear()
{
    if (ListCount == 0)
        return;
    Lists.clear();
    DisplayLists.clear();
    ListCount = 0;
}

void TQX3DObject::BuildDisplayLists()
{
    for (int16_t i = 0; i < ListCount; ++i) {
        qx::GlListRef compiled = qx::GlListRef::Generate();
        if (!compiled)
            continue;  // no context or no ids left: the list stays as it was
        // Outside the list: what it calls must exist before it is compiled.
        Lists[i]->PrepareDrawing();
        glNewList(static_cast<GLuint>(compiled.Id()), GL_COMPILE);
        Lists[i]->Draw();
        glEndList();
        Lists[i]->KeepCalledListsAlive(compiled);
        DisplayLists[i] = std::move(compiled);
    }
}

void TQX3DObject::DrawAt(float x, float y, float z, float rotX, float rotY, float rotZ,
                         float scaleX, float scaleY, float scaleZ) const
{
    // An object without lists (after Clear) has no current list to draw.
    if (CurrentList < 0 || CurrentList >= ListCount ||
        static_cast<size_t>(CurrentList) >= DisplayLists.size())
        return;
    const qx::GlListRef& list = DisplayLists[CurrentList];
    if (!list)
        return;
    glCullFace(GL_FRONT);
    SetBlend(0, 0);
    glColor4f(1, 1, 1, 1);
    glPushMatrix();
    Transform(x, y, z, rotX, rotY, rotZ, scaleX, scaleY, scaleZ);
    glCallList(static_cast<GLuint>(list.Id()));
    SetBlend(0, 0);
    glColor4f(1, 1, 1, 1);
    glPopMatrix();
}

void TQX3DObject::DrawAllAt(float x, float y, float z, float rotX, float rotY, float rotZ,
                            float scaleX, float scaleY, float scaleZ) const
{
    glCullFace(GL_FRONT);
    glPushMatrix();
    Transform(x, y, z, rotX, rotY, rotZ, scaleX, scaleY, scaleZ);
    for (int16_t i = 0; i < ListCount && static_cast<size_t>(i) < Lists.size(); ++i)
        Lists[i]->Draw();
    glColor4f(1, 1, 1, 1);
    glPopMatrix();
}

void TQX3DObject::Assign(const TQX3DObject& source)
{
    if (&source == this)
        return;
    ListCount = source.ListCount;
    CurrentList = source.CurrentList;
    Name = source.Name;
    Reserved1 = source.Reserved1;
    Reserved2 = source.Reserved2;
    Reserved3 = source.Reserved3;
    Reserved4 = source.Reserved4;
    Lists.clear();
    DisplayLists.clear();
    for (int16_t i = 0; i < ListCount; ++i) {
        DisplayLists.push_back(source.DisplayLists[i]);
        auto list = std::make_unique<TGLPremitives>();
        list->Assign(*source.Lists[i]);
        Lists.push_back(std::move(list));
    }
}
