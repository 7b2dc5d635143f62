#include "Autosave.h"

#include <QDateTime>
#include <QFileInfo>
#include <QTimer>

#include <cstdio>
#include <filesystem>
#include <optional>

#include "EditCommands.h"
#include "EditHistory.h"
#include "EditorState.h"
#include "Errors.h"
#include "Messages.h"
#include "Paths.h"
#include "PrimitiveList.h"
#include "Project.h"
#include "ProjectCommands.h"
#include "ProjectLock.h"
#include "QX3DObject.h"
#include "QtText.h"
#include "Textures.h"
#include "Vantor.h"

namespace fs = std::filesystem;

namespace {

// The editor's one autosaver, so a save can wait for a write under way
// before it removes the autosave.
Autosaver* g_autosaver = nullptr;

// What the files of an autosave hold, copied apart from the editor's objects
// (boxes only, no GL lists), so the worker can format it while editing goes on.
struct AutosaveJob {
    TextureRegistry textures;
    ProjectContent content;
    qx::DocTree objectTree;
    qx::DocTree textureTree;
};

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

std::shared_ptr<AutosaveJob> CopyProject()
{
    const EditorState& state = Editor();
    auto job = std::make_shared<AutosaveJob>();
    job->textures = Textures();
    ProjectContent& content = job->content;
    content.MapObjects.clear();
    for (int32_t i = 0; i < state.MapObjectCount; ++i) {
        const auto& object = state.MapObjects[static_cast<size_t>(i)];
        // The object open for editing is written from its working copy.
        const bool open = state.ModelEditMode && object == state.EditedDefinition && state.EditedModel;
        content.MapObjects.push_back(FileDataOf(open ? *state.EditedModel : *object));
    }
    content.MapObjects.emplace_back();
    content.MapObjectNames = state.MapObjectNames;
    content.MapObjectCount = state.MapObjectCount;
    content.Placements = state.Placements;
    content.PlacementNames = state.PlacementNames;
    content.PlacementCount = state.PlacementCount;
    for (int i = 0; i < 3; ++i)
        content.PlayerPos[i] = state.PlayerPos[i];
    job->objectTree = state.ObjectTree;
    job->textureTree = state.TextureTree;
    return job;
}

// The worker's part.  The marker goes first and comes back last: without it
// the folder is an unfinished autosave.  A write that fails leaves the
// previous files (the save puts them back) and so their marker too.
void WriteAutosave(const AutosaveJob& job, const std::string& folder)
{
    const std::string fsFolder = ToFsPath(folder);
    std::error_code ec;
    fs::create_directories(fsFolder, ec);
    const std::string marker = fsFolder + kAutosaveMarker;
    std::optional<std::string> previous;
    if (fs::is_regular_file(marker, ec))
        previous = ReadWholeFile(marker);
    fs::remove(marker, ec);
    try {
        qx::SaveProject(folder, job.textures, job.content, qx::ProjectTrees{&job.objectTree, &job.textureTree});
    } catch (...) {
        if (previous)
            WriteWholeFile(marker, *previous);
        throw;
    }
    WriteWholeFile(marker, QDateTime::currentDateTime().toString(Qt::ISODate).toStdString() + "\r\n");
}

}  // namespace

Autosaver::Autosaver(TFVantor& window) : window_(window), clock_([] { return std::chrono::steady_clock::now(); })
{
    g_autosaver = this;
    timer_ = new QTimer(this);
    timer_->setInterval(1000);
    connect(timer_, &QTimer::timeout, this, [this] { Tick(); });
    timer_->start();
}

Autosaver::~Autosaver()
{
    if (worker_.joinable())
        worker_.join();
    if (g_autosaver == this)
        g_autosaver = nullptr;
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
    std::shared_ptr<AutosaveJob> job = CopyProject();
    const std::string folder = AutosaveFolderOf(OpenProjectFolder());
    savedState_ = EditHistory().State();
    pending_ = false;
    done_ = false;
    error_.clear();
    worker_ = std::thread([this, job, folder] {
        try {
            WriteAutosave(*job, folder);
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
    if (g_autosaver)
        g_autosaver->Finish();
}

void RemoveAutosave(const std::string& projectFolder)
{
    WaitForAutosave();
    std::error_code ec;
    fs::remove_all(ToFsPath(AutosaveFolderOf(projectFolder)), ec);
}

void OfferRecovery(TFVantor& window)
{
    const std::string project = OpenProjectFolder();
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
            ShowProjectReplaced(window);
        }
    } catch (const std::exception& e) {
        qx::Messages().ShowMessage(caption, Cp("Автосохранение повреждено и оставлено на диске: ") + e.what());
    }
}
