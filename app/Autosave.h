// Autosave and recovery.  While the project has unsaved changes, every two
// minutes the project's text files are written into its folder's Autosave/ (never
// over the project's own files; pictures stay in the library, where recovery
// reads them) with the save's all-or-nothing writes, a marker file among
// them: an autosave is complete when its marker exists, and one cut short
// is finished or undone with its marker at the next start.  The main thread
// only copies what the files hold; formatting and writing run on a worker.
//
// At start-up a complete autosave newer than every project file is offered
// back; one without its marker (written by hand, or by an editor that wrote
// the marker apart) or damaged is reported and left on disk.
#pragma once

#include <QObject>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "Project.h"

class OpenedProject;
class QTimer;
class TQX3DObject;
struct AutosaveJob;
struct EditorState;

// The object list's names and the map as an autosave last copied them.
struct MapCopy {
    uint64_t generation = 0;  // the content's Generation when copied
    std::vector<std::string> objectNames;
    std::vector<TPlacement> placements;
    std::vector<std::string> placementNames;
    std::vector<uint64_t> placementIds;
    int32_t placementCount = 0;
};

// The autosave's copies of the project, kept from one autosave to the next:
// an object whose Revision and name did not change, and a map equal to the
// last one, are shared with the previous autosave instead of copied again,
// so the main thread's part follows what changed, not the project's size.
class AutosaveCopies {
public:
    std::shared_ptr<AutosaveJob> Take();

private:
    struct ObjectCopy {
        const TQX3DObject* object = nullptr;
        std::weak_ptr<TQX3DObject> source;
        uint64_t revision = 0;
        std::shared_ptr<TQX3DObject> copy;
    };
    void TakeObjects(const EditorState& state, std::vector<std::shared_ptr<TQX3DObject>>& out);
    void TakeMap(const ProjectContent& content);

    std::vector<ObjectCopy> objects_;  // in the order of the last autosave
    std::shared_ptr<MapCopy> map_;
};

inline constexpr const char* kAutosaveMarker = "autosave.done";

class Autosaver : public QObject {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    static constexpr std::chrono::seconds kInterval{120};

    // It writes into the autosave folder of `project`'s folder.
    explicit Autosaver(const OpenedProject& project);
    ~Autosaver() override;

    // Tests set the time.
    void SetClock(Clock clock) { clock_ = std::move(clock); }
    // Run every second: notes when changes began, starts an autosave when
    // one is due, and reports a finished one.
    void Tick();
    // Copies the project and starts writing it (the main thread's part).
    void Start();
    // Waits for a running autosave and reports it.
    void Finish();
    bool Running() const { return worker_.joinable(); }

private:
    const OpenedProject& project_;
    Clock clock_;
    QTimer* timer_ = nullptr;
    std::thread worker_;
    std::atomic<bool> done_{false};
    std::string error_;           // the worker's failure, read after join
    uint64_t savedState_ = 0;     // the history state the last autosave holds
    bool pending_ = false;        // changes not yet autosaved
    std::chrono::steady_clock::time_point since_{};
    bool failureShown_ = false;
    AutosaveCopies copies_;
};

// The autosave folder of a project folder (with its trailing separator).
std::string AutosaveFolderOf(const std::string& projectFolder);
// Lets an autosave under way finish (before the open project changes).
void WaitForAutosave();
// After a save: the autosave has nothing the project lacks.
void RemoveAutosave(const std::string& projectFolder);
// Offers the autosave of the project in `projectFolder` (the open one) back: "Найдено автосохранение проекта
// <folder> от <date time>. Восстановить?"
void OfferRecovery(const std::string& projectFolder);
