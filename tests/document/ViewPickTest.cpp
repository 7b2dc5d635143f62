// Clicks and rectangles in the 2D views, compared with projecting every
// corner of every placement's drawn bounds onto the screen.
#include <gtest/gtest.h>

#include <random>

#include "PrimitiveList.h"
#include "QX3DObject.h"
#include "ViewPick.h"

namespace {

using qx::OrthoView;
using qx::ViewAxis;

class ViewPickTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const int32_t arch = content_.AddObject("_Arch");
        TGLPremitives& parts = *content_.MapObjects[static_cast<size_t>(arch)]->Lists[0];
        parts.AddBox(0, 0, 0, 0, 2, 6, 2, 1, 0, 30, 0);
        parts.AddBox(0, 8, 0, 0, 2, 6, 2, 1, 0, 0, 0);
        parts.AddBox(0, 0, 6, 0, 10, 2, 2, 1, 20, 0, 0);
        const int32_t crate = content_.AddObject("_Crate");
        content_.MapObjects[static_cast<size_t>(crate)]->Lists[0]->AddBox(0, 0, 0, 0, 2, 2, 2, 1, 0, 0, 0);
        content_.AddObject("_Empty");
        std::uniform_real_distribution<float> unit(0, 1);
        const char* names[] = {"_Arch", "_Crate", "_Empty"};
        for (int i = 0; i < 400; ++i)
            content_.AddPlacement(names[i % 3], TPlacement{unit(random_) * 160 - 80, unit(random_) * 20,
                                                           unit(random_) * 160 - 80, unit(random_) * 40,
                                                           unit(random_) * 360, 0, 0.5f + unit(random_) * 2,
                                                           0.5f + unit(random_) * 2, 1});
        table_.Rebuild(content_);
    }
    static OrthoView View(ViewAxis axis)
    {
        return {.axis = axis, .centreRight = 3, .centreUp = -2, .zoom = 3.5, .width = 800, .height = 600};
    }
    // Placement i on the screen: the pixels covered by the corners of its
    // object's bounds (the hull of its boxes' corners in the object's own
    // frame) carried by the placement, its position when it has no box, and
    // how near the viewer the nearest corner is.
    struct Seen {
        double xLo = 1e300, xHi = -1e300, yLo = 1e300, yHi = -1e300, nearness = -1e300;
        void Add(const OrthoView& v, const double world[3])
        {
            double x, y;
            v.WorldToScreen(world, x, y);
            xLo = std::min(xLo, x);
            xHi = std::max(xHi, x);
            yLo = std::min(yLo, y);
            yHi = std::max(yHi, y);
            const qx::AxisDir toward = qx::TowardViewer(v.axis);
            nearness = std::max(nearness, world[toward.axis] * toward.sign);
        }
    };
    Seen SeenIn(const OrthoView& v, int32_t i) const
    {
        const TPlacement& p = content_.Placements[static_cast<size_t>(i)];
        const TQX3DObject& object = *content_.MapObjects[static_cast<size_t>(content_.ObjectOfPlacement(i))];
        Seen s;
        const double at[3] = {p.PosX, p.PosY, p.PosZ};
        if (object.Lists[0]->Boxes.empty())
            s.Add(v, at);
        qx::Bounds local;
        for (const TBox& box : object.Lists[0]->Boxes) {
            // A box turns about its corner as a placement does about its
            // position.
            const qx::Affine frame = qx::PlacementFrame(TPlacement{box.Position.X, box.Position.Y, box.Position.Z,
                                                                   box.Rotation.X, box.Rotation.Y, box.Rotation.Z,
                                                                   1, 1, 1});
            for (int c = 0; c < 8; ++c) {
                const double corner[3] = {c & 1 ? box.Size.X : 0.0, c & 2 ? box.Size.Y : 0.0,
                                          c & 4 ? box.Size.Z : 0.0};
                double inObject[3];
                frame.Apply(corner, inObject);
                local.Add(inObject);
            }
        }
        for (int c = 0; c < 8 && !local.empty; ++c) {
            const double corner[3] = {c & 1 ? local.max[0] : local.min[0], c & 2 ? local.max[1] : local.min[1],
                                      c & 4 ? local.max[2] : local.min[2]};
            double world[3];
            qx::PlacementFrame(p).Apply(corner, world);
            s.Add(v, world);
        }
        return s;
    }

    ProjectContent content_;
    qx::PlacedBoundsTable table_;
    std::mt19937 random_{17};
};

TEST_F(ViewPickTest, RectanglesSelectWhatLiesInsideOrTouchesAsEveryCornerShows)
{
    std::uniform_real_distribution<double> px(-50, 850);
    for (const ViewAxis axis : {ViewAxis::Top, ViewAxis::Front, ViewAxis::Side}) {
        const OrthoView v = View(axis);
        size_t inside = 0, touched = 0;
        for (int r = 0; r < 60; ++r) {
            const double x0 = px(random_), y0 = px(random_), x1 = px(random_), y1 = px(random_);
            for (const bool touching : {false, true}) {
                qx::Selection expected;
                for (int32_t i = 0; i < content_.PlacementCount; ++i) {
                    const Seen s = SeenIn(v, i);
                    const double xa = std::min(x0, x1), xb = std::max(x0, x1), ya = std::min(y0, y1),
                                 yb = std::max(y0, y1);
                    const bool in = touching ? s.xLo <= xb && s.xHi >= xa && s.yLo <= yb && s.yHi >= ya
                                             : s.xLo >= xa && s.xHi <= xb && s.yLo >= ya && s.yHi <= yb;
                    if (in)
                        expected.push_back(content_.PlacementId(i));
                }
                std::sort(expected.begin(), expected.end());
                (touching ? touched : inside) += expected.size();
                ASSERT_EQ(qx::SelectInRect(content_, table_, v, x0, y0, x1, y1, touching), expected)
                    << int(axis) << " rectangle " << r << (touching ? " touching" : " inside");
            }
        }
        EXPECT_GT(inside, 200u);
        EXPECT_GT(touched, inside);
    }
}

TEST_F(ViewPickTest, ClicksPickTheNearestAndCycleThroughWhatLiesUnderThem)
{
    std::uniform_real_distribution<double> px(0, 800);
    int stacked = 0;
    for (const ViewAxis axis : {ViewAxis::Top, ViewAxis::Front, ViewAxis::Side}) {
        const OrthoView v = View(axis);
        for (int c = 0; c < 100; ++c) {
            const double x = px(random_), y = px(random_) * 0.75;
            std::vector<std::pair<double, int32_t>> under;
            for (int32_t i = 0; i < content_.PlacementCount; ++i) {
                const Seen s = SeenIn(v, i);
                if (x >= s.xLo && x <= s.xHi && y >= s.yLo && y <= s.yHi)
                    under.push_back({s.nearness, i});
            }
            std::sort(under.rbegin(), under.rend());
            stacked += under.size() > 1;
            // A click elsewhere first: the cycle starts again.
            qx::ViewPickCycle cycle;
            qx::PickInView(content_, table_, v, x + 50, y, cycle);
            for (size_t k = 0; k <= under.size(); ++k) {
                const int32_t picked = qx::PickInView(content_, table_, v, x, y, cycle);
                ASSERT_EQ(picked, under.empty() ? -1 : under[k % under.size()].second)
                    << int(axis) << " click " << c << " repeat " << k;
            }
        }
    }
    EXPECT_GT(stacked, 20);
}

// A drag refreshes only what it moved; the table then matches a new one.
TEST_F(ViewPickTest, UpdatingMovedPlacementsMatchesRebuilding)
{
    const std::vector<int32_t> moved{0, 7, 200, 399};
    for (const int32_t i : moved) {
        content_.Placements[static_cast<size_t>(i)].PosX += 13;
        content_.Placements[static_cast<size_t>(i)].RotY += 45;
    }
    table_.Update(content_, moved);
    qx::PlacedBoundsTable fresh;
    fresh.Rebuild(content_);
    ASSERT_EQ(table_.placements.size(), fresh.placements.size());
    for (size_t i = 0; i < fresh.placements.size(); ++i)
        for (int k = 0; k < 3; ++k) {
            ASSERT_EQ(table_.placements[i].min[k], fresh.placements[i].min[k]) << i;
            ASSERT_EQ(table_.placements[i].max[k], fresh.placements[i].max[k]) << i;
        }
}

// A view centres on the selection, else on the whole level and the start.
TEST_F(ViewPickTest, CentringAimsAtTheSelectionElseTheLevelWithThePlayerStart)
{
    const qx::Selection two = content_.PlacementIdsAt({4, 9});
    const qx::Bounds selected = qx::ViewTarget(content_, table_, two);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(selected.min[k], std::min(table_.placements[4].min[k], table_.placements[9].min[k]));
        EXPECT_EQ(selected.max[k], std::max(table_.placements[4].max[k], table_.placements[9].max[k]));
    }
    content_.PlayerPos[0] = 500;
    const qx::Bounds level = qx::ViewTarget(content_, table_, {});
    EXPECT_EQ(level.max[0], 500);
    EXPECT_LT(level.min[0], -70);
    EXPECT_LT(level.min[2], -70);
    EXPECT_GT(level.max[2], 70);
}

}  // namespace
