#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <cmath>

#include "Camera.h"
#include "EditorDocument.h"
#include "EditorState.h"
#include "EditorWindows.h"
#include "FrameTimer.h"
#include "FrameLoop.h"
#include "GLEngine.h"
#include "MapNavigator.h"
#include "EditControls.h"
#include "PartTree.h"
#include "Placing.h"
#include "SceneMouse.h"
#include "Messages.h"
#include "NumberText.h"
#include "PrimitiveList.h"
#include "Primitives.h"
#include "QX3DObject.h"
#include "QtText.h"
#include "SceneSurface.h"
#include "TestInstallation.h"
#include "TestSupport.h"
#include "TextureEdits.h"
#include "Textures.h"
#include "TextureWindow.h"
#include "TreeWidgetAccess.h"
#include "Vantor.h"
#include "Wiring.h"

namespace {

// Counts what the window system does to the editor's windows.  Tests share
// one display: another program's window coming and going exposes ours, and
// a frame then is rightly drawn.
class WindowSystemEvents : public QObject {
public:
    WindowSystemEvents() { qApp->installEventFilter(this); }
    ~WindowSystemEvents() override { qApp->removeEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::Expose:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::WindowStateChange:
        case QEvent::WindowActivate:
        case QEvent::WindowDeactivate:
        case QEvent::Enter:
        case QEvent::Leave:
        case QEvent::MouseMove:
            ++count;
            break;
        default:
            break;
        }
        return false;
    }
};

TEST(StatusTexts, MouseAndGridPanelsSwapYAndZAndTruncate)
{
    qxtest::ScopedEditorDocument editor;
    const char previous = DecimalSeparator();
    SetDecimalSeparator(',');
    const double cursor[3] = {12.7, 3.2, -5.9};
    std::string text;
    MouseStatusText(text, cursor);
    EXPECT_EQ(text, Cp("Мышка: X=12    Y=-5    Z=3"));
    GridStatusText(text, cursor);
    EXPECT_EQ(text, Cp("Сетка: X=12,5    Y=-5,5    Z=3"));
    SetDecimalSeparator(previous);
}

// The update step works on the document alone: the pending box hangs on the
// snapped cursor (the user's grid), takes the chosen texture, and each
// change is told once; with nothing to change it tells nothing.
TEST(FrameUpdate, ThePendingBoxFollowsTheCursorAndTheChosenTexture)
{
    qxtest::ScopedEditorDocument editor;
    EditorState& state = Editor();
    TCamera camera;
    camera.EditMode = 255;
    TQX3DObject pending;
    pending.AddList();
    pending.Lists[0]->AddBox(0, 0, 0, 0, 1, 1, 1, 1, 0, 0, 0);
    state.Camera = &camera;
    state.PendingPrimitive = &pending;
    state.ModelEditMode = state.Placing = true;
    state.PrimIndex = 0;
    state.CursorWorld[0] = 1.3;
    state.CursorWorld[1] = 2.6;
    state.CursorWorld[2] = -3.7;
    int told = 0;
    const int key = state.Events.Observe([&](uint32_t changes) { told += (changes & qx::PendingChanged) != 0; });
    state.SelectedTexture = 5;
    UpdateFrame(state, SceneView{});
    const TBox& box = pending.Lists[0]->Boxes[0];
    EXPECT_EQ(box.Position.X, SnapX(1.3f));
    EXPECT_EQ(box.Position.Y, SnapY(2.6f));
    EXPECT_EQ(box.Position.Z, SnapZ(-3.7f));
    EXPECT_EQ(box.Texture, 5);
    EXPECT_EQ(told, 1);
    UpdateFrame(state, SceneView{});
    EXPECT_EQ(told, 1) << "nothing changed";
    state.Events.Forget(key);
}

// The editor started in a generated installation, frames running.
class FrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetTextures();
        apptest::WriteStartupFiles(dir_.path());
        cwd_ = std::make_unique<qxtest::ScopedCurrentDir>(dir_.path());
        windows_ = std::make_unique<EditorWindows>();
        w()->resize(1000, 800);
        w()->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w()));
        ASSERT_TRUE(w()->StartupComplete()) << (messages_.entries.empty() ? "" : messages_.entries[0].text);
        QTest::qWait(200);
    }
    void TearDown() override
    {
        windows_.reset();
        cwd_.reset();
    }
    TFVantor* w() const { return windows_->vantor.get(); }
    // Puts the mouse at a point of the view given in logical pixels, as the
    // scene's mouse handler stores it (device pixels).
    void MouseAt(int x, int y)
    {
        const qreal ratio = w()->SceneWindow->devicePixelRatio();
        Editor().MouseX = static_cast<int>(std::lround(x * ratio));
        Editor().MouseY = static_cast<int>(std::lround(y * ratio));
    }
    void SetOption(const char* text, bool on)
    {
        w()->DisplayOption(text)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }
    void Frames(int n = 5)
    {
        for (int i = 0; i < n; ++i)
            RenderFrame(*w());
    }
    // A fresh frame, read back from the back buffer before any swap (a screen
    // grab may catch the window before a swap lands).
    QImage Picture()
    {
        DrawFrame(*w());
        MakeEngineCurrent();
        glFinish();
        const qreal ratio = w()->SceneWindow->devicePixelRatio();
        const int width = static_cast<int>(w()->Scene->width() * ratio);
        const int height = static_cast<int>(w()->Scene->height() * ratio);
        QImage image(width, height, QImage::Format_RGBA8888);
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, image.bits());
        return image.mirrored();  // GL rows run bottom to top
    }

    qxtest::TempDir dir_;
    std::unique_ptr<qxtest::ScopedCurrentDir> cwd_;
    qx::RecordingMessageSink messages_;
    qx::ScopedMessageSink sink_{messages_};
    std::unique_ptr<EditorWindows> windows_;
};

TEST_F(FrameTest, HelperTexturesAreRegisteredAndListed)
{
    ASSERT_NE(TextureWindow(), nullptr);
    EXPECT_TRUE(TextureWindow()->isVisible());
    ASSERT_EQ(Textures().TextureCount, 8);
    EXPECT_EQ(Textures().TextureNames[0], "Setka.bmp");
    EXPECT_EQ(Textures().TextureNames[1], "CurCenter.bmp");
    EXPECT_TRUE(Textures().TextureKeyed[1]);
    EXPECT_EQ(Textures().TextureNames[7], "cliffBottom.bmp");
    for (int i = 0; i < 8; ++i)
        EXPECT_NE(Textures().TextureIds[i], 0u) << i;
    EXPECT_EQ(Editor().SelectedTexture, 7);
    EXPECT_EQ(Editor().GridTexture, 0);
    EXPECT_EQ(Editor().CrossTexture, 1);

    // The eight names sit in the first category of the texture tree.
    const qx::DocTree& tree = Editor().TextureTree;
    int listed = 0;
    for (int i = 0; i < tree.NodeCount(); ++i)
        if (tree.Depth(i) == 1 && tree.Icon(i) == 10)
            ++listed;
    EXPECT_EQ(listed, 8);
    EXPECT_EQ(TextureWindow()->TreeView1->topLevelItem(0)->childCount(), 8);
}

TEST_F(FrameTest, StartupViewShowsSkyAboveAndGridBelow)
{
    Frames(3);
    QImage picture = Picture();
    ASSERT_FALSE(picture.isNull());
    ASSERT_GT(picture.height(), 100);
    // Upper middle: sky (blue dominates); lower left: the grid floor,
    // not the black clear colour.
    QColor sky = picture.pixelColor(picture.width() / 2, picture.height() / 8);
    EXPECT_GT(sky.blue(), sky.red()) << "sky " << sky.name().toStdString();
    QColor floor = picture.pixelColor(picture.width() / 4, picture.height() * 15 / 16);
    EXPECT_GT(floor.red() + floor.green() + floor.blue(), 60) << "floor " << floor.name().toStdString();
}

TEST_F(FrameTest, PickLandsOnTheGridAtTheWorkingLevel)
{
    // The grid floor starts at the origin and runs along +X and +Z; the
    // camera looks along +Z, so +X is on the left of the view.
    // Through the real mouse: on a scaled screen it reports logical pixels
    // and the view is measured in device pixels.
    const QPoint at(w()->Scene->width() / 4, w()->Scene->height() - 20);
    QTest::mouseMove(w()->SceneWindow, at);
    QTest::qWait(20);
    const qreal ratio = w()->SceneWindow->devicePixelRatio();
    EXPECT_EQ(Editor().MouseX, std::lround(at.x() * ratio));
    EXPECT_EQ(Editor().MouseY, std::lround(at.y() * ratio));
    Frames();
    // Depth precision at this distance is a few hundredths.
    EXPECT_NEAR(Editor().CursorWorld[1], w()->CamVerhBar->value(), 0.25);
    // Status panel 3 and the navigator follow the cursor.
    std::string grid;
    GridStatusText(grid, Editor().CursorWorld);
    EXPECT_EQ(w()->StatusText(3), grid);
    EXPECT_EQ(NavigatorWindow()->E3dz->text(), QString::number(std::lround(Editor().CursorWorld[1])));

    // A field the user is typing into is never rewritten.
    // The server may be slow to hand over activation when the machine is
    // loaded; Qt is then told directly.
    NavigatorWindow()->activateWindow();
    if (!QTest::qWaitForWindowActive(NavigatorWindow(), 2000))
        QApplication::setActiveWindow(NavigatorWindow());
    ASSERT_TRUE(NavigatorWindow()->isActiveWindow());
    NavigatorWindow()->E3dx->setFocus();
    NavigatorWindow()->E3dx->setText("12");
    MouseAt(at.x() + 40, at.y());
    Frames();
    EXPECT_EQ(NavigatorWindow()->E3dx->text(), "12");
}

// Where nothing is drawn the cursor lies on the grid's plane in front of the
// camera, within reach; a ray that misses it leaves nothing to click on.
TEST_F(FrameTest, WithNothingDrawnThePickFallsOnTheGridPlaneOrNowhere)
{
    SetOption("Отображать сетку", false);
    SetOption("Определять глубину Z по всем объектам", false);
    MouseAt(w()->Scene->width() * 3 / 4, w()->Scene->height() - 20);
    Frames();
    const TVec3 eye = Editor().Camera->Eye;
    const double dx = Editor().CursorWorld[0] - eye.X, dy = Editor().CursorWorld[1] - eye.Y,
                 dz = Editor().CursorWorld[2] - eye.Z;
    EXPECT_FALSE(Editor().CursorOnNothing);
    EXPECT_NEAR(Editor().CursorWorld[1], w()->CamVerhBar->value(), 1e-6);
    EXPECT_LT(std::sqrt(dx * dx + dy * dy + dz * dz), 200.0);

    // Above the horizon: no cursor, and a click places nothing.
    MouseAt(w()->Scene->width() / 2, 5);
    Frames();
    EXPECT_TRUE(Editor().CursorOnNothing);
    w()->ObjectList->setCurrentItem(NodeAtAbsoluteIndex(w()->ObjectList, FindNodeByText(PlayerNodeText(), w()->ObjectList)));
    const float before[3] = {Editor().PlayerPos[0], Editor().PlayerPos[1], Editor().PlayerPos[2]};
    SceneClick(*w());
    EXPECT_EQ(Editor().PlayerPos[2], before[2]);
    EXPECT_EQ(w()->StatusMessage->text(), Ui("Под курсором ничего нет"));
    w()->ShowStatusMessage(std::string());
    SceneClick(*w());
    EXPECT_EQ(w()->StatusMessage->text(), Ui("Под курсором ничего нет")) << "the document's notice, told again";
}

TEST_F(FrameTest, FlightModeFreezesTheCursorAndItsTexts)
{
    MouseAt(w()->Scene->width() * 3 / 4, w()->Scene->height() - 20);
    Frames();
    const double before[3] = {Editor().CursorWorld[0], Editor().CursorWorld[1], Editor().CursorWorld[2]};
    const std::string status = w()->StatusText(2);
    w()->RadioButton5Click();
    MouseAt(10, 10);
    Frames();
    EXPECT_EQ(Editor().CursorWorld[0], before[0]);
    EXPECT_EQ(Editor().CursorWorld[2], before[2]);
    EXPECT_EQ(w()->StatusText(2), status);
}

// The editor rests: no frame while nothing happens; one soon after the mouse
// moves over the view or an option changes; a stream while a movement key
// is held, ending when it is let go.
TEST_F(FrameTest, FramesAreDrawnOnlyWhenSomethingCanChangeThePicture)
{
    const FrameTimer& timer = *w()->RenderTimer;
    ASSERT_TRUE(timer.isActive());
    const auto drawnAfter = [&](uint64_t frames, uint64_t more) {
        return QTest::qWaitFor([&] { return timer.FramesDrawn() >= frames + more; }, 10000);
    };
    // Resting: within ten seconds (a loaded machine draws slowly), a third
    // of a second that the window system left alone and that drew nothing.
    // A stretch disturbed by the window system proves nothing either way; an
    // editor that never rests fails every undisturbed one.
    WindowSystemEvents windowSystem;
    const auto rests = [&] {
        for (int i = 0; i < 30; ++i) {
            const int events = windowSystem.count;
            const uint64_t last = timer.FramesDrawn();
            QTest::qWait(330);
            if (windowSystem.count == events && timer.FramesDrawn() == last)
                return true;
        }
        return false;
    };
    ASSERT_TRUE(rests()) << "nothing to do, nothing drawn";
    const uint64_t idle = timer.FramesDrawn();
    // Two points: a move to where the mouse already is is no move.
    const QPoint over(w()->Scene->width() / 3, w()->Scene->height() / 2);
    QTest::mouseMove(w()->SceneWindow, over);
    QTest::mouseMove(w()->SceneWindow, over + QPoint(10, 0));
    EXPECT_TRUE(drawnAfter(idle, 1)) << "the mouse moved over the view";
    uint64_t before = timer.FramesDrawn();
    const char* axes = "Отображать оси координат";
    SetOption(axes, !w()->DisplayOptionChecked(axes));
    EXPECT_TRUE(drawnAfter(before, 1)) << "a display option";

    QTest::keyPress(w()->ObjectList, Qt::Key_W);
    ASSERT_TRUE(Editor().MoveKeys.Forward);
    EXPECT_TRUE(drawnAfter(timer.FramesDrawn(), 5)) << "a held key keeps the frames coming";
    QTest::keyRelease(w()->ObjectList, Qt::Key_W);
    EXPECT_TRUE(rests()) << "let go, the editor rests again";
}

TEST_F(FrameTest, HeldKeysWalkTheCamera)
{
    Frames(1);
    const float startZ = Editor().Camera->PosZ;
    const float startX = Editor().Camera->PosX;
    Editor().MoveKeys.Forward = true;
    Frames(10);
    Editor().MoveKeys.Forward = false;
    const float walked = std::hypot(Editor().Camera->PosX - startX, Editor().Camera->PosZ - startZ);
    EXPECT_NEAR(walked, 6.0f, 0.01f) << "0.6 per frame";
}

TEST_F(FrameTest, PlayerMarkerIsDrawnAndPickedWhereTheCameraLooks)
{
    // Eye 2 units above the ground, 20 units in front of the marker, looking at it.
    w()->CamZoom->setValue(1);
    w()->CamVerhBar->setValue(1);
    Editor().Camera->PosZ = -20;
    MouseAt(w()->Scene->width() / 2, w()->Scene->height() / 2 + 25);
    Frames();
    // Depth from all objects: the cursor lands on the front of the sphere.
    EXPECT_NEAR(Editor().CursorWorld[2], -1.9, 0.3);
    EXPECT_NEAR(Editor().CursorWorld[0], 0.0, 0.3);
    const QImage withMarker = Picture();

    Editor().PlayerPos[0] = 500;  // out of sight
    Frames();
    EXPECT_GT(Editor().CursorWorld[2], 0.0) << "the pick passes where the marker stood";
    const QImage without = Picture();
    const QPoint below(withMarker.width() / 2, withMarker.height() / 2 + 25);
    EXPECT_NE(withMarker.pixel(below), without.pixel(below));
}

TEST_F(FrameTest, MouseLookTurnsOneRadianPer400Pixels)
{
    TCamera* camera = Editor().Camera;
    // On the screen whatever the scale (the scaled window may reach past it).
    const QPoint anchor = w()->screen()->geometry().center() - QPoint(100, 0);
    camera->LookAnchorX = anchor.x();
    camera->LookAnchorY = anchor.y();
    // The window system moves the cursor in its own time: a loaded machine
    // may take longer than any fixed wait.
    const auto cursorAt = [](QPoint p) {
        QCursor::setPos(p);
        EXPECT_TRUE(QTest::qWaitFor([p] { return QCursor::pos() == p; }, 2000)) << "the cursor did not move";
    };
    cursorAt(anchor);
    camera->MouseLookActive = 255;
    Frames(2);
    const float before = camera->Heading;
    // The render timer draws while the look is on: off while the cursor
    // moves, so that only the frame below reads the move.
    camera->MouseLookActive = 0;
    cursorAt(anchor + QPoint(200, 0));
    camera->MouseLookActive = 255;
    Frames(1);
    camera->MouseLookActive = 0;
    Frames(1);
    float turned = std::fabs(camera->Heading - before);
    if (turned > 180)
        turned = 360 - turned;
    EXPECT_NEAR(turned, 0.5 * 180 / M_PI, 1.0);
    EXPECT_TRUE(QTest::qWaitFor([anchor] { return QCursor::pos() == anchor; }, 2000))
        << "the cursor is held at the anchor";
}

TEST_F(FrameTest, NamesAxesAndGridOptionsChangeThePicture)
{
    w()->CamZoom->setValue(10);
    w()->CamVerhBar->setValue(1);
    Editor().Camera->PosZ = -25;
    Editor().PlayerPos[0] = 3;  // the marker aside, its label in view
    auto pictureWith = [&](const char* option, bool on) {
        SetOption(option, on);
        Frames(2);
        return Picture();
    };
    for (const char* option : {"Отображать названия объектов", "Отображать оси координат", "Отображать сетку"}) {
        const QImage on = pictureWith(option, true);
        const QImage off = pictureWith(option, false);
        EXPECT_NE(on, off) << option;
        EXPECT_EQ(pictureWith(option, true), on) << option << ": the same frame twice";
        SetOption(option, true);
    }
}

TEST_F(FrameTest, PendingBoxFollowsTheSnappedCursorAndTheSelectedTexture)
{
    EditorState& state = Editor();
    state.ModelEditMode = true;
    state.PrimIndex = state.PendingPrimitive->Lists[0]->AddBox(0, 0, 0, 0, 1, 1, 1, 1, 0, 0, 0);
    state.Placing = true;
    qx::ChooseTexture(state, 3);
    MouseAt(w()->Scene->width() / 4, w()->Scene->height() - 20);
    Frames();
    const TBox& box = state.PendingPrimitive->Lists[0]->Boxes[static_cast<size_t>(state.PrimIndex)];
    EXPECT_FLOAT_EQ(box.Position.X, SnapX(static_cast<float>(state.CursorWorld[0])));
    EXPECT_FLOAT_EQ(box.Position.Y, SnapY(static_cast<float>(state.CursorWorld[1])));
    EXPECT_FLOAT_EQ(box.Position.Z, SnapZ(static_cast<float>(state.CursorWorld[2])));
    EXPECT_EQ(box.Texture, 3);

    // Locked: the cursor stays and the box sits exactly on it.
    state.ClickState = 1;
    state.CursorWorld[0] = 2.25;
    state.CursorWorld[1] = 1.0;
    state.CursorWorld[2] = 7.75;
    Editor().MouseX = 10;
    Frames();
    EXPECT_EQ(state.CursorWorld[0], 2.25);
    EXPECT_FLOAT_EQ(box.Position.X, 2.25f);
    EXPECT_FLOAT_EQ(box.Position.Z, 7.75f);
}

}  // namespace
