// A running game following the project it plays: a thread of its own looks
// at the project's files four times a second and, once a save has changed
// them and is complete (ProjectWatch.h), reads the level again without GL
// (ReadGameLevel) and hands it to the window, which builds it between
// frames.  The read never blocks a frame; a read that met a save is thrown
// away and done again.  Until the window resumes it, the thread reads
// nothing more.  LevelReload is the GL thread's half: it builds what was
// read a slice per frame and swaps it in.
#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "GameLevel.h"
#include "ProjectWatch.h"

namespace qx {

class LevelFollower {
public:
    struct Result {
        std::unique_ptr<LevelRead> read;  // null: no level (see error) or nothing changed
        std::string error;                // "FILE:LINE: reason" (code page 1251)
    };

    // ReadGameLevel, its failure as `error`.
    static Result ReadProject(const std::string& programFolder, const std::string& projectFolder,
                              const PictureTextures& known, bool keepModels, const float* startFeet);

    // `played`: the stamps of the files the level being played was read
    // from; none when no level plays yet, so that the first whole look reads.
    LevelFollower(std::string programFolder, std::string projectFolder, std::optional<ProjectStamps> played);
    ~LevelFollower();

    // A read finished (or failed, or found nothing new after CheckNow), once.
    std::optional<Result> Take();
    // Looks again, knowing the pictures in play and the run's start (null:
    // the map's player start).
    void Resume(const PictureTextures& known, const float* startFeet);
    // Looks at once and answers even when nothing changed.
    void CheckNow();

private:
    void Run();

    const std::string programFolder_, projectFolder_, fsFolder_;
    std::optional<ProjectStamps> played_;
    PictureTextures known_;
    bool hasStart_ = false;
    float startFeet_[3] = {0, 0, 0};
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    bool paused_ = false;
    bool checkNow_ = false;
    std::optional<Result> result_;
    std::thread thread_;
};

// Once a frame on the GL thread: takes what the follower read, builds it for
// a share of the frame, and once built makes it the level played.  The
// window resumes the follower after an answer or a swap.
class LevelReload {
public:
    enum class Event {
        None,      // nothing to tell this frame
        Answered,  // the follower read nothing new, or failed (error)
        Swapped,   // `level` is the one read again now
    };
    struct Step {
        Event event = Event::None;
        std::string error;  // "FILE:LINE: reason" (code page 1251)
    };

    LevelReload() = default;
    // The GL context current while a build or the old level's release is
    // under way.
    ~LevelReload();
    LevelReload(const LevelReload&) = delete;
    LevelReload& operator=(const LevelReload&) = delete;

    // Works for a share of what a frame costs besides; the level replaced
    // is freed that way too, in the frames after the swap.
    Step Frame(LevelFollower& follower, GameLevel& level);

private:
    Step Work(LevelFollower& follower, GameLevel& level, std::chrono::steady_clock::time_point deadline);
    // True when the retired level is gone.
    bool Release(std::chrono::steady_clock::time_point deadline);

    std::unique_ptr<LevelBuild> build_;
    std::unique_ptr<GameLevel> retired_;
    int retiredPart_ = 0;
    // CPU seconds of this thread: a frame's work besides this (smoothed),
    // this one's in the last frame, and when the last frame's began.
    double otherSeconds_ = 0.01;
    double spentSeconds_ = 0;
    double lastBegin_ = 0;
};

}  // namespace qx
