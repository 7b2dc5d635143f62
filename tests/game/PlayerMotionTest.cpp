// The player's movement against collision volumes, as pure code.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "CollisionWorld.h"
#include "PlayerMotion.h"

using qx::Box3;
using qx::CollisionWorld;
using qx::MoveInput;
using qx::PlayerMotion;

namespace {

// Each box its own shape, placed once at the origin with scale 1.
CollisionWorld World(const std::vector<Box3>& boxes)
{
    std::vector<std::vector<qx::Solid>> shapes;
    std::vector<qx::PlacedShape> placed;
    for (const Box3& b : boxes) {
        placed.push_back(qx::PlacedShape{static_cast<uint32_t>(shapes.size()), {0, 0, 0}, {1, 1, 1}});
        shapes.push_back({qx::Solid::Of(b)});
    }
    CollisionWorld world;
    world.Build(shapes, placed);
    return world;
}

const Box3 kFloor = Box3::Of(-100, -1, -100, 100, 0, 100);

void Play(PlayerMotion& player, const MoveInput& input, double seconds, double fps)
{
    const int frames = static_cast<int>(std::lround(seconds * fps));
    for (int i = 0; i < frames; ++i)
        player.Advance(1.0 / fps, input);
}

MoveInput Forward(bool run = false)
{
    MoveInput in;
    in.forward = true;
    in.run = run;
    return in;
}

}  // namespace

TEST(PlayerMotion, SpawnsAtTheStartAndStandsOnTheFloor)
{
    const CollisionWorld world = World({kFloor});
    const float start[3] = {3, 0, -2};
    PlayerMotion player(world, start);
    EXPECT_FLOAT_EQ(player.Feet()[0], 3);
    EXPECT_FLOAT_EQ(player.Feet()[2], -2);
    Play(player, MoveInput(), 1, 60);
    EXPECT_FLOAT_EQ(player.Feet()[1], 0);
    EXPECT_TRUE(player.OnGround());
    float eye[3];
    player.Eye(eye);
    EXPECT_FLOAT_EQ(eye[1], 4);
}

TEST(PlayerMotion, WalksAtItsSpeedsAndAWallStopsIt)
{
    // Yaw 0 looks along +Z; a growing yaw turns left, towards +X.
    const CollisionWorld open = World({kFloor});
    const float start[3] = {0, 0, 0};
    PlayerMotion walker(open, start);
    Play(walker, Forward(), 1, 60);
    EXPECT_NEAR(walker.Feet()[2], 12, 0.01);
    EXPECT_NEAR(walker.Feet()[0], 0, 1e-4);
    PlayerMotion runner(open, start);
    MoveInput left = Forward(true);
    left.yaw = static_cast<float>(M_PI / 2);
    Play(runner, left, 1, 60);
    EXPECT_NEAR(runner.Feet()[0], 24, 0.01);

    const CollisionWorld walled = World({kFloor, Box3::Of(-10, 0, 10, 10, 8, 12)});
    PlayerMotion player(walled, start);
    Play(player, Forward(true), 3, 60);
    EXPECT_NEAR(player.Feet()[2], 10 - PlayerMotion::kHalfWidth, 0.01);
    EXPECT_LT(player.Feet()[2], 10 - PlayerMotion::kHalfWidth);
    EXPECT_FLOAT_EQ(player.Feet()[1], 0);
    // Sliding along it still works.
    MoveInput diagonal = Forward();
    diagonal.left = true;
    Play(player, diagonal, 0.5, 60);
    EXPECT_GT(player.Feet()[0], 3);
    EXPECT_LT(player.Feet()[2], 10 - PlayerMotion::kHalfWidth);
}

TEST(PlayerMotion, FallsOntoABoxTopAndJumpsTwoUnits)
{
    const CollisionWorld world = World({kFloor, Box3::Of(-4, 0, -4, 4, 6, 4)});
    const float start[3] = {0, 30, 0};
    PlayerMotion player(world, start);
    Play(player, MoveInput(), 3, 60);
    EXPECT_FLOAT_EQ(player.Feet()[1], 6);
    EXPECT_TRUE(player.OnGround());

    MoveInput jump;
    jump.jump = true;
    player.Tick(jump);
    float peak = 0;
    for (int i = 0; i < 240; ++i) {
        player.Tick(MoveInput());
        peak = std::max(peak, player.Feet()[1] - 6);
    }
    EXPECT_NEAR(peak, PlayerMotion::kJumpHeight, 0.02);
    EXPECT_FLOAT_EQ(player.Feet()[1], 6);

    // A long fall does not pass through a thin slab between two ticks.
    const CollisionWorld slab = World({Box3::Of(-4, -0.25f, -4, 4, 0.25f, 4)});
    const float high[3] = {0, 8000, 0};
    PlayerMotion faller(slab, high);
    Play(faller, MoveInput(), 40, 60);
    EXPECT_FLOAT_EQ(faller.Feet()[1], 0.25f);
}

TEST(PlayerMotion, ClimbsAStepButNotAWall)
{
    const float start[3] = {0, 0, 0};
    const CollisionWorld step = World({kFloor, Box3::Of(-10, 0, 5, 10, 1.5f, 40)});
    PlayerMotion climber(step, start);
    Play(climber, Forward(), 1, 60);
    EXPECT_NEAR(climber.Feet()[2], 12, 0.05);
    EXPECT_NEAR(climber.Feet()[1], 1.5, 0.01);

    const CollisionWorld wall = World({kFloor, Box3::Of(-10, 0, 5, 10, 1.6f, 40)});
    PlayerMotion blocked(wall, start);
    Play(blocked, Forward(), 1, 60);
    EXPECT_NEAR(blocked.Feet()[2], 4, 0.01);
    EXPECT_FLOAT_EQ(blocked.Feet()[1], 0);

    // A step under a low ceiling is no way through.
    const CollisionWorld low = World({kFloor, Box3::Of(-10, 0, 5, 10, 1, 40), Box3::Of(-10, 5, 3, 10, 9, 40)});
    PlayerMotion ducked(low, start);
    Play(ducked, Forward(), 1, 60);
    EXPECT_NEAR(ducked.Feet()[2], 4, 0.01);
}

TEST(PlayerMotion, SameOutcomeAt30And300FramesASecond)
{
    const CollisionWorld world = World({kFloor, Box3::Of(-30, 0, 14, -5, 1.2f, 30), Box3::Of(8, 0, 0, 9, 5, 40)});
    const float start[3] = {0, 0, 0};
    MoveInput in = Forward(true);
    in.right = true;
    in.jump = true;
    in.yaw = 0.3f;
    PlayerMotion slow(world, start), fast(world, start);
    Play(slow, in, 2, 30);
    Play(fast, in, 2, 300);
    const float moved = std::hypot(fast.Feet()[0], fast.Feet()[2]);
    EXPECT_GT(moved, 20);
    for (int a = 0; a < 3; ++a)
        EXPECT_NEAR(slow.Feet()[a], fast.Feet()[a], 0.01 * moved) << "axis " << a;
}

TEST(PlayerMotion, FallingFarBelowTheLowestVolumeRespawns)
{
    const CollisionWorld world = World({Box3::Of(-2, -1, -2, 2, 0, 2)});
    const float start[3] = {0, 0, 0};
    PlayerMotion player(world, start);
    Play(player, Forward(), 1, 60);  // off the edge
    ASSERT_GT(player.Feet()[2], 3);
    float lowest = 0;
    for (int i = 0; i < 600 && player.Feet()[2] != 0; ++i) {
        player.Tick(MoveInput());
        lowest = std::min(lowest, player.Feet()[1]);
    }
    EXPECT_FLOAT_EQ(player.Feet()[2], 0);
    EXPECT_EQ(player.FallRespawns(), 1);
    EXPECT_LT(lowest, -100);
    EXPECT_GT(lowest, -102);
}

TEST(CollisionWorld, FindsWhatABruteForceSearchFinds)
{
    // Shapes of every size class, of turned boxes (one with a model's
    // triangles too), placed, moved, scaled unevenly (mirrored too) and
    // turned.
    std::mt19937 random(7);
    std::uniform_real_distribution<float> pos(-3000, 3000), size(0.1f, 40), scale(-3, 3), angle(-180, 180);
    std::vector<std::vector<qx::Solid>> shapes;
    for (float extent : {1.0f, 30.0f, 300.0f, 3000.0f, 20000.0f}) {
        std::vector<qx::Solid> shape;
        for (int v = 0; v < 3; ++v) {
            const float at[3] = {pos(random) / 3000 * extent, 0, pos(random) / 3000 * extent};
            const float sizes[3] = {size(random), size(random), size(random)};
            const float turn[3] = {v == 0 ? 0 : angle(random), angle(random), 0};
            shape.push_back(qx::Solid::Turned(at, sizes, turn));
        }
        shapes.push_back(shape);
    }
    std::vector<qx::PlacedShape> placed;
    for (int p = 0; p < 3000; ++p)
        placed.push_back(qx::PlacedShape{static_cast<uint32_t>(p % shapes.size()),
                                         {pos(random), pos(random) / 100, pos(random)},
                                         {scale(random), 1, scale(random)},
                                         {0, p % 3 == 0 ? 0 : angle(random), p % 5 == 0 ? angle(random) : 0}});
    // Shape 1 also holds a model of random triangles, under a transform of
    // its own.
    std::vector<float> corners;
    std::uniform_real_distribution<float> inModel(-20, 20);
    for (int t = 0; t < 9 * 300; ++t)
        corners.push_back(inModel(random));
    const auto mesh = std::make_shared<const qx::MeshTree>(corners);
    const qx::MeshUse use{0, {5, 1, -3}, {1.5f, 0.5f, -1}, {10, 30, 0}};
    CollisionWorld world;
    world.Build(shapes, placed, {mesh}, {{}, {use}});

    // Each volume placed point by point: scaled, then turned, then moved.
    const auto place = [](const qx::Solid& v, const qx::PlacedShape& s) {
        const auto point = [&](const float local[3], float out[3]) {
            for (int a = 0; a < 3; ++a)
                out[a] = local[a] * s.scale[a];
            qx::TurnPoint(out, s.turn);
            for (int a = 0; a < 3; ++a)
                out[a] += s.pos[a];
        };
        qx::Solid w;
        point(v.corner, w.corner);
        for (int k = 0; k < 3; ++k) {
            float end[3] = {v.corner[0] + v.edge[k][0], v.corner[1] + v.edge[k][1], v.corner[2] + v.edge[k][2]};
            point(end, w.edge[k]);
            for (int a = 0; a < 3; ++a)
                w.edge[k][a] -= w.corner[a];
        }
        w.UpdateBounds();
        return w;
    };
    const auto near = [](const Box3& a, const Box3& b) {
        for (int i = 0; i < 3; ++i)
            if (std::abs(a.min[i] - b.min[i]) > 0.05f || std::abs(a.max[i] - b.max[i]) > 0.05f)
                return false;
        return true;
    };
    // The model's triangles placed point by point, once.
    std::vector<qx::Solid> triangles;
    for (const qx::PlacedShape& s : placed) {
        if (s.shape != 1)
            continue;
        const qx::PlacedShape inObject{0, {use.pos[0], use.pos[1], use.pos[2]},
                                       {use.scale[0], use.scale[1], use.scale[2]},
                                       {use.turn[0], use.turn[1], use.turn[2]}};
        for (size_t t = 0; t < corners.size(); t += 9) {
            qx::Solid w = place(place(qx::Solid::Triangle(&corners[t], &corners[t + 3], &corners[t + 6]), inObject), s);
            w.kind = qx::SolidKind::Triangle;
            w.UpdateBounds();
            triangles.push_back(w);
        }
    }
    int trianglesNear = 0;
    for (int q = 0; q < 200; ++q) {
        const float x = pos(random), z = pos(random), w = size(random) * (q % 4 == 0 ? 20 : 1);
        const Box3 query = Box3::Of(x, -100, z, x + w, 100, z + w);
        Box3 inner = query;  // what a volume surely overlaps when it overlaps this
        for (int a = 0; a < 3; ++a)
            inner.min[a] += 0.1f, inner.max[a] -= 0.1f;
        std::vector<Box3> found;
        world.ForEachVolume(query, [&](const qx::Solid& v) {
            EXPECT_TRUE(v.bounds.Overlaps(query));
            found.push_back(v.bounds);
        });
        const auto expectFound = [&](const qx::Solid& w) {
            if (qx::SolidAxes(w).Overlaps(inner)) {
                ASSERT_TRUE(std::any_of(found.begin(), found.end(), [&](const Box3& f) { return near(f, w.bounds); }))
                    << "query " << q;
            }
        };
        for (const qx::PlacedShape& s : placed)
            for (const qx::Solid& v : shapes[s.shape])
                expectFound(place(v, s));
        for (const qx::Solid& w : triangles)
            if (w.bounds.Overlaps(inner)) {
                expectFound(w);
                ++trianglesNear;
            }
    }
    EXPECT_GT(trianglesNear, 100) << "the queries reach the model";
}
