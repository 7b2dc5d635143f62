// The undo stack's own rules: merging, the redo steps a new edit clears,
// the saved state and the limit.
#include <gtest/gtest.h>

#include "EditHistory.h"

namespace {

TEST(UndoStack, MergesKeystrokesClearsRedoAndTracksTheSavedState)
{
    UndoStack stack;
    int value = 0;
    const auto set = [&](int from, int to, const char* key) {
        value = to;
        UndoStep step;
        step.label = "set";
        step.mergeKey = key;
        step.undo = [&value, from] { value = from; };
        step.redo = [&value, to] { value = to; };
        stack.Push(std::move(step));
    };
    set(0, 1, "field");
    set(1, 2, "field");
    EXPECT_EQ(stack.Count(), 1u) << "keystrokes in one field are one step";
    stack.MarkSaved();
    EXPECT_FALSE(stack.Modified());
    set(2, 3, "field");
    EXPECT_EQ(stack.Count(), 2u) << "never merged across a save";
    EXPECT_TRUE(stack.Modified());
    stack.Undo();
    EXPECT_EQ(value, 2);
    EXPECT_FALSE(stack.Modified()) << "back at the saved state";
    stack.Undo();
    EXPECT_EQ(value, 0);
    set(0, 5, "");
    EXPECT_FALSE(stack.CanRedo()) << "a new edit clears the redo steps";
    for (int i = 0; i < 600; ++i)
        set(i, i + 1, "");
    EXPECT_GE(stack.Count(), 200u);
    EXPECT_LE(stack.Count(), UndoStack::kLimit);
}

}  // namespace
