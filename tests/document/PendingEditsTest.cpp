// The box editor's edits on the document: each field and the locked cursor
// are one step of their own, typed values of one field in a row are one,
// undo and redo give back the values exactly, and the views are told.
#include <gtest/gtest.h>

#include <utility>

#include "PendingBox.h"
#include "PendingEdits.h"
#include "PrimitiveList.h"
#include "QX3DObject.h"
#include "SessionEdits.h"
#include "Text1251.h"

namespace {

class PendingEditsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        qxtest::PendOneBox(doc_, pending_);
        doc_.Events.Observe([this](uint32_t changes) { told_ |= changes; });
    }
    TBox& Box() { return pending_.Lists[0]->Boxes[0]; }
    uint32_t Told() { return std::exchange(told_, 0u); }

    Document doc_;
    TQX3DObject pending_{"ModelTemp"};
    uint32_t told_ = 0;
};

TEST_F(PendingEditsTest, EachFieldIsAStepAndTypingIntoOneFieldIsOne)
{
    ASSERT_TRUE(qx::SetPendingField(doc_, qx::PendingField::Size2, 1, "Ez2"));
    ASSERT_TRUE(qx::SetPendingField(doc_, qx::PendingField::Size2, 12.5, "Ez2"));
    EXPECT_FLOAT_EQ(Box().Size.Y, 12.5f) << "the third row is the height";
    EXPECT_EQ(Told(), qx::PendingChanged);
    EXPECT_EQ(doc_.History.Count(), 1u) << "typed into one field";
    EXPECT_EQ(doc_.History.UndoLabel(), Cp("изменение коробки"));

    qx::SetPendingField(doc_, qx::PendingField::Size2, 13);  // a plus button: a step of its own
    qx::SetPendingField(doc_, qx::PendingField::BlendEquation, 300, "Edit1");
    EXPECT_EQ(Box().BlendEquation, 44) << "stored in 8 bits";
    qx::SetPendingField(doc_, qx::PendingField::CullFront, 0, "Edit3");
    EXPECT_FALSE(Box().CullFront);
    qx::SetPendingField(doc_, qx::PendingField::RotationY, 45, "Eroty");
    qx::SetPendingField(doc_, qx::PendingField::Tiling, 3, "Etex1");
    EXPECT_EQ(doc_.History.Count(), 6u);
    qx::SetPendingField(doc_, qx::PendingField::RotationX, 10, "Erotx");
    qx::SetPendingField(doc_, qx::PendingField::RotationZ, 20, "Erotz");
    qx::SetPendingField(doc_, qx::PendingField::BlendMode, 258, "Edit2");
    EXPECT_EQ(Box().Rotation.X, 10.0f);
    EXPECT_EQ(Box().Rotation.Z, 20.0f);
    EXPECT_EQ(Box().BlendMode, 2) << "stored in 8 bits";
    for (int i = 0; i < 3; ++i)
        doc_.History.Undo();

    const TBox done = Box();
    for (int i = 0; i < 6; ++i)
        doc_.History.Undo();
    EXPECT_FLOAT_EQ(Box().Size.Y, 8.0f);
    EXPECT_EQ(Box().BlendEquation, 0);
    EXPECT_TRUE(Box().CullFront);
    EXPECT_EQ(Told() & qx::PendingChanged, qx::PendingChanged);
    for (int i = 0; i < 6; ++i)
        doc_.History.Redo();
    EXPECT_EQ(Box().Size.Y, done.Size.Y);
    EXPECT_EQ(Box().Rotation.Y, done.Rotation.Y);
    EXPECT_EQ(Box().Tiling, done.Tiling);
    EXPECT_EQ(Box().BlendEquation, done.BlendEquation);
    EXPECT_EQ(Box().CullFront, done.CullFront);
}

TEST_F(PendingEditsTest, FieldsAKindHasNotAndNothingPendingAreNoStep)
{
    pending_.Lists[0]->AddFloor(0, 0, 0, 0, 4, 4, 1, 0, 0, 0);
    doc_.PendingKind = ShapeKind::Floor;
    EXPECT_FALSE(qx::SetPendingField(doc_, qx::PendingField::Size2, 5)) << "a floor has no height";
    doc_.PendingKind = ShapeKind::Box;
    doc_.PrimIndex = -1;
    EXPECT_FALSE(qx::SetPendingField(doc_, qx::PendingField::Size0, 5));
    EXPECT_FALSE(qx::SetLockedCursor(doc_, 0, 5));
    EXPECT_EQ(doc_.History.Count(), 0u);
    EXPECT_EQ(Told(), 0u);
}

TEST_F(PendingEditsTest, TheLockedCursorMovesAsAStepTheFreeOneNot)
{
    ASSERT_TRUE(qx::SetLockedCursor(doc_, 2, 5, "EPosY"));
    EXPECT_EQ(doc_.CursorWorld[2], 5.0);
    EXPECT_EQ(Told() & qx::CursorChanged, qx::CursorChanged);
    doc_.History.Undo();
    EXPECT_EQ(doc_.CursorWorld[2], 0.0);
    EXPECT_EQ(Told() & qx::CursorChanged, qx::CursorChanged);
    doc_.History.Redo();
    EXPECT_EQ(doc_.CursorWorld[2], 5.0);

    doc_.ClickState = 0;
    EXPECT_FALSE(qx::SetLockedCursor(doc_, 0, 9));
    EXPECT_EQ(doc_.CursorWorld[0], 0.0);
}

// What the frame does to the pending box is the document's, told like an
// edit but no step; so are the tree and history news views and readers
// cause.
TEST_F(PendingEditsTest, EachFrameTheBoxFollowsTheCursorAndTheChosenTexture)
{
    doc_.PendingPrimitive = nullptr;
    qx::PendingFollows(doc_, true);
    EXPECT_EQ(Told(), 0u) << "nothing pending";
    doc_.PendingPrimitive = &pending_;
    doc_.ClickState = 0;
    doc_.CursorWorld[0] = 1.26;
    doc_.CursorWorld[1] = 2;
    doc_.CursorWorld[2] = -0.74;
    doc_.SelectedTexture = 5;
    qx::PendingFollows(doc_, true);
    EXPECT_EQ(Box().Position.X, 1.0f) << "snapped to the grid until a click locks it";
    EXPECT_EQ(Box().Position.Z, -0.5f);
    EXPECT_EQ(*qx::PendingFields(doc_).Texture, 5);
    EXPECT_EQ(Told(), qx::PendingChanged);
    qx::PendingFollows(doc_, true);
    EXPECT_EQ(Told(), 0u) << "nothing moved, nothing told";

    doc_.ClickState = 1;
    doc_.CursorWorld[0] = 3.3;
    qx::PendingFollows(doc_, false);
    EXPECT_EQ(Box().Position.X, 1.0f) << "out of edit mode it stays";
    qx::PendingFollows(doc_, true);
    EXPECT_FLOAT_EQ(Box().Position.X, 3.3f) << "locked: where the cursor is, unsnapped";
    EXPECT_EQ(doc_.History.Count(), 0u);

    const double at[3] = {doc_.CursorWorld[0], doc_.CursorWorld[1], doc_.CursorWorld[2]};
    Told();
    EXPECT_FALSE(qx::CursorSampled(doc_, at));
    doc_.CursorWorld[1] = 2.5;
    EXPECT_TRUE(qx::CursorSampled(doc_, at));
    EXPECT_EQ(Told(), qx::CursorChanged);

    qx::TreeChanged(doc_, doc_.MapTree);
    EXPECT_EQ(Told(), qx::MapTreeChanged);
    qx::TreeChanged(doc_, doc_.TextureTree);
    EXPECT_EQ(Told(), qx::TextureTreeChanged);
    qx::TreesReplaced(doc_);
    EXPECT_EQ(Told(), qx::ObjectTreeChanged | qx::MapTreeChanged | qx::TextureTreeChanged);
    qx::SetNotice(doc_, "a");
    EXPECT_EQ(Told(), qx::NoticeChanged);
    qx::SetNotice(doc_, "a");
    EXPECT_EQ(doc_.Notice, "a");
    EXPECT_EQ(Told(), qx::NoticeChanged) << "the same refusal again is told again";
    qx::TellHistoryChanges(doc_);
    qx::SetLockedCursor(doc_, 0, 9);
    EXPECT_EQ(Told() & qx::HistoryChanged, qx::HistoryChanged);
}

}  // namespace
