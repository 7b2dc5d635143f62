// The 2D view pane: the wheel and the middle button navigate it through
// real events, and it shows what the document says, when the document says
// it changed.
#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QWheelEvent>
#include <gtest/gtest.h>
#include "SessionEdits.h"

#include <memory>

#include "DocumentSteps.h"
#include "OrthoViewPane.h"
#include "PrimitiveList.h"
#include "QX3DObject.h"

namespace {

class OrthoViewPaneTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const int32_t k = doc_.AddObject("_Crate");
        doc_.MapObjects[static_cast<size_t>(k)]->Lists[0]->AddBox(0, 0, 0, 0, 2, 2, 2, 1, 0, 0, 0);
        pane_.reset(CreateOrthoViewPane(doc_, qx::ViewAxis::Top, nullptr));
        pane_->resize(320, 240);
        pane_->show();
    }
    void Mouse(QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held, QPointF at)
    {
        QMouseEvent event(type, at, pane_->mapToGlobal(at), button, held, Qt::NoModifier);
        QApplication::sendEvent(pane_.get(), &event);
    }
    // Pixels of the selection's orange in the pane's picture.
    int SelectionPixels()
    {
        const QImage picture = pane_->grab().toImage().convertToFormat(QImage::Format_RGB32);
        int count = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                count += picture.pixel(x, y) == qRgb(255, 140, 0);
        return count;
    }

    Document doc_;
    std::unique_ptr<OrthoViewPane> pane_;
};

TEST_F(OrthoViewPaneTest, TheWheelZoomsAboutThePointerAndTheMiddleButtonPans)
{
    const QPointF at(90, 60);
    double before[3], after[3];
    pane_->View().ScreenToWorld(at.x(), at.y(), 0, before);
    const double zoom = pane_->View().zoom;
    QWheelEvent wheel(at, pane_->mapToGlobal(at), QPoint(), QPoint(0, 240), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(pane_.get(), &wheel);
    EXPECT_GT(pane_->View().zoom, zoom);
    pane_->View().ScreenToWorld(at.x(), at.y(), 0, after);
    EXPECT_NEAR(after[0], before[0], 1e-9);
    EXPECT_NEAR(after[2], before[2], 1e-9);

    // The point under the press stays under the mouse as it moves.
    Mouse(QEvent::MouseButtonPress, Qt::MiddleButton, Qt::MiddleButton, at);
    Mouse(QEvent::MouseMove, Qt::NoButton, Qt::MiddleButton, at + QPointF(40, -25));
    Mouse(QEvent::MouseButtonRelease, Qt::MiddleButton, Qt::NoButton, at + QPointF(40, -25));
    pane_->View().ScreenToWorld(at.x() + 40, at.y() - 25, 0, after);
    EXPECT_NEAR(after[0], before[0], 1e-9);
    EXPECT_NEAR(after[2], before[2], 1e-9);
    // Moving without the button pans no more.
    const qx::OrthoView kept = pane_->View();
    Mouse(QEvent::MouseMove, Qt::NoButton, Qt::NoButton, at);
    EXPECT_EQ(pane_->View().centreRight, kept.centreRight);
}

TEST_F(OrthoViewPaneTest, ThePaneShowsTheDocumentAsItsNotificationsSay)
{
    EXPECT_EQ(SelectionPixels(), 0) << "painted once on the empty map";
    const float at[3] = {1, 0, -1};
    qx::PlaceObject(doc_, "_Crate", at);
    qx::SetSelection(doc_, qx::SelectAll(doc_));
    EXPECT_GT(SelectionPixels(), 20) << "the selected crate's outline";
    {
        // Its inside tinted by its colour, not the bare background.
        const QImage picture = pane_->grab().toImage().convertToFormat(QImage::Format_RGB32);
        double x = 0, y = 0;
        const double inside[3] = {doc_.Placements[0].PosX + 1.0, 0, doc_.Placements[0].PosZ + 1.0};
        pane_->View().WorldToScreen(inside, x, y);
        const QRgb pixel = picture.pixel(static_cast<int>(x), static_cast<int>(y));
        EXPECT_GT(qRed(pixel), qBlue(pixel)) << "orange-tinted";
    }
    doc_.History.Undo();
    EXPECT_EQ(SelectionPixels(), 0) << "the placement undone";

    // The strong grid lines carry their coordinates along the bottom edge:
    // the label colour shows in the bottom rows, beside the origin's line.
    const QImage picture = pane_->grab().toImage().convertToFormat(QImage::Format_RGB32);
    int labelled = 0;
    for (int y = picture.height() - 14; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            labelled += qGray(picture.pixel(x, y)) > 120;
    EXPECT_GT(labelled, 10) << "coordinates written at the edge";
}

// While an object is open for editing the view shows its boxes, and the
// box being shaped in the selection's colour, instead of the map.
TEST_F(OrthoViewPaneTest, TheObjectOpenForEditingIsShownInsteadOfTheMap)
{
    TQX3DObject edited("edited"), pending("pending");
    edited.AddList();
    pending.AddList();
    edited.Lists[0]->AddBox(0, 0, 0, 0, 4, 2, 4, 1, 0, 0, 0);
    doc_.EditedModel = &edited;
    doc_.PendingPrimitive = &pending;
    const auto pixelsOf = [&](QRgb colour) {
        const QImage picture = pane_->grab().toImage().convertToFormat(QImage::Format_RGB32);
        int count = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                count += picture.pixel(x, y) == colour;
        return count;
    };
    const QRgb outline = qRgb(190, 190, 200);
    EXPECT_EQ(pixelsOf(outline), 0) << "the empty map";
    doc_.ModelEditMode = true;
    doc_.Events.Notify(qx::SessionChanged);
    EXPECT_GT(pixelsOf(outline), 40) << "the open object's box";
    qx::StartPlacingShape(doc_, ShapeKind::Box, 1);
    EXPECT_GT(SelectionPixels(), 20) << "the box being shaped";
    doc_.ModelEditMode = false;
    doc_.Placing = false;
    doc_.Events.Notify(qx::SessionChanged);
    EXPECT_EQ(pixelsOf(outline), 0) << "back to the map";
    doc_.EditedModel = nullptr;
    doc_.PendingPrimitive = nullptr;
}

}  // namespace

namespace {

// Placements large enough on the screen show part by part: the gap between
// an object's two boxes is no part of it.
TEST_F(OrthoViewPaneTest, ALargePlacementShowsItsPartsNotItsBounds)
{
    const int32_t k = doc_.AddObject("_Pair");
    TGLPremitives& parts = *doc_.MapObjects[static_cast<size_t>(k)]->Lists[0];
    parts.AddBox(0, 0, 0, 0, 2, 2, 2, 1, 0, 0, 0);
    parts.AddBox(0, 6, 0, 0, 2, 2, 2, 1, 0, 0, 0);
    const float at[3] = {-4, 0, 0};
    qx::PlaceObject(doc_, "_Pair", at);
    const QImage picture = pane_->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const auto pixelAt = [&](double x, double z) {
        const double world[3] = {x, 0, z};
        double px, py;
        pane_->View().WorldToScreen(world, px, py);
        return picture.pixel(static_cast<int>(px), static_cast<int>(py));
    };
    const QRgb background = pixelAt(-18.7, -9.3);
    EXPECT_NE(pixelAt(-3, 1.3), background) << "inside the first box";
    EXPECT_EQ(pixelAt(-1, 1.3), background) << "between the boxes";
    EXPECT_NE(pixelAt(3, 1.3), background) << "inside the second box";
}

// In the object view a rectangle sets the extent of the box being shaped
// and locks it; the next click commits it, and the window is told the part.
TEST_F(OrthoViewPaneTest, ARectangleShapesThePartAndAClickCommitsIt)
{
    TQX3DObject edited("edited"), pending("pending");
    edited.AddList();
    pending.AddList();
    doc_.EditedModel = &edited;
    doc_.PendingPrimitive = &pending;
    doc_.ModelEditMode = true;
    doc_.Events.Notify(qx::SessionChanged);
    qx::StartPlacingShape(doc_, ShapeKind::Box, 1);
    qx::PartRef told;
    pane_->PartMade = [&told](qx::PartRef part) { told = part; };

    const double from[3] = {1, 0, 2}, to[3] = {5, 0, -3};
    double x0, y0, x1, y1;
    pane_->View().WorldToScreen(from, x0, y0);
    pane_->View().WorldToScreen(to, x1, y1);
    Mouse(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, QPointF(x0, y0));
    Mouse(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, QPointF((x0 + x1) / 2, (y0 + y1) / 2));
    Mouse(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, QPointF(x1, y1));
    Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, QPointF(x1, y1));
    const TBox& shaped = pending.Lists[0]->Boxes[0];
    EXPECT_FLOAT_EQ(shaped.Size.X, 4);
    EXPECT_FLOAT_EQ(shaped.Size.Z, 5);
    EXPECT_FLOAT_EQ(shaped.Position.Z, -3);
    EXPECT_EQ(doc_.ClickState, 1);

    Mouse(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, QPointF(10, 10));
    Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, QPointF(10, 10));
    ASSERT_EQ(edited.Lists[0]->BoxCount, 1);
    EXPECT_FLOAT_EQ(edited.Lists[0]->Boxes[0].Size.Z, 5);
    EXPECT_TRUE(told);
    doc_.ModelEditMode = false;
    doc_.Placing = false;
    doc_.EditedModel = nullptr;
    doc_.PendingPrimitive = nullptr;
}

}  // namespace

namespace {

// A drag in another view moves only the selection; the pane finds the
// moved placements where they went, also when the selection changed before
// it painted again.
TEST_F(OrthoViewPaneTest, PlacementsDraggedElsewhereAreWhereTheyWent)
{
    const float first[3] = {-10, 0, 0}, second[3] = {10, 0, 0};
    qx::PlaceObject(doc_, "_Crate", first);
    qx::PlaceObject(doc_, "_Crate", second);
    qx::SetSelection(doc_, doc_.PlacementIdsAt({0}));
    pane_->grab();
    const qx::OrthoView side{.axis = qx::ViewAxis::Side, .zoom = 10, .width = 200, .height = 200};
    qx::PlaneDrag drag;
    ASSERT_TRUE(qx::BeginPlaneDrag(doc_, side, 100, 100, drag));
    qx::DragInPlane(doc_, 100 + 60, 100, drag);  // 6 units along +Z
    qx::SetSelection(doc_, doc_.PlacementIdsAt({1}));
    pane_->grab();
    const double moved[3] = {-9, 0, 7};
    double x, y;
    pane_->View().WorldToScreen(moved, x, y);
    Mouse(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, QPointF(x, y));
    Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, QPointF(x, y));
    EXPECT_EQ(doc_.Selection, doc_.PlacementIdsAt({0})) << "picked where the drag took it";
    qx::EndPlaneDrag(doc_, drag);
}

}  // namespace
