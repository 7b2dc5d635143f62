// The view's panes: "Одно окно" is the window as it always was, "Четыре
// окна" adds the captioned top, front and side views, a pane maximises and
// comes back, and the layout is there again after a restart.
#include <QAction>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTreeWidget>
#include <QScreen>
#include <QSplitter>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>

#include "Camera.h"
#include "EditCommands.h"
#include "TreeWidgetAccess.h"
#include "EditorFixture.h"
#include "MapEdits.h"
#include "OrthoViewPane.h"
#include "QtText.h"
#include "ViewLayout.h"
#include "FrameLoop.h"
#include "DocumentSteps.h"
#include "EditHistory.h"
#include "QX3DObject.h"
#include "PrimitiveList.h"

namespace {

class ViewLayoutTest : public apptest::EditorFixture {
protected:
    // A definition "_Crate" of one box 2 units wide, and the four panes.
    void CrateInFourViews()
    {
        const int32_t k = Editor().AddObject("_Crate");
        Editor().MapObjects[static_cast<size_t>(k)]->Lists[0]->AddBox(0, 0, 0, 0, 2, 2, 2, 1, 0, 0, 0);
        w()->findChild<QAction*>("FourViews1")->trigger();
        QTest::qWait(20);
    }
};

TEST_F(ViewLayoutTest, FourPanesAreCaptionedMaximiseAndAreKeptAcrossARestart)
{
    ViewLayout& views = *w()->Views;
    ASSERT_FALSE(views.FourPanes()) << "one view by default";
    EXPECT_EQ(w()->Scene->size(), views.size()) << "the 3D view fills the panes' place, no caption";
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(views.OrthoPane(i)->isVisible());

    w()->findChild<QAction*>("FourViews1")->trigger();
    QTest::qWait(20);
    QStringList captions;
    for (QLabel* label : views.findChildren<QLabel*>())
        if (label->isVisible())
            captions << label->text();
    captions.sort();
    QStringList expected{"3D", Ui("Сверху"), Ui("Спереди"), Ui("Сбоку")};
    expected.sort();
    EXPECT_EQ(captions, expected);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(views.OrthoPane(i)->isVisible());
        EXPECT_GT(views.OrthoPane(i)->width(), 32);
    }
    EXPECT_LT(w()->Scene->width(), views.width());

    // The top view's caption, double-clicked, gives it the whole place;
    // again, and all four are back.
    QLabel* topCaption = nullptr;
    for (QLabel* label : views.findChildren<QLabel*>())
        if (label->text() == Ui("Сверху"))
            topCaption = label;
    ASSERT_NE(topCaption, nullptr);
    QTest::mouseDClick(topCaption, Qt::LeftButton);
    EXPECT_EQ(views.Maximised(), 1);
    EXPECT_FALSE(w()->Scene->isVisible());
    EXPECT_FALSE(views.OrthoPane(1)->isVisible());
    QTest::mouseDClick(topCaption, Qt::LeftButton);
    EXPECT_EQ(views.Maximised(), -1);
    EXPECT_TRUE(w()->Scene->isVisible());

    // Ctrl+Space maximises the pane under the mouse, the key hook
    // notwithstanding.
    // (A pane in sight: at scale 2 the window is larger than the screen.)
    int target = 0;
    QPoint at = w()->Scene->mapToGlobal(w()->Scene->rect().center());
    for (int i = 2; i >= 0; --i) {
        const QPoint centre = views.OrthoPane(i)->mapToGlobal(views.OrthoPane(i)->rect().center());
        if (views.screen()->geometry().contains(centre)) {
            target = i + 1;
            at = centre;
            break;
        }
    }
    QCursor::setPos(at);
    QTest::keyClick(w()->ObjectList, Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(views.Maximised(), target);
    QTest::keyClick(w()->ObjectList, Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(views.Maximised(), -1);

    // The 2D views zoom about the mouse, each on its own.
    const double zoom = views.OrthoPane(0)->View().zoom;
    QWheelEvent wheel(QPointF(20, 20), views.OrthoPane(0)->mapToGlobal(QPointF(20, 20)), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(views.OrthoPane(0), &wheel);
    EXPECT_GT(views.OrthoPane(0)->View().zoom, zoom);
    EXPECT_EQ(views.OrthoPane(1)->View().zoom, zoom) << "views are not linked";

    StartEditor();
    EXPECT_TRUE(w()->Views->FourPanes()) << "the layout is kept";
    EXPECT_TRUE(w()->findChild<QAction*>("FourViews1")->isChecked());
    w()->findChild<QAction*>("OneView1")->trigger();
    EXPECT_FALSE(w()->Views->OrthoPane(0)->isVisible());
}

}  // namespace

namespace {

// In the top view, with real mouse events: a click places the chosen
// object on the grid under the mouse, a click on it selects it, a drag of
// it moves it in the view's plane (one step), a rectangle selects what it
// holds.
TEST_F(ViewLayoutTest, TheTopViewPlacesSelectsAndDragsOnTheDocument)
{
    EditorState& state = Editor();
    CrateInFourViews();
    OrthoViewPane* top = w()->Views->OrthoPane(0);
    const QPoint middle = top->rect().center();
    const auto worldAt = [&](QPoint p) {
        double world[3];
        top->View().ScreenToWorld(p.x(), p.y(), 0, world);
        return std::pair{world[0], world[2]};
    };

    // The status bar shows the world point under the mouse in a 2D view.
    QMouseEvent move(QEvent::MouseMove, QPointF(middle), top->mapToGlobal(QPointF(middle)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(top, &move);
    const auto [mx, mz] = worldAt(middle);
    std::string expected;
    const double under[3] = {mx, static_cast<double>(w()->CamVerhBar->value()), mz};
    MouseStatusText(expected, under);
    EXPECT_EQ(w()->StatusPanels[2]->text(), ToQString(expected));

    Select(w()->ObjectList, AddObjectNode("_Crate"));
    ObjectListClick();
    QTest::mouseClick(top, Qt::LeftButton, {}, middle);
    ASSERT_EQ(state.PlacementCount, 1) << "placed at the mouse";
    const auto [x, z] = worldAt(middle);
    EXPECT_NEAR(state.Placements[0].PosX, x, state.GridStepX);
    EXPECT_NEAR(state.Placements[0].PosZ, z, state.GridStepZ);
    EXPECT_EQ(state.Placements[0].PosY, w()->CamVerhBar->value()) << "at the working level";

    QTest::keyClick(w()->ObjectList, Qt::Key_Escape);
    const double inside[3] = {state.Placements[0].PosX + 1.0, 0, state.Placements[0].PosZ + 1.0};
    double sx = 0, sy = 0;
    top->View().WorldToScreen(inside, sx, sy);
    const QPoint on(static_cast<int>(sx), static_cast<int>(sy));
    QTest::mouseClick(top, Qt::LeftButton, {}, on);
    ASSERT_EQ(state.Selection, state.PlacementIdsAt({0}));

    const TPlacement before = state.Placements[0];
    const size_t steps = EditHistory().Count();
    QTest::mousePress(top, Qt::LeftButton, {}, on);
    for (int dx = 8; dx <= 80; dx += 8)
        QTest::mouseMove(top, on + QPoint(dx, 0));
    QTest::mouseRelease(top, Qt::LeftButton, {}, on + QPoint(80, 0));
    EXPECT_GT(state.Placements[0].PosX, before.PosX) << "moved right";
    EXPECT_EQ(state.Placements[0].PosZ, before.PosZ);
    EXPECT_EQ(EditHistory().Count(), steps + 1) << "one step for the drag";

    // With the view's focus the arrows nudge the selection by a grid step
    // in its plane (the top view's up is the user's -Y), not the camera.
    top->setFocus();
    const TPlacement dragged = state.Placements[0];
    const float eyeX = state.Camera->PosX;
    QTest::keyClick(top, Qt::Key_Right);
    QTest::keyClick(top, Qt::Key_Up);
    EXPECT_FLOAT_EQ(state.Placements[0].PosX, dragged.PosX + state.GridStepX);
    EXPECT_FLOAT_EQ(std::fabs(state.Placements[0].PosZ - dragged.PosZ), state.GridStepZ);
    EXPECT_EQ(state.Camera->PosX, eyeX) << "the camera stays";
    EXPECT_FALSE(state.MoveKeys.Right);

    qx::SetSelection(state, {});
    QTest::mousePress(top, Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseMove(top, QPoint(top->width() - 2, top->height() / 2));
    QTest::mouseMove(top, QPoint(top->width() - 2, top->height() - 2));
    QTest::mouseRelease(top, Qt::LeftButton, {}, QPoint(top->width() - 2, top->height() - 2));
    EXPECT_EQ(state.Selection, state.PlacementIdsAt({0})) << "the rectangle holds it";
}

}  // namespace

namespace {

// The front and side views place and select as the top view does; in the
// object view a rectangle there shapes the new box, a click commits it and
// the part tree shows it.
TEST_F(ViewLayoutTest, TheFrontAndSideViewsPlaceSelectAndShapeTheOpenObjectsBoxes)
{
    EditorState& state = Editor();
    CrateInFourViews();
    QTreeWidgetItem* crate = AddObjectNode("_Crate");
    for (const int axis : {1, 2}) {
        OrthoViewPane* pane = w()->Views->OrthoPane(axis);
        Select(w()->ObjectList, crate);
        ObjectListClick();
        const int32_t before = state.PlacementCount;
        QTest::mouseClick(pane, Qt::LeftButton, {}, pane->rect().center());
        ASSERT_EQ(state.PlacementCount, before + 1) << "placed in view " << axis;
        double world[3];
        pane->View().ScreenToWorld(pane->rect().center().x(), pane->rect().center().y(), 0, world);
        const qx::AxisDir right = qx::RightOf(pane->View().axis);
        const TPlacement& placed = state.Placements[static_cast<size_t>(before)];
        EXPECT_NEAR((&placed.PosX)[right.axis], world[right.axis], 0.5 * 8) << "at the mouse";

        QTest::keyClick(w()->ObjectList, Qt::Key_Escape);
        QTest::mousePress(pane, Qt::LeftButton, {}, QPoint(2, 2));
        QTest::mouseMove(pane, pane->rect().center());
        QTest::mouseMove(pane, QPoint(pane->width() - 2, pane->height() - 2));
        QTest::mouseRelease(pane, Qt::LeftButton, {}, QPoint(pane->width() - 2, pane->height() - 2));
        EXPECT_TRUE(qx::IsSelected(state.Selection, state.PlacementId(before))) << "in the rectangle";
    }

    Select(w()->ObjectList, crate);
    OpenObjectForEditing(*w());
    ASSERT_TRUE(state.ModelEditMode);
    QTest::mouseClick(w()->Button19, Qt::LeftButton);
    ASSERT_TRUE(state.Placing);
    OrthoViewPane* front = w()->Views->OrthoPane(1);
    const QPoint from = front->rect().center() - QPoint(40, -30), to = front->rect().center() + QPoint(40, -30);
    QTest::mousePress(front, Qt::LeftButton, {}, from);
    QTest::mouseMove(front, front->rect().center());
    QTest::mouseMove(front, to);
    QTest::mouseRelease(front, Qt::LeftButton, {}, to);
    EXPECT_EQ(state.ClickState, 1) << "locked by the rectangle";
    QTest::mouseClick(front, Qt::LeftButton, {}, front->rect().center());
    ASSERT_EQ(state.EditedModel->Lists[0]->BoxCount, 2) << "committed by the click";
    const TBox& made = state.EditedModel->Lists[0]->Boxes[1];
    EXPECT_NEAR(made.Size.X, 80 / front->View().zoom, state.GridStepX);
    EXPECT_NEAR(made.Size.Y, 60 / front->View().zoom, state.GridStepY);
    ASSERT_NE(w()->OBJList->currentItem(), nullptr);
    EXPECT_EQ(NodeText(w()->OBJList->currentItem()), Cp("1 - [к]_Коробка")) << "the part tree shows it";
}

}  // namespace

namespace {

// Space held in a 2D view turns a left-button drag into a pan: the view
// moves, the document does not; without Space the drag is a rectangle.
TEST_F(ViewLayoutTest, SpaceWithTheLeftButtonPansATwoDView)
{
    EditorState& state = Editor();
    w()->findChild<QAction*>("FourViews1")->trigger();
    QTest::qWait(20);
    OrthoViewPane* side = w()->Views->OrthoPane(2);
    side->setFocus();
    const QPoint at = side->rect().center();
    const double right = side->View().centreRight;
    const size_t steps = EditHistory().Count();
    QTest::keyPress(side, Qt::Key_Space);
    QTest::mousePress(side, Qt::LeftButton, {}, at);
    QTest::mouseMove(side, at + QPoint(20, 0));
    QTest::mouseMove(side, at + QPoint(40, 0));
    QTest::mouseRelease(side, Qt::LeftButton, {}, at + QPoint(40, 0));
    QTest::keyRelease(side, Qt::Key_Space);
    EXPECT_NEAR(side->View().centreRight, right - 40 / side->View().zoom, 1e-9);
    EXPECT_EQ(EditHistory().Count(), steps);
    EXPECT_FALSE(state.MoveKeys.Right);

    const double panned = side->View().centreRight;
    QTest::mousePress(side, Qt::LeftButton, {}, at);
    QTest::mouseMove(side, at + QPoint(40, 0));
    QTest::mouseRelease(side, Qt::LeftButton, {}, at + QPoint(40, 0));
    EXPECT_EQ(side->View().centreRight, panned) << "Space no longer held";
}

}  // namespace
