// Where a start from the editor's camera puts the player: the command
// line's words and where the feet land for eyes in the air or inside a box.
#include <gtest/gtest.h>

#include "CollisionWorld.h"
#include "GameStart.h"
#include "PlayerMotion.h"

namespace {

std::vector<std::string> Words(std::initializer_list<const char*> words) { return {words.begin(), words.end()}; }

}  // namespace

TEST(GameStart, ArgumentsInTheUsersAxesAndDegreesOrRefused)
{
    qx::GameArguments a;
    ASSERT_TRUE(qx::ParseGameArguments(Words({"/p", "--start", "1,5", "-2", "4", "90", "-30"}), a));
    EXPECT_EQ(a.folder, "/p");
    ASSERT_TRUE(a.hasStart);
    // X, then the depth into world Z and the height into world Y.
    EXPECT_FLOAT_EQ(a.start.eye[0], 1.5f);
    EXPECT_FLOAT_EQ(a.start.eye[1], 4);
    EXPECT_FLOAT_EQ(a.start.eye[2], -2);
    EXPECT_NEAR(a.start.yaw, 1.5707964f, 1e-6);
    EXPECT_NEAR(a.start.pitch, -0.5235988f, 1e-6);
    ASSERT_TRUE(qx::ParseGameArguments(Words({"--start", "0", "0", "0", "0", "0"}), a));
    EXPECT_TRUE(a.folder.empty());
    ASSERT_TRUE(qx::ParseGameArguments(Words({"--help"}), a));
    EXPECT_TRUE(a.help);

    for (const auto& bad : {Words({"/p", "--start", "1", "2", "3", "4"}), Words({"/p", "--start"}),
                            Words({"/p", "--start", "1", "2", "3", "4", "91"}),
                            Words({"/p", "--start", "1", "2", "NAN", "4", "5"}),
                            Words({"/p", "--start", "1", "2", "3e", "4", "5"}), Words({"/p", "/q"}),
                            Words({"/p", "--begin"})})
        EXPECT_FALSE(qx::ParseGameArguments(bad, a)) << bad.back();

    // The editor's words read back as the view they were made from.
    const float eye[3] = {3.25f, 7, -11};
    const float target[3] = {3.25f - 1, 7 + 1, -11};
    const qx::ViewStart view = qx::ViewStartLooking(eye, target);
    EXPECT_NEAR(view.yaw, -1.5707964f, 1e-6);
    EXPECT_NEAR(view.pitch, 0.7853982f, 1e-6);
    qx::ViewStart back;
    ASSERT_TRUE(qx::ParseViewStart(qx::ViewStartWords(view), 0, back));
    for (int k = 0; k < 3; ++k)
        EXPECT_FLOAT_EQ(back.eye[k], eye[k]);
    EXPECT_NEAR(back.yaw, view.yaw, 1e-6);
    EXPECT_NEAR(back.pitch, view.pitch, 1e-6);
}

// A floor whose top is at 0 and a box 6 high standing on it at x 10..14.
TEST(GameStart, FeetStandOnWhatIsBelowTheEyeOrOnTheBoxThatHoldsIt)
{
    qx::CollisionWorld world;
    world.Build({{qx::Solid::Of(qx::Box3::Of(-50, -1, -50, 50, 0, 50))}, {qx::Solid::Of(qx::Box3::Of(10, 0, -2, 14, 6, 2))}},
                {qx::PlacedShape{0}, qx::PlacedShape{1}});
    float feet[3];
    // In the air: down to the floor, not 4 below the eye.
    const float air[3] = {0, 30, 0};
    qx::PlayerMotion::FeetForEye(world, air, feet);
    EXPECT_FLOAT_EQ(feet[0], 0);
    EXPECT_FLOAT_EQ(feet[1], 0);
    EXPECT_FLOAT_EQ(feet[2], 0);
    // Above the box: on its top.
    const float over[3] = {12, 9, 0};
    qx::PlayerMotion::FeetForEye(world, over, feet);
    EXPECT_FLOAT_EQ(feet[1], 6);
    // Inside the box: on its top too, not the floor inside it.
    const float inside[3] = {12, 3, 0};
    qx::PlayerMotion::FeetForEye(world, inside, feet);
    EXPECT_NEAR(feet[1], 6, 0.01);
    // Beside the box, within the body's half width of it: the floor.
    const float beside[3] = {9.5f, 4, 0};
    qx::PlayerMotion::FeetForEye(world, beside, feet);
    EXPECT_FLOAT_EQ(feet[1], 0);
    // And there the player stands still.
    qx::PlayerMotion player(world, feet);
    player.Advance(0.5, qx::MoveInput());
    EXPECT_NEAR(player.Feet()[1], 0, 1e-3);
}
