// The undo stack's own rules: merging, the redo steps a new edit clears,
// the saved state and the limit.
#include <gtest/gtest.h>

#include "EditHistory.h"

#include <string>

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

// A transaction makes the steps of one gesture one step; a nested one
// belongs to the outer; a cancelled one leaves nothing, in data or history.
TEST(UndoStack, TransactionsGatherStepsIntoOneAndCancelLeavesNothing)
{
    UndoStack stack;
    std::string trail;
    const auto add = [&](char c) {
        trail += c;
        UndoStep step;
        step.undo = [&trail] { trail.pop_back(); };
        step.redo = [&trail, c] { trail += c; };
        step.bytes = 10;
        stack.Push(std::move(step));
    };
    {
        UndoStack::Transaction drag(stack);
        EXPECT_TRUE(drag.Outermost());
        add('a');
        {
            UndoStack::Transaction inner(stack);
            EXPECT_FALSE(inner.Outermost());
            add('b');
            inner.Commit("inner");
        }
        {
            UndoStack::Transaction dropped(stack);
            add('x');
        }  // not committed: undone
        add('c');
        EXPECT_EQ(stack.Count(), 0u) << "nothing recorded while it is open";
        drag.Commit("drag");
    }
    EXPECT_EQ(trail, "abc");
    ASSERT_EQ(stack.Count(), 1u);
    EXPECT_EQ(stack.UndoLabel(), "drag");
    EXPECT_EQ(stack.Bytes(), 30u);
    stack.Undo();
    EXPECT_EQ(trail, "");
    stack.Redo();
    EXPECT_EQ(trail, "abc");

    {
        UndoStack::Transaction cancelled(stack);
        add('d');
        add('e');
        cancelled.Cancel();
    }
    EXPECT_EQ(trail, "abc");
    EXPECT_EQ(stack.Count(), 1u);
    UndoStack::Transaction empty(stack);
    empty.Commit("nothing");
    EXPECT_EQ(stack.Count(), 1u) << "an empty transaction is no step";
}

}  // namespace
