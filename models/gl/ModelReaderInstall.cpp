#include "BlenderModel.h"
#include "ImportedModel.h"
#include "ModelReaders.h"
#include "ModelsGl.h"

namespace qx {

namespace {

class Model3dsPrimitiveModel : public ImportedModel {
public:
    T3DModel model;
    void Draw() const override { model.Draw(); }
    void AppendMesh(MeshBuilder& builder) const override { AppendModel3dsMesh(model, builder); }
    std::unique_ptr<ImportedModel> Clone() const override
    {
        return std::make_unique<Model3dsPrimitiveModel>(*this);
    }
};

class GameObjPrimitiveModel : public ImportedModel {
public:
    TGameObj obj;
    void Draw() const override { DrawGameObj(obj); }
    void AppendMesh(MeshBuilder& builder) const override { AppendGameObjMesh(obj, builder); }
    std::unique_ptr<ImportedModel> Clone() const override
    {
        return std::make_unique<GameObjPrimitiveModel>(*this);
    }
};

}  // namespace

std::shared_ptr<ImportedModel> MakeModel3ds(T3DModel model)
{
    auto m = std::make_shared<Model3dsPrimitiveModel>();
    m->model = std::move(model);
    return m;
}

void InstallModelReaders()
{
    ModelReaders readers;
    readers.Read3ds = [](const std::string& fileName) -> std::shared_ptr<ImportedModel> {
        auto m = std::make_shared<Model3dsPrimitiveModel>();
        m->model.LoadFromFile(fileName);  // a file that cannot be read gives an empty model
        return m;
    };
    readers.ReadBlender = [](const std::string& fileName) -> std::unique_ptr<ImportedModel> {
        auto m = std::make_unique<GameObjPrimitiveModel>();
        LoadGameObj(fileName, m->obj);
        return m;
    };
    SetModelReaders(std::move(readers));
}

}  // namespace qx
