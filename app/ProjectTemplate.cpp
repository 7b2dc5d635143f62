#include "ProjectTemplate.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "ProgramFolder.h"
#include "OpenedProject.h"
#include "Paths.h"
#include "Project.h"
#include "ProjectContent.h"
#include "Text1251.h"
#include "TreeFiles.h"

namespace fs = std::filesystem;

void ProjectTemplate::Remember(const TextureRegistry& textures, const qx::DocTree& objects,
                               const qx::DocTree& textureTree)
{
    textures_ = textures;
    TextureRegistry& reg = textures_;
    reg.TextureCount = std::min(reg.TextureCount, qx::kHelperTextures);
    reg.TextureNames.resize(static_cast<size_t>(reg.TextureCount));
    reg.TextureIds.resize(static_cast<size_t>(reg.TextureCount));
    reg.TextureKeyed.resize(static_cast<size_t>(reg.TextureCount));
    objectTree_ = FormatTreeText(objects);
    objectIcons_ = FormatIconIndexes(objects);
    textureTree_ = FormatTreeText(textureTree);
    textureIcons_ = FormatIconIndexes(textureTree);
}

void ProjectTemplate::WriteInto(const std::string& folder) const
{
    const std::string data = ToFsPath(qx::StartupDataFolder());
    std::vector<qx::FileToWrite> pictures;
    fs::create_directories(folder + "textures");
    const auto add = [&](const std::string& from, const std::string& name) {
        pictures.push_back({folder + "textures/" + name, "textures/" + name, ReadWholeFile(from + name)});
    };
    add(data + "Sys/Saves/textures/", "NoTexture.bmp");
    for (const std::string& name : textures_.TextureNames)
        add(data + "textures/", Cp1251ToUtf8(name));
    MemoryTree objectTree, textureTree;
    ParseTreeText(objectTree, objectTree_);
    ParseIconIndexes(objectTree, objectIcons_);
    ParseTreeText(textureTree, textureTree_);
    ParseIconIndexes(textureTree, textureIcons_);
    qx::SaveProject(folder, textures_, ProjectContent(), qx::ProjectTrees{&objectTree, &textureTree}, pictures);
}

std::string UserDefaultProject()
{
    const std::string folder = qx::UserDataFolder() + "Sys/Saves/";
    std::error_code ec;
    if (fs::exists(folder, ec))
        return folder;
    const std::string made = qx::UserDataFolder() + "Sys/Saves.new";
    fs::remove_all(made, ec);
    fs::create_directories(made, ec);
    const std::string source = ToFsPath(qx::StartupDataFolder() + "Sys/Saves");
    fs::copy(source.empty() ? "." : source, made, fs::copy_options::recursive, ec);
    if (ec)
        std::fprintf(stderr, "qxvantor: project template %s not copied: %s\n", source.c_str(), ec.message().c_str());
    fs::rename(made, WithoutSlash(folder), ec);
    return folder;
}
