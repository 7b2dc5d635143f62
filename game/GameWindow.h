// The game's window: plays a loaded level in first person, or shows the one
// error screen that says which project file could not be read and why.
//
// Mouse-look with the pointer captured (a click captures it, Esc releases
// it, a second Esc or closing the window quits), WASD and arrows, Shift to
// run, Space to jump, F3 the frame rate, F11 full screen.  GL works in
// device pixels.  Frames follow each other as fast as the display takes
// them; the level was loaded, compiled and sized before the first one.
//
// While it runs it follows the project (LevelFollower): a level read again
// after a save is compiled a slice per frame and then takes the place of
// the one played between two frames, the player keeping where it stands,
// where it looks and its fall; a project that does not read keeps the old
// level and says why for six seconds.  Its channel (GameChannel) moves the
// player to the editor's camera.
#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <QWindow>

#include <memory>
#include <optional>
#include <string>

#include "GameLevel.h"
#include "GameStart.h"
#include "PlayerMotion.h"
#include "ProjectWatch.h"
#include "QXFont.h"

namespace qx {

class GameChannel;
class LevelFollower;
class LevelReload;

class GameWindow : public QWindow {
public:
    // A run for tests and scripts: draw `frames` frames, save the last one
    // (read back before it is shown) to `screenshot` when given, and quit
    // with 0 when the level plays, 3 when the error screen is shown.
    struct RunOptions {
        int frames = 0;  // 0: play until the player quits
        std::string screenshot;
        // The project to play (with its trailing "/"); empty: the one in
        // "Sys/Saves/" of programFolder.
        std::string projectFolder;
        // The eyes and view to start with instead of the map's player start.
        bool hasStart = false;
        ViewStart start;
    };

    // programFolder: where the installation's pictures ("textures/") are.
    GameWindow(std::string programFolder, RunOptions options);
    ~GameWindow() override;

    bool Failed() const { return !error_.empty(); }
    // Gives up the channel's name, the one thing of the game's that lives
    // outside the process: before a quit that frees nothing else.
    void CloseChannel();
    // For tests: what is played, and the player (null on the error screen).
    const GameLevel& Level() const { return level_; }
    const PlayerMotion* Player() const { return player_.get(); }
    float Pitch() const { return pitch_; }
    float Yaw() const { return input_.yaw; }
    // The levels that took the place of the one played, and the reason the
    // last read of the project failed (code page 1251; empty: none).
    int Reloads() const { return reloads_; }
    const std::string& ReloadError() const { return reloadError_; }

protected:
    void exposeEvent(QExposeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void Start();
    // The player's eyes and view at `start`, its feet where FeetForEye puts them.
    void StartAt(const ViewStart& start);
    // Takes what the follower read and builds it; swaps it in when built.
    void FollowProject();
    // Lists what did not load on standard error, and counts it on screen
    // from `now` for six seconds.
    void ReportMissing(qint64 now);
    void Frame();
    void DrawOverlay(int width, int height);
    void DrawErrorScreen(int width, int height);
    // Clears to `background` and sets the overlay projection.
    void StartScreen(int width, int height, const TColor4& background);
    void PrintLine(std::string& text, const TColor4& color, float y);
    void Capture(bool on);
    void SetKey(const QKeyEvent& event, bool down);
    void SaveScreenshot(int width, int height);

    std::string programFolder_;
    RunOptions options_;
    bool started_ = false;
    std::string error_;  // "FILE:LINE: reason" (code page 1251); empty while the level plays
    GameLevel level_;
    std::unique_ptr<PlayerMotion> player_;
    MoveInput input_;
    float pitch_ = 0;
    bool captured_ = false;
    bool ignoreNextMove_ = false;
    bool showRate_ = false;
    int framesDrawn_ = 0;

    QTimer timer_;
    QElapsedTimer clock_;
    qint64 lastFrame_ = 0;
    qint64 rateStart_ = 0;
    int rateFrames_ = 0;

    TQXFont font_;
    std::string rateText_;
    std::string hintText_;
    std::string quitHint_;
    std::string fellText_;
    int respawnsSeen_ = 0;
    qint64 fellShownUntil_ = 0;
    std::string missingText_;  // how many pictures did not load
    qint64 missingShownUntil_ = 0;
    std::string errorTitle_;
    std::string folderText_;

    std::unique_ptr<LevelFollower> follower_;
    std::unique_ptr<LevelReload> reload_;
    std::unique_ptr<GameChannel> channel_;
    bool hasRunStart_ = false;  // the run's start is the camera's, not the map's
    float runStart_[3] = {0, 0, 0};
    std::optional<ViewStart> pendingStart_;  // waits for the follower's look, and for a level to play
    int reloads_ = 0;
    std::string reloadError_;
    std::string reloadText_;
    qint64 reloadShownUntil_ = 0;
};

}  // namespace qx
