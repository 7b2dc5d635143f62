// The object view's edits on a document without windows: each command's
// rules, and undo and redo giving back exactly the object files and the
// pending primitive of before and after.
#include <gtest/gtest.h>

#include <memory>
#include <utility>

#include "Document.h"
#include "PrimitiveList.h"
#include "ProjectFiles.h"
#include "QX3DObject.h"
#include "SessionEdits.h"
#include "Text1251.h"

namespace {

using qx::PartRef;

class SessionEditsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        doc_.EditedModel = &edited_;
        doc_.PendingPrimitive = &pending_;
        doc_.AddObject("_Other");
        const int32_t a = doc_.AddObject("_A");
        definition_ = doc_.MapObjects[static_cast<size_t>(a)];
        definition_->Lists[0]->AddBox(2, 0, 0, 0, 1, 1, 1, 1, 0, 0, 0);
        definition_->Lists[0]->AddBox(3, 8, 0, 0, 2, 2, 2, 1, 0, 0, 0);
        doc_.Events.Observe([this](uint32_t changes) { told_ |= changes; });
        qx::OpenForEditing(doc_, definition_);
        EXPECT_EQ(Told(), qx::SessionChanged);
    }
    // What a save writes of the working copy and of the definition.
    std::string Files() const { return qx::FormatObjectFile(edited_) + qx::FormatObjectFile(*definition_); }
    // A new box locked at (x, 0, 0) and committed.
    PartRef AddBoxAt(double x)
    {
        qx::StartPlacingShape(doc_, ShapeKind::Box, 1);
        doc_.CursorWorld[0] = x;
        qx::ClickPending(doc_, 0);
        return qx::ClickPending(doc_, 0);
    }
    const TGLPremitives& Parts() const { return *edited_.Lists[0]; }
    uint32_t Told() { return std::exchange(told_, 0u); }

    Document doc_;
    TQX3DObject edited_{"edited"};
    TQX3DObject pending_{"pending"};
    std::shared_ptr<TQX3DObject> definition_;
    uint32_t told_ = 0;
};

TEST_F(SessionEditsTest, ClicksLockThenCommitANewPartAsOneStep)
{
    const std::string before = Files();
    qx::StartPlacingShape(doc_, ShapeKind::Box, 1);
    EXPECT_EQ(Told(), qx::PendingChanged);
    doc_.CursorWorld[0] = 4.7;
    doc_.CursorWorld[1] = 2.5;
    EXPECT_FALSE(qx::ClickPending(doc_, 0));
    EXPECT_EQ(doc_.ClickState, 1);
    EXPECT_EQ(doc_.CursorWorld[0], 4.5) << "locked on the snapped cursor";
    EXPECT_EQ(doc_.CursorWorld[1], 2.0) << "the height rounds half to even";
    EXPECT_FALSE(doc_.History.CanUndo()) << "a lock changes nothing a save writes";
    Told();

    const PartRef made = qx::ClickPending(doc_, 0);
    EXPECT_EQ(made.index, 2);
    ASSERT_EQ(Parts().BoxCount, 3);
    EXPECT_EQ(Parts().Boxes[2].Position.X, 4.5f) << "committed where the lock holds it";
    EXPECT_EQ(doc_.ClickState, 0);
    EXPECT_TRUE(doc_.Placing) << "the next one follows the cursor";
    EXPECT_EQ(doc_.History.UndoLabel(), Cp("добавление коробки"));
    EXPECT_EQ(Told(), qx::SessionChanged | qx::PendingChanged);
    const std::string after = Files();

    doc_.History.Undo();
    EXPECT_EQ(Files(), before);
    EXPECT_EQ(doc_.ClickState, 1) << "the box is locked again, as before the click";
    ASSERT_TRUE(qx::PendingFields(doc_));
    EXPECT_EQ(Told(), qx::SessionChanged | qx::PendingChanged);
    doc_.History.Redo();
    EXPECT_EQ(Files(), after);

    // Into another list of the time line: no part of the tree's list 0.
    edited_.AddList();
    qx::ClickPending(doc_, 0);
    EXPECT_FALSE(qx::ClickPending(doc_, 1));
    EXPECT_EQ(edited_.Lists[1]->BoxCount, 1);
    EXPECT_EQ(Parts().BoxCount, 3);
}

TEST_F(SessionEditsTest, ClicksWithoutAPendingPrimitiveRecordNothing)
{
    qx::ClickPending(doc_, 0);
    EXPECT_EQ(doc_.ClickState, 0) << "nothing to place, nothing locked";
    qx::StartPlacingShape(doc_, ShapeKind::Box, 1);
    qx::ClickPending(doc_, 0);
    qx::DropPending(doc_);
    EXPECT_FALSE(doc_.Placing);
    EXPECT_EQ(doc_.ClickState, 0) << "\"Мышка\" frees the cursor";
    qx::ClickPending(doc_, 0);
    EXPECT_TRUE(qx::ArmCommit(doc_));
    qx::ClickPending(doc_, 0);
    EXPECT_EQ(doc_.ClickState, 0);
    EXPECT_FALSE(qx::ArmCommit(doc_)) << "a double click needs a lock";
    EXPECT_EQ(Parts().BoxCount, 2);
    EXPECT_FALSE(doc_.History.CanUndo());
    EXPECT_FALSE(doc_.History.Modified());
}

// "Изменить": the part is locked where it stands, shaped, and put back in
// its place whole (its texture kept); deleting a part moves or drops the
// one being changed.
TEST_F(SessionEditsTest, AChangedPartGoesBackInPlaceAndDeletionsKeepItRight)
{
    const std::string before = Files();
    ASSERT_TRUE(qx::ChangePart(doc_, {ShapeKind::Box, 1}));
    EXPECT_EQ(doc_.ClickState, 1);
    EXPECT_EQ(doc_.CursorWorld[0], 8.0);
    EXPECT_EQ(doc_.ChangedPrimitive, 1);
    EXPECT_FALSE(qx::ChangePart(doc_, {ShapeKind::Box, 5}));
    qx::PendingFields(doc_).Size[0][0] = 5;
    doc_.CursorWorld[0] = 10;
    EXPECT_EQ(qx::ClickPending(doc_, 0).index, 1);
    ASSERT_EQ(Parts().BoxCount, 2) << "put back, not added";
    EXPECT_EQ(Parts().Boxes[1].Size.X, 5.0f);
    EXPECT_EQ(Parts().Boxes[1].Position.X, 10.0f);
    EXPECT_EQ(Parts().Boxes[1].Texture, 3);
    EXPECT_FALSE(doc_.Placing);
    EXPECT_EQ(doc_.ChangedPrimitive, -1);
    EXPECT_EQ(doc_.History.UndoLabel(), Cp("изменение коробки"));
    const std::string changed = Files();
    doc_.History.Undo();
    EXPECT_EQ(Files(), before);
    EXPECT_EQ(doc_.ChangedPrimitive, 1) << "being changed again";
    EXPECT_TRUE(doc_.Placing);
    EXPECT_EQ(qx::PendingFields(doc_).Size[0][0], 5.0f);
    doc_.History.Redo();
    EXPECT_EQ(Files(), changed);

    // The part after the deleted one keeps its change; the one deleted
    // takes its change along.
    qx::ChangePart(doc_, {ShapeKind::Box, 1});
    ASSERT_TRUE(qx::DeletePart(doc_, {ShapeKind::Box, 0}));
    EXPECT_EQ(doc_.ChangedPrimitive, 0);
    EXPECT_EQ(doc_.History.UndoLabel(), Cp("удаление коробки"));
    ASSERT_TRUE(qx::DeletePart(doc_, {ShapeKind::Box, 0}));
    EXPECT_FALSE(doc_.Placing);
    EXPECT_EQ(Parts().BoxCount, 0);
    EXPECT_FALSE(qx::DeletePart(doc_, {ShapeKind::Box, 0})) << "no part there: no step";
    doc_.History.Undo();
    EXPECT_EQ(doc_.ChangedPrimitive, 0);
    doc_.History.Undo();
    EXPECT_EQ(doc_.ChangedPrimitive, 1);
    EXPECT_EQ(Files(), changed);
    EXPECT_EQ(Parts().Boxes[0].Texture, 2) << "back in its place";
}

// Storing and leaving without storing are steps whose undo opens the view
// again with its work; the definition is held, not its place in the list.
TEST_F(SessionEditsTest, StoringAndLeavingAreUndoneWithTheWorkTheyHeld)
{
    const std::string definitionBefore = qx::FormatObjectFile(*definition_);
    AddBoxAt(4);
    const std::string work = qx::FormatObjectFile(edited_);
    Told();
    qx::StoreWorkingCopy(doc_);
    EXPECT_FALSE(doc_.ModelEditMode);
    EXPECT_FALSE(doc_.Placing);
    EXPECT_EQ(qx::FormatObjectFile(*definition_), work);
    EXPECT_EQ(Told(), qx::SessionChanged | qx::PendingChanged | qx::ObjectsChanged);
    EXPECT_EQ(doc_.History.UndoLabel(), Cp("сохранение изменений объекта"));

    doc_.RemoveObject(0);  // the definition moves up the list
    doc_.History.Undo();
    EXPECT_EQ(qx::FormatObjectFile(*definition_), definitionBefore);
    EXPECT_TRUE(doc_.ModelEditMode);
    EXPECT_EQ(doc_.EditedDefinition, definition_);
    EXPECT_EQ(qx::FormatObjectFile(edited_), work);
    EXPECT_TRUE(doc_.Placing) << "the pending box is back";
    doc_.History.Redo();
    EXPECT_EQ(qx::FormatObjectFile(*definition_), work);

    qx::OpenForEditing(doc_, definition_);
    qx::DeletePart(doc_, {ShapeKind::Box, 0});
    const std::string lost = qx::FormatObjectFile(edited_);
    qx::LeaveUnsaved(doc_);
    EXPECT_FALSE(doc_.ModelEditMode);
    EXPECT_EQ(qx::FormatObjectFile(*definition_), work) << "the definition as it was";
    doc_.History.Undo();
    EXPECT_TRUE(doc_.ModelEditMode);
    EXPECT_EQ(qx::FormatObjectFile(edited_), lost);

    // Storing what the definition holds already is no edit: nothing
    // recorded, nothing unsaved.
    doc_.History.Redo();
    doc_.History.MarkSaved();
    const size_t steps = doc_.History.Count();
    qx::OpenForEditing(doc_, definition_);
    qx::StoreWorkingCopy(doc_);
    EXPECT_FALSE(doc_.ModelEditMode);
    EXPECT_EQ(doc_.History.Count(), steps);
    EXPECT_FALSE(doc_.History.Modified());

    // A definition no longer listed receives nothing: the view is left.
    qx::OpenForEditing(doc_, definition_);
    doc_.RemoveObject(doc_.EditIndex());
    qx::StoreWorkingCopy(doc_);
    EXPECT_FALSE(doc_.ModelEditMode);
    EXPECT_EQ(qx::FormatObjectFile(*definition_), work);
    EXPECT_EQ(doc_.History.Count(), steps);
}

// Left with nothing to lose (no step) and another object opened, an undo
// of the first object's part goes back into that object's view.
TEST_F(SessionEditsTest, PartStepsReachOnlyTheObjectTheyWereMadeOn)
{
    AddBoxAt(4);
    qx::DeletePart(doc_, {ShapeKind::Box, 2});
    qx::LeaveObjectView(doc_);
    const std::shared_ptr<TQX3DObject> other = doc_.MapObjects[0];
    qx::OpenForEditing(doc_, other);
    doc_.History.Undo();
    EXPECT_EQ(doc_.EditedDefinition, definition_);
    EXPECT_EQ(Parts().BoxCount, 3);
    EXPECT_EQ(other->Lists[0]->BoxCount, 0);
}

// A part's step holds that part and the pending one, never the object.
TEST_F(SessionEditsTest, PartStepsHoldOnlyThePartsTheyTouch)
{
    for (int i = 0; i < 2000; ++i)
        definition_->Lists[0]->AddBox(0, float(i), 0, 0, 1, 1, 1, 1, 0, 0, 0);
    qx::OpenForEditing(doc_, definition_);
    AddBoxAt(1);
    qx::DeletePart(doc_, {ShapeKind::Box, 7});
    EXPECT_LT(doc_.History.Bytes(), 4096u);
}

}  // namespace
