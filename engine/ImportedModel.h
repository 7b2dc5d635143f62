// A model read from a file (3DS, Blender export) as the scene sees it: a
// thing that draws itself in the current modelview space and can be copied.
// The readers implement it; the scene's model primitives hold it.
#pragma once

#include <memory>

namespace qx {

class MeshBuilder;

class ImportedModel {
public:
    virtual ~ImportedModel() = default;
    // Immediate-mode drawing, valid inside glNewList ... glEndList.
    virtual void Draw() const = 0;
    // What Draw draws, into the builder's groups (no GL).
    virtual void AppendMesh(MeshBuilder& builder) const = 0;
    // A deep copy (Blender models are copied, not shared, between objects).
    virtual std::unique_ptr<ImportedModel> Clone() const = 0;
};

}  // namespace qx
