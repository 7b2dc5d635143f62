#include "GameWindow.h"

#include <GL/gl.h>
#include <QCursor>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>

#include <charconv>
#include <cmath>
#include <cstdio>

#include "Errors.h"
#include "GLEngine.h"
#include "GameChannel.h"
#include "LevelFiles.h"
#include "LevelFollower.h"
#include "MoveKeys.h"
#include "NumberText.h"
#include "Paths.h"
#include "Text1251.h"

namespace qx {

namespace {

// Mouse-look: as the editor's, one radian per 400 pixels.
constexpr float kPixelsPerRadian = 400.0f;
// About the editor's pitch limit (a target 5 units above at distance 1).
constexpr float kPitchLimit = 1.37f;
// How long the count of missing pictures, and the reason a read of the
// project failed, stay on screen.
constexpr qint64 kMissingShownFor = 6000000000LL;
// Shown and printed while a save cut short keeps the game from reading.
constexpr const char* kSaveUnfinished =
    "Сохранение проекта не завершено (есть qxsave.journal): игра ждёт, пока редактор его завершит или отменит";

}  // namespace

GameWindow::GameWindow(std::string programFolder, RunOptions options)
    : programFolder_(std::move(programFolder)), options_(std::move(options)), reload_(std::make_unique<LevelReload>())
{
    if (options_.projectFolder.empty())
        options_.projectFolder = ToFsPath(ProjectFolder(programFolder_));
    setSurfaceType(QSurface::OpenGLSurface);
    // Before the platform window exists: the display picks its config then.
    setFormat(SceneFormat());
    setTitle(QString::fromUtf8("QX FPS Vantor - игра"));
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(1);
    QObject::connect(&timer_, &QTimer::timeout, this, [this] { Frame(); });
    rateText_.reserve(32);
    channel_ = std::make_unique<GameChannel>(options_.projectFolder, [this](const ViewStart& start) {
        // The editor saved before it asked: the move waits for the
        // follower's look, so that it lands in the level just saved.
        pendingStart_ = start;
        if (follower_)
            follower_->CheckNow();
        requestActivate();
        raise();
    });
}

GameWindow::~GameWindow()
{
    timer_.stop();
    follower_.reset();
    if (Engine().RC) {
        MakeEngineCurrent();
        reload_.reset();
    }
    ShutdownEngine(this);
}

void GameWindow::CloseChannel() { channel_.reset(); }

void GameWindow::exposeEvent(QExposeEvent*)
{
    if (!isExposed())
        return;
    if (!started_)
        Start();
    Frame();
}

void GameWindow::Start()
{
    started_ = true;
    if (!InitEngine(width(), height(), this)) {
        std::fprintf(stderr, "GAME_EXE: no OpenGL compatibility-profile context with a depth buffer\n");
        QCoreApplication::exit(4);
        return;
    }
    font_.Build(std::string(), 16, "Arial", TColor4{1, 1, 1, 1});
    hintText_ = Cp("Щелчок - захватить мышь, Esc - выход, F3 - частота кадров, F11 - полный экран");
    quitHint_ = Cp("Esc - выход");
    // A level built without a floor drops the player at once: say why the
    // view jumps back.
    fellText_ = Cp("Падение ниже уровня - возврат на старт (нет пола под игроком?)");
    errorTitle_ = Cp("Уровень не загружен. Проект не прочитан:");
    folderText_ = Cp("Папка проекта: ") + Utf8ToCp1251(options_.projectFolder);
    // A large level takes a moment: say so rather than show a black window.
    {
        std::string loading = Cp("Загрузка уровня...");
        const qreal ratio = devicePixelRatio();
        StartScreen(static_cast<int>(width() * ratio), static_cast<int>(height() * ratio), TColor4{0, 0, 0, 1});
        PrintLine(loading, TColor4{1, 1, 1, 1}, 40);
        EndFrame();
    }
    // A save cut short leaves files of two saves: the game reads none of
    // them, and plays once the editor has finished or undone the save (the
    // game writes nothing in the project, so it does not do so itself).
    const std::string fsFolder = ToFsPath(options_.projectFolder);
    const ProjectStamps stamps = StampProject(fsFolder);
    float feet[3] = {0, 0, 0};
    if (options_.hasStart) {
        std::copy(options_.start.eye, options_.start.eye + 3, feet);
        feet[1] -= PlayerMotion::kEyeHeight;
    }
    const float* startFeet = options_.hasStart ? feet : nullptr;
    LevelFollower::Result read;
    std::optional<ProjectStamps> played;
    if (ReadOneSave(fsFolder, stamps, [&] {
            read = LevelFollower::ReadProject(programFolder_, options_.projectFolder, level_.pictures, false, startFeet);
        }))
        played = stamps;
    else
        read = LevelFollower::Result{nullptr, Cp(kSaveUnfinished)};
    try {
        if (!read.read)
            throw Error(read.error);
        BuildGameLevel(std::move(*read.read), level_);
        if (options_.hasStart)
            StartAt(options_.start);
        else
            player_ = std::make_unique<PlayerMotion>(level_.scene.collision, level_.scene.start);
        const qreal ratio = devicePixelRatio();
        PrepareDrawing(level_.content, level_.scene, level_.sky.get(), static_cast<int>(width() * ratio),
                       static_cast<int>(height() * ratio));
        ReportMissing(0);
    } catch (const std::exception& e) {
        error_ = e.what();
        if (error_.empty())
            error_ = "?";
        std::fprintf(stderr, "GAME_EXE: %s: %s\n", options_.projectFolder.c_str(),
                     Cp1251ToUtf8(error_).c_str());
        // The level that comes later starts from the run's start too.
        if (options_.hasStart) {
            pendingStart_ = options_.start;
            std::copy(feet, feet + 3, runStart_);
            hasRunStart_ = true;
        }
    }
    follower_ = std::make_unique<LevelFollower>(programFolder_, options_.projectFolder, played);
    follower_->Resume(level_.pictures, hasRunStart_ ? runStart_ : nullptr);
    clock_.start();
    lastFrame_ = rateStart_ = clock_.nsecsElapsed();
    if (!Failed() && options_.frames == 0)
        Capture(true);
    timer_.start();
}

void GameWindow::ReportMissing(qint64 now)
{
    const char* shown = level_.noTexture ? "drawn with NoTexture.bmp" : "drawn untextured";
    for (const std::string& missing : level_.missingPictures)
        std::fprintf(stderr, "GAME_EXE: picture not loaded, %s: %s\n", shown, Cp1251ToUtf8(missing).c_str());
    for (const std::string& missing : level_.missingModels)
        std::fprintf(stderr, "GAME_EXE: model not loaded, its part left empty: %s\n", Cp1251ToUtf8(missing).c_str());
    missingShownUntil_ = 0;
    if (!level_.missingPictures.empty()) {
        std::fprintf(stderr, "GAME_EXE: pictures are looked for in %s and %s\n",
                     ToFsPath(ProjectFolder(programFolder_) + "textures\\").c_str(),
                     ToFsPath(programFolder_ + "textures\\").c_str());
        missingText_ = Cp("Не загружено рисунков: ") + IntToEditText(static_cast<int32_t>(level_.missingPictures.size())) +
                       (level_.noTexture ? Cp(" - вместо них NoTexture") : std::string());
        missingShownUntil_ = now + kMissingShownFor;
    }
}

void GameWindow::StartAt(const ViewStart& start)
{
    PlayerMotion::FeetForEye(level_.scene.collision, start.eye, runStart_);
    hasRunStart_ = true;
    if (player_)
        player_->MoveStart(runStart_);
    else
        player_ = std::make_unique<PlayerMotion>(level_.scene.collision, runStart_);
    input_.yaw = start.yaw;
    pitch_ = std::clamp(start.pitch, -kPitchLimit, kPitchLimit);
}

void GameWindow::FollowProject()
{
    if (!follower_)
        return;
    const bool played = player_ != nullptr;
    const LevelReload::Step step = reload_->Frame(*follower_, level_);
    if (step.event == LevelReload::Event::None)
        return;
    if (step.event == LevelReload::Event::Answered) {
        if (!step.error.empty()) {
            reloadError_ = step.error;
            std::fprintf(stderr, "GAME_EXE: %s: %s\n", options_.projectFolder.c_str(),
                         Cp1251ToUtf8(reloadError_).c_str());
            if (Failed()) {
                error_ = reloadError_;
            } else {
                reloadText_ = Cp("Проект не прочитан, играется прежний уровень: ") + reloadError_;
                reloadShownUntil_ = clock_.nsecsElapsed() + kMissingShownFor;
            }
        }
    } else {
        const float* start = hasRunStart_ ? runStart_ : level_.scene.start;
        if (played)
            player_ = std::make_unique<PlayerMotion>(level_.scene.collision, start, *player_);
        else
            player_ = std::make_unique<PlayerMotion>(level_.scene.collision, start);
        error_.clear();
        reloadError_.clear();
        reloadShownUntil_ = 0;
        ++reloads_;
        ReportMissing(clock_.nsecsElapsed());
        // The first level of the run gets the start's warm-up.
        if (!played) {
            const qreal ratio = devicePixelRatio();
            PrepareDrawing(level_.content, level_.scene, level_.sky.get(), static_cast<int>(width() * ratio),
                           static_cast<int>(height() * ratio));
        }
    }
    // A move asked for while nothing plays waits for the level.
    if (pendingStart_ && !Failed()) {
        StartAt(*pendingStart_);
        pendingStart_.reset();
    }
    follower_->Resume(level_.pictures, hasRunStart_ ? runStart_ : nullptr);
}

void GameWindow::Frame()
{
    if (!started_ || !Engine().RC || !isExposed())
        return;
    MakeEngineCurrent();
    const qint64 now = clock_.nsecsElapsed();
    const double seconds = static_cast<double>(now - lastFrame_) * 1e-9;
    lastFrame_ = now;
    FollowProject();
    ++rateFrames_;
    if (now - rateStart_ >= 500000000) {
        const double rate = rateFrames_ * 1e9 / static_cast<double>(now - rateStart_);
        char digits[16];
        const auto end = std::to_chars(digits, digits + sizeof(digits), std::lround(rate)).ptr;
        rateText_.assign("FPS ");
        rateText_.append(digits, end);
        rateFrames_ = 0;
        rateStart_ = now;
    }

    const qreal ratio = devicePixelRatio();
    const int w = static_cast<int>(width() * ratio);
    const int h = static_cast<int>(height() * ratio);
    if (Failed()) {
        DrawErrorScreen(w, h);
    } else {
        player_->Advance(seconds, input_);
        if (player_->FallRespawns() != respawnsSeen_) {
            respawnsSeen_ = player_->FallRespawns();
            fellShownUntil_ = now + 3000000000LL;
        }
        ViewPoint view;
        player_->Eye(view.eye);
        view.yaw = input_.yaw;
        view.pitch = pitch_;
        glPushMatrix();
        DrawLevel(level_.content, level_.scene, level_.sky.get(), view, w, h);
        glPopMatrix();
        DrawOverlay(w, h);
    }

    ++framesDrawn_;
    if (options_.frames > 0 && framesDrawn_ >= options_.frames) {
        if (!options_.screenshot.empty())
            SaveScreenshot(w, h);
        timer_.stop();
        QCoreApplication::exit(Failed() ? 3 : 0);
    }
    EndFrame();
}

void GameWindow::DrawOverlay(int w, int h)
{
    glViewport(0, 0, w, h);
    SetProjection(255, w, h);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glColor4f(1, 1, 1, 1);
    const float cx = static_cast<float>(w / 2), cy = static_cast<float>(h / 2);
    glBegin(GL_LINES);
    glVertex3f(cx - 8, cy, 0);
    glVertex3f(cx + 8, cy, 0);
    glVertex3f(cx, cy - 8, 0);
    glVertex3f(cx, cy + 8, 0);
    glEnd();
    glEnable(GL_TEXTURE_2D);
    if (showRate_)
        PrintLine(rateText_, TColor4{1, 1, 0, 1}, 24);
    if (!captured_)
        PrintLine(hintText_, TColor4{1, 1, 1, 1}, static_cast<float>(h - 12));
    if (lastFrame_ < missingShownUntil_)
        PrintLine(missingText_, TColor4{1, 0.85f, 0.3f, 1}, 48);
    if (lastFrame_ < reloadShownUntil_)
        PrintLine(reloadText_, TColor4{1, 0.45f, 0.35f, 1}, 72);
    if (lastFrame_ < fellShownUntil_)
        PrintLine(fellText_, TColor4{1, 0.6f, 0.2f, 1}, static_cast<float>(h / 2 + 40));
    glEnable(GL_DEPTH_TEST);
}

void GameWindow::PrintLine(std::string& text, const TColor4& color, float y)
{
    // The font prints its own Text: lend it the line without copying.
    font_.Text.swap(text);
    font_.Color = color;
    font_.PrintAt(10, y, 0);
    font_.Text.swap(text);
}

void GameWindow::StartScreen(int w, int h, const TColor4& background)
{
    glClearColor(background.R, background.G, background.B, background.A);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(0, 0, 0, 0);
    glViewport(0, 0, w, h);
    SetProjection(255, w, h);
}

void GameWindow::DrawErrorScreen(int w, int h)
{
    StartScreen(w, h, TColor4{0.25f, 0, 0, 1});
    glDisable(GL_DEPTH_TEST);
    PrintLine(errorTitle_, TColor4{1, 1, 1, 1}, 40);
    PrintLine(error_, TColor4{1, 1, 0, 1}, 70);
    PrintLine(folderText_, TColor4{1, 1, 1, 1}, 100);
    PrintLine(quitHint_, TColor4{0.8f, 0.8f, 0.8f, 1}, static_cast<float>(h - 12));
    glEnable(GL_DEPTH_TEST);
}

void GameWindow::SaveScreenshot(int w, int h)
{
    QImage image(w, h, QImage::Format_RGBA8888);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, image.bits());
    if (!image.mirrored(false, true).save(QString::fromStdString(options_.screenshot)))
        std::fprintf(stderr, "GAME_EXE: screenshot not written: %s\n", options_.screenshot.c_str());
}

void GameWindow::Capture(bool on)
{
    captured_ = on;
    if (on) {
        setCursor(Qt::BlankCursor);
        setMouseGrabEnabled(true);
        ignoreNextMove_ = true;
        QCursor::setPos(mapToGlobal(QPoint(width() / 2, height() / 2)));
    } else {
        setMouseGrabEnabled(false);
        unsetCursor();
    }
}

void GameWindow::SetKey(const QKeyEvent& event, bool down)
{
    switch (MoveKeyOf(event)) {
    case MoveKey::Forward: input_.forward = down; return;
    case MoveKey::Back: input_.back = down; return;
    case MoveKey::Left: input_.left = down; return;
    case MoveKey::Right: input_.right = down; return;
    case MoveKey::None: break;
    }
    if (event.key() == Qt::Key_Shift)
        input_.run = down;
    else if (event.key() == Qt::Key_Space)
        input_.jump = down;
}

void GameWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->isAutoRepeat())
        return;
    switch (event->key()) {
    case Qt::Key_Escape:
        if (captured_)
            Capture(false);
        else
            close();
        return;
    case Qt::Key_F3:
        showRate_ = !showRate_;
        return;
    case Qt::Key_F11:
        if (visibility() == QWindow::FullScreen)
            showNormal();
        else
            showFullScreen();
        return;
    default:
        SetKey(*event, true);
    }
}

void GameWindow::keyReleaseEvent(QKeyEvent* event)
{
    if (!event->isAutoRepeat())
        SetKey(*event, false);
}

void GameWindow::mousePressEvent(QMouseEvent*)
{
    if (!captured_ && !Failed())
        Capture(true);
}

void GameWindow::mouseMoveEvent(QMouseEvent* event)
{
    if (!captured_)
        return;
    const QPoint centre(width() / 2, height() / 2);
    const QPoint delta = event->position().toPoint() - centre;
    // The first event after capturing may come from where the pointer was.
    const bool ignore = ignoreNextMove_;
    ignoreNextMove_ = false;
    if (delta.isNull())
        return;
    if (!ignore) {
        input_.yaw -= static_cast<float>(delta.x()) / kPixelsPerRadian;
        pitch_ = std::clamp(pitch_ - static_cast<float>(delta.y()) / kPixelsPerRadian, -kPitchLimit, kPitchLimit);
        input_.yaw = std::remainder(input_.yaw, 2.0f * static_cast<float>(M_PI));
    }
    QCursor::setPos(mapToGlobal(centre));
}

void GameWindow::focusOutEvent(QFocusEvent*)
{
    const float yaw = input_.yaw;
    input_ = MoveInput();
    input_.yaw = yaw;
    if (captured_)
        Capture(false);
}

}  // namespace qx
