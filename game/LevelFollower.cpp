#include "LevelFollower.h"

#include <chrono>

#include "Errors.h"
#include "Paths.h"

namespace qx {

namespace {

// Four looks a second: a save is on screen within a second of its end.
constexpr auto kLookEvery = std::chrono::milliseconds(250);
// A level read again is compiled in slices of this share of a frame, so no
// frame takes much longer than the others.
constexpr double kBuildShareOfFrame = 0.5;

}  // namespace

LevelFollower::Result LevelFollower::ReadProject(const std::string& programFolder, const std::string& projectFolder,
                                                 const PictureTextures& known, bool keepModels,
                                                 const float* startFeet)
{
    Result result;
    try {
        result.read =
            std::make_unique<LevelRead>(ReadGameLevel(programFolder, projectFolder, known, keepModels, startFeet));
    } catch (const std::exception& e) {
        result.error = e.what();
        if (result.error.empty())
            result.error = "?";
    }
    return result;
}

LevelFollower::LevelFollower(std::string programFolder, std::string projectFolder,
                             std::optional<ProjectStamps> played)
    : programFolder_(std::move(programFolder)),
      projectFolder_(std::move(projectFolder)),
      fsFolder_(ToFsPath(projectFolder_)),
      played_(std::move(played))
{
    paused_ = true;  // until the window tells what it plays
    thread_ = std::thread([this] { Run(); });
}

LevelFollower::~LevelFollower()
{
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

std::optional<LevelFollower::Result> LevelFollower::Take()
{
    std::lock_guard lock(mutex_);
    std::optional<Result> result = std::move(result_);
    result_.reset();
    return result;
}

void LevelFollower::Resume(const PictureTextures& known, const float* startFeet)
{
    {
        std::lock_guard lock(mutex_);
        known_ = known;
        hasStart_ = startFeet != nullptr;
        if (startFeet)
            std::copy(startFeet, startFeet + 3, startFeet_);
        paused_ = false;
    }
    wake_.notify_all();
}

void LevelFollower::CheckNow()
{
    {
        std::lock_guard lock(mutex_);
        checkNow_ = true;
    }
    wake_.notify_all();
}

void LevelFollower::Run()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait_for(lock, kLookEvery, [&] { return stop_ || (!paused_ && checkNow_); });
        if (stop_)
            return;
        if (paused_)
            continue;
        const bool answer = checkNow_;
        const PictureTextures known = known_;
        const bool hasStart = hasStart_;
        const float start[3] = {startFeet_[0], startFeet_[1], startFeet_[2]};
        lock.unlock();

        Result result;
        // The stamps first, the journal after them: a save that began its
        // renames before the stamps still has its journal, one that began
        // after changes them.
        const ProjectStamps before = StampProject(fsFolder_);
        // Read while a save ran: perhaps a mix, so again at the next look.
        const bool ready = before != played_ && ReadOneSave(fsFolder_, before, [&] {
            result = ReadProject(programFolder_, projectFolder_, known, true, hasStart ? start : nullptr);
        });

        lock.lock();
        if (ready) {
            played_ = before;
            result_ = std::move(result);
            paused_ = true;
        } else if (answer) {
            // Nothing read now: the window goes on with the level it has.
            result_ = Result();
            paused_ = true;
        }
        checkNow_ = false;
    }
}

LevelReload::~LevelReload() = default;

LevelReload::Step LevelReload::Frame(LevelFollower& follower, GameLevel& level, double frameSeconds)
{
    Step step;
    if (!build_) {
        std::optional<LevelFollower::Result> result = follower.Take();
        if (!result)
            return step;
        if (!result->read) {
            step.event = Event::Answered;
            step.error = std::move(result->error);
            return step;
        }
        build_ = std::make_unique<LevelBuild>(std::move(*result->read), level.pictures);
    }
    const auto slice = std::chrono::duration<double>(std::max(0.001, kBuildShareOfFrame * frameSeconds));
    if (!build_->Step(std::chrono::steady_clock::now() +
                      std::chrono::duration_cast<std::chrono::steady_clock::duration>(slice)))
        return step;
    GameLevel next = build_->Finish(level.pictures);
    build_.reset();
    level = std::move(next);
    step.event = Event::Swapped;
    return step;
}

}  // namespace qx
