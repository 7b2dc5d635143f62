#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QMenu>
#include <QSignalSpy>
#include <QGroupBox>
#include <QLineEdit>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "AskObjectName.h"
#include "Camera.h"
#include "EditorState.h"
#include "EditorWindows.h"
#include "OpenedProject.h"
#include "FrameTimer.h"
#include "Errors.h"
#include "GLEngine.h"
#include "HandlerGuard.h"
#include "TestInstallation.h"
#include "KeyHook.h"
#include "ProjectManager.h"
#include "MapNavigator.h"
#include "Messages.h"
#include "ObjectSettings.h"
#include "QtText.h"
#include "TestSupport.h"
#include "Textures.h"
#include "TextureWindow.h"
#include "TreeWidgetAccess.h"
#include "ProjectCommands.h"
#include "Vantor.h"
#include "Wiring.h"

namespace {

// Starts the editor's windows in a test installation folder, as the program
// entry does, and shows the main window.
class MainWindowTest : public ::testing::Test {
protected:
    void Start(bool withStartupFiles = true)
    {
        ResetTextures();
        if (withStartupFiles)
            apptest::WriteStartupFiles(dir_.path());
        cwd_ = std::make_unique<qxtest::ScopedCurrentDir>(dir_.path());
        sink_ = std::make_unique<qx::ScopedMessageSink>(messages_);
        windows_ = std::make_unique<EditorWindows>();
        main()->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(main()));
        main()->activateWindow();
        QTest::qWait(50);
    }

    void TearDown() override
    {
        windows_.reset();
        sink_.reset();
        cwd_.reset();
    }

    TFVantor* main() const { return windows_->vantor.get(); }

    qxtest::TempDir dir_;
    std::unique_ptr<qxtest::ScopedCurrentDir> cwd_;
    qx::RecordingMessageSink messages_;
    std::unique_ptr<qx::ScopedMessageSink> sink_;
    std::unique_ptr<EditorWindows> windows_;
};

TEST_F(MainWindowTest, WindowsAreCreatedWithTheirCaptions)
{
    Start();
    EXPECT_TRUE(main()->windowTitle().startsWith(Ui("QX FPS Vantor v2.0 - (")));
    // It names the open project's folder.
    EXPECT_TRUE(main()->windowTitle().endsWith(Ui(") Альфа версия для теста - ") +
                                               QString::fromStdString(OpenProjectFolder()).chopped(1)))
        << main()->windowTitle().toStdString();
    EXPECT_EQ(main()->BitBtn1->text(), Ui("Запустить\nигру"));
    EXPECT_EQ(main()->BitBtn1->size(), QSize(119, 50));

    ASSERT_NE(NavigatorWindow(), nullptr);
    EXPECT_TRUE(NavigatorWindow()->isVisible());
    EXPECT_EQ(NavigatorWindow()->windowTitle(), Ui("Навигатор"));
    EXPECT_TRUE(NavigatorWindow()->windowFlags() & Qt::WindowStaysOnTopHint);
    ASSERT_NE(ObjectSettingsWindow(), nullptr);
    EXPECT_FALSE(ObjectSettingsWindow()->isVisible());
    EXPECT_EQ(ObjectSettingsWindow()->windowTitle(), Ui("Настройка объекта"));
    ASSERT_NE(ProjectManagerWindow(), nullptr);
    EXPECT_FALSE(ProjectManagerWindow()->isVisible());
    EXPECT_EQ(ProjectManagerWindow()->windowTitle(), Ui("Менеджер проектов"));
    EXPECT_EQ(ProjectManagerWindow()->size(), QSize(564, 336));
    EXPECT_EQ(ProjectManagerWindow()->TreeView1->geometry(), QRect(8, 64, 548, 232));
    EXPECT_TRUE(messages_.entries.empty());
}

TEST_F(MainWindowTest, ControlsCarryTheirDesignNamesAndTexts)
{
    Start();
    TFVantor* w = main();
    EXPECT_EQ(w->findChild<QRadioButton*>("RadioButton4")->text(), Ui("Редактирование"));
    EXPECT_TRUE(w->RadioButton4->isChecked());
    EXPECT_EQ(w->findChild<QRadioButton*>("RadioButton5")->text(), Ui("Полет по карте"));
    EXPECT_EQ(w->findChild<QCheckBox*>("CheckBox1")->text(), Ui("Экспериментальное влючение света"));
    EXPECT_EQ(w->findChild<QWidget*>("Panel3")->height(), 108);
    EXPECT_EQ(w->findChild<QWidget*>("Panel1")->width(), 232);
    EXPECT_NE(w->findChild<QWidget*>("Scene"), nullptr);
    EXPECT_FALSE(w->findChild<QWidget*>("ModelList")->isVisible());
    EXPECT_FALSE(w->findChild<QWidget*>("ModelTimeLine")->isVisible());
    EXPECT_EQ(w->line->maximum(), 0);

    for (const char* name : {"CamVerhBar", "CamZoom"}) {
        auto* bar = w->findChild<QSlider*>(name);
        ASSERT_NE(bar, nullptr) << name;
        EXPECT_EQ(bar->orientation(), Qt::Vertical);
        EXPECT_EQ(bar->minimum(), 1);
        EXPECT_EQ(bar->maximum(), 200);
    }

    // The sorted check list, every option checked by the start-up.
    ASSERT_EQ(w->Ch1->count(), 5);
    EXPECT_TRUE(w->Ch1->isSortingEnabled());
    for (const char* option : {"Не отображать объекты выше камеры", "Определять глубину Z по всем объектам",
                               "Отображать названия объектов", "Отображать оси координат", "Отображать сетку"})
        EXPECT_TRUE(w->DisplayOptionChecked(option)) << option;

    // The menus, items without actions included.
    QStringList gameItems;
    for (QAction* a : w->menuBar()->actions().front()->menu()->actions())
        gameItems << (a->isSeparator() ? QString("-") : a->text());
    EXPECT_EQ(gameItems, (QStringList{Ui("Открыть проект…"), Ui("Загрузить проект"), "-", Ui("Сохранить проект"),
                                      Ui("Сохранить проект как…"), Ui("Играть отсюда"), "-", Ui("Менеджер проектов"),
                                      "-", Ui("Выход")}));
    QStringList popup;
    for (QAction* a : w->PopupMenu1->actions())
        popup << (a->isSeparator() ? QString("-") : a->text());
    EXPECT_EQ(popup, (QStringList{Ui("Параметры"), Ui("Модель"), "-", Ui("Добавить"), "-", Ui("Переименовать"),
                                  "-", Ui("Удалить")}));
    QStringList partsPopup;
    for (QAction* a : w->PopupMenu3->actions())
        partsPopup << a->text();
    EXPECT_EQ(partsPopup, (QStringList{Ui("Удалить"), Ui("Изменить")}));

    for (const char* caption : {"Мышка", "Пол", "Стена", "Коробка", "Сфера", "Торус", "+ Blender", "+ 3DS"}) {
        bool found = false;
        for (auto* b : w->ModelAdd->findChildren<QPushButton*>())
            found = found || b->text() == Ui(caption);
        EXPECT_TRUE(found) << caption;
    }
}

TEST_F(MainWindowTest, StartupReadsTheTreesAndSetsCameraHeightAndStatus)
{
    Start();
    ASSERT_TRUE(main()->StartupComplete());
    // The zoom change runs first (10 + 32), then the height clamps to 1: 1 + 32.
    ASSERT_NE(Editor().Camera, nullptr);
    EXPECT_FLOAT_EQ(Editor().Camera->HeightOffset, 33.0f);
    EXPECT_EQ(Editor().Camera->MouseLookActive, 0);
    EXPECT_EQ(Editor().Camera->EditMode, 255);
    EXPECT_EQ(main()->CamVerhBar->value(), 1);
    EXPECT_EQ(main()->StatusText(0), Cp("Высота камеры: 1"));
    EXPECT_EQ(main()->StatusText(1), Cp("Приближенность камеры: 32"));

    // The generated object tree holds a folder and the player entry, with icons.
    const qx::DocTree& objects = Editor().ObjectTree;
    ASSERT_GE(objects.NodeCount(), 2);
    EXPECT_EQ(objects.Text(0)[0], '+');
    int player = -1;
    for (int i = 0; i < objects.NodeCount(); ++i)
        if (objects.Text(i) == PlayerNodeText())
            player = i;
    ASSERT_GE(player, 0);
    EXPECT_EQ(objects.Icon(player), 3);
    EXPECT_EQ(objects.SelectedIcon(player), 3);
    EXPECT_EQ(Editor().MapTree.NodeCount(), 2);
    EXPECT_EQ(FormatTreeText(TreeWidgetAccess(main()->ObjectList)), FormatTreeText(objects)) << "the tree shows it";

    EXPECT_TRUE(main()->RenderTimer->isActive());
    EXPECT_TRUE(main()->FreeMemTimer->isActive());
    EXPECT_EQ(qxtest::ReadFileBytes(dir_ / "Sys/Config.ini"), "[Startup]\r\nonestart=0\r\n");
    EXPECT_FLOAT_EQ(Editor().GridStepX, 0.5f);
    EXPECT_EQ(NavigatorWindow()->Ex->text(), NavigatorWindow()->Ez->text());
    EXPECT_TRUE(messages_.entries.empty());
}

TEST_F(MainWindowTest, TrackBarsAndModeButtonsDriveTheCamera)
{
    Start();
    ASSERT_NE(Editor().Camera, nullptr);
    main()->CamVerhBar->setValue(250);  // clamps to 200
    EXPECT_FLOAT_EQ(Editor().Camera->HeightOffset, 232.0f);
    EXPECT_EQ(main()->StatusText(0), Cp("Высота камеры: 200"));
    main()->CamZoom->setValue(5);
    EXPECT_FLOAT_EQ(Editor().Camera->HeightOffset, 205.0f);
    EXPECT_EQ(main()->StatusText(1), Cp("Приближенность камеры: 5"));

    QTest::mouseClick(main()->RadioButton5, Qt::LeftButton);
    EXPECT_EQ(Editor().Camera->EditMode, 0);
    QTest::mouseClick(main()->RadioButton4, Qt::LeftButton);
    EXPECT_EQ(Editor().Camera->EditMode, 255);

    QTest::mouseClick(main()->CheckBox1, Qt::LeftButton);
    EXPECT_TRUE(LightingEnabled);
    QTest::mouseClick(main()->CheckBox1, Qt::LeftButton);
    EXPECT_FALSE(LightingEnabled);
}

TEST_F(MainWindowTest, KeyHookSetsMovementFlagsAndSwallowsKeysWhileActive)
{
    Start();
    ASSERT_TRUE(Editor().KeysEnabled);
    QTreeWidget* tree = main()->ObjectList;
    tree->setCurrentItem(tree->topLevelItem(0));
    tree->setFocus();

    QTest::keyPress(tree, Qt::Key_Down);
    EXPECT_TRUE(Editor().MoveKeys.Back);
    // The key never reached the tree: its selection did not move.
    EXPECT_EQ(tree->currentItem(), tree->topLevelItem(0));
    QTest::keyRelease(tree, Qt::Key_Down);
    EXPECT_FALSE(Editor().MoveKeys.Back);

    // Letters by position, in the Latin and the Russian layout, with or without Shift.
    QTest::keyPress(tree, Qt::Key_W);
    EXPECT_TRUE(Editor().MoveKeys.Forward);
    QTest::keyRelease(tree, Qt::Key_W);
    QKeyEvent cyrillicDown(QEvent::KeyPress, 0x0424, Qt::ShiftModifier, Ui("Ф"));  // where A is
    QApplication::sendEvent(tree, &cyrillicDown);
    EXPECT_TRUE(Editor().MoveKeys.Left);
    QKeyEvent cyrillicUp(QEvent::KeyRelease, 0x0424, Qt::ShiftModifier, Ui("Ф"));
    QApplication::sendEvent(tree, &cyrillicUp);
    EXPECT_FALSE(Editor().MoveKeys.Left);
    QTest::keyPress(tree, Qt::Key_Right);
    EXPECT_TRUE(Editor().MoveKeys.Right);
    QTest::keyRelease(tree, Qt::Key_Right);
    EXPECT_FALSE(Editor().MoveKeys.Forward || Editor().MoveKeys.Right);
}

TEST_F(MainWindowTest, CtrlStartsAndEndsMouseLookUnlessAnotherLookIsActive)
{
    Start();
    TCamera* camera = Editor().Camera;
    ASSERT_NE(camera, nullptr);
    QTest::keyPress(main()->ObjectList, Qt::Key_Control);
    EXPECT_TRUE(Editor().CtrlLook);
    EXPECT_EQ(camera->MouseLookActive, 255);
    EXPECT_EQ(QPoint(camera->LookAnchorX, camera->LookAnchorY), QCursor::pos());
    QTest::keyRelease(main()->ObjectList, Qt::Key_Control);
    EXPECT_FALSE(Editor().CtrlLook);
    EXPECT_EQ(camera->MouseLookActive, 0);

    // A look started by the middle button is not taken over by Ctrl.
    camera->MouseLookActive = 255;
    QTest::keyPress(main()->ObjectList, Qt::Key_Control);
    EXPECT_FALSE(Editor().CtrlLook);
    QTest::keyRelease(main()->ObjectList, Qt::Key_Control);
    EXPECT_EQ(camera->MouseLookActive, 255);
}

TEST_F(MainWindowTest, KeysReachOtherWindowsWhenTheMainWindowIsInactive)
{
    Start();
    main()->FormDeactivate();
    EXPECT_FALSE(Editor().KeysEnabled);
    EXPECT_FALSE(Editor().SwallowKeys);
    QTreeWidget* tree = main()->ObjectList;
    tree->expandAll();
    tree->setCurrentItem(tree->topLevelItem(0));
    QTest::keyClick(tree, Qt::Key_Down);
    EXPECT_FALSE(Editor().MoveKeys.Back);
    EXPECT_EQ(NodeText(tree->currentItem()), PlayerNodeText());
    main()->FormActivate();
    EXPECT_TRUE(Editor().KeysEnabled && Editor().SwallowKeys);
}

TEST_F(MainWindowTest, MissingStartupFilesEndTheSequenceWithTheFileError)
{
    Start(false);
    EXPECT_FALSE(main()->StartupComplete());
    ASSERT_EQ(messages_.entries.size(), 1u);
    EXPECT_EQ(messages_.entries[0].text, "File not found");
    EXPECT_FALSE(main()->RenderTimer->isActive());
    EXPECT_FALSE(main()->FreeMemTimer->isActive());
    EXPECT_FALSE(std::filesystem::exists(dir_ / "Sys/Config.ini"));
    // The editor keeps running and closes normally.
    QTest::qWait(20);
    EXPECT_TRUE(main()->isVisible());
    EXPECT_TRUE(main()->close());
}

TEST_F(MainWindowTest, AnUnreadableIconFileEndsTheSequenceToo)
{
    apptest::WriteStartupFiles(dir_.path());
    std::filesystem::remove(dir_ / "Sys/Api/MapListIcons.qxicon");
    Start(false);
    EXPECT_FALSE(main()->StartupComplete());
    ASSERT_EQ(messages_.entries.size(), 1u);
    EXPECT_EQ(messages_.entries[0].text, "File not found");
    EXPECT_FALSE(main()->RenderTimer->isActive());
}

}  // namespace

namespace {

TEST(HandlerGuard, AnEscapingErrorIsShownAndTheHandlerAbandoned)
{
    qx::RecordingMessageSink messages;
    qx::ScopedMessageSink sink(messages);
    bool after = false;
    Guarded([&] {
        throw qx::ConvertError("Could not convert variant of type (String) into type (Double)");
        after = true;
    });
    EXPECT_FALSE(after);
    ASSERT_EQ(messages.entries.size(), 1u);
    EXPECT_EQ(messages.entries[0].text, "Could not convert variant of type (String) into type (Double)");
    Guarded([] { throw 42; });
    ASSERT_EQ(messages.entries.size(), 2u);
    EXPECT_EQ(messages.entries[1].text, "Unknown error");
}

}  // namespace

namespace {

// A name that cannot work is refused with its reason, and the box opens
// again with the typed text until a good name or a cancel.
TEST_F(MainWindowTest, NameBoxSwitchesTheKeyHookOffAndRefusesNamesThatCannotWork)
{
    Start();
    Editor().MapObjectNames = {"_Wall", std::string()};
    Editor().MapObjectCount = 1;
    qx::RecordingMessageSink messages;
    qx::ScopedMessageSink sink(messages);
    bool keysWhileOpen = true;
    std::vector<QString> answers = {"Wall", Ui("Игрок"), Ui("Мой_Игрок"), Ui("雪山"), "Tower 2"};
    std::vector<QString> shown;
    ObjectNameHooks().InputText = [&](const QString&, const QString&, const QString& text) -> std::optional<QString> {
        keysWhileOpen = Editor().KeysEnabled || Editor().SwallowKeys;
        shown.push_back(text);
        if (shown.size() > answers.size())
            return std::nullopt;
        return answers[shown.size() - 1];
    };
    std::string name;
    AskObjectName(name);
    EXPECT_FALSE(keysWhileOpen);
    EXPECT_TRUE(Editor().KeysEnabled && Editor().SwallowKeys);
    EXPECT_EQ(name, "_Tower2");
    ASSERT_EQ(shown.size(), 5u);
    for (size_t i = 1; i < shown.size(); ++i)
        EXPECT_EQ(shown[i], answers[i - 1]) << "the box opens again with the typed text";
    ASSERT_EQ(messages.entries.size(), 4u);
    EXPECT_NE(messages.entries[0].text.find(Cp("уже есть")), std::string::npos);
    EXPECT_NE(messages.entries[1].text.find(Cp("_Игрок")), std::string::npos);
    EXPECT_NE(messages.entries[2].text.find(Cp("_Игрок")), std::string::npos);
    EXPECT_NE(messages.entries[3].text.find("1251"), std::string::npos);

    // Cancelled after a refusal: nothing.
    answers = {"Wall"};
    shown.clear();
    AskObjectName(name);
    EXPECT_EQ(name, "");
    EXPECT_EQ(shown.size(), 2u);
    ObjectNameHooks().InputText = nullptr;
}

}  // namespace

namespace {

TEST_F(MainWindowTest, ExitClosesTheMainWindowAndSaysSo)
{
    Start();
    ASSERT_TRUE(NavigatorWindow()->isVisible());
    QSignalSpy closed(main(), &TFVantor::closed);
    main()->findChild<QAction*>("Exit1")->trigger();
    EXPECT_EQ(closed.count(), 1) << "the program entry ends the loop on this signal";
    EXPECT_FALSE(main()->isVisible());
}

}  // namespace

namespace {

// What a user runs into first: keys held across windows, menus and dialogs
// that need their keys, a configuration file that cannot be written, and one
// message for one fault.
TEST_F(MainWindowTest, KeysAndMouseLookStopWhenTheMainWindowDeactivates)
{
    Start();
    QTest::keyPress(main()->ObjectList, Qt::Key_W);
    QTest::keyPress(main()->ObjectList, Qt::Key_Control);
    ASSERT_TRUE(Editor().MoveKeys.Forward && Editor().CtrlLook);
    // The navigator takes the focus; the keys are released over there.
    NavigatorWindow()->activateWindow();
    QTest::qWait(50);
    main()->FormDeactivate();  // no window manager under Xvfb: say so directly
    EXPECT_FALSE(Editor().MoveKeys.Forward);
    EXPECT_FALSE(Editor().CtrlLook);
    EXPECT_EQ(Editor().Camera->MouseLookActive, 0);
}

TEST_F(MainWindowTest, PopupMenusAndModalDialogsGetTheirKeys)
{
    Start();
    QMenu* menu = main()->PopupMenu1;
    menu->popup(main()->ObjectList->mapToGlobal(QPoint(10, 10)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
    QTest::keyClick(menu, Qt::Key_Down);
    EXPECT_NE(menu->activeAction(), nullptr) << "Down moves through the menu";
    EXPECT_FALSE(Editor().MoveKeys.Back);
    QTest::keyClick(menu, Qt::Key_Escape);
    QTest::qWait(20);
    EXPECT_FALSE(menu->isVisible()) << "Escape closes it";

    // A key held before a modal dialog opened is let go inside it.
    QTest::keyPress(main()->ObjectList, Qt::Key_S);
    ASSERT_TRUE(Editor().MoveKeys.Back);
    QDialog dialog(main());
    dialog.setModal(true);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTest::keyRelease(&dialog, Qt::Key_S);
    EXPECT_FALSE(Editor().MoveKeys.Back);
    QTest::keyPress(&dialog, Qt::Key_W);
    EXPECT_FALSE(Editor().MoveKeys.Forward) << "the dialog's keys are its own";
}

TEST_F(MainWindowTest, AConfigurationFileThatCannotBeWrittenDoesNotStopTheStartup)
{
    apptest::WriteStartupFiles(dir_.path());
    std::filesystem::create_directories(dir_ / "Sys/Config.ini");
    Start(false);
    EXPECT_TRUE(main()->StartupComplete());
    EXPECT_TRUE(messages_.entries.empty());
    EXPECT_NE(Editor().TextFont, nullptr);
    EXPECT_NE(Editor().PlayerMarker, nullptr);
}

TEST_F(MainWindowTest, AMissingHelperTextureIsReportedOnce)
{
    apptest::WriteStartupFiles(dir_.path());
    std::filesystem::remove(dir_ / "textures/cliffTop.bmp");
    Start(false);
    EXPECT_FALSE(main()->StartupComplete());
    ASSERT_EQ(messages_.entries.size(), 1u);
    EXPECT_NE(messages_.entries[0].text.find("cliffTop.bmp"), std::string::npos);
}

TEST_F(MainWindowTest, EveryHelperTexturePreviewsFromTheLibrary)
{
    Start();
    EditorProject()->SetProgramFolder(dir_.path().string() + "/");
    QTreeWidget* tree = TextureWindow()->TreeView1;
    int clicked = 0;
    for (QTreeWidgetItem* item : ItemsInDisplayOrder(tree)) {
        if (NodeText(item).starts_with("+"))
            continue;
        tree->clearSelection();
        item->setSelected(true);
        TextureWindow()->TreeView1Click();
        EXPECT_FALSE(TextureWindow()->PreviewPicture().isNull()) << NodeText(item);
        ++clicked;
    }
    EXPECT_EQ(clicked, 8);
    EXPECT_TRUE(messages_.entries.empty()) << messages_.entries[0].text;
}

}  // namespace
