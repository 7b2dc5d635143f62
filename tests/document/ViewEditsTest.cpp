// Edits in the 2D views: each lands on the grid in the view's plane, keeps
// the third coordinate, tells the views, and is one step whose undo and
// redo give back exactly the map a save would write.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <utility>

#include "PartOutlines.h"
#include "PrimitiveList.h"
#include "ProjectFiles.h"
#include "QX3DObject.h"
#include "ViewEdits.h"

namespace {

using qx::OrthoView;
using qx::ViewAxis;

constexpr ViewAxis kViews[] = {ViewAxis::Top, ViewAxis::Front, ViewAxis::Side};

class ViewEditsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const int32_t k = doc_.AddObject("_Crate");
        doc_.MapObjects[static_cast<size_t>(k)]->Lists[0]->AddBox(0, 0, 0, 0, 2, 2, 2, 1, 0, 0, 0);
        doc_.GridStepX = 0.5f;
        doc_.GridStepY = 0.25f;
        doc_.GridStepZ = 2;
        for (int i = 0; i < 3; ++i)
            doc_.AddPlacement("_Crate", TPlacement{1.1f * i, 0.3f, -2.7f * i, 0, 0, 0, 1, 1, 1});
        doc_.Selection = doc_.PlacementIdsAt({0, 2});
        doc_.Events.Observe([this](uint32_t changes) { told_ |= changes; });
    }
    static OrthoView View(ViewAxis axis)
    {
        return {.axis = axis, .centreRight = 1.3, .centreUp = -0.4, .zoom = 20, .width = 400, .height = 300};
    }
    uint32_t Told() { return std::exchange(told_, 0u); }
    // One step more than `steps`, whose undo gives back `before` and redo
    // what is there now.
    void CheckOneStep(size_t steps, const std::string& before)
    {
        ASSERT_EQ(doc_.History.Count(), steps + 1);
        const std::string after = qx::FormatMap(doc_);
        EXPECT_NE(after, before);
        doc_.History.Undo();
        EXPECT_EQ(qx::FormatMap(doc_), before);
        doc_.History.Redo();
        EXPECT_EQ(qx::FormatMap(doc_), after);
    }

    Document doc_;
    uint32_t told_ = 0;
};

TEST_F(ViewEditsTest, ADragMovesTheSelectionInThePlaneByGridStepsLiveAndIsOneStep)
{
    for (const ViewAxis axis : kViews) {
        const OrthoView v = View(axis);
        const std::string before = qx::FormatMap(doc_);
        const size_t steps = doc_.History.Count();
        const std::vector<TPlacement> was{doc_.Placements[0], doc_.Placements[1], doc_.Placements[2]};
        qx::PlaneDrag drag;
        ASSERT_TRUE(qx::BeginPlaneDrag(doc_, v, 200, 150, drag));
        Told();
        // 1.3 units right (1.5 on the X grid, 2 on the depth grid) and 0.3
        // units up (0.25 on the height grid, 0 on the depth grid).
        qx::DragInPlane(doc_, 200 + 10 * 2.5, 150 - 3 * 2, drag);
        EXPECT_EQ(Told(), qx::MapChanged | qx::SelectionMoved) << "the other views show the drag live, only the selection moved";
        qx::DragInPlane(doc_, 200 + 20 * 1.3, 150 - 20 * 0.3, drag);
        EXPECT_EQ(doc_.History.Count(), steps) << "no step while dragging";
        qx::EndPlaneDrag(doc_, drag);

        const qx::AxisDir right = qx::RightOf(axis), up = qx::UpOf(axis);
        double expected[3] = {0, 0, 0};
        expected[right.axis] = right.axis == 0 ? 1.5 : 2.0;
        expected[up.axis] = up.axis == 1 ? 0.25 : -0.0;
        expected[right.axis] *= right.sign;
        expected[up.axis] *= up.sign;
        for (const size_t i : {0u, 2u}) {
            const TPlacement& p = doc_.Placements[i];
            EXPECT_FLOAT_EQ(p.PosX, was[i].PosX + static_cast<float>(expected[0])) << int(axis);
            EXPECT_FLOAT_EQ(p.PosY, was[i].PosY + static_cast<float>(expected[1])) << int(axis);
            EXPECT_FLOAT_EQ(p.PosZ, was[i].PosZ + static_cast<float>(expected[2])) << int(axis);
        }
        EXPECT_EQ(std::memcmp(&doc_.Placements[1], &was[1], sizeof(TPlacement)), 0) << "not selected";
        CheckOneStep(steps, before);

        // A drag that comes back where it began leaves no step.
        ASSERT_TRUE(qx::BeginPlaneDrag(doc_, v, 10, 10, drag));
        qx::DragInPlane(doc_, 90, 60, drag);
        qx::DragInPlane(doc_, 10, 10, drag);
        qx::EndPlaneDrag(doc_, drag);
        EXPECT_EQ(doc_.History.Count(), steps + 1);
    }
    doc_.Selection.clear();
    qx::PlaneDrag drag;
    EXPECT_FALSE(qx::BeginPlaneDrag(doc_, View(ViewAxis::Top), 10, 10, drag));
}

TEST_F(ViewEditsTest, NudgesMoveOneGridStepAlongTheViewsRightOrUp)
{
    for (const ViewAxis axis : kViews) {
        const qx::AxisDir right = qx::RightOf(axis), up = qx::UpOf(axis);
        const float steps[3] = {doc_.GridStepX, doc_.GridStepY, doc_.GridStepZ};
        for (const auto& [r, u] : {std::pair{1, 0}, std::pair{0, -1}}) {
            const std::string before = qx::FormatMap(doc_);
            const size_t count = doc_.History.Count();
            const TPlacement was = doc_.Placements[2];
            qx::NudgeInView(doc_, axis, r, u);
            float moved[3] = {doc_.Placements[2].PosX - was.PosX, doc_.Placements[2].PosY - was.PosY,
                              doc_.Placements[2].PosZ - was.PosZ};
            const qx::AxisDir along = r ? right : up;
            const int sign = (r ? r : u) * along.sign;
            for (int k = 0; k < 3; ++k)
                EXPECT_FLOAT_EQ(moved[k], k == along.axis ? sign * steps[k] : 0.0f) << int(axis) << " axis " << k;
            CheckOneStep(count, before);
        }
    }
}

TEST_F(ViewEditsTest, PlacingAndThePlayerStartLandOnTheGridAtTheClickedDepth)
{
    doc_.CursorWorld[0] = 7;
    doc_.CursorWorld[2] = -9;
    for (const ViewAxis axis : kViews) {
        const OrthoView v = View(axis);
        const double depth = qx::ClickDepth(doc_, axis, 4);
        EXPECT_EQ(depth, axis == ViewAxis::Top ? 4 : axis == ViewAxis::Front ? -9 : 7);
        double world[3];
        v.ScreenToWorld(123, 77, depth, world);

        std::string before = qx::FormatMap(doc_);
        size_t count = doc_.History.Count();
        qx::PlaceInView(doc_, v, "_Crate", 123, 77, depth);
        const TPlacement& placed = doc_.Placements[static_cast<size_t>(doc_.PlacementCount - 1)];
        const float at[3] = {placed.PosX, placed.PosY, placed.PosZ};
        const float steps[3] = {doc_.GridStepX, doc_.GridStepY, doc_.GridStepZ};
        for (int k = 0; k < 3; ++k) {
            if (k == qx::TowardViewer(axis).axis) {
                EXPECT_FLOAT_EQ(at[k], static_cast<float>(depth));
            } else {
                EXPECT_NEAR(at[k], world[k], steps[k] / 2 + 1e-6) << int(axis);
                EXPECT_FLOAT_EQ(std::remainder(at[k], steps[k]), 0.0f) << int(axis) << " on the grid";
            }
        }
        CheckOneStep(count, before);

        before = qx::FormatMap(doc_);
        count = doc_.History.Count();
        qx::MovePlayerStartInView(doc_, v, 123, 77, depth);
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(doc_.PlayerPos[k], at[k]);
        CheckOneStep(count, before);
    }
}

}  // namespace

// The object view in 2D: a rectangle gives the box, floor or wall being
// shaped the extent drawn (as the part's own outline shows it), locks it,
// and is one step; a click then commits it.
class ShapingInViewTest : public ViewEditsTest {
protected:
    void SetUp() override
    {
        ViewEditsTest::SetUp();
        edited_.AddList();
        pending_.AddList();
        doc_.EditedModel = &edited_;
        doc_.PendingPrimitive = &pending_;
        doc_.ModelEditMode = true;
    }
    void TearDown() override
    {
        doc_.EditedModel = nullptr;
        doc_.PendingPrimitive = nullptr;
    }
    // Drags from world point a to b in `view` (their coordinates along the
    // view's axis are ignored), the depth 1.
    bool Shape(const OrthoView& view, const double a[3], const double b[3])
    {
        double x0, y0, x1, y1;
        view.WorldToScreen(a, x0, y0);
        view.WorldToScreen(b, x1, y1);
        return qx::ShapePendingInView(doc_, view, x0, y0, x1, y1, 1);
    }
    qx::Bounds PendingBounds()
    {
        qx::PartOutlines outlines;
        qx::AddPartOutlines(*pending_.Lists[0], outlines);
        return outlines.bounds;
    }
    static void ExpectSpan(const qx::Bounds& b, int axis, double lo, double hi)
    {
        EXPECT_NEAR(b.min[axis], lo, 1e-5) << "axis " << axis;
        EXPECT_NEAR(b.max[axis], hi, 1e-5) << "axis " << axis;
    }

    TQX3DObject edited_{"edited"}, pending_{"pending"};
};

TEST_F(ShapingInViewTest, ARectangleGivesThePartTheExtentDrawnLocksItAndIsOneStep)
{
    OrthoView top = View(ViewAxis::Top);
    qx::StartPlacingShape(doc_, ShapeKind::Box, 0);
    const ShapeValues fresh = ValuesOf(qx::PendingFields(doc_));
    const size_t steps = doc_.History.Count();
    // Corners off the grid land on its nearest lines (X steps 0.5, depth 2).
    const double a[3] = {3.1, 0, -4.9}, b[3] = {1.2, 0, 1.1};
    Told();
    ASSERT_TRUE(Shape(top, a, b));
    EXPECT_TRUE(Told() & qx::PendingChanged);
    ExpectSpan(PendingBounds(), 0, 1.0, 3.0);
    ExpectSpan(PendingBounds(), 2, -4.0, 2.0);
    ExpectSpan(PendingBounds(), 1, 1.0, 1.25);  // one grid step up from the depth
    EXPECT_EQ(doc_.ClickState, 1) << "locked as by the first click";
    EXPECT_EQ(doc_.CursorWorld[0], 1.0);

    ASSERT_EQ(doc_.History.Count(), steps + 1);
    const ShapeValues shaped = ValuesOf(qx::PendingFields(doc_));
    doc_.History.Undo();
    EXPECT_EQ(std::memcmp(ValuesOf(qx::PendingFields(doc_)).Size, fresh.Size, sizeof fresh.Size), 0);
    EXPECT_EQ(doc_.ClickState, 0);
    doc_.History.Redo();
    EXPECT_EQ(ValuesOf(qx::PendingFields(doc_)).Position.X, shaped.Position.X);
    EXPECT_EQ(doc_.ClickState, 1);

    // The next click commits it into the working copy, where it was drawn.
    const qx::PartRef made = qx::ClickPendingInView(doc_, top, 0, 0, 1, 0);
    ASSERT_TRUE(made);
    EXPECT_EQ(edited_.Lists[0]->BoxCount, 1);
    ExpectSpan(qx::OutlinesOf(edited_).bounds, 2, -4.0, 2.0);
}

TEST_F(ShapingInViewTest, FloorsLieAndWallsStandInThePlaneDrawn)
{
    const double a[3] = {1, 0.5, 2}, b[3] = {3, 2, 6};
    qx::StartPlacingShape(doc_, ShapeKind::Floor, 0);
    ASSERT_TRUE(Shape(View(ViewAxis::Top), a, b));
    ExpectSpan(PendingBounds(), 0, 1, 3);
    ExpectSpan(PendingBounds(), 2, 2, 6);
    ExpectSpan(PendingBounds(), 1, 1, 1);

    for (const ViewAxis axis : {ViewAxis::Front, ViewAxis::Side}) {
        qx::StartPlacingShape(doc_, ShapeKind::Wall, 0);
        ASSERT_TRUE(Shape(View(axis), a, b));
        const qx::AxisDir right = qx::RightOf(axis);
        const qx::Bounds drawn = PendingBounds();
        ExpectSpan(drawn, right.axis, std::min(a[right.axis], b[right.axis]), std::max(a[right.axis], b[right.axis]));
        ExpectSpan(drawn, 1, 0.5, 2);
        ExpectSpan(drawn, qx::TowardViewer(axis).axis, 1, 1);  // flat, at the depth
    }

    // A sphere has no rectangle: nothing changes, no step.
    qx::StartPlacingShape(doc_, ShapeKind::Sphere, 0);
    const size_t steps = doc_.History.Count();
    EXPECT_FALSE(Shape(View(ViewAxis::Top), a, b));
    EXPECT_EQ(doc_.History.Count(), steps);
    EXPECT_EQ(doc_.ClickState, 0);
}
