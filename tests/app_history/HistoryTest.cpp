// Undo and redo, the unsaved mark, autosave and recovery, through the real
// windows.  An undone edit must give back exactly the files the project
// would have been saved as before it.
#include <QAction>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <deque>
#include <dlfcn.h>
#include <filesystem>
#include <map>
#include <sys/wait.h>
#include <unistd.h>

#include "AskObjectName.h"
#include "Autosave.h"
#include "Camera.h"
#include "EditCommands.h"
#include "EditHistory.h"
#include "HistoryView.h"
#include "EditorFixture.h"
#include "EditorState.h"
#include "GLEngine.h"
#include "EditorWindows.h"
#include "FrameLoop.h"
#include "FrameTimer.h"
#include "Messages.h"
#include "BoxEditor.h"
#include "EditControls.h"
#include "PartTree.h"
#include "Placing.h"
#include "SceneMouse.h"
#include "PrimitiveList.h"
#include "ProgramFolder.h"
#include "Project.h"
#include "ProjectCommands.h"
#include "QX3DObject.h"
#include "ShapeFields.h"
#include "QtText.h"
#include "SceneSurface.h"
#include "TestInstallation.h"
#include "TestSupport.h"
#include "Textures.h"
#include "TextureWindow.h"
#include "TreeWidgetAccess.h"
#include "Vantor.h"
#include "Wiring.h"

namespace fs = std::filesystem;

namespace {

// Renames left before the process kills itself, as an editor killed in the
// middle of a save dies; -1: never.  Set only in a child process.
std::atomic<int> g_renamesBeforeKill{-1};

}  // namespace

extern "C" int rename(const char* from, const char* to)
{
    if (g_renamesBeforeKill >= 0 && g_renamesBeforeKill-- == 0)
        ::kill(::getpid(), SIGKILL);
    static const auto real = reinterpret_cast<int (*)(const char*, const char*)>(::dlsym(RTLD_NEXT, "rename"));
    return real(from, to);
}

namespace {

using Files = std::map<std::string, std::string>;

class HistoryTest : public apptest::EditorFixture {
protected:
    void SetUp() override
    {
        apptest::EditorFixture::SetUp();
        w()->activateWindow();
        QTest::qWait(20);
    }
    // The project as "Сохранить проект" would write it now, the object open
    // for editing from its working copy.
    Files Written()
    {
        const fs::path folder = dir_ / ("written" + std::to_string(writes_++));
        fs::create_directories(folder);
        ProjectContent content = Editor();
        EditorState& state = Editor();
        if (state.ModelEditMode && state.EditIndex() >= 0) {
            auto open = std::make_shared<TQX3DObject>(state.EditedModel->Name);
            open->Assign(*state.EditedModel);
            content.MapObjects[static_cast<size_t>(state.EditIndex())] = open;
        }
        qx::SaveProject(folder.string() + "/", Textures(), content, qx::ProjectTrees{&state.ObjectTree, &state.TextureTree});
        Files files;
        for (const auto& entry : fs::directory_iterator(folder))
            files[entry.path().filename().string()] = qxtest::ReadFileBytes(entry.path());
        return files;
    }
    // An autosave now writes what a save writes, whatever it kept from the
    // autosave before.
    void ExpectAutosaved(const Files& written, const std::string& what)
    {
        windows_->autosaver->Start();
        windows_->autosaver->Finish();
        for (const auto& [name, bytes] : written)
            EXPECT_EQ(qxtest::ReadFileBytes(dir_ / "Sys/Saves/Autosave" / name), bytes) << what << ": " << name;
    }
    // Runs an edit, then checks that undo gives the files of before and redo
    // those of after, and that the autosave follows.
    void Check(const char* what, const std::function<void()>& edit, bool changesFiles = true)
    {
        const Files before = Written();
        ExpectAutosaved(before, what);
        edit();
        const Files after = Written();
        if (changesFiles) {
            ASSERT_NE(after, before) << what << " changed nothing";
        }
        ExpectAutosaved(after, what);
        QTest::keyClick(w()->ObjectList, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(Written(), before) << what << " undone";
        ExpectAutosaved(before, std::string(what) + " undone");
        QTest::keyClick(w()->ObjectList, Qt::Key_Y, Qt::ControlModifier);
        EXPECT_EQ(Written(), after) << what << " redone";
    }
    // What the window shows once the change is presented.
    QString UndoText() const
    {
        PresentNow();
        return w()->findChild<QAction*>("Undo1")->text();
    }
    QString Caption() const
    {
        PresentNow();
        return w()->windowTitle();
    }
    // A new object open in the view, a box hanging on the cursor.
    void OpenNewObjectPlacingABox(const char* name)
    {
        ObjectNameHooks().InputText = [name](const QString&, const QString&, const QString&) {
            return std::optional<QString>(QString(name));
        };
        Select(w()->ObjectList, Node(w()->ObjectList, "+Объекты"));
        AddStaticObject(Editor());
        OpenObjectForEditing(*w());
        StartPlacingShape(Editor(), ShapeKind::Box);
    }

    int writes_ = 0;
};

TEST_F(HistoryTest, EveryKindOfEditUndoesToTheFilesOfBefore)
{
    EditorState& state = Editor();
    EXPECT_FALSE(w()->findChild<QAction*>("Undo1")->isEnabled());
    ObjectNameHooks().InputText = [](const QString&, const QString&, const QString&) {
        return std::optional<QString>(Ui("Стол"));
    };
    Check("a new object", [&] {
        Select(w()->ObjectList, Node(w()->ObjectList, "+Объекты"));
        AddStaticObject(Editor());
    });
    EXPECT_EQ(UndoText(), Ui("Отменить: добавление объекта"));
    Select(w()->ObjectList, Node(w()->ObjectList, "_Стол"));
    OpenObjectForEditing(*w());
    StartPlacingShape(Editor(), ShapeKind::Box);
    state.CursorWorld[0] = 4;
    state.CursorWorld[2] = 6;
    Check("a committed box", [&] {
        SceneClick(*w());
        SceneClick(*w());
    });
    EXPECT_EQ(UndoText(), Ui("Отменить: добавление коробки"));
    SceneClick(*w());  // locked again for the next box
    Check("a typed size", [&] {
        BoxEditorWindow()->Ez2->setText("1");
        BoxEditorWindow()->Ez2->setText("12");
        SceneClick(*w());  // the box with that size joins the object
    });
    Check("a plus button", [&] {
        BoxEditorWindow()->findChild<QPushButton*>("Button14")->click();
        SceneClick(*w());
        SceneClick(*w());
    });
    Check("a deleted box", [&] {
        Select(w()->OBJList, Node(w()->OBJList, "+Примитивы")->child(0));
        DeleteSelectedPart(*w());
    });
    EXPECT_EQ(UndoText(), Ui("Отменить: удаление коробки"));
    // The open object was written from its working copy already.
    Check("stored changes", [&] { qx::StoreWorkingCopy(Editor()); }, false);
    QTest::keyClick(w()->ObjectList, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(state.ModelEditMode) << "undone, the object is open again";
    QTest::keyClick(w()->ObjectList, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_FALSE(state.ModelEditMode);
    Select(w()->ObjectList, Node(w()->ObjectList, "_Стол"));
    Check("a placement", [&] { SceneClick(*w()); });
    Check("a deleted placement", [&] {
        state.CursorWorld[0] = 4.4;
        QTest::keyClick(w()->ObjectList, Qt::Key_Delete);
    });
    Select(w()->ObjectList, Node(w()->ObjectList, "_Игрок"));
    Check("the player moved", [&] {
        state.CursorWorld[0] = 10;
        SceneClick(*w());
    });

    // The texture window: a texture added, a category added and deleted, a
    // texture removed that a box uses (with the indices after it).
    fs::create_directories(dir_ / "Pics");
    qxtest::WriteFileBytes(dir_ / "Pics/stone.bmp", qxtest::ReadFileBytes(dir_ / "textures/Setka.bmp"));
    TextureWindow()->ChooseFile = [&] { return QString::fromStdString((dir_ / "Pics/stone.bmp").string()); };
    Check("a texture added", [&] { TextureWindow()->Button1Click(); });
    EXPECT_TRUE(fs::exists(dir_ / "Sys/Saves/textures/stone.bmp"));
    QTest::keyClick(w()->ObjectList, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(fs::exists(dir_ / "Sys/Saves/textures/stone.bmp")) << "the library keeps the file";
    QTest::keyClick(w()->ObjectList, Qt::Key_Y, Qt::ControlModifier);
    ObjectNameHooks().InputText = [](const QString&, const QString&, const QString&) {
        return std::optional<QString>(QString("rocks"));
    };
    Check("a category added", [&] {
        TextureWindow()->TreeView1->clearSelection();
        TextureWindow()->N3Click();
    });
    Check("a category deleted", [&] {
        TextureWindow()->TreeView1->clearSelection();
        Node(TextureWindow()->TreeView1, "+ rocks")->setSelected(true);
        TextureWindow()->N4Click();
    });
    const int32_t stone = FindTexture("stone.bmp");
    state.MapObjects[0]->Lists[0]->Boxes[0].Texture = stone;
    state.MapObjects[0]->Changed();
    Check("a texture removed", [&] {
        TextureWindow()->TreeView1->clearSelection();
        Node(TextureWindow()->TreeView1, "stone.bmp")->setSelected(true);
        TextureWindow()->N1Click();
    });
    EXPECT_EQ(state.MapObjects[0]->Lists[0]->Boxes[0].Texture, -1) << "redone: the box is untextured again";
    EXPECT_TRUE(messages_.entries.empty()) << messages_.entries[0].text;
}

// The object view holds the object it opened, not a place in the list: an
// undo or a load that takes it away closes the view, and nothing opened
// later receives its edits.
TEST_F(HistoryTest, UndoAndLoadNeverSendEditsIntoAnotherObject)
{
    EditorState& state = Editor();
    QString answer = "A";
    ObjectNameHooks().InputText = [&](const QString&, const QString&, const QString&) {
        return std::optional<QString>(answer);
    };
    const auto add = [&](const char* name) {
        answer = name;
        Select(w()->ObjectList, Node(w()->ObjectList, "+Объекты"));
        AddStaticObject(Editor());
    };
    add("A");
    OpenObjectForEditing(*w());
    ASSERT_TRUE(state.ModelEditMode);
    QTest::keyClick(w()->ObjectList, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(state.FindObject("_A"), -1);
    EXPECT_FALSE(state.ModelEditMode) << "the view left with the object it showed";
    EXPECT_FALSE(w()->ModelList->isVisible());
    add("B");
    qx::StoreWorkingCopy(Editor());
    const int32_t b = state.FindObject("_B");
    ASSERT_GE(b, 0);
    EXPECT_EQ(state.MapObjects[static_cast<size_t>(b)]->Lists[0]->BoxCount, 0);
    EXPECT_EQ(state.MapObjects[static_cast<size_t>(b)]->Name, "_B");

    // A load while B is open with a new box: the view is left; storing
    // afterwards writes into nothing.
    Save1Click();
    Select(w()->ObjectList, Node(w()->ObjectList, "_B"));
    OpenObjectForEditing(*w());
    StartPlacingShape(Editor(), ShapeKind::Box);
    SceneClick(*w());
    SceneClick(*w());
    ASSERT_EQ(state.EditedModel->Lists[0]->BoxCount, 1);
    messages_.threeWayAnswer = qx::Answer::No;
    w()->ObjectList->collapseAll();
    Load1Click(Editor(), *w());
    EXPECT_FALSE(state.ModelEditMode);
    EXPECT_TRUE(w()->ObjectList->topLevelItem(0)->isExpanded()) << "the loaded tree shows its top folders";
    qx::StoreWorkingCopy(Editor());
    EXPECT_EQ(state.MapObjects[static_cast<size_t>(state.FindObject("_B"))]->Lists[0]->BoxCount, 0);
}

// The box editor's fields show the box after every undo and redo, whatever
// was typed on the way; "Коробка" on a locked box starts a free one, and
// "Создать" does nothing when no box is being shaped.
TEST_F(HistoryTest, BoxEditorFieldsFollowTheBoxAndItsButtonsKeepTheirRules)
{
    EditorState& state = Editor();
    OpenNewObjectPlacingABox("Box");
    // Keystrokes: the first one's step begins with the box as it was.
    BoxEditorWindow()->Ez2->setText("1");
    BoxEditorWindow()->Ez2->setText("12");
    const TBox& box = state.PendingPrimitive->Lists[0]->Boxes[0];
    EXPECT_FLOAT_EQ(box.Size.Y, 12.0f);
    QTest::keyClick(w()->ObjectList, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FLOAT_EQ(state.PendingPrimitive->Lists[0]->Boxes[0].Size.Y, 8.0f);
    EXPECT_EQ(BoxEditorWindow()->Ez2->text(), "8");
    QTest::keyClick(w()->ObjectList, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(BoxEditorWindow()->Ez2->text(), "12");

    state.CursorWorld[0] = 5;
    state.CursorOnNothing = false;
    SceneClick(*w());
    ASSERT_EQ(state.ClickState, 1);
    StartPlacingShape(Editor(), ShapeKind::Box);
    EXPECT_EQ(state.ClickState, 0) << "unlocked, the new box follows the cursor";
    EXPECT_EQ(BoxEditorWindow()->Ez2->text(), "8");
    BoxEditorWindow()->findChild<QPushButton*>("Button8")->click();
    EXPECT_EQ(state.CursorWorld[0], 5) << "a free box's position field moves nothing";

    qx::DropPending(Editor());
    BoxEditorWindow()->Button29->click();
    EXPECT_EQ(state.ClickState, 0);
    EXPECT_EQ(state.EditedModel->Lists[0]->BoxCount, 0);
}

// Renaming and deleting a definition take its placements along and give way
// to the object open in the view; each is one step, and a save after a
// rename leaves no file under the old name (its undo and a save bring it
// back).
TEST_F(HistoryTest, ObjectsAreRenamedAndDeletedWithTheirPlacements)
{
    EditorState& state = Editor();
    std::deque<QString> answers;  // none left: cancelled
    std::vector<QString> asked;
    ObjectNameHooks().InputText = [&](const QString& caption, const QString&, const QString& text) {
        asked.push_back(caption + "|" + text);
        std::optional<QString> answer;
        if (!answers.empty()) {
            answer = answers.front();
            answers.pop_front();
        }
        return answer;
    };
    for (const char* name : {"A", "B"}) {
        answers = {name};
        Select(w()->ObjectList, Node(w()->ObjectList, "+Объекты"));
        AddStaticObject(Editor());
    }
    for (const char* name : {"_A", "_B", "_A"}) {
        Select(w()->ObjectList, Node(w()->ObjectList, name));
        SceneClick(*w());
    }
    Save1Click();
    const fs::path saves = dir_ / "Sys/Saves";
    ASSERT_TRUE(fs::exists(saves / "_A.qxobj"));

    // A taken name is refused with its reason and the box opens again.
    asked.clear();
    answers = {"B", Ui("Стул")};
    Select(w()->ObjectList, Node(w()->ObjectList, "_A"));
    Check("a renamed object", [&] { RenameSelectedObject(Editor()); });
    EXPECT_EQ(UndoText(), Ui("Отменить: переименование объекта"));
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0], Ui("Переименование объекта|A"));
    EXPECT_EQ(asked[1], Ui("Переименование объекта|B"));
    ASSERT_EQ(messages_.entries.size(), 1u);
    EXPECT_EQ(messages_.entries[0].text, Cp("Объект \"_B\" уже есть."));
    const std::string chair = Cp("_Стул");
    EXPECT_EQ(state.PlacementNames[0], chair);
    EXPECT_EQ(state.PlacementNames[1], "_B");
    EXPECT_EQ(state.PlacementNames[2], chair);
    EXPECT_EQ(state.MapObjects[0]->Name, chair);
    EXPECT_EQ(Node(w()->ObjectList, "_A"), nullptr);
    ASSERT_NE(Node(w()->ObjectList, "_Стул"), nullptr);
    Select(w()->ObjectList, Node(w()->ObjectList, "_Стул"));
    RenameSelectedObject(Editor());  // cancelled: nothing, no step
    EXPECT_EQ(state.MapObjectNames[0], chair);
    EXPECT_EQ(UndoText(), Ui("Отменить: переименование объекта"));

    Save1Click();
    EXPECT_FALSE(fs::exists(saves / "_A.qxobj"));
    EXPECT_TRUE(fs::exists(saves / "_Стул.qxobj"));
    QTest::keyClick(w()->ObjectList, Qt::Key_Z, Qt::ControlModifier);
    Save1Click();
    EXPECT_TRUE(fs::exists(saves / "_A.qxobj"));
    EXPECT_FALSE(fs::exists(saves / "_Стул.qxobj"));
    QTest::keyClick(w()->ObjectList, Qt::Key_Y, Qt::ControlModifier);

    // Deleting a placed object asks first; "Нет" removes nothing.
    messages_.entries.clear();
    messages_.answer = false;
    Select(w()->ObjectList, Node(w()->ObjectList, "_Стул"));
    DeleteSelectedObject(Editor());
    ASSERT_EQ(messages_.entries.size(), 1u);
    EXPECT_EQ(messages_.entries[0].text, Cp("Объект размещён 2 раза. Удалить вместе с размещениями?"));
    EXPECT_EQ(state.MapObjectCount, 2);
    messages_.answer = true;
    Check("a deleted object", [&] { DeleteSelectedObject(Editor()); });
    EXPECT_EQ(UndoText(), Ui("Отменить: удаление объекта"));
    EXPECT_EQ(state.FindObject(chair), -1);
    ASSERT_EQ(state.PlacementCount, 1);
    EXPECT_EQ(state.PlacementNames[0], "_B");
    EXPECT_EQ(Node(w()->ObjectList, "_Стул"), nullptr);
    SceneClick(*w());
    EXPECT_EQ(state.PlacementCount, 1) << "nothing chosen any more: a click places nothing";

    // The object open in the view can be neither renamed nor deleted.
    messages_.entries.clear();
    asked.clear();
    Select(w()->ObjectList, Node(w()->ObjectList, "_B"));
    OpenObjectForEditing(*w());
    RenameSelectedObject(Editor());
    DeleteSelectedObject(Editor());
    EXPECT_TRUE(asked.empty());
    ASSERT_EQ(messages_.entries.size(), 2u);
    EXPECT_EQ(messages_.entries[0].caption, Cp("Переименование объекта"));
    EXPECT_NE(messages_.entries[1].text.find(Cp("открыт для редактирования")), std::string::npos);
    EXPECT_EQ(state.FindObject("_B"), 0);
    EXPECT_EQ(state.PlacementCount, 1);
}

// "Выход без сохранения" asks only when the working copy differs; "Изменить"
// and a double click take a box into the box editor, which puts it back in
// its place with its own texture.
TEST_F(HistoryTest, TheObjectViewLeavesWithoutStoringAndChangesABoxInPlace)
{
    EditorState& state = Editor();
    OpenNewObjectPlacingABox("Box");
    for (const double x : {0.0, 20.0}) {
        state.CursorWorld[0] = x;
        SceneClick(*w());
        SceneClick(*w());
    }
    ASSERT_EQ(state.EditedModel->Lists[0]->BoxCount, 2);
    state.EditedModel->Lists[0]->Boxes[1].Texture = 3;
    qx::StoreWorkingCopy(Editor());
    const auto reopen = [&] {
        Select(w()->ObjectList, Node(w()->ObjectList, "_Box"));
        OpenObjectForEditing(*w());
        ASSERT_TRUE(state.ModelEditMode);
    };

    reopen();
    const QString undoText = UndoText();
    QTest::mouseClick(w()->BitBtn3, Qt::LeftButton);
    EXPECT_FALSE(state.ModelEditMode);
    EXPECT_TRUE(messages_.entries.empty()) << "nothing to lose: no question";
    EXPECT_EQ(UndoText(), undoText);

    reopen();
    Select(w()->OBJList, Node(w()->OBJList, "+Примитивы")->child(0));
    DeleteSelectedPart(*w());
    messages_.answer = false;
    LeaveObjectViewUnsaved(Editor());
    EXPECT_TRUE(state.ModelEditMode);
    ASSERT_EQ(messages_.entries.size(), 1u);
    EXPECT_TRUE(messages_.entries[0].question);
    messages_.answer = true;
    Check("left without storing", [&] { LeaveObjectViewUnsaved(Editor()); });
    EXPECT_FALSE(state.ModelEditMode);

    reopen();
    QTreeWidgetItem* second = Node(w()->OBJList, "+Примитивы")->child(1);
    Select(w()->OBJList, second);
    emit w()->OBJList->itemDoubleClicked(second, 0);
    ASSERT_TRUE(state.Placing);
    EXPECT_EQ(state.ClickState, 1) << "locked where the box stands";
    EXPECT_TRUE(BoxEditorWindow()->isVisible());
    EXPECT_EQ(BoxEditorWindow()->EPosX->text(), "20");
    {
        const ChangedPrimitiveHidden hidden;  // as the frame draws the working copy
        ASSERT_EQ(state.EditedModel->Lists[0]->BoxCount, 1);
        EXPECT_EQ(state.EditedModel->Lists[0]->Boxes[0].Position.X, 0.0f);
    }
    ASSERT_EQ(state.EditedModel->Lists[0]->BoxCount, 2);
    EXPECT_EQ(state.EditedModel->Lists[0]->Boxes[1].Position.X, 20.0f);
    QTest::qWait(50);  // frames run with the box in the editor
    Check("a changed box", [&] {
        BoxEditorWindow()->Ex2->setText("3");
        BoxEditorWindow()->EPosX->setText("24");
        BoxEditorWindow()->Button29->click();
    });
    EXPECT_EQ(UndoText(), Ui("Отменить: изменение коробки"));
    const TGLPremitives& boxes = *state.EditedModel->Lists[0];
    ASSERT_EQ(boxes.BoxCount, 2) << "put back, not added";
    EXPECT_EQ(boxes.Boxes[1].Size.X, 3.0f);
    EXPECT_EQ(boxes.Boxes[1].Position.X, 24.0f);
    EXPECT_EQ(Node(w()->OBJList, "+Примитивы")->childCount(), 2);
    EXPECT_EQ(w()->OBJList->currentItem(), Node(w()->OBJList, "+Примитивы")->child(1));
    EXPECT_FALSE(BoxEditorWindow()->isVisible());

    // "Изменить" from the menu, then "Мышка": the box stays as it was.
    Select(w()->OBJList, Node(w()->OBJList, "+Примитивы")->child(0));
    w()->PopupMenu3->findChild<QAction*>("N40")->trigger();
    ASSERT_EQ(state.ChangedPrimitive, 0);
    BoxEditorWindow()->Ex2->setText("5");
    qx::DropPending(Editor());
    SceneClick(*w());
    SceneClick(*w());
    EXPECT_EQ(boxes.BoxCount, 2);
    EXPECT_EQ(boxes.Boxes[0].Size.X, 8.0f);
}

TEST_F(HistoryTest, CtrlShortcutsLeaveTheViewWhereItWas)
{
    EditorState& state = Editor();
    state.AddObject("_A");
    Select(w()->ObjectList, AddObjectNode("_A"));
    SceneClick(*w());
    ASSERT_EQ(state.PlacementCount, 1);
    const TVec3 target = state.Camera->Target;
    QTest::keyPress(w()->ObjectList, Qt::Key_Control);
    ASSERT_TRUE(state.CtrlLook);
    state.Camera->Target.X += 5;  // the mouse moved while Ctrl was held
    QKeyEvent z(QEvent::KeyPress, 0x042F, Qt::ControlModifier, Ui("я"));  // Z's key, Russian layout
    QApplication::sendEvent(w()->ObjectList, &z);
    EXPECT_EQ(state.PlacementCount, 0);
    EXPECT_FLOAT_EQ(state.Camera->Target.X, target.X);
    EXPECT_FALSE(state.CtrlLook);
    QTest::keyClick(w()->ObjectList, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(state.PlacementCount, 1);
    QTest::keyRelease(w()->ObjectList, Qt::Key_Control);
}

TEST_F(HistoryTest, TheCaptionMarksUnsavedChangesAndClosingAsksFirst)
{
    EditorState& state = Editor();
    EXPECT_FALSE(Caption().endsWith(" *"));
    state.AddObject("_A");
    Select(w()->ObjectList, AddObjectNode("_A"));
    SceneClick(*w());
    EXPECT_TRUE(Caption().endsWith(" *"));
    w()->findChild<QAction*>("Save1")->trigger();
    EXPECT_FALSE(Caption().endsWith(" *"));
    QTest::keyClick(w()->ObjectList, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(Caption().endsWith(" *")) << "differs from the saved state again";
    QTest::keyClick(w()->ObjectList, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_FALSE(Caption().endsWith(" *")) << "back at the saved state";

    // The start button clears the mark only when no tree changed.
    SceneClick(*w());
    QTest::mouseClick(w()->BitBtn1, Qt::LeftButton);
    EXPECT_FALSE(Caption().endsWith(" *"));
    ObjectNameHooks().InputText = [](const QString&, const QString&, const QString&) {
        return std::optional<QString>(QString("B"));
    };
    Select(w()->ObjectList, Node(w()->ObjectList, "+Объекты"));
    AddStaticObject(Editor());
    QTest::mouseClick(w()->BitBtn1, Qt::LeftButton);
    EXPECT_TRUE(Caption().endsWith(" *")) << "the trees were not saved";

    messages_.threeWayAnswer = qx::Answer::Cancel;
    EXPECT_FALSE(w()->close());
    ASSERT_EQ(messages_.entries.size(), 1u);
    EXPECT_EQ(messages_.entries[0].text, Cp("Сохранить изменения в проекте?"));
    EXPECT_TRUE(w()->isVisible());
    messages_.threeWayAnswer = qx::Answer::Yes;
    EXPECT_TRUE(w()->close());
    EXPECT_NE(qxtest::ReadFileBytes(dir_ / "Sys/Saves/ObjList.qxlst").find("_B"), std::string::npos);
}

TEST_F(HistoryTest, AutosaveRunsAfterTwoMinutesKeepsTheLastWholeAndIsOfferedBack)
{
    EditorState& state = Editor();
    auto now = std::chrono::steady_clock::now();
    Autosaver& autosaver = *windows_->autosaver;
    autosaver.SetClock([&] { return now; });
    state.AddObject("_A");
    // Every kind, as the object file holds it, goes into the autosave.
    TGLPremitives& parts = *state.MapObjects[0]->Lists[0];
    AddNewShape(parts, ShapeKind::Floor, 2);
    AddNewShape(parts, ShapeKind::Torus, 3);
    const fs::path model = dir_ / "Sys/Saves/models/m.txt";
    fs::create_directories(model.parent_path());
    qxtest::WriteFileBytes(model, "face\r\nNOTEXTURE\r\n3\r\n1 1 1\r\n2 2 2\r\n3 3 3\r\n1 0 0\r\n1 0 0\r\n1 0 0\r\n");
    MakeEngineCurrent();
    parts.AddModelBlender(model.string(), 1, 2, 3, 0, 0, 0, 1, 1, 2);
    Select(w()->ObjectList, AddObjectNode("_A"));
    SceneClick(*w());
    const fs::path folder = dir_ / "Sys/Saves/Autosave";
    autosaver.Tick();
    now += std::chrono::seconds(119);
    autosaver.Tick();
    EXPECT_FALSE(autosaver.Running() || fs::exists(folder)) << "not before two minutes";
    now += std::chrono::seconds(2);
    autosaver.Tick();
    autosaver.Finish();
    ASSERT_TRUE(fs::exists(folder / kAutosaveMarker));
    EXPECT_NE(qxtest::ReadFileBytes(folder / "Map1.qxmap").find("_A"), std::string::npos);
    EXPECT_EQ(qxtest::ReadFileBytes(folder / "_A.qxobj"), Written()["_A.qxobj"]);
    EXPECT_FALSE(fs::exists(dir_ / "Sys/Saves/Map1.qxmap")) << "never the project's own files";
    const std::string map = qxtest::ReadFileBytes(folder / "Map1.qxmap");

    // A write that fails leaves the previous autosave whole.
    state.AddObject("_B");
    fs::create_directories(folder / "_B.qxobj");
    SceneClick(*w());
    autosaver.Tick();
    now += std::chrono::seconds(121);
    autosaver.Tick();
    autosaver.Finish();
    ASSERT_EQ(messages_.entries.size(), 1u);
    EXPECT_EQ(messages_.entries[0].text, Cp("Автосохранение не удалось: _B.qxobj: I/O error 21 (Is a directory)"));
    EXPECT_EQ(qxtest::ReadFileBytes(folder / "Map1.qxmap"), map);
    EXPECT_TRUE(fs::exists(folder / kAutosaveMarker));
    fs::remove(folder / "_B.qxobj");
    messages_.entries.clear();

    // A fresh editor (after a crash) offers it back; Yes loads it, unsaved.
    messages_.answer = true;
    StartEditor();
    ASSERT_EQ(messages_.entries.size(), 1u);
    // The question names the project.
    EXPECT_EQ(messages_.entries[0].text.rfind(Cp("Найдено автосохранение проекта ") + (dir_ / "Sys/Saves").string() + Cp(" от "), 0), 0u)
        << messages_.entries[0].text;
    EXPECT_EQ(Editor().PlacementCount, 1);
    const TGLPremitives& back = *Editor().MapObjects[0]->Lists[0];
    EXPECT_EQ(back.FloorCount + back.TorusCount + back.BlenderCount, 3) << "every kind recovered";
    EXPECT_TRUE(Caption().endsWith(" *"));
    // A save makes it go.
    w()->findChild<QAction*>("Save1")->trigger();
    EXPECT_FALSE(fs::exists(folder));
}

// Each project keeps its own autosave: after a crash in project B, opening
// the default project neither offers nor touches B's; B offers it, by name.
TEST_F(HistoryTest, AnotherProjectIsOpenedAfterAskingWithAFreshHistoryAndOnlyItsOwnAutosave)
{
    EditorState& state = Editor();
    w()->findChild<QAction*>("Save1")->trigger();
    qxtest::TempDir other;
    const std::string b = (other.path() / "B").string();
    fs::create_directories(b);
    ASSERT_TRUE(SaveProjectAs(Editor(), *w(), b));
    state.AddObject("_A");
    Select(w()->ObjectList, AddObjectNode("_A"));
    SceneClick(*w());
    windows_->autosaver->Start();
    windows_->autosaver->Finish();
    ASSERT_TRUE(fs::exists(fs::path(b) / "Autosave" / kAutosaveMarker));

    messages_.threeWayAnswer = qx::Answer::Cancel;
    EXPECT_FALSE(OpenProject(Editor(), *w(), dir_.path().string()));
    EXPECT_EQ(OpenProjectFolder(), b + "/");
    EXPECT_EQ(state.PlacementCount, 1);
    messages_.threeWayAnswer = qx::Answer::No;
    ASSERT_TRUE(OpenProject(Editor(), *w(), dir_.path().string()));
    EXPECT_EQ(OpenProjectFolder(), (dir_ / "Sys/Saves/").string());
    EXPECT_EQ(state.PlacementCount, 0);
    EXPECT_FALSE(EditHistory().CanUndo()) << "the other project's edits cannot be undone here";
    ASSERT_EQ(messages_.entries.size(), 2u) << "two questions, no recovery offer";
    messages_.entries.clear();

    messages_.answer = true;
    ASSERT_TRUE(OpenProject(Editor(), *w(), b));
    ASSERT_EQ(messages_.entries.size(), 1u);
    EXPECT_EQ(messages_.entries[0].text.rfind(Cp("Найдено автосохранение проекта ") + b + Cp(" от "), 0), 0u)
        << messages_.entries[0].text;
    EXPECT_EQ(state.PlacementCount, 1);

    // Named on the command line, a project is open and loaded from the start.
    w()->findChild<QAction*>("Save1")->trigger();
    StartupProjectArgument() = b;
    StartEditor();
    StartupProjectArgument().clear();
    EXPECT_EQ(OpenProjectFolder(), b + "/");
    EXPECT_EQ(Editor().PlacementCount, 1);
}

// An editor killed while its second autosave renames the files into place:
// the next start finishes that autosave and offers it back.
TEST_F(HistoryTest, AnAutosaveCutShortIsFinishedAtTheNextStartAndOfferedBack)
{
    EditorState& state = Editor();
    state.AddObject("_A");
    Select(w()->ObjectList, AddObjectNode("_A"));
    SceneClick(*w());
    windows_->autosaver->Start();
    windows_->autosaver->Finish();
    SceneClick(*w());
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        g_renamesBeforeKill = 2;  // the journal and one file are in place
        windows_->autosaver->Start();
        windows_->autosaver->Finish();
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);

    messages_.entries.clear();
    messages_.answer = true;
    StartEditor();
    ASSERT_EQ(messages_.entries.size(), 2u) << messages_.entries[0].text;
    EXPECT_EQ(messages_.entries[1].text.rfind(Cp("Найдено автосохранение проекта "), 0), 0u)
        << messages_.entries[1].text;
    EXPECT_EQ(Editor().PlacementCount, 2) << "the second autosave";
}

TEST_F(HistoryTest, IncompleteAndDamagedAutosavesAreReportedAndLeftOnDisk)
{
    const fs::path folder = dir_ / "Sys/Saves/Autosave";
    fs::create_directories(folder);
    qxtest::WriteFileBytes(folder / "Map1.qxmap", "0 0 0 \r\n0\r\n");
    messages_.entries.clear();
    StartEditor();
    ASSERT_EQ(messages_.entries.size(), 1u);
    EXPECT_NE(messages_.entries[0].text.find(Cp("не завершено")), std::string::npos);
    EXPECT_TRUE(fs::exists(folder / "Map1.qxmap"));

    qxtest::WriteFileBytes(folder / kAutosaveMarker, "x");  // complete, but its files do not read
    messages_.entries.clear();
    messages_.answer = true;
    StartEditor();
    ASSERT_EQ(messages_.entries.size(), 2u);
    EXPECT_NE(messages_.entries[1].text.find(Cp("повреждено")), std::string::npos);
    EXPECT_TRUE(fs::exists(folder / kAutosaveMarker));
    EXPECT_FALSE(Caption().endsWith(" *"));
}

}  // namespace
