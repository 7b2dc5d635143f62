// The document's own steps of the map, the selection and the object
// definitions: each changes the data, tells the observers, and its undo
// and redo give back exactly the files a save would write.
#include <gtest/gtest.h>

#include <utility>

#include "DocumentSteps.h"
#include "PrimitiveList.h"
#include "ProjectFiles.h"
#include "QX3DObject.h"
#include "TreeFiles.h"

namespace {

class DocumentStepsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const int32_t k = doc_.AddObject("_Crate");
        doc_.MapObjects[static_cast<size_t>(k)]->Lists[0]->AddBox(0, 0, 0, 0, 2, 2, 2, 1, 0, 0, 0);
        folder_ = doc_.ObjectTree.AppendChild(-1, "+Objects");
        crateNode_ = doc_.ObjectTree.AppendChild(folder_, "_Crate");
        doc_.Events.Observe([this](uint32_t changes) { told_ |= changes; });
    }
    // What a save writes of the document.
    std::string Files() const
    {
        std::string files = qx::FormatObjectList(doc_) + qx::FormatMap(doc_) + FormatTreeText(doc_.ObjectTree);
        for (const auto& object : doc_.MapObjects)
            if (object)
                files += qx::FormatObjectFile(*object);
        return files;
    }
    uint32_t Told() { return std::exchange(told_, 0u); }
    // Undo gives back `before`, redo `after`, each telling `changes`.
    void CheckUndo(const std::string& before, uint32_t changes)
    {
        const std::string after = Files();
        Told();
        doc_.History.Undo();
        EXPECT_EQ(Files(), before);
        EXPECT_EQ(Told() & changes, changes);
        doc_.History.Redo();
        EXPECT_EQ(Files(), after);
        EXPECT_EQ(Told() & changes, changes);
    }

    Document doc_;
    int folder_ = -1, crateNode_ = -1;
    uint32_t told_ = 0;
};

TEST_F(DocumentStepsTest, MapStepsAndTheSelectionTellTheirViews)
{
    std::string before = Files();
    const float at[3] = {4, 0, 2};
    qx::PlaceObject(doc_, "_Crate", at);
    ASSERT_EQ(doc_.PlacementCount, 1);
    EXPECT_EQ(Told(), qx::MapChanged);
    CheckUndo(before, qx::MapChanged);

    before = Files();
    qx::MovePlayerStart(doc_, at);
    EXPECT_EQ(Told(), qx::MapChanged);
    CheckUndo(before, qx::MapChanged);
    const size_t steps = doc_.History.Count();
    qx::MovePlayerStart(doc_, at);
    EXPECT_EQ(doc_.History.Count(), steps) << "standing there already is no step";

    qx::SetSelection(doc_, qx::SelectAll(doc_));
    EXPECT_EQ(Told(), qx::SelectionChanged);
    qx::SetSelection(doc_, qx::SelectAll(doc_));
    EXPECT_EQ(Told(), 0u) << "the same selection is no news";
    qx::SelectClicked(doc_, 0, false);
    EXPECT_EQ(Told(), qx::SelectionChanged) << "but a click that selects it again is";
    qx::SelectClicked(doc_, 0, true);
    EXPECT_TRUE(doc_.Selection.empty()) << "a toggling click takes it out";
    qx::SelectClicked(doc_, -1, true);
    EXPECT_TRUE(doc_.Selection.empty()) << "and one on nothing keeps what is selected";
    qx::SelectClicked(doc_, 0, true);
    EXPECT_EQ(doc_.Selection, doc_.PlacementIdsAt({0}));

    // The nearest placement within reach goes, and leaves the selection;
    // its undo puts it back.
    before = Files();
    const double near[3] = {4.5, 0, 2};
    EXPECT_FALSE(qx::DeleteNearestPlacement(doc_, near, 0.25));
    ASSERT_TRUE(qx::DeleteNearestPlacement(doc_, near, 1.0));
    EXPECT_EQ(doc_.PlacementCount, 0);
    EXPECT_TRUE(doc_.Selection.empty());
    EXPECT_EQ(Told(), qx::MapChanged | qx::SelectionChanged);
    CheckUndo(before, qx::MapChanged);

    // A map change recorded through the document tells map and selection.
    doc_.History.Undo();
    before = Files();
    qx::SetSelection(doc_, qx::SelectAll(doc_));
    qx::RecordMapChange(doc_, "изменение объектов",
                        qx::EditSelected(doc_, doc_.Selection, [](TPlacement& p) { p.RotY = 90; }));
    EXPECT_EQ(Told(), qx::SelectionChanged | qx::MapChanged);
    CheckUndo(before, qx::MapChanged | qx::SelectionChanged);
}

TEST_F(DocumentStepsTest, DefinitionsAreAddedRenamedAndDeletedWithTheirNodesAndPlacements)
{
    std::string before = Files();
    const int32_t added = qx::AddObjectDefinition(doc_, folder_, "_Arch");
    EXPECT_EQ(doc_.MapObjectNames[static_cast<size_t>(added)], "_Arch");
    EXPECT_EQ(doc_.ObjectTree.CurrentText(), "_Arch") << "the new node is chosen";
    EXPECT_EQ(Told(), qx::ObjectsChanged | qx::ObjectTreeChanged);
    CheckUndo(before, qx::ObjectsChanged | qx::ObjectTreeChanged);

    const float at[3] = {0, 0, 0};
    qx::PlaceObject(doc_, "_Crate", at);
    qx::PlaceObject(doc_, "_Crate", at);
    before = Files();
    qx::RenameObjectDefinition(doc_, 0, crateNode_, "_Box");
    EXPECT_EQ(doc_.PlacementNames[0], "_Box") << "the placements follow";
    EXPECT_NE(FormatTreeText(doc_.ObjectTree).find("_Box"), std::string::npos);
    CheckUndo(before, qx::ObjectTreeChanged);

    before = Files();
    qx::SetSelection(doc_, qx::SelectAll(doc_));
    doc_.ObjectTree.SetCurrent(crateNode_);
    const std::string chosen = doc_.ObjectTree.CurrentText();
    Told();
    qx::DeleteObjectDefinition(doc_, doc_.FindObject(chosen), crateNode_);
    EXPECT_LT(doc_.FindObject(chosen), 0);
    EXPECT_EQ(doc_.PlacementCount, 0);
    EXPECT_TRUE(doc_.Selection.empty()) << "its placements leave the selection";
    EXPECT_EQ(doc_.ObjectTree.Current(), -1) << "nothing of it stays chosen";
    EXPECT_EQ(Told(), qx::ObjectsChanged | qx::ObjectTreeChanged | qx::MapChanged | qx::SelectionChanged);
    doc_.History.Undo();
    EXPECT_EQ(doc_.ObjectTree.CurrentText(), chosen) << "its node is chosen again";
    EXPECT_EQ(doc_.PlacementCount, 2);
    doc_.History.Redo();
    CheckUndo(before, qx::ObjectsChanged | qx::ObjectTreeChanged | qx::MapChanged);
}

// A view's observation ends with the view, also when the document is told
// from inside an observer, and moves with the view's member.
TEST(DocumentEventsTest, AnObservationIsForgottenWhenItGoes)
{
    qx::DocumentEvents events;
    int told = 0;
    {
        qx::Observation first(events, [&](uint32_t) { ++told; });
        qx::Observation kept = std::move(first);
        events.Notify(qx::MapChanged);
        first.Reset();
        events.Notify(qx::MapChanged);
        EXPECT_EQ(told, 2) << "the moved observation still hears";
        kept = qx::Observation(events, [&](uint32_t) { told += 10; });
        events.Notify(qx::MapChanged);
        EXPECT_EQ(told, 12) << "observing anew forgets the earlier observer";
    }
    events.Notify(qx::MapChanged);
    EXPECT_EQ(told, 12);
}

}  // namespace
