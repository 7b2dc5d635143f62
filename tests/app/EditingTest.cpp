// Editing as a user does it, through the real windows: an object made and
// opened, boxes placed with clicks, with "Создать" and with a double click,
// one deleted, the object stored and placed on the map, the player moved,
// the project saved and loaded into a fresh editor.  Then the rules of the
// clicks and commands one by one, and the box editor's fields.
#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QScreen>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "AskObjectName.h"
#include "Camera.h"
#include "EditCommands.h"
#include "EditorDocument.h"
#include "EditorFixture.h"
#include "DocumentSteps.h"
#include "EditorState.h"
#include "EditHistory.h"
#include "HistoryView.h"
#include "EditorWindows.h"
#include "FrameTimer.h"
#include "FrameLoop.h"
#include "GLEngine.h"
#include "Errors.h"
#include "Messages.h"
#include "MapCommands.h"
#include "ModelImport.h"
#include "BoxEditor.h"
#include "Settings.h"
#include "ObjectSettings.h"
#include "NumberField.h"
#include "NumberText.h"
#include "PendingBox.h"
#include "EditControls.h"
#include "PartTree.h"
#include "Placing.h"
#include "SceneMouse.h"
#include "PrimitiveList.h"
#include "QX3DObject.h"
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

class EditingTest : public apptest::EditorFixture {
protected:
    // A click on the grid in front of the camera, once the frames have put
    // the cursor under the mouse.
    void ClickScene(QPoint at)
    {
        QTest::mouseMove(w()->SceneWindow, at);
        QTest::qWait(60);
        QTest::mouseClick(w()->SceneWindow, Qt::LeftButton, {}, at);
        QTest::qWait(20);
    }
    QPoint GridPoint(int dx = 0) const { return {w()->Scene->width() / 4 + dx, w()->Scene->height() - 40}; }
    void Menu(const char* name) { w()->findChild<QAction*>(name)->trigger(); }
    std::map<std::string, std::string> SavedFiles() const
    {
        std::map<std::string, std::string> files;
        for (const auto& entry : fs::directory_iterator(dir_ / "Sys/Saves"))
            if (entry.is_regular_file())
                files[entry.path().filename().string()] = qxtest::ReadFileBytes(entry.path());
        return files;
    }

};

TEST_F(EditingTest, AWholeEditingRunSavesAProjectThatLoadsBackTheSame)
{
    EditorState& state = Editor();
    ObjectNameHooks().InputText = [](const QString&, const QString&, const QString&) {
        return std::optional<QString>(Ui("Стол"));
    };
    Select(w()->ObjectList, Node(w()->ObjectList, "+Объекты"));
    w()->PopupMenu1->findChild<QAction*>("N4")->trigger();
    const std::string name = Cp("_Стол");
    ASSERT_EQ(state.FindObject(name), 0);
    QTreeWidgetItem* objectNode = Node(w()->ObjectList, "_Стол");
    ASSERT_NE(objectNode, nullptr);

    // Opened with a double click on its node (Qt Test's double click does
    // not reach item views through the window system, so the view's signal
    // stands for it).
    Select(w()->ObjectList, objectNode);
    emit w()->ObjectList->itemDoubleClicked(objectNode, 0);
    ASSERT_TRUE(state.ModelEditMode);
    EXPECT_TRUE(w()->ModelList->isVisible());

    // A box with two clicks, a taller one with "Создать" twice, a third with
    // a double click.
    QTest::mouseClick(w()->Button19, Qt::LeftButton);
    ASSERT_TRUE(state.Placing);
    EXPECT_TRUE(BoxEditorWindow()->isVisible());
    ClickScene(GridPoint());
    EXPECT_EQ(state.ClickState, 1);
    ClickScene(GridPoint());
    EXPECT_EQ(state.ClickState, 0);
    ASSERT_EQ(state.EditedModel->Lists[0]->BoxCount, 1);
    EXPECT_EQ(NodeText(Node(w()->OBJList, "+Примитивы")->child(0)), Cp("0 - [к]_Коробка"));

    BoxEditorWindow()->Ez2->setText("12");
    QTest::mouseClick(BoxEditorWindow()->Button29, Qt::LeftButton);
    QTest::mouseClick(BoxEditorWindow()->Button29, Qt::LeftButton);
    ASSERT_EQ(state.EditedModel->Lists[0]->BoxCount, 2);
    EXPECT_FLOAT_EQ(state.EditedModel->Lists[0]->Boxes[1].Size.Y, 12.0f);

    QTest::mouseMove(w()->SceneWindow, GridPoint(40));
    QTest::qWait(60);
    QTest::mouseDClick(w()->SceneWindow, Qt::LeftButton, {}, GridPoint(40));
    ASSERT_EQ(state.EditedModel->Lists[0]->BoxCount, 3) << "one gesture locks and commits";
    EXPECT_EQ(state.ClickState, 0);
    const TBox third = state.EditedModel->Lists[0]->Boxes[2];
    EXPECT_NE(third.Position.X, state.EditedModel->Lists[0]->Boxes[0].Position.X);

    // The middle box deleted from the part tree.
    Select(w()->OBJList, Node(w()->OBJList, "+Примитивы")->child(1));
    w()->PopupMenu3->findChild<QAction*>("N39")->trigger();
    ASSERT_EQ(state.EditedModel->Lists[0]->BoxCount, 2);
    EXPECT_FLOAT_EQ(state.EditedModel->Lists[0]->Boxes[1].Position.X, third.Position.X);

    QTest::mouseClick(w()->BitBtn2, Qt::LeftButton);
    EXPECT_FALSE(state.ModelEditMode);
    EXPECT_FALSE(BoxEditorWindow()->isVisible());
    ASSERT_EQ(state.MapObjects[0]->Lists[0]->BoxCount, 2);
    ASSERT_EQ(state.MapObjects[0]->Buffers.size(), 1u);
    ASSERT_TRUE(state.MapObjects[0]->Buffers[0]) << "the map draws the stored boxes";

    // Placed twice on the map, and the player moved.
    QTest::mouseClick(w()->ObjectList->viewport(), Qt::LeftButton, {},
                      w()->ObjectList->visualItemRect(objectNode).center());
    EXPECT_EQ(state.CursorPreview->Lists[0]->BoxCount, 2) << "the preview follows the cursor";
    ClickScene(GridPoint());
    ClickScene(GridPoint(60));
    ASSERT_EQ(state.PlacementCount, 2);
    EXPECT_EQ(state.PlacementNames[1], name);
    EXPECT_NE(state.Placements[0].PosX, state.Placements[1].PosX);
    Select(w()->ObjectList, Node(w()->ObjectList, "_Игрок"));
    ClickScene(GridPoint(30));
    EXPECT_EQ(state.PlacementCount, 2);
    EXPECT_FLOAT_EQ(state.PlayerPos[1], static_cast<float>(w()->CamVerhBar->value()));

    Menu("Save1");
    ASSERT_TRUE(messages_.entries.empty()) << messages_.entries[0].text;
    const auto saved = SavedFiles();
    EXPECT_EQ(saved.count(Cp1251ToUtf8(name) + ".qxobj"), 1u);

    // A fresh editor loads it and saves the very same bytes.
    StartEditor();
    Menu("Load1");
    ASSERT_TRUE(messages_.entries.empty()) << messages_.entries[0].text;
    EXPECT_EQ(Editor().PlacementCount, 2);
    Menu("Save1");
    EXPECT_EQ(SavedFiles(), saved);
}

// The rules of the clicks and commands, each where a user would trip on it.
TEST_F(EditingTest, ClickAndCommandRules)
{
    EditorState& state = Editor();
    state.AddObject("_A");
    QTreeWidgetItem* a = AddObjectNode("_A");
    Select(w()->ObjectList, a);
    state.CursorWorld[0] = 3.3;

    // Flight mode places nothing.
    w()->RadioButton5->click();
    SceneClick(*w());
    EXPECT_EQ(state.PlacementCount, 0);
    w()->RadioButton4->click();

    // A node that holds the player's name without being it places and moves.
    QTreeWidgetItem* both = AddObjectNode(Cp("_Игрок2"));
    Select(w()->ObjectList, both);
    SceneClick(*w());
    EXPECT_EQ(state.PlacementCount, 1);
    EXPECT_FLOAT_EQ(state.PlayerPos[0], 3.0f);

    // The last of two equal texts.
    AddObjectNode("_A");
    EXPECT_EQ(FindNodeByText("_A", w()->ObjectList), w()->ObjectList->topLevelItemCount() - 1);
    EXPECT_EQ(FindNodeByText("_none", w()->ObjectList), -1);

    // "Мышка" on a locked box drops it; the box editor stays.
    Select(w()->ObjectList, a);
    OpenObjectForEditing(*w());
    ASSERT_TRUE(state.ModelEditMode);
    StartPlacingShape(Editor(), ShapeKind::Box);
    SceneClick(*w());
    EXPECT_EQ(state.ClickState, 1);
    QTest::mouseClick(w()->Button4, Qt::LeftButton);
    EXPECT_FALSE(state.Placing);
    EXPECT_TRUE(BoxEditorWindow()->isVisible());

    // A folder of the part tree is no box to delete.
    Select(w()->OBJList, Node(w()->OBJList, "+Модели"));
    DeleteSelectedPart(*w());
    EXPECT_NE(Node(w()->OBJList, "+Модели"), nullptr);
    qx::StoreWorkingCopy(Editor());
    EXPECT_FALSE(state.ModelEditMode);
    EXPECT_FALSE(BoxEditorWindow()->isVisible());

    // A cancelled name box gives the default name once, then a duplicate.
    ObjectNameHooks().InputText = [](const QString&, const QString&, const QString&) {
        return std::optional<QString>();
    };
    Select(w()->ObjectList, Node(w()->ObjectList, "+Объекты"));
    AddStaticObject(Editor());
    AddStaticObject(Editor());
    EXPECT_EQ(state.MapObjectCount, 2);
    EXPECT_EQ(state.MapObjectNames[1], Cp("_ИмяОбъекта"));
    Select(w()->ObjectList, Node(w()->ObjectList, "_Игрок"));
    AddStaticObject(Editor());
    OpenObjectForEditing(*w());
    EXPECT_EQ(state.MapObjectCount, 2);
    EXPECT_FALSE(state.ModelEditMode);
    EXPECT_TRUE(messages_.entries.empty());
}

// Selection and its edits through the real windows: a click picks what is
// drawn under the mouse (a turned, stretched placement), the keys work by
// position in a Russian layout without walking the camera, a drag moves the
// selection on the grid as one step.
TEST_F(EditingTest, PlacementsAreSelectedAsDrawnAndEditedWithKeysAndDrags)
{
    EditorState& state = Editor();
    MakeEngineCurrent();
    const int32_t k = state.AddObject("_Crate");
    state.MapObjects[static_cast<size_t>(k)]->Lists[0]->AddBox(0, 0, 0, 0, 4, 4, 4, 1, 0, 0, 0);
    state.MapObjects[static_cast<size_t>(k)]->BuildDisplayLists();
    QTest::mouseMove(w()->SceneWindow, GridPoint());
    QTest::qWait(60);
    const double c[3] = {state.CursorWorld[0], state.CursorWorld[1], state.CursorWorld[2]};
    // Turned 90 degrees and twice as long: it covers x c-2..c+2, z c-4..c+4.
    state.AddPlacement("_Crate", TPlacement{static_cast<float>(c[0] - 2), static_cast<float>(c[1] - 2),
                                            static_cast<float>(c[2] + 4), 0, 90, 0, 2, 1, 1});
    QTest::keyClick(w()->ObjectList, Qt::Key_Escape);
    EXPECT_TRUE(w()->ObjectList->selectedItems().isEmpty()) << "Esc: nothing is being placed";
    ClickScene(GridPoint());
    EXPECT_EQ(state.PlacementCount, 1) << "a click selects, it does not place";
    ASSERT_EQ(state.Selection, state.PlacementIdsAt({0}));
    EXPECT_EQ(w()->StatusMessage->text(), Ui("Выбрано объектов: 1"));
    w()->ShowStatusMessage(Cp("Под курсором ничего нет"));
    ClickScene(GridPoint());
    EXPECT_EQ(w()->StatusMessage->text(), Ui("Выбрано объектов: 1")) << "also when it was selected already";
    ClickScene({w()->Scene->width() - 20, 20});
    EXPECT_TRUE(state.Selection.empty()) << "a click on nothing clears";

    const TVec3 eye = state.Camera->Eye;
    const auto ctrl = [&](int key, const char* utf8) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::ControlModifier, Ui(utf8));
        QApplication::sendEvent(w()->ObjectList, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::ControlModifier, Ui(utf8));
        QApplication::sendEvent(w()->ObjectList, &release);
    };
    QTest::keyPress(w()->ObjectList, Qt::Key_Control);
    ctrl(0x0424, "ф");  // Ctrl+A by position
    ASSERT_EQ(state.Selection, state.PlacementIdsAt({0}));
    ctrl(0x0412, "в");  // Ctrl+D
    QTest::keyRelease(w()->ObjectList, Qt::Key_Control);
    ASSERT_EQ(state.PlacementCount, 2);
    EXPECT_EQ(state.Selection, state.PlacementIdsAt({1}));
    EXPECT_FLOAT_EQ(state.Placements[1].PosX - state.Placements[0].PosX, state.GridStepX);
    QTest::qWait(50);
    EXPECT_FLOAT_EQ(state.Camera->Eye.X, eye.X) << "no strafe, no mouse-look";
    EXPECT_FLOAT_EQ(state.Camera->Eye.Z, eye.Z);

    const float y = state.Placements[1].PosY;
    QTest::keyClick(w()->ObjectList, Qt::Key_PageUp);
    EXPECT_FLOAT_EQ(state.Placements[1].PosY, y + state.GridStepY);
    QKeyEvent r(QEvent::KeyPress, 0x041A, Qt::NoModifier, Ui("к"));  // R
    QApplication::sendEvent(w()->ObjectList, &r);
    EXPECT_FLOAT_EQ(state.Placements[1].RotY, 180);
    QTest::keyClick(w()->ObjectList, Qt::Key_Delete);
    EXPECT_EQ(state.PlacementCount, 1);
    ctrl(0x042F, "я");  // undo the deletion
    ASSERT_EQ(state.PlacementCount, 2);
    EXPECT_EQ(state.Selection, state.PlacementIdsAt({1}));

    // A drag from the first placement (selected again) moves it across the
    // grid by whole steps; undone in one step.
    ClickScene(GridPoint());
    ASSERT_EQ(state.Selection, state.PlacementIdsAt({0}));
    const TPlacement before = state.Placements[0];
    QTest::mousePress(w()->SceneWindow, Qt::LeftButton, {}, GridPoint());
    for (int dx = 5; dx <= 60; dx += 5)
        QTest::mouseMove(w()->SceneWindow, GridPoint(dx));
    QTest::mouseRelease(w()->SceneWindow, Qt::LeftButton, {}, GridPoint(60));
    QTest::qWait(20);
    const float moved = state.Placements[0].PosX - before.PosX;
    EXPECT_NE(moved, 0.0f);
    EXPECT_FLOAT_EQ(std::fmod(moved, state.GridStepX), 0.0f);
    EXPECT_EQ(state.Placements[0].PosY, before.PosY);
    EXPECT_EQ(state.Selection, state.PlacementIdsAt({0})) << "a drag is no click";
    UndoLastEdit();
    EXPECT_EQ(state.Placements[0].PosX, before.PosX);
}

// The object settings window: fields the selection shares are shown, those
// that differ blank; a typed value applies to all in one step.  "Параметры"
// shows what an object holds; pasted text that is no placements adds nothing.
TEST_F(EditingTest, ObjectSettingsEditTheSelectionAndBadPastesAreRefused)
{
    EditorState& state = Editor();
    const int32_t k = state.AddObject("_Crate");
    state.MapObjects[static_cast<size_t>(k)]->Lists[0]->AddBox(0, 0, 0, 0, 4, 2, 6, 1, 0, 0, 0);
    state.AddPlacement("_Crate", TPlacement{1, 5, 3, 0, 0, 0, 1, 1, 1});
    state.AddPlacement("_Crate", TPlacement{2, 5, 3, 0, 0, 0, 1, 1, 1});
    QWidget* focused = QApplication::focusWidget();
    qx::SetSelection(state, state.PlacementIdsAt({0, 1}));
    // It shows itself beside the trees, inside the screen, and leaves the
    // keyboard where it was.
    ASSERT_TRUE(ObjectSettingsWindow()->isVisible());
    const QRect trees(w()->ObjectList->mapToGlobal(QPoint(0, 0)), w()->ObjectList->size());
    const auto rect = [](const QRect& r) {
        return std::to_string(r.x()) + "," + std::to_string(r.y()) + " " + std::to_string(r.width()) + "x" +
               std::to_string(r.height());
    };
    EXPECT_FALSE(ObjectSettingsWindow()->frameGeometry().intersects(trees))
        << rect(ObjectSettingsWindow()->frameGeometry()) << " over the trees at " << rect(trees) << ", the window at "
        << rect(w()->frameGeometry()) << ", the screen " << rect(ObjectSettingsWindow()->screen()->availableGeometry());
    EXPECT_TRUE(ObjectSettingsWindow()->screen()->availableGeometry().contains(ObjectSettingsWindow()->frameGeometry()));
    QTest::qWait(50);
    EXPECT_EQ(QApplication::focusWidget(), focused);
    EXPECT_NE(QApplication::activeWindow(), ObjectSettingsWindow());
    EXPECT_EQ(ObjectSettingsWindow()->OPosX->text(), "") << "the X positions differ";
    EXPECT_EQ(ObjectSettingsWindow()->OPosZ->text(), "5") << "the user's Z is the height";
    ObjectSettingsWindow()->OPosX->setText("7");
    EXPECT_EQ(state.Placements[0].PosX, 7);
    EXPECT_EQ(state.Placements[1].PosX, 7);
    ObjectSettingsWindow()->OPosX->setText("-");  // typing goes on: nothing changes, no message
    EXPECT_EQ(state.Placements[0].PosX, 7);
    UndoLastEdit();
    EXPECT_EQ(state.Placements[0].PosX, 1);
    EXPECT_EQ(state.Placements[1].PosX, 2);

    Select(w()->ObjectList, AddObjectNode("_Crate"));
    w()->PopupMenu1->findChild<QAction*>("N33")->trigger();
    EXPECT_TRUE(ObjectSettingsWindow()->isVisible());
    EXPECT_NE(ObjectSettingsWindow()->Info->text().indexOf(Ui("коробок 1, размещений 2")), -1) << ObjectSettingsWindow()->Info->text().toStdString();

    PastePlacementText(Editor(), "_Crate 1 2");
    EXPECT_EQ(state.PlacementCount, 2);
    ASSERT_EQ(messages_.entries.size(), 1u);
    EXPECT_EQ(messages_.entries[0].caption, Cp("Вставка"));
    EXPECT_TRUE(messages_.entries[0].text.find(Cp("ничего не вставлено")) != std::string::npos);

    // Where the user moves it is kept for the next time.
    const QPoint moved = ObjectSettingsWindow()->pos() - QPoint(30, 20);
    ObjectSettingsWindow()->move(moved);
    ObjectSettingsWindow()->hide();
    EXPECT_EQ(SavedWindowPlace("FOPos"), (std::pair{moved.x(), moved.y()}));

    // Choosing an object to place clears the selection: Delete then removes
    // the one placement nearest the cursor, not the two selected.
    qx::SetSelection(state, state.PlacementIdsAt({0, 1}));
    Select(w()->ObjectList, Node(w()->ObjectList, "_Crate"));
    ObjectListClick();
    EXPECT_TRUE(state.Selection.empty());
    state.CursorWorld[0] = 2;
    state.CursorWorld[1] = 5;
    state.CursorWorld[2] = 3;
    QTest::keyClick(w()->ObjectList, Qt::Key_Delete);
    ASSERT_EQ(state.PlacementCount, 1);
    EXPECT_EQ(state.Placements[0].PosX, 1) << "the nearest went";
}

// What the user just made is in sight and chosen; opening an object lists
// its own boxes, and "Удалить" removes exactly the box its node names.
TEST_F(EditingTest, NewNodesAreShownAndThePartTreeListsTheOpenObjectsBoxes)
{
    EditorState& state = Editor();
    QString answer;
    ObjectNameHooks().InputText = [&](const QString&, const QString&, const QString&) {
        return std::optional<QString>(answer);
    };
    Select(w()->ObjectList, Node(w()->ObjectList, "_Игрок"));
    ObjectListClick();
    QTreeWidgetItem* objects = Node(w()->ObjectList, "+Объекты");
    objects->setExpanded(false);
    // Opens object `name` with boxes 1, 2, 3, ... units wide.
    const auto make = [&](const char* name, int boxes) {
        answer = name;
        Select(w()->ObjectList, objects);
        AddStaticObject(Editor());
        OpenObjectForEditing(*w());
        StartPlacingShape(Editor(), ShapeKind::Box);
        for (int i = 0; i < boxes; ++i) {
            BoxEditorWindow()->Ex2->setText(QString::number(i + 1));
            SceneClick(*w());
            SceneClick(*w());
        }
        qx::StoreWorkingCopy(Editor());
    };
    make("A", 1);
    QTreeWidgetItem* a = Node(w()->ObjectList, "_A");
    EXPECT_TRUE(objects->isExpanded());
    EXPECT_EQ(w()->ObjectList->currentItem(), a);
    EXPECT_EQ(state.CursorPreview->Lists[0]->BoxCount, 0) << "the preview is the new object, not the player";
    QTreeWidgetItem* primitives = Node(w()->OBJList, "+Примитивы");
    ASSERT_EQ(primitives->childCount(), 1);
    EXPECT_TRUE(primitives->isExpanded());
    EXPECT_EQ(w()->OBJList->currentItem(), primitives->child(0)) << "the new box node is current";
    make("B", 2);

    Select(w()->ObjectList, a);
    OpenObjectForEditing(*w());
    ASSERT_EQ(primitives->childCount(), 1);
    qx::StoreWorkingCopy(Editor());
    Select(w()->ObjectList, Node(w()->ObjectList, "_B"));
    OpenObjectForEditing(*w());
    ASSERT_EQ(primitives->childCount(), 2) << "B's own boxes, not A's";
    EXPECT_EQ(NodeText(primitives->child(1)), Cp("1 - [к]_Коробка"));
    Select(w()->OBJList, primitives->child(1));
    DeleteSelectedPart(*w());
    ASSERT_EQ(state.EditedModel->Lists[0]->BoxCount, 1);
    EXPECT_EQ(state.EditedModel->Lists[0]->Boxes[0].Size.X, 1.0f) << "the second box went";
    UndoLastEdit();
    ASSERT_EQ(state.EditedModel->Lists[0]->BoxCount, 2);
    EXPECT_EQ(state.EditedModel->Lists[0]->Boxes[1].Size.X, 2.0f);
    primitives = Node(w()->OBJList, "+Примитивы");  // the undo rebuilt the tree

    // A node beyond the boxes names none: nothing removed, no step.
    const std::string undoLabel = EditHistory().UndoLabel();
    AddNode(w()->OBJList, primitives, Cp("7 - [к]_Коробка"));
    Select(w()->OBJList, primitives->child(2));
    DeleteSelectedPart(*w());
    EXPECT_EQ(state.EditedModel->Lists[0]->BoxCount, 2);
    EXPECT_EQ(EditHistory().UndoLabel(), undoLabel);
}

// The box editor's fields on a document of its own, with one box pending
// and locked.
class BoxEditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        previousSeparator_ = DecimalSeparator();
        editor_ = std::make_unique<TFBoxEditor>();
        qxtest::PendOneBox(doc_, pending_);
        editor_->UseDocument(doc_);
        editor_->Link = BoxEditorLink{
            [this] { return &camera_; },
            [this] {
                ++clicks_;
                editModeInClick_ = camera_.EditMode;
            },
        };
    }
    void TearDown() override { SetDecimalSeparator(previousSeparator_); }

    qxtest::ScopedEditorDocument editor_document_;
    Document doc_;
    TQX3DObject pending_{"ModelTemp"};
    std::unique_ptr<TFBoxEditor> editor_;
    TGLPremitives& List() { return *pending_.Lists[0]; }
    TCamera camera_;
    int clicks_ = 0;
    uint8_t editModeInClick_ = 0;
    char previousSeparator_ = '.';
    qx::RecordingMessageSink messages_;
    qx::ScopedMessageSink sink_{messages_};
};

TEST_F(BoxEditorTest, FieldsMapToTheUsersAxesAndConvertAsDesigned)
{
    SetDecimalSeparator(',');
    EXPECT_EQ(editor_->windowTitle(), Ui("Настройка \"Коробки\""));
    EXPECT_EQ(editor_->size(), QSize(407, 190));
    editor_->EPosY->setText("5");
    editor_->EPosZ->setText("2");
    EXPECT_EQ(doc_.CursorWorld[2], 5.0) << "the second row is depth";
    EXPECT_EQ(doc_.CursorWorld[1], 2.0) << "the third row is height";
    editor_->Ez2->setText("12,5");
    EXPECT_FLOAT_EQ(List().Boxes[0].Size.Y, 12.5f);
    editor_->findChild<QPushButton*>("Button18")->click();
    EXPECT_EQ(editor_->Ez2->text(), "1") << "12,5 is no integer and counts as 0";
    editor_->Eroty->setText("45");
    EXPECT_FLOAT_EQ(List().Boxes[0].Rotation.Y, 45.0f);
    editor_->Edit1->setText("300");
    EXPECT_EQ(List().Boxes[0].BlendEquation, 44) << "stored in 8 bits";
    editor_->Edit2->setText("2");
    EXPECT_EQ(List().Boxes[0].BlendMode, 2);
    editor_->Edit3->setText("0");
    EXPECT_FALSE(List().Boxes[0].CullFront);
    editor_->Etex1->setText("3");
    EXPECT_FLOAT_EQ(List().Boxes[0].Tiling, 3.0f);
}

// Typing is never interrupted: the beginning of a number waits silently, a
// text that is none is marked at once and reported once when the field is
// finished; the box keeps its last good value.
TEST_F(BoxEditorTest, TypingNeverRaisesAndFinishedBadTextIsReportedOnce)
{
    SetDecimalSeparator(',');
    editor_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(editor_.get()));
    Editor().KeysEnabled = Editor().SwallowKeys = false;  // keys reach the box editor
    const auto type = [](QLineEdit* edit, const char* text) {
        edit->clear();
        QTest::keyClicks(edit, text);
    };
    editor_->Eroty->setText("45");
    editor_->Etex1->setText("3");
    for (const char* beginning : {"-", "", "1e", "1e-"}) {
        editor_->Eroty->setText(beginning);
        EXPECT_FALSE(FieldMarked(editor_->Eroty)) << beginning;
    }
    type(editor_->Etex1, "-");
    type(editor_->Edit3, "tr");
    EXPECT_TRUE(messages_.entries.empty());
    EXPECT_FLOAT_EQ(List().Boxes[0].Rotation.Y, 45.0f);
    EXPECT_FLOAT_EQ(List().Boxes[0].Tiling, 3.0f) << "a lone minus is no tiling yet";
    QTest::keyClicks(editor_->Eroty, "2");
    EXPECT_FLOAT_EQ(List().Boxes[0].Rotation.Y, 0.01f) << "1e-2 takes effect at once";
    ASSERT_EQ(editor_->Eroty->text(), "1e-2");

    type(editor_->Eroty, "1x");
    EXPECT_TRUE(FieldMarked(editor_->Eroty));
    type(editor_->Etex1, "x");
    type(editor_->Edit3, "yes");
    type(editor_->EPosX, "");
    EXPECT_TRUE(messages_.entries.empty());
    for (QLineEdit* edit : {editor_->Eroty, editor_->Etex1, editor_->Edit3, editor_->EPosX}) {
        QTest::keyClick(edit, Qt::Key_Return);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    ASSERT_EQ(messages_.entries.size(), 3u) << "once each; an empty position is no value";
    EXPECT_EQ(messages_.entries[0].text, "Could not convert variant of type (String) into type (Double)");
    EXPECT_EQ(messages_.entries[1].text, "'x' is not a valid integer value");
    EXPECT_EQ(messages_.entries[2].text, "'yes' is not a valid boolean value");
    EXPECT_FLOAT_EQ(List().Boxes[0].Rotation.Y, 1.0f) << "the last good value, \"1\" of \"1x\"";
    EXPECT_TRUE(List().Boxes[0].CullFront);
    editor_->Etex1->setText("2");
    EXPECT_FALSE(FieldMarked(editor_->Etex1));
}

// The present step writes a field only when its value or its text changed
// (a write puts the text cursor at the end), keeps a value the user typed
// in their own spelling, and leaves the field being typed into until the
// user leaves it.
TEST_F(BoxEditorTest, PresentWritesOnlyWhatChangedAndNeverTheFieldBeingTyped)
{
    editor_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(editor_.get()));
    editor_->Present(TFBoxEditor::AllFields);
    EXPECT_EQ(editor_->Ex2->text(), "8");
    editor_->Ex2->setCursorPosition(0);
    List().Boxes[0].Size.Y = 3;
    editor_->Present(TFBoxEditor::AllFields);
    EXPECT_EQ(editor_->Ez2->text(), "3");
    EXPECT_EQ(editor_->Ex2->cursorPosition(), 0) << "unchanged, not written";
    editor_->Ex2->setText("8.50");
    editor_->Present(TFBoxEditor::AllFields);
    EXPECT_EQ(editor_->Ex2->text(), "8.50");

    // The server may be slow to hand over activation when the machine is
    // loaded; Qt is then told directly.
    editor_->activateWindow();
    if (!QTest::qWaitForWindowActive(editor_.get(), 2000))
        QApplication::setActiveWindow(editor_.get());
    ASSERT_TRUE(editor_->isActiveWindow());
    editor_->Ez2->setFocus();
    List().Boxes[0].Size.Y = 4;
    editor_->Present(TFBoxEditor::AllFields);
    EXPECT_EQ(editor_->Ez2->text(), "3");
    editor_->Ex2->setFocus();
    ASSERT_NE(editor_->StaleFields(), 0u);
    editor_->Present(editor_->StaleFields());
    EXPECT_EQ(editor_->Ez2->text(), "4") << "shown once the user left it";
    EXPECT_EQ(editor_->StaleFields(), 0u);
}

TEST_F(BoxEditorTest, UnlockedPositionFieldsLeaveTheCursorAlone)
{
    doc_.ClickState = 0;
    editor_->EPosX->setText("9");
    EXPECT_EQ(doc_.CursorWorld[0], 0.0);
}

TEST_F(BoxEditorTest, NothingChangesWhileNoBoxIsShapedButThePlusButtonsCount)
{
    doc_.Placing = false;
    editor_->findChild<QPushButton*>("Button14")->click();
    EXPECT_EQ(editor_->Ex2->text(), "1");
    EXPECT_FLOAT_EQ(List().Boxes[0].Size.X, 8.0f);
    editor_->Eroty->setText("-");
    EXPECT_TRUE(messages_.entries.empty());

    doc_.Placing = true;
    camera_.EditMode = 0;
    editor_->Button29->click();
    EXPECT_EQ(clicks_, 1);
    EXPECT_EQ(editModeInClick_, 255) << "clicked as in edit mode";
    EXPECT_EQ(camera_.EditMode, 0) << "and the mode put back";
}

}  // namespace

namespace {

// "Пол", "Стена", "Сфера" and "Торус" through the windows: each hangs on the
// cursor with the box editor showing only the fields it has, is shaped
// there, committed with "Создать" and listed in the part tree by kind; one
// is changed and one deleted through the part tree, and undo takes each
// step back.
TEST_F(EditingTest, EveryShapeIsPlacedShapedCommittedAndUndone)
{
    EditorState& state = Editor();
    state.AddObject("_S");
    Select(w()->ObjectList, AddObjectNode("_S"));
    OpenObjectForEditing(*w());
    // Sizes go into the rows the kind has, in order.
    const auto create = [&](QPushButton* button, const char* first, const char* second, const char* caption,
                            const char* sizes) {
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_TRUE(state.Placing);
        // The window names the kind and what its size fields are.
        EXPECT_EQ(BoxEditorWindow()->windowTitle(), Ui(caption));
        EXPECT_EQ(BoxEditorWindow()->findChild<QGroupBox*>("GroupBox2")->title(), Ui(sizes));
        std::vector<QLineEdit*> rows;
        for (QLineEdit* row : {BoxEditorWindow()->Ex2, BoxEditorWindow()->Ey2, BoxEditorWindow()->Ez2})
            if (row->isEnabled())
                rows.push_back(row);
        rows.at(0)->setText(first);
        if (rows.size() > 1)
            rows[1]->setText(second);
        QTest::mouseClick(BoxEditorWindow()->Button29, Qt::LeftButton);
        BoxEditorWindow()->EPosZ->setText("3");  // the height, once locked
        QTest::mouseClick(BoxEditorWindow()->Button29, Qt::LeftButton);
    };

    QTest::mouseClick(w()->Button20, Qt::LeftButton);
    for (QLineEdit* off : {BoxEditorWindow()->Ey2, BoxEditorWindow()->Ez2, BoxEditorWindow()->Etex1, BoxEditorWindow()->Edit1, BoxEditorWindow()->Edit3})
        EXPECT_FALSE(off->isEnabled()) << off->objectName().toStdString();
    EXPECT_FALSE(BoxEditorWindow()->findChild<QPushButton*>("Button16")->isEnabled()) << "a row's buttons go with it";
    EXPECT_TRUE(BoxEditorWindow()->Ex2->isEnabled());
    create(w()->Button20, "5", "", "Настройка \"Сферы\"", "Радиус");
    create(w()->Button5, "6", "2", "Настройка \"Торуса\"", "Радиусы (кольцо, трубка)");
    create(w()->Button17, "10", "12", "Настройка \"Пола\"", "Размеры (x2,y2)");
    EXPECT_FALSE(BoxEditorWindow()->Ez2->isEnabled()) << "a floor has no height";
    EXPECT_TRUE(BoxEditorWindow()->Etex1->isEnabled());
    create(w()->Button18, "4", "7", "Настройка \"Стены\"", "Размеры (x2,z2)");
    EXPECT_FALSE(BoxEditorWindow()->Ey2->isEnabled()) << "a wall's second side is its height";
    create(w()->Button19, "1", "1", "Настройка \"Коробки\"", "Размеры (x2,y2,z2)");

    const TGLPremitives& list = *state.EditedModel->Lists[0];
    ASSERT_EQ(list.SphereCount, 1);
    EXPECT_FLOAT_EQ(list.Spheres[0].Radius, 5.0f);
    EXPECT_FLOAT_EQ(list.Spheres[0].Position.Y, 3.0f);
    EXPECT_GT(list.Spheres[0].Segments, 0);
    ASSERT_EQ(list.TorusCount, 1);
    EXPECT_FLOAT_EQ(list.Tori[0].ShapeParams[0], 6.0f);
    EXPECT_FLOAT_EQ(list.Tori[0].ShapeParams[1], 2.0f);
    ASSERT_EQ(list.FloorCount, 1);
    EXPECT_TRUE(list.Floors[0].OwnTransform);
    EXPECT_FLOAT_EQ(list.Floors[0].SizeX, 10.0f);
    EXPECT_FLOAT_EQ(list.Floors[0].SizeZ, 12.0f);
    EXPECT_FLOAT_EQ(list.Floors[0].Position.Y, 3.0f);
    ASSERT_EQ(list.WallCount, 1);
    EXPECT_FLOAT_EQ(std::fabs(list.Walls[0].Rotation.X), 90.0f) << "upright";
    EXPECT_FLOAT_EQ(list.Walls[0].SizeZ, 7.0f);
    ASSERT_EQ(list.BoxCount, 1);

    QTreeWidgetItem* parts = Node(w()->OBJList, "+Примитивы");
    const auto nodes = [&] {
        std::vector<std::string> texts;
        for (int i = 0; i < parts->childCount(); ++i)
            texts.push_back(Cp1251ToUtf8(NodeText(parts->child(i))));
        return texts;
    };
    const std::vector<std::string> listed{"0 - [к]_Коробка", "0 - [ш]_Сфера", "0 - [т]_Торус", "0 - [п]_Пол",
                                          "0 - [с]_Стена"};
    EXPECT_EQ(nodes(), listed) << "by kind, as the node's place names the primitive";
    std::vector<int> icons;
    for (int i = 0; i < parts->childCount(); ++i)
        icons.push_back(NodeIcon(parts->child(i)));
    EXPECT_EQ(icons, (std::vector<int>{5, 7, 12, 8, 9})) << "each kind its own picture";

    // The sphere changed through its node: a bigger radius, put back in place.
    Select(w()->OBJList, parts->child(1));
    ChangeSelectedPart(*w());
    ASSERT_EQ(state.PendingKind, ShapeKind::Sphere);
    EXPECT_EQ(BoxEditorWindow()->Ex2->text(), "5");
    BoxEditorWindow()->Ex2->setText("9");
    QTest::mouseClick(BoxEditorWindow()->Button29, Qt::LeftButton);
    EXPECT_FLOAT_EQ(list.Spheres[0].Radius, 9.0f);
    EXPECT_EQ(list.SphereCount, 1);
    EXPECT_EQ(EditHistory().UndoLabel(), Cp("изменение сферы"));
    UndoLastEdit();
    EXPECT_FLOAT_EQ(state.EditedModel->Lists[0]->Spheres[0].Radius, 5.0f);

    // The floor deleted through its node; undo brings it and its node back.
    parts = Node(w()->OBJList, "+Примитивы");
    Select(w()->OBJList, parts->child(3));
    DeleteSelectedPart(*w());
    EXPECT_EQ(state.EditedModel->Lists[0]->FloorCount, 0);
    EXPECT_EQ(state.EditedModel->Lists[0]->WallCount, 1);
    UndoLastEdit();
    EXPECT_EQ(state.EditedModel->Lists[0]->FloorCount, 1);
    parts = Node(w()->OBJList, "+Примитивы");
    EXPECT_EQ(nodes(), listed);

    // Saved, loaded in a fresh editor and reopened, the object lists the
    // same nodes.
    qx::StoreWorkingCopy(Editor());
    w()->ObjectList->setCurrentItem(Node(w()->ObjectList, "+Объекты"));
    Menu("Save1");
    StartEditor();
    Menu("Load1");
    ASSERT_TRUE(messages_.entries.empty()) << messages_.entries[0].text;
    Select(w()->ObjectList, Node(w()->ObjectList, "_S"));
    OpenObjectForEditing(*w());
    parts = Node(w()->OBJList, "+Примитивы");
    EXPECT_EQ(nodes(), listed);
    EXPECT_TRUE(Editor().EditedModel->Lists[0]->Floors[0].OwnTransform);
}

// "+ 3DS" and "+ Blender" through a stubbed file dialog: the model and the
// picture it names are copied into models/, the model hangs on the cursor
// with its scale in the size fields and is committed as "[м]_NAME"; a file
// the reader refuses, a name without a 1251 form and a kept different file
// of the same name add nothing.
TEST_F(EditingTest, ModelsAreCopiedIntoTheProjectOrRefused)
{
    const fs::path cube = "/work/shared/testdata/3ds/online3dviewer/cube_with_texture_transformations.3ds";
    if (!fs::exists(cube))
        GTEST_SKIP() << "no test 3DS file at " << cube;
    EditorState& state = Editor();
    state.AddObject("_M");
    Select(w()->ObjectList, AddObjectNode("_M"));
    OpenObjectForEditing(*w());
    const fs::path source = dir_ / "outside";
    fs::create_directories(source);
    fs::copy_file(cube, source / "Cube.3ds");
    qxtest::WriteFileBytes(source / "TEXTURE.PNG", "picture");
    qxtest::WriteFileBytes(source / "note.3ds", "not a model");
    qxtest::WriteFileBytes(source / "bad.txt", "face\r\nNOTEXTURE\r\n3\r\n1 x 1\r\n");
    qxtest::WriteFileBytes(source / "\xe6\x97\xa5.3ds", qxtest::ReadFileBytes(cube));
    QString chosen;
    QString filter;
    const auto previous = ChooseModelFile();
    ChooseModelFile() = [&](const QString&, const QString& f) {
        filter = f;
        return chosen;
    };
    const fs::path models = dir_ / "Sys/Saves/models";
    const auto refused = [&](QPushButton* button, const char* file) {
        chosen = QString::fromStdString((source / file).string());
        messages_.entries.clear();
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(messages_.entries.size(), 1u) << file;
        EXPECT_FALSE(state.Placing) << file;
        EXPECT_FALSE(fs::exists(models / fs::path(file).filename())) << file;
    };
    refused(w()->Button27, "note.3ds");
    EXPECT_TRUE(QRegularExpression::fromWildcard(QStringView(filter.section('(', 1).chopped(1)))
                    .match("A.3dS")
                    .hasMatch())
        << "any letter case";
    refused(w()->Button28, "bad.txt");
    EXPECT_NE(messages_.entries[0].text.find(Cp("'x' — не число")), std::string::npos) << "the reason in Russian";
    refused(w()->Button27, "\xe6\x97\xa5.3ds");

    chosen = QString::fromStdString((source / "Cube.3ds").string());
    messages_.entries.clear();
    QTest::mouseClick(w()->Button27, Qt::LeftButton);
    ASSERT_TRUE(state.Placing);
    EXPECT_EQ(state.PendingKind, ShapeKind::Model3ds);
    EXPECT_EQ(qxtest::ReadFileBytes(models / "Cube.3ds"), qxtest::ReadFileBytes(cube));
    EXPECT_EQ(qxtest::ReadFileBytes(models / "TEXTURE.PNG"), "picture");
    EXPECT_EQ(BoxEditorWindow()->Ez2->text(), "1") << "sizes are the scale";
    EXPECT_FALSE(BoxEditorWindow()->Etex1->isEnabled());
    BoxEditorWindow()->Ez2->setText("2");
    QTest::mouseClick(BoxEditorWindow()->Button29, Qt::LeftButton);
    QTest::mouseClick(BoxEditorWindow()->Button29, Qt::LeftButton);
    const TGLPremitives& list = *state.EditedModel->Lists[0];
    ASSERT_EQ(list.Model3dsCount, 1);
    EXPECT_EQ(list.Models3ds[0].FileName, "Cube.3ds");
    EXPECT_FLOAT_EQ(list.Models3ds[0].Scale.Y, 2.0f);
    EXPECT_EQ(NodeText(Node(w()->OBJList, "+Модели")->child(0)), Cp("0 - [м]_Cube.3ds"));
    UndoLastEdit();
    EXPECT_EQ(state.EditedModel->Lists[0]->Model3dsCount, 0);
    EXPECT_EQ(Node(w()->OBJList, "+Модели")->childCount(), 0);

    // The same file again needs no question; a different one of that name
    // is kept when the user says no, and nothing is added.
    QTest::mouseClick(w()->Button4, Qt::LeftButton);
    QTest::mouseClick(w()->Button27, Qt::LeftButton);
    EXPECT_TRUE(state.Placing);
    QTest::mouseClick(w()->Button4, Qt::LeftButton);
    ASSERT_TRUE(std::none_of(messages_.entries.begin(), messages_.entries.end(),
                             [](const auto& e) { return e.question; }));
    qxtest::WriteFileBytes(models / "Cube.3ds", "another");
    messages_.answer = false;
    QTest::mouseClick(w()->Button27, Qt::LeftButton);
    EXPECT_FALSE(state.Placing);
    EXPECT_TRUE(messages_.entries.back().question);
    EXPECT_EQ(qxtest::ReadFileBytes(models / "Cube.3ds"), "another");

    // A file cut short is read with faults: added, and told once.
    qxtest::WriteFileBytes(source / "cut.3ds", qxtest::ReadFileBytes(cube).substr(0, 900));
    chosen = QString::fromStdString((source / "cut.3ds").string());
    messages_.entries.clear();
    QTest::mouseClick(w()->Button27, Qt::LeftButton);
    EXPECT_TRUE(state.Placing);
    // (The picture loader has its own say about the picture it looks for.)
    std::vector<std::string> told;
    for (const auto& e : messages_.entries)
        if (e.caption == Cp("Добавление модели"))
            told.push_back(e.text);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].find("offset"), std::string::npos) << told[0];
    ChooseModelFile() = previous;

    // Committed, saved and loaded in a fresh editor, it is read from models/.
    QTest::mouseClick(BoxEditorWindow()->Button29, Qt::LeftButton);
    QTest::mouseClick(BoxEditorWindow()->Button29, Qt::LeftButton);
    qx::StoreWorkingCopy(Editor());
    w()->findChild<QAction*>("Save1")->trigger();
    StartEditor();
    w()->findChild<QAction*>("Load1")->trigger();
    Select(w()->ObjectList, Node(w()->ObjectList, "_M"));
    OpenObjectForEditing(*w());
    ASSERT_EQ(Editor().EditedModel->Lists[0]->Model3dsCount, 1);
    EXPECT_TRUE(Editor().EditedModel->Lists[0]->Models3ds[0].Model);
    EXPECT_EQ(NodeText(Node(w()->OBJList, "+Модели")->child(0)), Cp("0 - [м]_cut.3ds"));
}

}  // namespace
