// The drawing of scene objects and primitive lists, and the GL caches
// (display lists, vertex buffers) built from them.  The data these read is
// in qx_scene_data, which asks for a rebuild through ObjectGlSide.h.
#include "QX3DObject.h"

#include <GL/gl.h>

#include <algorithm>

#include "GLEngine.h"
#include "ModelReaders.h"
#include "ObjectBuffers.h"
#include "ObjectMesh.h"
#include "PrimitiveList.h"
#include "Textures.h"

namespace {

using qx::ApplyPlacement;
using qx::Valid;

}  // namespace

void qx::BuildObjectLists(TQX3DObject& object, int16_t first, int16_t count)
{
    const int16_t end = static_cast<int16_t>(std::min<int>(object.ListCount, first + count));
    if (qx::CurrentObjectPath() == qx::ObjectPath::Buffers) {
        object.Buffers.resize(static_cast<size_t>(object.ListCount));
        if (!qx::CanUpload())
            return;  // as the reference: lists stay as they were
        for (int16_t i = std::max<int16_t>(first, 0); i < end; ++i) {
            // A model's pictures get their GL names here; the mesh names them.
            object.Lists[i]->PrepareDrawing();
            std::vector<qx::OccluderQuad> occluders;
            std::vector<qx::MeshGroup> groups = qx::BuildListMesh(*object.Lists[i], Textures().TextureCount, &occluders);
            std::vector<qx::MeshChunk> chunks = qx::SplitIntoChunks(groups, occluders);
            object.Buffers[static_cast<size_t>(i)] =
                qx::ObjectBuffers::Upload(groups, std::move(occluders), std::move(chunks));
        }
        return;
    }
    for (int16_t i = std::max<int16_t>(first, 0); i < end; ++i) {
        qx::GlListRef compiled = qx::GlListRef::Generate();
        if (!compiled)
            continue;  // no context or no ids left: the list stays as it was
        // Outside the list: what it calls must exist before it is compiled.
        object.Lists[i]->PrepareDrawing();
        glNewList(static_cast<GLuint>(compiled.Id()), GL_COMPILE);
        object.Lists[i]->Draw();
        glEndList();
        object.Lists[i]->KeepCalledListsAlive(compiled);
        object.DisplayLists[i] = std::move(compiled);
    }
}

void TGLPremitives::PrepareDrawing()
{
    for (size_t i = 0; i < Spheres.size() && i < static_cast<size_t>(std::max<int16_t>(SphereCount, 0)); ++i)
        if (!Spheres[i].DisplayList)
            Spheres[i].Compile();
    const auto load = [](const qx::ImportedModel* model) {
        if (const auto* loaded = dynamic_cast<const qx::LoadedModel*>(model))
            loaded->LoadPictures();
    };
    for (const TModel3ds& m : Valid(Models3ds, Model3dsCount))
        load(m.Model.get());
    for (const TModelBlender& m : Valid(BlenderModels, BlenderCount))
        load(m.GameObj.get());
}

void TGLPremitives::Draw() const
{
    qx::ForEachKind([this](auto items, auto count) {
        for (const auto& p : Valid(this->*items, this->*count))
            p.Draw();
    });
}

void TGLPremitives::KeepCalledListsAlive(qx::GlListRef& compiled) const
{
    for (const TSphere& p : Valid(Spheres, SphereCount))
        compiled.KeepAlive(p.DisplayList);
    for (const TTorus& p : Valid(Tori, TorusCount))
        compiled.KeepAlive(p.DisplayList);
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

