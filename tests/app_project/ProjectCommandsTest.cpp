// The project commands reached as the user reaches them: the menu items
// "Сохранить проект" and "Загрузить проект", the start button, and texture
// removal in the texture window.
#include <QAction>
#include <QFileDialog>
#include <QImage>
#include <QProcessEnvironment>
#include <QLabel>
#include <QLineEdit>
#include <QTextBrowser>
#include <QListWidgetItem>
#include <QProgressDialog>
#include <QSlider>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <array>
#include <filesystem>
#include <fstream>

#include <QProcess>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include "EditorState.h"
#include "Camera.h"
#include "EditorWindows.h"
#include "OpenedProject.h"
#include "FrameTimer.h"
#include "FrameLoop.h"
#include "GLEngine.h"
#include "LoadSession.h"
#include "ProjectManager.h"
#include "EditControls.h"
#include "PartTree.h"
#include "Placing.h"
#include "SceneMouse.h"
#include "QtText.h"
#include "VantorApplication.h"
#include "Project.h"
#include "ProjectLock.h"
#include "Messages.h"
#include "ProgramFolder.h"
#include "ProjectCommands.h"
#include "QX3DObject.h"
#include "SceneSurface.h"
#include "TestInstallation.h"
#include "TestSupport.h"
#include "Text1251.h"
#include "Textures.h"
#include "TextureWindow.h"
#include "TreeWidgetAccess.h"
#include "Vantor.h"
#include "Wiring.h"

namespace fs = std::filesystem;

namespace {

// Another editor: a child of the test program, which the editors of the
// tests run in, alive until the scope ends.
struct OtherEditor {
    pid_t pid = ::fork();
    OtherEditor()
    {
        if (pid == 0)
            for (;;)
                ::pause();
    }
    ~OtherEditor()
    {
        if (pid > 0) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
    }
};

class ProjectCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetTextures();
        apptest::WriteStartupFiles(dir_.path());
        // The helper pictures where a project load looks for them.
        for (const auto& entry : fs::directory_iterator(dir_ / "textures"))
            fs::copy_file(entry.path(), dir_ / "Sys" / "Saves" / "textures" / entry.path().filename(),
                          fs::copy_options::overwrite_existing);
        cwd_ = std::make_unique<qxtest::ScopedCurrentDir>(dir_.path());
        StartEditor();
    }
    // A fresh editor, as after a restart.
    void StartEditor()
    {
        windows_.reset();
        windows_ = std::make_unique<EditorWindows>();
        w()->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w()));
        ASSERT_TRUE(w()->StartupComplete());
        EditorProject()->SetProgramFolder(dir_.path().string() + "/");
    }
    void TearDown() override
    {
        GameStarter() = savedStarter_;
        FolderChooser() = savedChooser_;
        windows_.reset();
        cwd_.reset();
    }
    TFVantor* w() const { return windows_->vantor.get(); }
    void Menu(const char* name) { w()->findChild<QAction*>(name)->trigger(); }
    std::string Saved(const char* name) const { return qxtest::ReadFileBytes(dir_ / "Sys" / "Saves" / name); }

    qxtest::TempDir dir_;
    std::function<void(const QString&, const QStringList&)> savedStarter_ = GameStarter();
    std::function<QString(const QString&, FolderUse)> savedChooser_ = FolderChooser();
    // The folder the next dialog answers with.
    void Choose(const fs::path& folder)
    {
        FolderChooser() = [folder](const QString&, FolderUse) { return QString::fromStdString(folder.string()); };
    }
    std::string LastMessage() const { return messages_.entries.empty() ? std::string() : messages_.entries.back().text; }
    std::unique_ptr<qxtest::ScopedCurrentDir> cwd_;
    std::unique_ptr<EditorWindows> windows_;
    qx::RecordingMessageSink messages_;
    qx::ScopedMessageSink sink_{messages_};
};

TEST_F(ProjectCommandsTest, SaveStartAndLoadThroughTheWindow)
{
    EditorState& state = Editor();
    const int32_t k = state.AddObject("_Box");
    state.MapObjects[static_cast<size_t>(k)]->Lists[0]->AddBox(2, 0, 0, 0, 8, 8, 8, 1, 0, 0, 0);
    state.AddPlacement("_Box", TPlacement{4, 0, 4, 0, 0, 0, 1, 1, 1});
    state.ObjectTree.AppendChild(-1, "_Box");
    Menu("Save1");
    ASSERT_TRUE(messages_.entries.empty()) << messages_.entries[0].text;
    EXPECT_EQ(Saved("ObjList.qxlst"), "1\r\n_Box\r\n");
    const std::string tree = Saved("AllObjectList.qxlst");

    // The start button saves the map but not the trees, then starts the game.
    QString started;
    QStringList arguments;
    GameStarter() = [&](const QString& program, const QStringList& args) {
        started = program;
        arguments = args;
    };
    state.AddPlacement("_Box", TPlacement{-4, 0, 4, 0, 0, 0, 1, 1, 1});
    state.ObjectTree.Clear();
    QTest::mouseClick(w()->BitBtn1, Qt::LeftButton);
    EXPECT_EQ(started.toStdString(), dir_.path().string() + "/GAME_EXE");
    EXPECT_EQ(arguments, QStringList{QString::fromStdString((dir_ / "Sys" / "Saves").string())});
    EXPECT_NE(Saved("Map1.qxmap").find("\r\n2\r\n"), std::string::npos);
    EXPECT_EQ(Saved("AllObjectList.qxlst"), tree);

    state.PlacementCount = 0;
    state.PlacementNames.assign(1, std::string());
    state.Touch();
    fs::remove(dir_ / "Sys" / "Saves" / "textures" / "CurCenter.bmp");
    Menu("Load1");
    // One message for the missing picture, shown after the load.
    ASSERT_EQ(messages_.entries.size(), 1u);
    EXPECT_NE(messages_.entries[0].text.find("CurCenter.bmp - File not found"), std::string::npos);
    messages_.entries.clear();
    EXPECT_EQ(state.PlacementCount, 2);
    EXPECT_EQ(state.ObjectOfPlacement(1), 0);
    EXPECT_EQ(FormatTreeText(state.ObjectTree), tree);  // the tree of the last save
    EXPECT_TRUE(w()->RenderTimer->isActive());
    EXPECT_EQ(Textures().TextureCount, 8);

    // A broken map: the message names it, nothing changes.
    std::ofstream(dir_ / "Sys" / "Saves" / "Map1.qxmap", std::ios::binary) << "0 0 0 \r\nx\r\n";
    state.PlacementCount = 1;
    state.Touch();
    Menu("Load1");
    ASSERT_EQ(messages_.entries.size(), 1u);
    EXPECT_EQ(messages_.entries[0].text.rfind("Map1.qxmap:2: 'x' is not a valid integer value", 0), 0u)
        << messages_.entries[0].text;
    EXPECT_EQ(state.PlacementCount, 1);
    EXPECT_TRUE(w()->RenderTimer->isActive());
}

// A save that fails says that the project's files are as before, what the
// user can do, and why, naming the file.
TEST_F(ProjectCommandsTest, AFailedSaveTellsThatTheFilesAreAsBeforeAndWhatToDo)
{
    const fs::path map = dir_ / "Sys" / "Saves" / "Map1.qxmap";
    fs::remove(map);
    fs::create_directory(map);
    Menu("Save1");
    ASSERT_EQ(messages_.entries.size(), 1u);
    const std::string text = LastMessage();
    EXPECT_EQ(text.rfind(Cp("Проект не сохранён; его файлы на диске остались прежними."), 0), 0u) << text;
    EXPECT_NE(text.find(Cp("«Сохранить проект как…»")), std::string::npos) << text;
    EXPECT_TRUE(text.ends_with("Map1.qxmap: I/O error 21 (Is a directory)")) << text;
}

// The frame draws the map: a tall box placed straight ahead, its placement
// above the band over the working level, shows in flight mode and when
// objects above the camera are not hidden, and not in edit mode with them
// hidden (only the modes up to level + 15 run then).
TEST_F(ProjectCommandsTest, FrameDrawsTheMapWithTheModesOfItsOptions)
{
    w()->CamZoom->setValue(1);
    w()->CamVerhBar->setValue(1);
    Editor().Camera->PosZ = -20;
    Editor().PlayerPos[0] = 500;
    const auto centre = [&] {  // below the cross-hair
        DrawFrame(*w());
        MakeEngineCurrent();
        glFinish();
        const qreal ratio = w()->SceneWindow->devicePixelRatio();
        unsigned char rgba[4] = {};
        glReadBuffer(GL_BACK);
        glReadPixels(static_cast<int>(w()->Scene->width() * ratio / 2),
                     static_cast<int>(w()->Scene->height() * ratio / 2 - 40), 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        return std::array<unsigned char, 4>{rgba[0], rgba[1], rgba[2], rgba[3]};
    };
    const auto sky = centre();
    EditorState& state = Editor();
    const int32_t k = state.AddObject("_Tower");
    state.MapObjects[static_cast<size_t>(k)]->Lists[0]->AddBox(-1, -2, -20, -2, 4, 22, 4, 1, 0, 0, 0);
    state.MapObjects[static_cast<size_t>(k)]->BuildDisplayLists();
    state.AddPlacement("_Tower", TPlacement{0, 20, 0, 0, 0, 0, 1, 1, 1});
    const char* hideAbove = "Не отображать объекты выше камеры";
    w()->DisplayOption(hideAbove)->setCheckState(Qt::Unchecked);
    EXPECT_NE(centre(), sky) << "edit mode, nothing hidden";
    w()->DisplayOption(hideAbove)->setCheckState(Qt::Checked);
    EXPECT_EQ(centre(), sky) << "edit mode, hidden above level + 15";
    state.Placements[0].PosY = 10;  // inside the band
    EXPECT_NE(centre(), sky) << "edit mode, inside the band";
    state.Placements[0].PosY = 20;
    Editor().Camera->EditMode = 0;
    EXPECT_NE(centre(), sky) << "flight mode draws everything near";
}

// Counts the mouse presses and key presses that reach what it watches.
class InputCounter : public QObject {
public:
    int seen = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::KeyPress)
            ++seen;
        return false;
    }
};

// While a load runs: no frames, no input but the dialog's, the dialog once
// the load took its time, and Cancel reported to the load.
TEST_F(ProjectCommandsTest, LoadSessionHoldsTheWindowStillAndOffersCancel)
{
    ASSERT_TRUE(w()->RenderTimer->isActive());
    {
        LoadSession session(*w(), w()->RenderTimer, 0);
        EXPECT_FALSE(w()->RenderTimer->isActive());
        EXPECT_FALSE(Editor().KeysEnabled);
        EXPECT_TRUE(session.Report(1, 10));
        QTest::qWait(20);
        EXPECT_TRUE(session.Report(2, 10));
        ASSERT_TRUE(session.Dialog().isVisible());
        EXPECT_TRUE(session.Dialog().isModal());
        EXPECT_EQ(session.Dialog().maximum(), 10);
        InputCounter counter;
        w()->ObjectList->viewport()->installEventFilter(&counter);
        w()->ObjectList->installEventFilter(&counter);
        QTest::mouseClick(w()->ObjectList->viewport(), Qt::LeftButton);
        QTest::keyClick(w()->ObjectList, Qt::Key_Down);
        EXPECT_EQ(counter.seen, 0) << "no input reaches the editor";
        QTest::mouseClick(session.Dialog().findChild<QPushButton*>(), Qt::LeftButton);
        EXPECT_FALSE(session.Report(3, 10));
    }
    EXPECT_TRUE(w()->RenderTimer->isActive());
    EXPECT_TRUE(Editor().KeysEnabled);
}

TEST_F(ProjectCommandsTest, TextureWindowKeepsHelperTexturesAndRenumbersBoxes)
{
    EditorState& state = Editor();
    const int32_t nine = AddTexture(TextureWindow()->ProgramFolder + "Sys\\Saves\\textures\\NoTexture.bmp", false);
    ASSERT_EQ(nine, 8);
    const int added = state.TextureTree.AppendChild(-1, "NoTexture.bmp");
    const int32_t k = state.AddObject("_Box");
    state.MapObjects[static_cast<size_t>(k)]->Lists[0]->AddBox(nine, 0, 0, 0, 8, 8, 8, 1, 0, 0, 0);
    int cross = -1;
    for (int i = 0; i < state.TextureTree.NodeCount(); ++i)
        if (state.TextureTree.Text(i) == "CurCenter.bmp")
            cross = i;
    state.TextureTree.SetCurrent(cross);
    TextureWindow()->N1Click();
    EXPECT_EQ(Textures().TextureCount, 9);
    ASSERT_EQ(messages_.entries.size(), 1u);
    state.TextureTree.SetCurrent(added);
    TextureWindow()->N1Click();
    EXPECT_EQ(Textures().TextureCount, 8);
    EXPECT_EQ(state.MapObjects[0]->Lists[0]->Boxes[0].Texture, -1);
    EXPECT_FALSE(state.MapObjects[0]->DrawingStale()) << "the map draws the renumbered box";
}

}  // namespace

// Projects are folders: save as takes the whole project (its library's
// pictures too) into a folder without one and opens it there; open and the
// recent list (the project manager) switch between them; the start button
// plays the open one.  Folders that cannot be used change nothing.
TEST_F(ProjectCommandsTest, ProjectFoldersAreSavedAsOpenedAndListed)
{
    EditorState& state = Editor();
    state.AddObject("_A");
    Menu("Save1");
    const fs::path a = dir_ / "Sys" / "Saves";
    qxtest::WriteFileBytes(a / "textures" / "mine.bmp", "mine");
    qxtest::TempDir other;
    const fs::path b = other / "B";
    fs::create_directories(b);
    state.AddPlacement("_A", TPlacement{});
    Choose(b);
    Menu("SaveAs1");
    ASSERT_TRUE(messages_.entries.empty()) << LastMessage();
    EXPECT_EQ(qxtest::ReadFileBytes(b / "ObjList.qxlst"), "1\r\n_A\r\n");
    EXPECT_EQ(qxtest::ReadFileBytes(b / "textures" / "mine.bmp"), "mine");
    EXPECT_EQ(OpenProjectFolder(), b.string() + "/");
    EXPECT_TRUE(w()->windowTitle().endsWith(QString::fromStdString(b.string())));
    EXPECT_EQ(RecentProjects(), (std::vector<std::string>{b.string(), a.string()}));
    QStringList arguments;
    GameStarter() = [&](const QString&, const QStringList& args) { arguments = args; };
    QTest::mouseClick(w()->BitBtn1, Qt::LeftButton);
    EXPECT_EQ(arguments, QStringList{QString::fromStdString(b.string())});

    // A folder that already holds a project takes no other; one without a
    // project opens nothing.
    Menu("SaveAs1");
    EXPECT_NE(LastMessage().find(Cp("уже есть проект")), std::string::npos);
    Choose(other.path());
    Menu("OpenProject1");
    EXPECT_EQ(LastMessage(), Cp("В папке нет проекта: ") + other.path().string());
    EXPECT_EQ(OpenProjectFolder(), b.string() + "/");
    EXPECT_EQ(state.PlacementCount, 1);

    // The installation's folder stands for its Sys/Saves.
    Choose(dir_.path());
    Menu("OpenProject1");
    EXPECT_EQ(OpenProjectFolder(), a.string() + "/");
    EXPECT_EQ(state.PlacementCount, 0);
    ProjectManagerWindow()->Refresh();
    ASSERT_EQ(ProjectManagerWindow()->TreeView1->topLevelItemCount(), 2);
    ProjectManagerWindow()->TreeView1->setCurrentItem(ProjectManagerWindow()->TreeView1->topLevelItem(1));
    ProjectManagerWindow()->findChild<QPushButton*>("Button3")->click();
    EXPECT_EQ(OpenProjectFolder(), b.string() + "/");
    EXPECT_EQ(state.PlacementCount, 1);

    // A listed folder that vanished leaves the list, with a message.
    messages_.entries.clear();
    fs::remove_all(b);
    ProjectManagerWindow()->TreeView1->setCurrentItem(ProjectManagerWindow()->TreeView1->topLevelItem(0));
    ProjectManagerWindow()->findChild<QPushButton*>("Button3")->click();
    ASSERT_EQ(messages_.entries.size(), 1u);
    EXPECT_NE(LastMessage().find(Cp("не найдена; она убрана из списка")), std::string::npos);
    EXPECT_EQ(RecentProjects(), std::vector<std::string>{a.string()});
    // "Удалить игру" takes an entry off the list, never its files.
    ProjectManagerWindow()->TreeView1->setCurrentItem(ProjectManagerWindow()->TreeView1->topLevelItem(0));
    ProjectManagerWindow()->findChild<QPushButton*>("Button2")->click();
    EXPECT_TRUE(RecentProjects().empty());
    EXPECT_TRUE(fs::exists(a / "ObjList.qxlst"));
}

// A new game is what a fresh start shows, in a folder without a project;
// another running editor's lock is asked about (once, for the folder named
// on the command line), a dead one's or another program's taken over, and
// the lock goes when the editor ends.
TEST_F(ProjectCommandsTest, NewProjectsAndTheLockOfAnotherEditor)
{
    qxtest::TempDir other;
    Editor().AddObject("_A");
    const std::string tree = FormatTreeText(Editor().ObjectTree);
    Choose(other.path());
    ProjectManagerWindow()->findChild<QPushButton*>("Button1")->click();
    ASSERT_TRUE(messages_.entries.empty()) << LastMessage();
    EXPECT_EQ(OpenProjectFolder(), other.path().string() + "/");
    EXPECT_EQ(Editor().MapObjectCount, 0);
    EXPECT_EQ(Textures().TextureCount, 8);
    EXPECT_EQ(FormatTreeText(Editor().ObjectTree), tree);
    EXPECT_TRUE(fs::exists(other / "textures" / "NoTexture.bmp"));
    EXPECT_EQ(qx::LockOwner(other.path().string() + "/"), 0) << "its own lock";
    EXPECT_TRUE(fs::exists(other / qx::kProjectLockFile));
    ProjectManagerWindow()->findChild<QPushButton*>("Button1")->click();
    EXPECT_NE(LastMessage().find(Cp("уже есть проект")), std::string::npos);

    // Another editor holds the installation's project.
    const fs::path a = dir_ / "Sys" / "Saves";
    MemoryTree none;
    qx::SaveProject(a.string() + "/", Textures(), ProjectContent(), qx::ProjectTrees{&none, &none});
    OtherEditor editor;
    ASSERT_GT(editor.pid, 0);
    qxtest::WriteFileBytes(a / qx::kProjectLockFile, std::to_string(editor.pid) + "\n");
    messages_.entries.clear();
    messages_.answer = false;
    Choose(dir_.path());
    Menu("OpenProject1");
    ASSERT_EQ(messages_.entries.size(), 1u);
    EXPECT_TRUE(messages_.entries[0].question);
    EXPECT_NE(LastMessage().find(Cp("уже открыт в другом редакторе")), std::string::npos);
    EXPECT_EQ(OpenProjectFolder(), other.path().string() + "/");
    // Named on the command line and declined, it is not asked about again
    // as the default project (the same folder).
    messages_.entries.clear();
    qx::ExecutableFolderOverride() = dir_.path().string() + "/";
    StartupProjectArgument() = dir_.path().string();
    StartEditor();
    StartupProjectArgument().clear();
    qx::ExecutableFolderOverride().clear();
    ASSERT_EQ(messages_.entries.size(), 1u) << LastMessage();
    EXPECT_TRUE(messages_.entries[0].question);
    // Its process id now another program's: no editor holds the project.
    QProcess sleeping;
    sleeping.start("sleep", {"60"});
    ASSERT_TRUE(sleeping.waitForStarted());
    qxtest::WriteFileBytes(a / qx::kProjectLockFile, std::to_string(sleeping.processId()) + "\n");
    messages_.entries.clear();
    Menu("OpenProject1");
    EXPECT_TRUE(messages_.entries.empty()) << LastMessage();
    EXPECT_EQ(OpenProjectFolder(), a.string() + "/");
    sleeping.kill();
    sleeping.waitForFinished();
    // A lock whose process is gone is taken over without a word.
    QProcess gone;
    gone.start("true");
    ASSERT_TRUE(gone.waitForStarted());
    const qint64 pid = gone.processId();
    ASSERT_TRUE(gone.waitForFinished());
    qxtest::WriteFileBytes(a / qx::kProjectLockFile, std::to_string(pid) + "\n");
    messages_.entries.clear();
    Menu("OpenProject1");
    EXPECT_TRUE(messages_.entries.empty()) << LastMessage();
    EXPECT_EQ(OpenProjectFolder(), a.string() + "/");
    EXPECT_FALSE(fs::exists(other / qx::kProjectLockFile)) << "the project left is unlocked";
    windows_.reset();
    EXPECT_FALSE(fs::exists(a / qx::kProjectLockFile));
}

namespace {

// Opening another project, or saving this one as another, leaves nothing of
// the first chosen: no object on the cursor, no node current, no selection.
TEST_F(ProjectCommandsTest, NothingChosenOutlivesTheProjectItWasChosenIn)
{
    EditorState& state = Editor();
    const int32_t k = state.AddObject(Cp("_Дом"));
    state.MapObjects[static_cast<size_t>(k)]->Lists[0]->AddBox(2, 0, 0, 0, 8, 8, 8, 1, 0, 0, 0);
    state.AddPlacement(Cp("_Дом"), TPlacement{4, 0, 4, 0, 0, 0, 1, 1, 1});
    const int node = state.ObjectTree.AppendChild(-1, Cp("_Дом"));
    Menu("Save1");
    const auto choose = [&] {
        state.Selection = state.PlacementIdsAt({0});
        state.ObjectTree.SetCurrent(node);
        ObjectListClick();
        ASSERT_EQ(state.CursorPreview->Lists[0]->BoxCount, 1);
        state.Selection = state.PlacementIdsAt({0});
    };
    const auto nothingChosen = [&](const char* after) {
        EXPECT_EQ(state.ObjectTree.Current(), -1) << after;
        EXPECT_EQ(state.CursorPreview->ListCount, 0) << after;
        EXPECT_TRUE(state.Selection.empty()) << after;
    };
    qxtest::TempDir other;
    choose();
    Choose(other / "B");
    Menu("SaveAs1");
    ASSERT_TRUE(messages_.entries.empty()) << LastMessage();
    EXPECT_TRUE(fs::exists(other / "B" / "ObjList.qxlst")) << "a folder named in the dialog is made";
    nothingChosen("save as");

    choose();
    Choose(dir_.path());
    Menu("OpenProject1");
    EXPECT_EQ(OpenProjectFolder(), (dir_ / "Sys" / "Saves").string() + "/");
    nothingChosen("open");
}

// Qt's own texts are Russian, and the folder dialog of a new game takes a
// folder typed that does not exist yet.
TEST_F(ProjectCommandsTest, StandardDialogsSpeakRussianAndMakeTheNewFolder)
{
    ASSERT_TRUE(LoadRussianQtTexts(*QCoreApplication::instance())) << "qt6-translations-l10n is installed";
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), Ui("&Да"));
    FolderChooser() = savedChooser_;
    qxtest::TempDir parent;
    QString lookIn;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        if (auto* label = dialog->findChild<QLabel*>("lookInLabel"))
            lookIn = label->text();
        dialog->setDirectory(QString::fromStdString(parent.path().string()));
        dialog->findChild<QLineEdit*>("fileNameEdit")->setText(Ui("Новая игра"));
        QMetaObject::invokeMethod(dialog, "accept");
    });
    ProjectManagerWindow()->findChild<QPushButton*>("Button1")->click();
    EXPECT_EQ(lookIn, Ui("Перейти к:")) << lookIn.toStdString();
    ASSERT_TRUE(messages_.entries.empty()) << LastMessage();
    EXPECT_TRUE(fs::exists(parent / "Новая игра" / "ObjList.qxlst"));
    EXPECT_EQ(OpenProjectFolder(), (parent / "Новая игра").string() + "/");
}

// "Это мой первый запуск…" shows the installed guide, read-only, or says it
// is missing.
TEST_F(ProjectCommandsTest, TheFirstStartButtonShowsTheUserGuide)
{
    QPushButton* button = ProjectManagerWindow()->findChild<QPushButton*>("Button4");
    button->click();
    ASSERT_EQ(messages_.entries.size(), 1u);
    EXPECT_NE(LastMessage().find(Cp("Руководство не найдено")), std::string::npos);
    qxtest::WriteFileBytes(dir_ / "README.md", "# QX FPS Vantor\n\nКак строить уровень.\n");
    button->click();
    auto* guide = qobject_cast<QTextBrowser*>(QApplication::topLevelWidgets().value(-1));
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->objectName() == "UserGuide")
            guide = qobject_cast<QTextBrowser*>(top);
    ASSERT_NE(guide, nullptr);
    EXPECT_TRUE(guide->isVisible());
    EXPECT_TRUE(guide->isReadOnly());
    EXPECT_TRUE(guide->toPlainText().contains(Ui("Как строить уровень.")));
    guide->close();
}

}  // namespace

// "Играть отсюда" through the real windows: the menu item saves and starts the real
// game from the camera, whose first frames show what the camera looks at
// (a white wall behind the map's player start, which looks the other way).
TEST_F(ProjectCommandsTest, PlayHereStartsTheGameFromTheCamera)
{
    EditorState& state = Editor();
    const int32_t k = state.AddObject("_Wall");
    state.MapObjects[static_cast<size_t>(k)]->Lists[0]->AddBox(-1, 0, 0, 0, 20, 10, 2, 1, 0, 0, 0);
    state.AddPlacement("_Wall", TPlacement{-10, 0, -32, 0, 0, 0, 1, 1, 1});
    TCamera& camera = *state.Camera;
    camera.PosX = 0, camera.PosZ = -10, camera.BaseHeight = 0, camera.HeightOffset = 4;
    camera.Eye = {0, 4, -10};
    camera.Target = {0, 4, -11};
    const QString shot = QString::fromStdString((dir_ / "frame.png").string());
    QStringList arguments;
    int exitCode = -1;
    GameStarter() = [&](const QString&, const QStringList& args) {
        arguments = args;
        QProcess game;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QX_GAME_FRAMES", "3");
        env.insert("QX_GAME_SCREENSHOT", shot);
        game.setProcessEnvironment(env);
        game.start(QString(QX_DIST_DIR) + "/GAME_EXE", args);
        game.waitForFinished(60000);
        exitCode = game.exitCode();
    };
    QAction* item = w()->findChild<QAction*>("PlayHere1");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->shortcut(), QKeySequence(Qt::Key_F5)) << "the key shown in the menu";
    item->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return exitCode != -1; }, 60000));
    EXPECT_EQ(exitCode, 0);
    ASSERT_EQ(arguments.size(), 7) << arguments.join(' ').toStdString();
    EXPECT_EQ(arguments[1], "--start");
    EXPECT_EQ(arguments.mid(2, 3), (QStringList{"0", "-10", "4"}));
    EXPECT_NE(Saved("Map1.qxmap").find("\r\n1\r\n_Wall"), std::string::npos);
    EXPECT_EQ(Saved("Map1.qxmap").rfind("0 0 0 ", 0), 0u) << "the map's player start stays";
    const QImage frame = QImage(shot).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(frame.isNull());
    const QRgb middle = frame.pixel(frame.width() / 2 + 40, frame.height() / 2 + 30);
    EXPECT_GT(qRed(middle), 235);
    EXPECT_GT(qGreen(middle), 235);
    EXPECT_GT(qBlue(middle), 235);

    // The key the menu shows plays too, with the main window active.
    arguments.clear();
    GameStarter() = [&](const QString&, const QStringList& args) { arguments = args; };
    QTest::keyClick(w()->ObjectList, Qt::Key_F5);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !arguments.isEmpty(); }, 10000)) << "F5 started no game";
}
