// What a 2D view draws of each part: its outline holds what the part draws
// (the bounds of its points are the part's own), and a view's hull of it is
// its silhouette, or a line when a flat part is seen edge on.
#include <gtest/gtest.h>

#include "PartOutlines.h"
#include "PrimitiveList.h"
#include "QX3DObject.h"
#include "ViewPick.h"

namespace {

void ExpectBounds(const qx::Bounds& b, const double lo[3], const double hi[3], double within = 1e-4)
{
    ASSERT_FALSE(b.empty);
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(b.min[k], lo[k], within) << "axis " << k;
        EXPECT_NEAR(b.max[k], hi[k], within) << "axis " << k;
    }
}

qx::Bounds Only(const TGLPremitives& list)
{
    qx::PartOutlines out;
    qx::AddPartOutlines(list, out);
    EXPECT_EQ(out.parts.size(), 1u);
    return out.bounds;
}

TEST(PartOutlines, EachKindsOutlineHoldsWhatItDraws)
{
    {
        // A box turned a quarter about Y reaches from its corner toward -Z;
        // one of negative size draws nothing.
        TGLPremitives list;
        list.AddBox(0, 1, 2, 3, 4, 5, 6, 1, 0, 90, 0);
        list.AddBox(0, 0, 0, 0, -1, 1, 1, 1, 0, 0, 0);
        const double lo[3] = {1, 2, -1}, hi[3] = {7, 7, 3};
        ExpectBounds(Only(list), lo, hi);
    }
    {
        TGLPremitives list;
        TSphere sphere;
        sphere.Position = {5, 0, 0};
        sphere.Radius = 2;
        list.Spheres.push_back(sphere);
        list.SphereCount = 1;
        const double lo[3] = {3, -2, -2}, hi[3] = {7, 2, 2};
        ExpectBounds(Only(list), lo, hi);
    }
    {
        // About its Y axis: the ring in X and Z, the tube's thickness in Y.
        TGLPremitives list;
        TTorus torus;
        torus.ShapeParams[0] = 4;
        torus.ShapeParams[1] = 1;
        list.Tori.push_back(torus);
        list.TorusCount = 1;
        const double lo[3] = {-5, -1, -5}, hi[3] = {5, 1, 5};
        ExpectBounds(Only(list), lo, hi);
    }
    {
        // The grid's kind of floor lies at the origin whatever its fields.
        TGLPremitives list;
        list.AddFloor(0, 9, 9, 9, 4, 2, 1, 45, 0, 0);
        const double lo[3] = {0, 0, 0}, hi[3] = {4, 0, 2};
        ExpectBounds(Only(list), lo, hi);

        // Seen from the front it is a line; from above, a rectangle.
        std::vector<double> hull;
        const qx::PartOutlines parts = [&] {
            qx::PartOutlines out;
            qx::AddPartOutlines(list, out);
            return out;
        }();
        qx::OrthoView view{.axis = qx::ViewAxis::Front, .zoom = 10, .width = 200, .height = 200};
        qx::HullInView(view, qx::Affine(), parts.PointsOf(parts.parts[0]), hull);
        EXPECT_EQ(hull.size(), 4u);
        view.axis = qx::ViewAxis::Top;
        qx::HullInView(view, qx::Affine(), parts.PointsOf(parts.parts[0]), hull);
        EXPECT_EQ(hull.size(), 8u);
    }
}

// A view bounds a placement by every kind of part, so that an object of
// spheres only is as large on the screen as it draws, not a point.
TEST(PartOutlines, AViewsTableBoundsPlacementsByEveryKindOfPart)
{
    ProjectContent content;
    const int32_t k = content.AddObject("_Ball");
    TGLPremitives& list = *content.MapObjects[static_cast<size_t>(k)]->Lists[0];
    TSphere sphere;
    sphere.Radius = 3;
    list.Spheres.push_back(sphere);
    list.SphereCount = 1;
    content.AddPlacement("_Ball", TPlacement{10, 0, 0, 0, 0, 0, 2, 2, 2});
    qx::PlacedBoundsTable table;
    table.Rebuild(content);
    const double lo[3] = {4, -6, -6}, hi[3] = {16, 6, 6};
    ExpectBounds(table.placements[0], lo, hi);
    ASSERT_NE(table.PartsOf(content, 0), nullptr);
    EXPECT_EQ(table.PartsOf(content, 0)->parts.size(), 1u);
}

}  // namespace
