#include "LevelFiles.h"

#include <algorithm>
#include <filesystem>

#include "Errors.h"
#include "Paths.h"
#include "ProjectFiles.h"
#include "ModelReaders.h"
#include "QX3DObject.h"
#include "Text1251.h"

namespace qx {

std::string ProjectFolder(const std::string& programFolder) { return programFolder + "Sys\\Saves\\"; }

std::string FindProject(const std::string& folder)
{
    if (folder.empty())
        return std::string();
    const std::string base = folder.back() == '/' ? folder : folder + "/";
    for (const std::string& candidate : {base, base + "Sys/Saves/"}) {
        std::error_code ec;
        for (const char* name : {kTextureListFile, kObjectListFile, kMapFile})
            if (std::filesystem::is_regular_file(candidate + name, ec))
                return candidate;
    }
    return std::string();
}

std::string ReadProjectFile(const std::string& folder, const std::string& name, std::vector<std::string>* under1251)
{
    try {
        bool legacy = false;
        const std::string path = FindProjectFile(folder, name, &legacy);
        std::string bytes = ReadWholeFile(path);
        if (legacy && under1251 != nullptr)
            under1251->push_back(path);
        return bytes;
    } catch (const Error& error) {
        ThrowAt(name, 0, error);
    }
}

std::vector<TextureListEntry> ParseTextureEntries(std::string_view data)
{
    std::vector<TextureListEntry> entries;
    int line = 1;
    try {
        // The count line first, so that an error on it is told from one on
        // the first entry.
        StrictTextToInt(data.substr(0, std::min(data.find_first_of("\r\n"), data.size())));
        line = 2;
        ParseTextureList(data, [&](const TextureListEntry& e) {
            entries.push_back(e);
            ++line;
        });
    } catch (const Error& error) {
        ThrowAt(kTextureListFile, line, error);
    }
    return entries;
}

LevelFiles ReadLevelFiles(const std::string& folder, const std::function<void(int announced)>& fileRead,
                          const std::string& modelFolder, bool keepModels)
{
    LevelFiles level;
    if (!keepModels)
        ForgetModelFiles();
    const std::string models = modelFolder.empty() ? ToFsPath(folder) + kModelFolder : modelFolder;
    const auto told = [&](size_t announced) {
        if (fileRead)
            fileRead(static_cast<int>(announced));
    };

    level.textures = ParseTextureEntries(ReadProjectFile(folder, kTextureListFile));
    told(level.textures.size());

    const std::vector<std::string> names = ParseObjectList(ReadProjectFile(folder, kObjectListFile), kObjectListFile);
    told(names.size());
    ProjectContent& content = level.content;
    content.MapObjects.clear();
    content.MapObjectNames.clear();
    for (const std::string& name : names) {
        auto object = std::make_shared<TQX3DObject>(name);
        object->AddList();
        const std::string file = ObjectFileName(kObjectListFile, name);
        ObjectFileData data = ParseObjectFile(ReadProjectFile(folder, file, &level.filesUnder1251), file);
        level.boxCount += static_cast<int>(data.boxes.size());
        level.boxLines.push_back(data.boxLines);
        ReadObjectModels(data, models, file, &level.modelProblems);
        ApplyObjectFile(*object, std::move(data));
        content.MapObjects.push_back(std::move(object));
        content.MapObjectNames.push_back(name);
        told(0);
    }
    content.MapObjectCount = static_cast<int32_t>(names.size());
    content.MapObjects.emplace_back();
    content.MapObjectNames.emplace_back();
    ApplyMap(content, ParseMap(ReadProjectFile(folder, kMapFile), kMapFile));
    told(0);
    return level;
}

std::string MissingModelsText(const std::vector<ModelProblem>& problems)
{
    if (problems.empty())
        return std::string();
    std::string text = Cp("Эти модели не загружены, их части объектов оставлены пустыми:");
    for (const ModelProblem& p : problems)
        text += "\n" + p.Text();
    return text;
}

}  // namespace qx
