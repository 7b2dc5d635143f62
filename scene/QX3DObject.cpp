#include "QX3DObject.h"

#include <GL/gl.h>

#include <algorithm>
#include <random>

#include "Errors.h"
#include "GLEngine.h"
#include "ObjectMesh.h"
#include "Textures.h"

namespace {

std::string RandomObjectName()
{
    static std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<int> number(0, 31999);
    return "QX3DObject:" + std::to_string(number(generator));
}

using qx::ApplyPlacement;

}  // namespace

TQX3DObject::TQX3DObject(const std::string& name)
    : Name(name.empty() ? RandomObjectName() : name)
{
}

void TQX3DObject::AddList()
{
    if (ListCount >= kMaxLists)
        throw qx::Error("An object holds at most 32767 primitive lists");
    Changed();
    ++ListCount;
    CurrentList = static_cast<int16_t>(ListCount - 1);
    Lists.resize(static_cast<size_t>(ListCount));
    DisplayLists.resize(static_cast<size_t>(ListCount));
    Buffers.resize(static_cast<size_t>(ListCount));
    Lists[CurrentList] = std::make_unique<TGLPremitives>();
    DisplayLists[CurrentList] = qx::GlListRef();
    Buffers[static_cast<size_t>(CurrentList)] = nullptr;
}

void TQX3DObject::Clear()
{
    if (ListCount == 0)
        return;
    Changed();
    Lists.clear();
    DisplayLists.clear();
    Buffers.clear();
    ListCount = 0;
}

void TQX3DObject::BuildDisplayLists() { BuildListRange(0, ListCount); }

void TQX3DObject::BuildListRange(int16_t first, int16_t count)
{
    Changed();
    const int16_t end = static_cast<int16_t>(std::min<int>(ListCount, first + count));
    if (qx::CurrentObjectPath() == qx::ObjectPath::Buffers) {
        Buffers.resize(static_cast<size_t>(ListCount));
        if (!qx::CanUpload())
            return;  // as the reference: lists stay as they were
        for (int16_t i = std::max<int16_t>(first, 0); i < end; ++i) {
            // A model's pictures get their GL names here; the mesh names them.
            Lists[i]->PrepareDrawing();
            Buffers[static_cast<size_t>(i)] =
                qx::ObjectBuffers::Upload(qx::BuildListMesh(*Lists[i], Textures().TextureCount));
        }
        return;
    }
    for (int16_t i = std::max<int16_t>(first, 0); i < end; ++i) {
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
    const size_t current = static_cast<size_t>(CurrentList);
    const bool fromBuffers = qx::CurrentObjectPath() == qx::ObjectPath::Buffers;
    const qx::ObjectBuffers* buffers = fromBuffers && current < Buffers.size() ? Buffers[current].get() : nullptr;
    const qx::GlListRef* list = fromBuffers ? nullptr : &DisplayLists[current];
    if (fromBuffers ? !buffers : !*list)
        return;
    glCullFace(GL_FRONT);
    SetBlend(0, 0);
    glColor4f(1, 1, 1, 1);
    glPushMatrix();
    ApplyPlacement(x, y, z, rotX, rotY, rotZ, scaleX, scaleY, scaleZ);
    if (buffers) {
        buffers->Draw();
    } else {
        // What the compiled list leaves set goes with it.
        glCallList(static_cast<GLuint>(list->Id()));
        SetBlend(0, 0);
        glColor4f(1, 1, 1, 1);
    }
    glPopMatrix();
}

void TQX3DObject::AddTo(qx::DrawBatch& batch, float x, float y, float z, float rotX, float rotY, float rotZ,
                        float scaleX, float scaleY, float scaleZ) const
{
    if (CurrentList < 0 || static_cast<size_t>(CurrentList) >= Buffers.size() || CurrentList >= ListCount)
        return;
    if (const qx::ObjectBuffers* buffers = Buffers[static_cast<size_t>(CurrentList)].get())
        batch.Add(*buffers, x, y, z, rotX, rotY, rotZ, scaleX, scaleY, scaleZ);
}

void TQX3DObject::DrawAllAt(float x, float y, float z, float rotX, float rotY, float rotZ,
                            float scaleX, float scaleY, float scaleZ) const
{
    glCullFace(GL_FRONT);
    glPushMatrix();
    ApplyPlacement(x, y, z, rotX, rotY, rotZ, scaleX, scaleY, scaleZ);
    for (int16_t i = 0; i < ListCount && static_cast<size_t>(i) < Lists.size(); ++i)
        Lists[i]->Draw();
    glColor4f(1, 1, 1, 1);
    glPopMatrix();
}

void TQX3DObject::Assign(const TQX3DObject& source)
{
    if (&source == this)
        return;
    Changed();
    ListCount = source.ListCount;
    CurrentList = source.CurrentList;
    Name = source.Name;
    Reserved1 = source.Reserved1;
    Reserved2 = source.Reserved2;
    Reserved3 = source.Reserved3;
    Reserved4 = source.Reserved4;
    Lists.clear();
    DisplayLists.clear();
    Buffers.assign(source.Buffers.begin(), source.Buffers.end());
    Buffers.resize(static_cast<size_t>(std::max<int16_t>(ListCount, 0)));
    for (int16_t i = 0; i < ListCount; ++i) {
        DisplayLists.push_back(source.DisplayLists[i]);
        auto list = std::make_unique<TGLPremitives>();
        list->Assign(*source.Lists[i]);
        Lists.push_back(std::move(list));
    }
}
