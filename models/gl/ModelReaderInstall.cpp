#include <filesystem>
#include <map>

#include "BlenderModel.h"
#include "Errors.h"
#include "ModelReaders.h"
#include "ModelsGl.h"
#include "Paths.h"
#include "Text1251.h"
#include "TextureLoaders.h"
#include "TexturePath.h"

namespace qx {

namespace {

// A model's pictures are the model's own: they stay out of the texture
// registry, whose list the project saves and whose folder is textures/.
// Each picture is looked for in `folders` in turn (letter case forgiven)
// and loaded once per model.
class PictureLoader {
public:
    explicit PictureLoader(std::vector<std::string> folders) : folders_(std::move(folders)) {}

    bool operator()(const std::string& designPath, uint32_t& textureId)
    {
        const auto known = loaded_.find(designPath);
        if (known != loaded_.end()) {
            textureId = known->second;
            return known->second != 0;
        }
        uint32_t id = 0;
        for (const std::string& folder : folders_) {
            const std::string path = FindFileIgnoringCase(designPath, folder);
            std::error_code ec;
            if (std::filesystem::is_regular_file(path, ec)) {
                if (!RunTextureLoader(ImageKindForPath(path, false), path, id, false))
                    id = 0;
                break;
            }
        }
        loaded_[designPath] = id;
        if (id != 0)
            textureId = id;
        return id != 0;
    }

private:
    std::vector<std::string> folders_;
    std::map<std::string, uint32_t> loaded_;
};

// The folder of a file-system path, with its separator; "" for none.
std::string FolderOf(const std::string& fsPath)
{
    const size_t slash = fsPath.find_last_of('/');
    return slash == std::string::npos ? std::string() : fsPath.substr(0, slash + 1);
}

// The project's textures/ beside the folder holding the model (models/).
std::string TexturesBeside(const std::string& modelFolder)
{
    const std::filesystem::path parent = std::filesystem::path(modelFolder).parent_path().parent_path();
    return parent.empty() ? std::string("textures/") : (parent / "textures").string() + "/";
}

void AddTriangle(std::vector<TVec3>& out, const TVec3& a, const TVec3& b, const TVec3& c)
{
    out.push_back(a);
    out.push_back(b);
    out.push_back(c);
}

class Model3dsPrimitiveModel : public LoadedModel {
public:
    mutable T3DModel model;
    std::string folder;

    void Draw() const override { model.Draw(); }
    std::unique_ptr<ImportedModel> Clone() const override
    {
        return std::make_unique<Model3dsPrimitiveModel>(*this);
    }
    std::vector<TVec3> Triangles() const override
    {
        std::vector<TVec3> out;
        for (const T3DObject& o : model.Objects)
            if (o.Visible && o.DrawMode == 0)
                for (const TFace& f : o.Faces)
                    AddTriangle(out, o.Vertices[f.A], o.Vertices[f.B], o.Vertices[f.C]);
        return out;
    }

protected:
    void LoadPicturesNow() const override
    {
        PictureLoader load({folder, TexturesBeside(folder)});
        for (T3DObject& o : model.Objects) {
            TMaterial& m = o.Material;
            if (!m.MapName.empty() && !m.TextureLoaded)
                m.TextureLoaded = load(m.MapName, m.TextureId);
        }
    }
};

class GameObjPrimitiveModel : public LoadedModel {
public:
    mutable TGameObj obj;
    std::string folder;

    void Draw() const override { DrawGameObj(obj); }
    std::unique_ptr<ImportedModel> Clone() const override
    {
        return std::make_unique<GameObjPrimitiveModel>(*this);
    }
    std::vector<TVec3> Triangles() const override
    {
        std::vector<TVec3> out;
        for (const TPoligon& p : obj.Poligons.Poligons)
            for (size_t k = 2; k < p.Vertices.size(); ++k)
                AddTriangle(out, p.Vertices[0], p.Vertices[k - 1], p.Vertices[k]);
        return out;
    }

protected:
    void LoadPicturesNow() const override
    {
        PictureLoader load({folder});
        LoadGameObjTextures(obj, [&](const std::string& path, uint32_t& id) { return load(path, id); });
    }
};

}  // namespace

void InstallModelReaders()
{
    ModelReaders readers;
    readers.Read3ds = [](const std::string& fileName, std::vector<std::string>& warnings) -> std::shared_ptr<LoadedModel> {
        const std::string path = ToFsPath(fileName);
        const std::string bytes = ReadWholeFile(path);
        auto m = std::make_shared<Model3dsPrimitiveModel>();
        m->folder = FolderOf(path);
        const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
        Read3dsResult result = Read3ds({data, bytes.size()}, m->model, nullptr);
        if (!result.ok)
            throw FormatError(Cp("файл не начинается с главного блока 3DS (0x4D4D)"));
        warnings = std::move(result.faults);
        return m;
    };
    readers.ReadBlender = [](const std::string& fileName) -> std::shared_ptr<LoadedModel> {
        const std::string path = ToFsPath(fileName);
        auto m = std::make_shared<GameObjPrimitiveModel>();
        m->folder = FolderOf(path);
        m->obj = ParseGameObj(ReadWholeFile(path));
        return m;
    };
    SetModelReaders(std::move(readers));
}

}  // namespace qx
