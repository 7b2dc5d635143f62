#include "Installation.h"

#include "HelperTextures.h"
#include "Icons.h"
#include "Image.h"
#include "Paths.h"
#include "SkyFaces.h"
#include "StartupTrees.h"

#include <fstream>
#include <iterator>

namespace qx::data {

std::vector<InstallationFile> InstallationFiles()
{
    std::vector<InstallationFile> files;
    for (const StartupTree& tree : StartupTrees()) {
        files.push_back({tree.listFile, TreeListBytes(tree)});
        files.push_back({tree.iconFile, IconFileBytes(tree)});
    }

    const std::vector<Image> icons = TreeIcons();
    for (size_t i = 0; i < icons.size(); ++i) {
        const std::string number = (i < 10 ? "0" : "") + std::to_string(i);
        files.push_back({"Sys/Api/ImageList/" + number + ".bmp", EncodeBmp24(icons[i])});
    }

    files.push_back({"Sys/Saves/textures/NoTexture.bmp", EncodeBmp24(NoTexturePicture())});
    // The helper textures are registered from textures/, but the texture
    // window previews and a project load reloads every registered texture
    // from the library: the library holds the same bytes.
    auto helper = [&files](const std::string& name, std::string bytes) {
        files.push_back({"Sys/Saves/textures/" + name, bytes});
        files.push_back({"textures/" + name, std::move(bytes)});
    };
    helper("Setka.bmp", EncodeBmp24(GridCell()));
    helper("CurCenter.bmp", EncodeBmp24(CrossHair()));
    for (const SkyFaceFile& face : SkyFaceFiles())
        helper(face.fileName, EncodeBmp24(RenderSkyFace(face.face)));
    return files;
}

namespace {

bool HoldsExactly(const std::filesystem::path& target, const std::string& bytes)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(target, ec) || std::filesystem::file_size(target, ec) != bytes.size())
        return false;
    // A read that fails part way gives fewer bytes, hence a rewrite.
    std::ifstream in(target, std::ios::binary);
    const std::string held{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return held == bytes;
}

}  // namespace

bool WriteIfChanged(const std::filesystem::path& root, const InstallationFile& file)
{
    const std::filesystem::path target = root / file.path;
    if (HoldsExactly(target, file.bytes))
        return false;
    std::filesystem::create_directories(target.parent_path());
    WriteWholeFile(target.string(), file.bytes);
    return true;
}

}  // namespace qx::data
