#include <gtest/gtest.h>

#include "EditorDocument.h"
#include "EditorState.h"

namespace {

class SnapTest : public ::testing::Test {
protected:
    qxtest::ScopedEditorDocument editor_;
};

TEST_F(SnapTest, HalfStepTruncatesTowardZero)
{
    EXPECT_FLOAT_EQ(SnapX(1.26f), 1.0f);
    EXPECT_FLOAT_EQ(SnapX(-1.26f), -1.0f);
    EXPECT_FLOAT_EQ(SnapZ(-0.7f), -0.5f);
    EXPECT_FLOAT_EQ(SnapZ(0.49f), 0.0f);
}

TEST_F(SnapTest, VerticalRoundsToIntegerFirstTiesToEven)
{
    EXPECT_FLOAT_EQ(SnapY(1.26f), 1.0f);
    EXPECT_FLOAT_EQ(SnapY(1.6f), 2.0f);
    EXPECT_FLOAT_EQ(SnapY(2.5f), 2.0f);
    EXPECT_FLOAT_EQ(SnapY(3.5f), 4.0f);
    EXPECT_FLOAT_EQ(SnapY(-2.5f), -2.0f);
}

TEST_F(SnapTest, EachAxisUsesItsOwnStep)
{
    Editor().GridStepX = 2.0f;
    Editor().GridStepY = 2.0f;
    Editor().GridStepZ = 0.25f;
    EXPECT_FLOAT_EQ(SnapX(3.9f), 2.0f);
    EXPECT_FLOAT_EQ(SnapY(3.9f), 4.0f);
    EXPECT_FLOAT_EQ(SnapZ(3.9f), 3.75f);
}

TEST_F(SnapTest, StartValuesOfTheState)
{
    const EditorState& s = Editor();
    EXPECT_EQ(s.PrimIndex, -1);
    EXPECT_EQ(s.EditIndex(), -1);
    EXPECT_TRUE(s.KeysEnabled);
    EXPECT_TRUE(s.SwallowKeys);
    // The object and placement arrays hold one element more than their counts.
    EXPECT_EQ(s.MapObjects.size(), 1u);
    EXPECT_EQ(s.MapObjectNames.size(), 1u);
    EXPECT_EQ(s.Placements.size(), 1u);
    EXPECT_EQ(PlayerNodeText(), std::string("_\xC8\xE3\xF0\xEE\xEA"));
}

}  // namespace
