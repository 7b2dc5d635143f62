// The occlusion buffer's rule on small scenes, the eye at the origin looking
// down -Z through a 60-degree view of 256 x 256 pixels, as the game's.  The
// occluders are boxes as the object renderer makes them: opaque solid
// quads, shared faces dropped.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "Mesh.h"
#include "Occlusion.h"

namespace {

constexpr float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// gluPerspective(60, 1, 0.1, 1000), column-major.
const float* Perspective()
{
    static float p[16] = {};
    const float f = 1.0f / std::tan(static_cast<float>(M_PI) / 6), n = 0.1f, far = 1000;
    p[0] = f;
    p[5] = f;
    p[10] = (far + n) / (n - far);
    p[11] = -1;
    p[14] = 2 * far * n / (n - far);
    return p;
}

struct Box {
    float lo[3], hi[3];
};

// The outer faces of opaque boxes drawn together, as one object's list.
std::vector<qx::OccluderQuad> Solids(const std::vector<Box>& boxes)
{
    qx::MeshBuilder b;
    qx::MeshState state;
    state.textureBy = qx::MeshTexture::Off;
    for (const Box& box : boxes) {
        const float h[3] = {(box.hi[0] - box.lo[0]) / 2, (box.hi[1] - box.lo[1]) / 2, (box.hi[2] - box.lo[2]) / 2};
        b.Push();
        b.Translate(box.lo[0] + h[0], box.lo[1] + h[1], box.lo[2] + h[2]);
        b.UseState(state);
        b.solid = true;
        qx::shapes::CubeFaces(b, 1, h[0], h[1], h[2]);
        b.solid = false;
        b.Pop();
    }
    std::vector<qx::OccluderQuad> quads;
    b.DropSharedFaces(&quads);
    return quads;
}

class Occlusion : public ::testing::Test {
protected:
    void SetUp() override { buffer.Begin(Perspective(), 256, 256); }
    void Add(const std::vector<Box>& boxes) { buffer.AddQuads(kIdentity, Solids(boxes)); }
    bool Hidden(const Box& box) const { return buffer.Hidden(kIdentity, box.lo, box.hi); }

    qx::OcclusionBuffer buffer;
};

// A wall 10 wide, 10 to 11 units ahead: its edges at x = +-5 show at a
// slope of 0.5 from the view's axis.
const Box kWall{{-5, -5, -11}, {5, 5, -10}};

TEST_F(Occlusion, WhatLiesWhollyBehindAWallIsHiddenAndNothingElse)
{
    Add({kWall});
    EXPECT_TRUE(Hidden({{-2, -2, -30}, {2, 2, -20}}));
    EXPECT_TRUE(Hidden({{-9, -9, -22}, {9, 9, -21}})) << "up to the edge's slope";
    // Past the edge by a tenth of a unit at 20: about two pixels.
    EXPECT_FALSE(Hidden({{8, -2, -21}, {10.1f, 2, -20}}));
    // Small boxes (a few pixels) far behind, and one across the edge.
    EXPECT_TRUE(Hidden({{-0.2f, -0.2f, -40}, {0.2f, 0.2f, -39.6f}}));
    EXPECT_TRUE(Hidden({{19.2f, -0.2f, -40}, {19.6f, 0.2f, -39.6f}}));
    EXPECT_FALSE(Hidden({{19.7f, -0.2f, -40}, {20.1f, 0.2f, -39.6f}}));
    EXPECT_FALSE(Hidden({{-1, -1, -9}, {1, 1, -8}})) << "in front";
    EXPECT_FALSE(Hidden({{-1, -1, -12}, {1, 1, -10}})) << "touching the wall's face";
    EXPECT_FALSE(Hidden({{-1, -1, -1}, {1, 1, 1}})) << "around the eye";
    EXPECT_TRUE(Hidden({{-12.1f, -0.2f, -20.1f}, {-11.95f, 0.2f, -20}})) << "a few pixels left of the window";
}

TEST_F(Occlusion, AWallTurnedScaledAndMovedByItsModelviewHidesAsWhereItLands)
{
    // Scaled 2 along X, turned 90 degrees about Y, moved 10.5 ahead: the
    // slab below lands on kWall, its near face at x = -0.25.
    const float modelview[16] = {0, 0, -2, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, -10.5f, 1};
    buffer.AddQuads(modelview, Solids({{{-0.25f, -5, -5}, {0.25f, 5, 5}}}));
    EXPECT_TRUE(Hidden({{-2, -2, -30}, {2, 2, -20}}));
    EXPECT_FALSE(Hidden({{8, -2, -21}, {10.1f, 2, -20}}));
}

TEST_F(Occlusion, WallsSideBySideHideWhatLiesBehindTheirSeam)
{
    Add({{{-5, -5, -11}, {0.3f, 5, -10}}});
    Add({{{0.3f, -5, -11}, {5, 5, -10}}});
    EXPECT_TRUE(Hidden({{-2, -2, -30}, {2, 2, -20}}));
    // A gap of a tenth between them lets the box be seen.
    SetUp();
    Add({{{-5, -5, -11}, {0.3f, 5, -10}}});
    Add({{{0.4f, -5, -11}, {5, 5, -10}}});
    EXPECT_FALSE(Hidden({{-2, -2, -30}, {2, 2, -20}}));
}

TEST_F(Occlusion, NothingIsHiddenBehindFacesSeenFromInside)
{
    // The eye inside a box sees its faces from behind: GL culls them.
    Add({{{-20, -20, -20}, {20, 20, 20}}});
    EXPECT_FALSE(Hidden({{-2, -2, -30}, {2, 2, -25}}));
    EXPECT_FALSE(Hidden({{-2, -2, -15}, {2, 2, -10}}));
}

TEST_F(Occlusion, FacesReachingPastTheNearPlaneHideNothing)
{
    // A floor slab under the eye running from behind it to far ahead.
    Add({{{-50, -3, -200}, {50, -1, 5}}});
    EXPECT_FALSE(Hidden({{-1, -10, -30}, {1, -5, -20}}));
}

TEST_F(Occlusion, AFacePartlyInsideAnotherBoxHidesWhereItReachesPast)
{
    // A slab across the wall: its front face's middle lies inside the
    // wall, its ends 3 units past the wall's edges, in front of the box.
    Add({kWall, {{-8, -8, -10.5f}, {8, 8, -10.2f}}});
    EXPECT_TRUE(Hidden({{13, -1, -25}, {14, 1, -24}}));
}

// Fourteen thin walls in one cell, each on pixels of its own and a unit
// further back than the one before, then a wide one just behind the last:
// more depths than a cell keeps layers (eight in this window, three in one
// of 1,024 pixels), the nearest in depth merged first.  Whatever merges,
// what lies behind all of them is hidden, and what lies between the last
// thin wall and the wide one, where only the wide one covers, shows.
TEST_F(Occlusion, DepthsBeyondACellsLayersMergeWithoutHidingWhatShowsBetween)
{
    for (const int size : {256, 1024}) {
        SCOPED_TRACE(size);
        buffer.Begin(Perspective(), size, size);
        const float px = 2 / (size * 1.7320508f);  // a pixel, in x or y over the distance
        // Pixels [x0, x1] x [y0, y1] from the middle (a cell's corner), at
        // `depth` and a hundredth behind.
        const auto at = [px](float x0, float x1, float y0, float y1, float depth) -> Box {
            return {{x0 * px * depth, y0 * px * depth, -depth - 0.01f}, {x1 * px * depth, y1 * px * depth, -depth}};
        };
        for (int k = 0; k < 7; ++k) {
            Add({at(k - 0.05f, k + 1.05f, 4, 30, 10.0f + k)});
            Add({at(k - 0.05f, k + 1.05f, -30, 4, 17.0f + k)});
        }
        Add({at(6.95f, 40, -30, 30, 23.3f)});
        EXPECT_TRUE(Hidden(at(1, 38, -20, 20, 25)));
        EXPECT_FALSE(Hidden(at(7.2f, 7.9f, 0.2f, 7.8f, 23.1f)));
    }
}

TEST_F(Occlusion, ABoxAddedByItsOutlineHidesWhatLiesBehindItWholly)
{
    const qx::OcclusionBuffer::Placed placed = buffer.Under(kIdentity);
    buffer.AddBox(placed, qx::Inset({{-5.01f, -5.01f, -11.01f}, {{10.02f, 0, 0}, {0, 10.02f, 0}, {0, 0, 1.02f}}}, 0.01f));
    EXPECT_TRUE(Hidden({{-2, -2, -30}, {2, 2, -20}}));
    EXPECT_TRUE(Hidden({{-9, -9, -22}, {9, 9, -21}})) << "up to the edge's slope";
    EXPECT_FALSE(Hidden({{8, -2, -21}, {10.1f, 2, -20}}));
    EXPECT_FALSE(Hidden({{-1, -1, -10.8f}, {1, 1, -10.6f}})) << "within its depth";
    // Seen from inside, a box's faces turn away: it adds nothing.
    SetUp();
    buffer.AddBox(placed, {{-20, -20, -20}, {{40, 0, 0}, {0, 40, 0}, {0, 0, 40}}});
    EXPECT_FALSE(Hidden({{-2, -2, -30}, {2, 2, -25}}));
}

}  // namespace
