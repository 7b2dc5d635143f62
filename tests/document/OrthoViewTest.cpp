// The 2D views' projection: pixels to world and back in each view, the
// zoom about the pointer, panning and centring.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "OrthoView.h"

namespace {

using qx::OrthoView;
using qx::ViewAxis;

constexpr ViewAxis kViews[] = {ViewAxis::Top, ViewAxis::Front, ViewAxis::Side};

OrthoView View(ViewAxis axis, double zoom)
{
    return {.axis = axis, .centreRight = 12.5, .centreUp = -3, .zoom = zoom, .width = 640, .height = 360};
}

TEST(OrthoViewTest, PixelsAndWorldRoundTripInEveryViewSeenUnmirrored)
{
    std::mt19937 random(11);
    std::uniform_real_distribution<double> coordinate(-2000, 2000);
    for (const ViewAxis axis : kViews) {
        // Right x up is the direction toward the viewer: a true view from
        // outside, not its mirror image.
        const qx::AxisDir r = qx::RightOf(axis), u = qx::UpOf(axis), t = qx::TowardViewer(axis);
        double right[3] = {0, 0, 0}, up[3] = {0, 0, 0};
        right[r.axis] = r.sign;
        up[u.axis] = u.sign;
        const double cross[3] = {right[1] * up[2] - right[2] * up[1], right[2] * up[0] - right[0] * up[2],
                                 right[0] * up[1] - right[1] * up[0]};
        EXPECT_EQ(cross[t.axis], t.sign) << int(axis);

        for (const double zoom : {1.0 / 64, 0.37, 1.0, 8.0, 64.0}) {
            const OrthoView v = View(axis, zoom);
            for (int i = 0; i < 50; ++i) {
                const double world[3] = {coordinate(random), coordinate(random), coordinate(random)};
                double x, y, back[3];
                v.WorldToScreen(world, x, y);
                v.ScreenToWorld(x, y, world[t.axis], back);
                for (int k = 0; k < 3; ++k)
                    ASSERT_NEAR(back[k], world[k], 1e-9 * 2000) << int(axis) << " zoom " << zoom;
            }
            // One unit to the right is `zoom` pixels to the right; one up,
            // `zoom` pixels higher on the screen.
            double a[3] = {0, 0, 0}, x0, y0, x1, y1;
            v.WorldToScreen(a, x0, y0);
            a[r.axis] += r.sign;
            a[u.axis] += u.sign;
            v.WorldToScreen(a, x1, y1);
            EXPECT_NEAR(x1 - x0, v.zoom, 1e-9);
            EXPECT_NEAR(y1 - y0, -v.zoom, 1e-9);
        }
    }
}

TEST(OrthoViewTest, ZoomKeepsThePointUnderThePointerWithinItsRange)
{
    for (const ViewAxis axis : kViews) {
        OrthoView v = View(axis, 1);
        double before[3], after[3];
        v.ScreenToWorld(101, 77, 0, before);
        for (int step = 0; step < 30; ++step) {
            v.ZoomAbout(101, 77, 1.7);
            v.ScreenToWorld(101, 77, 0, after);
            for (int k = 0; k < 3; ++k)
                ASSERT_NEAR(after[k], before[k], 1e-9) << "zoom " << v.zoom;
        }
        EXPECT_EQ(v.zoom, OrthoView::kMaxZoom);
        for (int step = 0; step < 60; ++step)
            v.ZoomAbout(600, 20, 0.5);
        EXPECT_EQ(v.zoom, OrthoView::kMinZoom);
        v.SetZoom(std::nan(""));
        EXPECT_EQ(v.zoom, OrthoView::kMinZoom);
    }
}

TEST(OrthoViewTest, PanFollowsTheMouseAndCentringShowsTheBoundsWhole)
{
    OrthoView v = View(ViewAxis::Front, 4);
    const double world[3] = {3, 7, 0};
    double x0, y0, x1, y1;
    v.WorldToScreen(world, x0, y0);
    v.Pan(25, -10);
    v.WorldToScreen(world, x1, y1);
    EXPECT_NEAR(x1 - x0, 25, 1e-9);
    EXPECT_NEAR(y1 - y0, -10, 1e-9);

    // 1,000 units wide do not fit at 4 pixels per unit: the zoom goes down
    // until they do, and the centre of the bounds is the view's.
    qx::Bounds wide;
    const double lo[3] = {-400, 0, 5}, hi[3] = {600, 30, 9};
    wide.Add(lo);
    wide.Add(hi);
    v.CentreOn(wide);
    v.WorldToScreen(lo, x0, y0);
    v.WorldToScreen(hi, x1, y1);
    EXPECT_NEAR((x0 + x1) / 2, v.width / 2.0, 1e-9);
    EXPECT_NEAR((y0 + y1) / 2, v.height / 2.0, 1e-9);
    EXPECT_GE(x0, 0);
    EXPECT_LE(x1, v.width);
    EXPECT_LT(v.zoom, 4);
    // A small box is centred at the zoom the user chose.
    qx::Bounds small;
    small.Add(world);
    v.SetZoom(16);
    v.CentreOn(small);
    EXPECT_EQ(v.zoom, 16);
    v.WorldToScreen(world, x0, y0);
    EXPECT_NEAR(x0, v.width / 2.0, 1e-9);
}

}  // namespace
