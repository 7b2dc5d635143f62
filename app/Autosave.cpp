#include "Autosave.h"

#include <QDateTime>
#include <QFileInfo>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "EditCommands.h"
#include "EditHistory.h"
#include "EditorState.h"
#include "Errors.h"
#include "Messages.h"
#include "Paths.h"
#include "PrimitiveList.h"
#include "Project.h"
#include "OpenedProject.h"
#include "ProjectLock.h"
#include "QX3DObject.h"
#include "QtText.h"
#include "Textures.h"
#include "Wiring.h"

namespace fs = std::filesystem;

// What the files of an autosave hold, apart from the editor's objects (no
// GL lists), so the worker can format it while editing goes on.  The pieces
// are shared with the previous autosave where nothing changed since; the
// worker makes the project content out of them.
struct AutosaveJob {
    TextureRegistry textures;
    std::vector<std::shared_ptr<TQX3DObject>> objects;
    std::shared_ptr<const MapCopy> map;
    float playerPos[3] = {0, 0, 0};
    qx::DocTree objectTree;
    qx::DocTree textureTree;

    ProjectContent Content() const
    {
        ProjectContent content;
        content.MapObjects = objects;
        content.MapObjects.emplace_back();
        content.MapObjectNames = map->objectNames;
        content.MapObjectCount = static_cast<int32_t>(objects.size());
        content.Placements = map->placements;
        content.PlacementNames = map->placementNames;
        content.PlacementIds = map->placementIds;
        content.PlacementCount = map->placementCount;
        for (int i = 0; i < 3; ++i)
            content.PlayerPos[i] = playerPos[i];
        return content;
    }
};

namespace {

// What the object file holds of an object, for the worker to write: every
// kind's fields, without the GL lists and models the copies would share
// (the worker must not be the one to let go of them).
std::shared_ptr<TQX3DObject> FileDataOf(const TQX3DObject& source)
{
    auto copy = std::make_shared<TQX3DObject>(source.Name);
    for (const auto& from : source.Lists) {
        copy->AddList();
        TGLPremitives& to = *copy->Lists.back();
        to.BoxCount = from->BoxCount;
        to.Boxes = from->Boxes;
        to.FloorCount = from->FloorCount;
        to.Floors = from->Floors;
        to.WallCount = from->WallCount;
        to.Walls = from->Walls;
        to.SphereCount = from->SphereCount;
        to.Spheres = from->Spheres;
        for (TSphere& sphere : to.Spheres)
            sphere.DisplayList = qx::GlListRef();
        to.TorusCount = from->TorusCount;
        to.Tori = from->Tori;
        for (TTorus& torus : to.Tori)
            torus.DisplayList = qx::GlListRef();
        to.Model3dsCount = from->Model3dsCount;
        to.Models3ds = from->Models3ds;
        for (TModel3ds& model : to.Models3ds)
            model.Model.reset();
        // A Blender model copies its polygons: only the placement is taken.
        to.BlenderCount = from->BlenderCount;
        to.BlenderModels.resize(from->BlenderModels.size());
        for (size_t i = 0; i < from->BlenderModels.size(); ++i)
            static_cast<TModelPlacement&>(to.BlenderModels[i]) = from->BlenderModels[i];
    }
    copy->CurrentList = source.CurrentList;
    return copy;
}

}  // namespace

std::shared_ptr<AutosaveJob> AutosaveCopies::Take()
{
    const EditorState& state = Editor();
    auto job = std::make_shared<AutosaveJob>();
    job->textures = Textures();
    TakeObjects(state, job->objects);
    TakeMap(state);
    job->map = map_;
    for (int i = 0; i < 3; ++i)
        job->playerPos[i] = state.PlayerPos[i];
    job->objectTree = state.ObjectTree;
    job->textureTree = state.TextureTree;
    return job;
}

void AutosaveCopies::TakeObjects(const EditorState& state, std::vector<std::shared_ptr<TQX3DObject>>& out)
{
    const auto count = static_cast<size_t>(state.MapObjectCount);
    std::vector<ObjectCopy> taken(count);
    out.reserve(count);
    // Mostly the list is as it was; after a deletion or an undo the copies
    // are looked up by object.
    std::unordered_map<const TQX3DObject*, size_t> byObject;
    const auto previous = [&](const TQX3DObject* object, size_t i) -> ObjectCopy* {
        if (i < objects_.size() && objects_[i].object == object)
            return &objects_[i];
        if (byObject.empty())
            for (size_t k = 0; k < objects_.size(); ++k)
                byObject.emplace(objects_[k].object, k);
        const auto found = byObject.find(object);
        return found == byObject.end() ? nullptr : &objects_[found->second];
    };
    for (size_t i = 0; i < count; ++i) {
        const std::shared_ptr<TQX3DObject>& object = state.MapObjects[i];
        // The object open for editing is written from its working copy.
        if (state.ModelEditMode && object == state.EditedDefinition && state.EditedModel) {
            out.push_back(FileDataOf(*state.EditedModel));
            continue;
        }
        ObjectCopy* kept = previous(object.get(), i);
        // A live source at the same address is the same object.
        if (kept && kept->copy && !kept->source.expired() && kept->revision == object->Revision &&
            kept->copy->Name == object->Name)
            taken[i] = std::move(*kept);
        else
            taken[i] = {object.get(), object, object->Revision, FileDataOf(*object)};
        out.push_back(taken[i].copy);
    }
    objects_ = std::move(taken);
}

void AutosaveCopies::TakeMap(const ProjectContent& content)
{
    const auto count = static_cast<size_t>(content.PlacementCount);
    // Names change only with the content's Generation (its name index
    // relies on that too); positions are compared.
    if (map_ && map_->generation == content.Generation && map_->placementCount == content.PlacementCount &&
        map_->objectNames.size() == content.MapObjectNames.size() &&
        map_->placements.size() == content.Placements.size()) {
        if (std::memcmp(map_->placements.data(), content.Placements.data(), count * sizeof(TPlacement)) == 0)
            return;
        // The previous autosave has finished with its copy: change it in place.
        if (map_.use_count() == 1) {
            std::memcpy(map_->placements.data(), content.Placements.data(), count * sizeof(TPlacement));
            return;
        }
    }
    auto map = std::make_shared<MapCopy>();
    map->generation = content.Generation;
    map->objectNames = content.MapObjectNames;
    map->placements = content.Placements;
    map->placementNames = content.PlacementNames;
    map->placementIds = content.PlacementIds;
    map->placementCount = content.PlacementCount;
    map_ = std::move(map);
}

namespace {

// The worker's part.  The marker is one file of the save's all-or-nothing
// step: a step cut short is finished or undone at the next start, leaving
// the new autosave with its marker or the previous one with its own.
void WriteAutosave(const AutosaveJob& job, const std::string& folder)
{
    const std::string fsFolder = ToFsPath(folder);
    std::error_code ec;
    fs::create_directories(fsFolder, ec);
    const std::string stamp = QDateTime::currentDateTime().toString(Qt::ISODate).toStdString() + "\r\n";
    qx::SaveProject(folder, job.textures, job.Content(), qx::ProjectTrees{&job.objectTree, &job.textureTree},
                    {{fsFolder + kAutosaveMarker, kAutosaveMarker, stamp}});
}

}  // namespace

Autosaver::Autosaver(const OpenedProject& project)
    : project_(project), clock_([] { return std::chrono::steady_clock::now(); })
{
    timer_ = new QTimer(this);
    timer_->setInterval(1000);
    connect(timer_, &QTimer::timeout, this, [this] { Tick(); });
    timer_->start();
}

Autosaver::~Autosaver()
{
    if (worker_.joinable())
        worker_.join();
}

void Autosaver::Tick()
{
    if (done_)
        Finish();
    const UndoStack& history = EditHistory();
    if (!history.Modified() || history.State() == savedState_) {
        pending_ = false;
        return;
    }
    const auto now = clock_();
    if (!pending_) {
        pending_ = true;
        since_ = now;
        return;
    }
    if (!Running() && now - since_ >= kInterval)
        Start();
}

void Autosaver::Start()
{
    if (Running())
        Finish();
    std::shared_ptr<AutosaveJob> job = copies_.Take();
    const std::string folder = AutosaveFolderOf(project_.Folder());
    savedState_ = EditHistory().State();
    pending_ = false;
    done_ = false;
    error_.clear();
    worker_ = std::thread([this, job, folder] {
        try {
            WriteAutosave(*job, folder);
        } catch (const qx::SaveFailed& e) {
            error_ = e.Reason();  // the project itself was not being saved
        } catch (const std::exception& e) {
            error_ = e.what();
        }
        done_ = true;
    });
}

void Autosaver::Finish()
{
    if (!worker_.joinable())
        return;
    worker_.join();
    done_ = false;
    if (error_.empty()) {
        failureShown_ = false;
        return;
    }
    // Try again at the next change; say so once, not every two minutes.
    savedState_ = 0;
    if (!failureShown_) {
        failureShown_ = true;
        qx::Messages().ShowMessage(Cp("QX FPS Vantor"), Cp("Автосохранение не удалось: ") + error_);
    }
}

std::string AutosaveFolderOf(const std::string& projectFolder) { return projectFolder + qx::kAutosaveFolder; }

void WaitForAutosave()
{
    if (Autosaver* autosave = EditorAutosave())
        autosave->Finish();
}

void RemoveAutosave(const std::string& projectFolder)
{
    WaitForAutosave();
    std::error_code ec;
    fs::remove_all(ToFsPath(AutosaveFolderOf(projectFolder)), ec);
}

void OfferRecovery(const std::string& project)
{
    const std::string folder = AutosaveFolderOf(project);
    const fs::path fsFolder = ToFsPath(folder);
    std::error_code ec;
    if (!fs::is_directory(fsFolder, ec) || fs::is_empty(fsFolder, ec))
        return;
    const std::string caption = Cp("QX FPS Vantor");
    const fs::path marker = fsFolder / kAutosaveMarker;
    if (!fs::is_regular_file(marker, ec)) {
        qx::Messages().ShowMessage(caption, Cp("Автосохранение в ") + Utf8ToCp1251(fsFolder.string()) +
                                                Cp(" не завершено; оно оставлено на диске."));
        return;
    }
    const auto markerTime = fs::last_write_time(marker, ec);
    for (const auto& entry : fs::directory_iterator(ToFsPath(project), ec))
        if (entry.is_regular_file() && entry.path().filename() != qx::kProjectLockFile &&
            entry.last_write_time() >= markerTime)
            return;  // the project is newer: a save came after it
    const QString when = QFileInfo(QString::fromStdString(marker.string())).lastModified().toString("dd.MM.yyyy hh:mm:ss");
    const std::string named = Utf8ToCp1251(fs::path(project).parent_path().string());
    if (!qx::Messages().AskYesNo(caption, Cp("Найдено автосохранение проекта ") + named + Cp(" от ") +
                                              FromQString(when) + Cp(". Восстановить?")))
        return;
    qx::ReadOptions options;
    options.pictureFolder = project + "textures\\";
    try {
        EditorState& state = Editor();
        if (qx::LoadProjectInto(folder, options, state, state.ObjectTree, state.TextureTree)) {
            EditHistory().ResetUnsaved();
            ShowProjectReplaced(Editor());
        }
    } catch (const std::exception& e) {
        qx::Messages().ShowMessage(caption, Cp("Автосохранение повреждено и оставлено на диске: ") + e.what());
    }
}
