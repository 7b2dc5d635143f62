#include "LevelFollower.h"

#include <algorithm>
#include <chrono>
#include <ctime>

#include "Errors.h"
#include "Paths.h"

namespace qx {

namespace {

// Four looks a second: a save is on screen within a second of its end.
constexpr auto kLookEvery = std::chrono::milliseconds(250);
// A level read again is compiled (and the one it replaces freed) in slices
// of this share of a frame's other work, so no frame takes much longer than
// the others.  The share is of the frame without the slice: of the whole
// frame, it would grow the frames it is taken from.
constexpr double kBuildShareOfFrame = 0.25;
// Frames that cost the CPU little (a GPU's, waiting for the display) still
// build at this pace, so a save is on screen within a second.
constexpr double kShortestSlice = 0.002;

double ThreadSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

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

bool LevelReload::Release(std::chrono::steady_clock::time_point deadline)
{
    const auto late = [&] { return std::chrono::steady_clock::now() >= deadline; };
    std::vector<std::shared_ptr<TQX3DObject>>& objects = retired_->content.MapObjects;
    while (!objects.empty()) {
        objects.pop_back();
        if (late())
            return false;
    }
    // The scene's large parts one at a time: each may give pages back.
    LevelScene& scene = retired_->scene;
    for (;;) {
        switch (retiredPart_++) {
        case 0: scene.collision = CollisionWorld(); break;
        case 1: scene.drawGrid = BoxGrid(); break;
        case 2: std::vector<uint32_t>().swap(scene.placement); break;
        case 3: std::vector<int32_t>().swap(scene.object); break;
        case 4: std::vector<Box3>().swap(scene.bounds); break;
        default: retired_.reset(); return true;
        }
        if (late())
            return false;
    }
}

LevelReload::Step LevelReload::Frame(LevelFollower& follower, GameLevel& level)
{
    // This thread's CPU time, not the clock's: a frame that waited for the
    // display or for a core gives no time to build in.
    const double begin = ThreadSeconds();
    if (lastBegin_ > 0) {
        const double other = std::clamp(begin - lastBegin_ - spentSeconds_, 0.0, 1.0);
        otherSeconds_ += 0.1 * (other - otherSeconds_);
    }
    lastBegin_ = begin;
    const auto slice = std::chrono::duration<double>(std::max(kShortestSlice, kBuildShareOfFrame * otherSeconds_));
    const Step step =
        Work(follower, level,
             std::chrono::steady_clock::now() + std::chrono::duration_cast<std::chrono::steady_clock::duration>(slice));
    spentSeconds_ = ThreadSeconds() - begin;
    return step;
}

LevelReload::Step LevelReload::Work(LevelFollower& follower, GameLevel& level,
                                    std::chrono::steady_clock::time_point deadline)
{
    Step step;
    // The next read waits until the last level played is gone.
    if (retired_ && !Release(deadline))
        return step;
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
    if (!build_->Step(deadline))
        return step;
    GameLevel next = build_->Finish(level.pictures);
    build_.reset();
    // Freeing the old level at once would take longer than a frame.
    retired_ = std::make_unique<GameLevel>(std::move(level));
    retiredPart_ = 0;
    level = std::move(next);
    step.event = Event::Swapped;
    return step;
}

}  // namespace qx
