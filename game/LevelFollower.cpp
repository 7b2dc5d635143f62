#include "LevelFollower.h"

#include <chrono>

#include "Errors.h"
#include "Paths.h"

namespace qx {

namespace {

// Four looks a second: a save is on screen within a second of its end.
constexpr auto kLookEvery = std::chrono::milliseconds(250);

}  // namespace

LevelFollower::LevelFollower(std::string programFolder, std::string projectFolder, ProjectStamps played)
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
        bool ready = false;
        // The stamps first, the journal after them: a save that began its
        // renames before the stamps still has its journal, one that began
        // after changes them.
        const ProjectStamps before = StampProject(fsFolder_);
        const bool changed = before != played_;
        if (!SaveUnderWay(fsFolder_) && changed) {
            try {
                result.read = std::make_unique<LevelRead>(
                    ReadGameLevel(programFolder_, projectFolder_, known, true, hasStart ? start : nullptr));
            } catch (const std::exception& e) {
                result.error = e.what();
                if (result.error.empty())
                    result.error = "?";
            }
            // Read while a save ran: perhaps a mix, so again at the next look.
            ready = !SaveUnderWay(fsFolder_) && StampProject(fsFolder_) == before;
        }

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

}  // namespace qx
