#include "Project.h"

#include <chrono>
#include <filesystem>
#include <mutex>
#include <set>

#include "Errors.h"
#include "FileSet.h"
#include "Messages.h"
#include "ObjectRelease.h"
#include "Paths.h"
#include "ProjectFiles.h"
#include "QX3DObject.h"
#include "ShapeFields.h"
#include "ProjectLock.h"
#include "Text1251.h"
#include "TextureListFile.h"

namespace qx {

namespace {

void ReadTree(MemoryTree& tree, const std::string& folder, const char* textFile, const char* iconFile)
{
    const std::string text = ReadProjectFile(folder, textFile);
    try {
        ParseTreeText(tree, text);
    } catch (const Error& error) {
        ThrowAt(textFile, tree.NodeCount() + 1, error);
    }
    const std::string icons = ReadProjectFile(folder, iconFile);
    try {
        ParseIconIndexes(tree, icons);
    } catch (const Error& error) {
        ThrowAt(iconFile, tree.NodeCount() + 2, error);
    }
}

// The files the committed load read under their 1251 names.  The autosave
// saves on a worker thread while a load may commit.
std::mutex g_under1251Mutex;
std::set<std::string> g_under1251;

bool Exists(const std::string& fsPath)
{
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(fsPath, error));
}

}  // namespace

SaveFailed::SaveFailed(const std::string& reason)
    : InOutError(Cp("Проект не сохранён; его файлы на диске остались прежними. Если диск заполнен, "
                    "освободите место и сохраните снова, или сохраните проект в другую папку: "
                    "«Игра» > «Сохранить проект как…».\nПричина: ") +
                 reason),
      reason_(reason)
{
}

void SaveProject(const std::string& folder, const TextureRegistry& textures, const ProjectContent& content,
                 const ProjectTrees& trees, const std::vector<FileToWrite>& alsoWrite)
{
    std::vector<FileToWrite> files = alsoWrite;
    const auto fsPathOf = [&](const std::string& name) { return ToFsPath(folder + Cp1251ToUtf8(name)); };
    const auto add = [&](const std::string& name, std::string bytes) {
        files.push_back({fsPathOf(name), name, std::move(bytes)});
    };
    std::vector<TextureListEntry> entries;
    for (int32_t i = 0; i < textures.TextureCount; ++i)
        entries.push_back({textures.TextureNames[static_cast<size_t>(i)], textures.TextureKeyed[static_cast<size_t>(i)]});
    add(kTextureListFile, FormatTextureList(entries));
    add(kObjectListFile, FormatObjectList(content));
    for (int32_t i = 0; i < content.MapObjectCount; ++i) {
        const std::string& name = content.MapObjectNames[static_cast<size_t>(i)];
        add(ObjectFileName(kObjectListFile, name), FormatObjectFile(*content.MapObjects[static_cast<size_t>(i)]));
    }
    add(kMapFile, FormatMap(content));
    // The files of objects renamed or deleted since the folder was last
    // written go in the same step.
    const std::set<std::string> listed(content.MapObjectNames.begin(),
                                       content.MapObjectNames.begin() + content.MapObjectCount);
    std::vector<std::string> removals;
    for (const std::string& name : content.SavedObjectNames)
        if (listed.count(name) == 0)
            removals.push_back(fsPathOf(ObjectFileName(kObjectListFile, name)));
    if (trees.objectTree) {
        add(kObjectTreeFile, FormatTreeText(*trees.objectTree));
        add(kObjectTreeIconsFile, FormatIconIndexes(*trees.objectTree));
    }
    if (trees.textureTree) {
        add(kTextureTreeFile, FormatTreeText(*trees.textureTree));
        add(kTextureTreeIconsFile, FormatIconIndexes(*trees.textureTree));
    }
    // A copy from Windows read under 1251 names takes the UTF-8 names the
    // files above are written under (the pictures keep their bytes).
    const std::string fsFolder = ToFsPath(folder);
    std::vector<FileToMove> moves;
    {
        std::lock_guard lock(g_under1251Mutex);
        for (const std::string& from : g_under1251) {
            if (from.compare(0, fsFolder.size(), fsFolder) != 0)
                continue;
            const size_t slash = from.rfind('/');
            moves.push_back({from, from.substr(0, slash + 1) + Cp1251ToUtf8(from.substr(slash + 1))});
        }
    }
    try {
        WriteFilesTogether(fsFolder, files, moves, removals);
    } catch (const InOutError& e) {
        throw SaveFailed(e.what());
    }
    std::lock_guard lock(g_under1251Mutex);
    for (const FileToMove& m : moves)
        if (!Exists(m.from))
            g_under1251.erase(m.from);
}

std::vector<FileToWrite> ProjectFilesToCopy(const std::string& from, const std::string& to)
{
    namespace fs = std::filesystem;
    std::vector<FileToWrite> files;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(from, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        const std::string relative = it->path().lexically_relative(from).string();
        const std::string name = it->path().filename().string();
        if (it->is_directory(ec)) {
            if (it.depth() == 0 && name + "/" == kAutosaveFolder) {
                it.disable_recursion_pending();
                continue;
            }
            fs::create_directories(to + relative, ec);
            continue;
        }
        if (!it->is_regular_file(ec) || name == kProjectLockFile || name == kSaveJournal ||
            name.find(".~") != std::string::npos)
            continue;
        files.push_back({to + relative, Utf8ToCp1251(relative), ReadWholeFile(it->path().string())});
    }
    if (ec)
        throw InOutError(Utf8ToCp1251(from) + ": " + ec.message());
    return files;
}

StagedProject ReadProject(const std::string& folder, const ReadOptions& options)
{
    StagedProject staged;
    int done = 0;
    int total = 7;
    const auto step = [&] {
        ++done;
        if (options.progress && !options.progress(done, total))
            throw LoadCancelled();
    };

    // The models lie beside the pictures' folder.
    const std::string modelFolder =
        options.pictureFolder.empty()
            ? std::string()
            : std::filesystem::path(ToFsPath(options.pictureFolder)).parent_path().parent_path().string() + "/" +
                  kModelFolder;
    LevelFiles level = ReadLevelFiles(
        folder,
        [&](int announced) {
            total += announced;
            step();
        },
        modelFolder);
    staged.content = std::move(level.content);
    staged.boxCount = level.boxCount;
    staged.boxLines = std::move(level.boxLines);
    staged.filesUnder1251 = std::move(level.filesUnder1251);
    staged.modelProblems = std::move(level.modelProblems);

    ReadTree(staged.objectTree, folder, kObjectTreeFile, kObjectTreeIconsFile);
    step();
    step();
    ReadTree(staged.textureTree, folder, kTextureTreeFile, kTextureTreeIconsFile);
    step();
    step();

    const int filesDone = done;
    // The loaders' messages name each picture by this path: the file
    // system's separator throughout, never a mix.
    const std::string pictures = ToFsPath(options.pictureFolder.empty() ? folder + "textures\\" : options.pictureFolder);
    staged.textures = StageTextures(level.textures, pictures, options.threads, options.upload,
                                    [&](int pictures, int) {
                                        done = filesDone + pictures;
                                        return !options.progress || options.progress(done, total);
                                    });
    staged.filesUnder1251.insert(staged.filesUnder1251.end(), staged.textures.filesUnder1251.begin(),
                                 staged.textures.filesUnder1251.end());
    return staged;
}

void CommitProject(StagedProject& staged, ProjectContent& content, TreeAccess& objectTree,
                   TreeAccess& textureTree, const std::function<void(int done, int total)>& building)
{
    // Textures first: the objects' GL side bakes in the GL names of the
    // registry in force.
    staged.textures.Commit();
    const int32_t objects = staged.content.MapObjectCount;
    auto last = std::chrono::steady_clock::now();
    for (int32_t i = 0; i < objects; ++i) {
        staged.content.MapObjects[static_cast<size_t>(i)]->BuildDisplayLists();
        // Often enough for the window to look alive, seldom enough to cost
        // nothing.
        const auto now = std::chrono::steady_clock::now();
        if (building && now - last >= std::chrono::milliseconds(50)) {
            last = now;
            building(i + 1, objects);
        }
    }
    if (building)
        building(objects, objects);
    ReleaseLater(std::move(content.MapObjects));
    content.MapObjects.clear();
    {
        std::lock_guard lock(g_under1251Mutex);
        g_under1251 = std::set<std::string>(staged.filesUnder1251.begin(), staged.filesUnder1251.end());
    }
    const uint64_t generation = content.Generation;
    content = std::move(staged.content);
    content.Generation = generation + 1;
    content.ObjectFilesSaved();
    for (auto [tree, from] : {std::pair{&objectTree, &staged.objectTree}, std::pair{&textureTree, &staged.textureTree}}) {
        tree->Clear();
        ParseTreeText(*tree, FormatTreeText(*from));
        ParseIconIndexes(*tree, FormatIconIndexes(*from));
    }
}

std::string MissingPicturesText(const StagedProject& staged)
{
    const auto& problems = staged.textures.problems;
    std::string text;
    if (!problems.empty())
        text = Cp("Эти текстуры не загружены и оставлены без картинки:");
    for (const PictureProblem& p : problems)
        text += "\n" + p.name + " - " + p.reason;
    if (const std::string models = MissingModelsText(staged.modelProblems); !models.empty())
        text += (text.empty() ? "" : "\n\n") + models;
    return text;
}

std::string ProjectLoadCaption() { return Cp("Загрузка проекта"); }

std::string RecoverInterruptedSaves(const std::vector<std::string>& folders)
{
    // When only the autosave was cut short the user saved nothing: the
    // message says which folder it was and what that means for the work.
    struct Outcome {
        bool completed = false, undone = false;
        bool Any() const { return completed || undone; }
    } project, autosave;
    for (const std::string& folder : folders) {
        const std::string fsFolder = ToFsPath(folder);
        const InterruptedSave result = RecoverInterruptedSave(fsFolder);
        // The autosave folder is known by its name, as ProjectFilesToCopy
        // knows it.
        const bool isAutosave =
            std::filesystem::path(fsFolder).parent_path().filename().string() + "/" == kAutosaveFolder;
        Outcome& outcome = isAutosave ? autosave : project;
        outcome.completed = outcome.completed || result == InterruptedSave::Completed;
        outcome.undone = outcome.undone || result == InterruptedSave::Undone;
    }
    std::string text;
    if (project.completed)
        text = Cp("Сохранение проекта было прервано; оно завершено: в папке проекта новые файлы.");
    else if (project.undone)
        text = Cp("Сохранение проекта было прервано; оно отменено: в папке проекта прежние файлы.");
    if (autosave.Any()) {
        text += (text.empty() ? "" : "\n") +
                (autosave.completed ? Cp("Автосохранение было прервано; оно завершено: несохранённые изменения "
                                         "есть в новом автосохранении.")
                                    : Cp("Автосохранение было прервано; оно отменено: изменения после "
                                         "предыдущего автосохранения (или, если его не было, после "
                                         "сохранения) утеряны."));
        if (!project.Any())
            text += Cp(" Файлы проекта не менялись.");
    }
    if (!text.empty())
        Messages().ShowMessage(project.Any() ? Cp("Сохранение проекта") : Cp("Автосохранение"), text);
    return text;
}

bool LoadProjectInto(const std::string& folder, const ReadOptions& options, ProjectContent& content,
                     TreeAccess& objectTree, TreeAccess& textureTree, std::string* missingPictures)
{
    RecoverInterruptedSaves({folder});
    StagedProject staged;
    try {
        staged = ReadProject(folder, options);
    } catch (const LoadCancelled&) {
        return false;
    }
    CommitProject(staged, content, objectTree, textureTree, options.building);
    std::string missing = MissingPicturesText(staged);
    if (missingPictures != nullptr)
        *missingPictures = std::move(missing);
    else if (!missing.empty())
        Messages().ShowMessage(ProjectLoadCaption(), missing);
    return true;
}

bool RemapRemovedTexture(TQX3DObject& object, int32_t removed)
{
    bool changed = false;
    for (int16_t l = 0; l < object.ListCount; ++l)
        ForEachTexture(*object.Lists[static_cast<size_t>(l)], [&](ShapeKind, int, int32_t& texture) {
            if (texture == removed) {
                texture = -1;
                changed = true;
            } else if (texture > removed) {
                --texture;
                changed = true;
            }
        });
    if (changed)
        object.Changed();
    return changed;
}

}  // namespace qx
