// Editing the placed map as data: picking by the ray as drawn, the
// selection, moves, turns, copies, the clipboard's text and deletion, each
// undone and redone exactly.
#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "Errors.h"
#include "MapEdits.h"
#include "PrimitiveList.h"
#include "QX3DObject.h"
#include "Text1251.h"

namespace {

using qx::MapChange;
using qx::Selection;

class MapEditsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // "_Arch": two pillars 2 x 6 x 2 at x 0 and x 8 and a lintel on top,
        // open between x 2 and x 8 below height 6.
        const int32_t arch = content_.AddObject("_Arch");
        TGLPremitives& parts = *content_.MapObjects[static_cast<size_t>(arch)]->Lists[0];
        parts.AddBox(0, 0, 0, 0, 2, 6, 2, 1, 0, 0, 0);
        parts.AddBox(0, 8, 0, 0, 2, 6, 2, 1, 0, 0, 0);
        parts.AddBox(0, 0, 6, 0, 10, 2, 2, 1, 0, 0, 0);
        const int32_t crate = content_.AddObject("_Crate");
        content_.MapObjects[static_cast<size_t>(crate)]->Lists[0]->AddBox(0, 0, 0, 0, 2, 2, 2, 1, 0, 0, 0);
        filter_.visible = true;
        filter_.modes = 1 << 3;
        filter_.range = 255;
    }
    int32_t Place(const char* name, TPlacement p) { return content_.AddPlacement(name, p); }
    // A ray down the -Z axis from z = 100 at (x, y).
    static qx::Ray Along(double x, double y)
    {
        qx::Ray ray;
        ray.origin[0] = x;
        ray.origin[1] = y;
        ray.origin[2] = 100;
        ray.dir[2] = -1;
        return ray;
    }
    int32_t Pick(const qx::Ray& ray)
    {
        return qx::PickPlacement(content_, filter_, ray, scratch_);
    }
    std::string Map() const
    {
        std::string text;
        for (int32_t i = 0; i < content_.PlacementCount; ++i)
            text += content_.PlacementNames[static_cast<size_t>(i)] + " ";
        return text + qx::PlacementLines(content_, qx::SelectAll(content_));
    }
    // The selection of the placements now at `indices`.
    Selection At(const std::vector<int32_t>& indices) const { return content_.PlacementIdsAt(indices); }
    // The change undone gives the map and selection of before, redone those
    // of after.
    void CheckUndo(const MapChange& change, const std::string& before)
    {
        const std::string after = Map();
        const Selection selected = selection_;
        qx::Undo(content_, selection_, change);
        EXPECT_EQ(Map(), before);
        EXPECT_EQ(selection_, change.selectionBefore);
        qx::Redo(content_, selection_, change);
        EXPECT_EQ(Map(), after);
        EXPECT_EQ(selection_, selected);
    }

    ProjectContent content_;
    qx::MapDrawFilter filter_;
    std::vector<qx::Bounds> scratch_;
    Selection selection_;
};

TEST_F(MapEditsTest, TheRayMeetsBoxesAsDrawnAndTheNearestWins)
{
    const int32_t arch = Place("_Arch", TPlacement{0, 0, 0, 0, 0, 0, 1, 1, 1});
    const int32_t crate = Place("_Crate", TPlacement{4, 0, -10, 0, 0, 0, 1, 1, 1});
    EXPECT_EQ(Pick(Along(1, 1)), arch) << "a pillar, nearer than anything behind it";
    EXPECT_EQ(Pick(Along(5, 1)), crate) << "through the arch's opening to the crate behind";
    EXPECT_EQ(Pick(Along(20, 1)), -1);

    // Turned 90 degrees about Y and stretched along its own X by 2: the
    // arch's X now runs along -Z, twice as long.
    content_.Placements[static_cast<size_t>(arch)] = TPlacement{0, 0, 0, 0, 90, 0, 2, 1, 1};
    qx::Ray side;  // along -X: the second pillar, local x 8..10, lies at z -16..-20
    side.origin[0] = 100;
    side.origin[1] = 1;
    side.origin[2] = -17;
    side.dir[0] = -1;
    side.dir[2] = 0;
    EXPECT_EQ(Pick(side), arch);
    side.origin[2] = -12;  // the opening, nothing behind along this line
    EXPECT_EQ(Pick(side), -1);

    // Only what the view draws can be picked.
    filter_.range = 5;
    filter_.cameraX = 500;
    EXPECT_EQ(Pick(Along(5, 1)), -1);
}

// The pick's shortcuts (spheres, nearest first) never change its answer:
// the same placement as testing every box of every placement.
TEST_F(MapEditsTest, ThePickAgreesWithTestingEveryBox)
{
    std::mt19937 random(5);
    std::uniform_real_distribution<float> unit(0, 1);
    for (int i = 0; i < 300; ++i)
        Place(i % 2 ? "_Arch" : "_Crate",
              TPlacement{unit(random) * 80 - 40, unit(random) * 10, unit(random) * 80 - 40, unit(random) * 40,
                         unit(random) * 360, 0, 0.5f + unit(random) * 2, 0.5f + unit(random) * 2, 1});
    int hits = 0;
    for (int r = 0; r < 400; ++r) {
        qx::Ray ray;
        ray.origin[0] = unit(random) * 100 - 50;
        ray.origin[1] = 30;
        ray.origin[2] = unit(random) * 100 - 50;
        ray.dir[0] = unit(random) - 0.5;
        ray.dir[1] = -unit(random);
        ray.dir[2] = unit(random) - 0.5;
        int32_t expected = -1;
        double best = 0;
        for (int32_t i = 0; i < content_.PlacementCount; ++i) {
            const TQX3DObject& object = *content_.MapObjects[static_cast<size_t>(content_.ObjectOfPlacement(i))];
            const double t = qx::HitObject(object, qx::ObjectBounds(object),
                                           qx::PlacementFrame(content_.Placements[static_cast<size_t>(i)]), ray);
            if (t >= 0 && (expected < 0 || t < best)) {
                best = t;
                expected = i;
            }
        }
        hits += expected >= 0;
        ASSERT_EQ(Pick(ray), expected) << "ray " << r;
    }
    EXPECT_GT(hits, 100);
}

TEST_F(MapEditsTest, SelectionTogglesAndStaysValid)
{
    for (int i = 0; i < 4; ++i)
        Place("_Crate", TPlacement{});
    qx::ToggleSelected(selection_, content_.PlacementId(3));
    qx::ToggleSelected(selection_, content_.PlacementId(0));
    qx::ToggleSelected(selection_, content_.PlacementId(2));
    EXPECT_EQ(selection_, At({0, 2, 3}));
    qx::ToggleSelected(selection_, content_.PlacementId(2));
    EXPECT_EQ(selection_, At({0, 3}));
    content_.TakePlacements({0});
    qx::KeepValid(selection_, content_);
    EXPECT_EQ(qx::SelectedIndices(content_, selection_), (std::vector<int32_t>{2}));
}

// A step and the selection name a placement, not the place it had: with an
// earlier placement taken off the map in between, the undo still reaches
// the placement it changed and leaves its new neighbour alone.
TEST_F(MapEditsTest, StepsAndTheSelectionFollowThePlacementNotItsIndex)
{
    Place("_Crate", TPlacement{0, 0, 0, 0, 0, 0, 1, 1, 1});
    Place("_Crate", TPlacement{1, 0, 0, 0, 0, 0, 1, 1, 1});
    Place("_Crate", TPlacement{2, 0, 0, 0, 0, 0, 1, 1, 1});
    selection_ = At({2});
    const MapChange raise = qx::EditSelected(content_, selection_, [](TPlacement& p) { p.PosY = 5; });
    const std::vector<PlacementEntry> first = content_.TakePlacements({0});
    EXPECT_EQ(qx::SelectedIndices(content_, selection_), (std::vector<int32_t>{1}));
    qx::Undo(content_, selection_, raise);
    EXPECT_EQ(content_.Placements[1].PosX, 2);
    EXPECT_EQ(content_.Placements[1].PosY, 0) << "the raised placement, now one place down";
    content_.PutBackPlacements(first);
    EXPECT_EQ(content_.FindPlacement(first[0].id), 0);

    // Found from any starting point, and also where the identities do not
    // stand ascending.
    for (int i = 0; i < 37; ++i)
        Place("_Crate", TPlacement{});
    for (int32_t i = 0; i < content_.PlacementCount; ++i)
        for (const int32_t near : {-1, 0, 1, 17, i, content_.PlacementCount - 1, content_.PlacementCount + 5})
            ASSERT_EQ(content_.FindPlacement(content_.PlacementId(i), near), i) << i << " from " << near;
    std::swap(content_.PlacementIds[0], content_.PlacementIds[2]);
    EXPECT_EQ(content_.FindPlacement(first[0].id), 2);
    EXPECT_EQ(content_.FindPlacement(content_.PlacementIds[0]), 0);
    EXPECT_EQ(content_.FindPlacement(first[0].id + 1000), -1);
}

TEST_F(MapEditsTest, TurnsAboutTheSelectionsCentreAndEveryChangeUndoes)
{
    Place("_Crate", TPlacement{0, 0, 0, 0, 0, 0, 1, 1, 1});
    Place("_Crate", TPlacement{10, 0, 0, 0, 0, 0, 1, 1, 1});
    selection_ = At({0, 1});
    std::string before = Map();
    // Drawn bounds x 0..12, z 0..2: the centre (6, 1).
    MapChange turn = qx::TurnSelected(content_, selection_, 90);
    EXPECT_NEAR(content_.Placements[0].PosX, 5, 1e-5);
    EXPECT_NEAR(content_.Placements[0].PosZ, 7, 1e-5);
    EXPECT_NEAR(content_.Placements[1].PosZ, -3, 1e-5);
    EXPECT_EQ(content_.Placements[1].RotY, 90);
    // The bounds keep their centre under a quarter turn.
    const qx::Bounds turned = qx::SelectionBounds(content_, selection_);
    EXPECT_NEAR(turned.Centre(0), 6, 1e-5);
    EXPECT_NEAR(turned.Centre(2), 1, 1e-5);
    CheckUndo(turn, before);

    before = Map();
    MapChange moved = qx::MoveSelected(content_, selection_, {content_.Placements[0], content_.Placements[1]}, 1, 2, 3);
    CheckUndo(moved, before);

    before = Map();
    MapChange copies = qx::DuplicateSelected(content_, selection_, 0.5f, 0);
    ASSERT_EQ(content_.PlacementCount, 4);
    EXPECT_EQ(selection_, At({2, 3})) << "the copies are selected";
    EXPECT_FLOAT_EQ(content_.Placements[3].PosX - content_.Placements[1].PosX, 0.5f);
    CheckUndo(copies, before);

    selection_ = At({1, 3});
    before = Map();
    MapChange removal = qx::DeleteSelected(content_, selection_);
    EXPECT_EQ(content_.PlacementCount, 2);
    EXPECT_TRUE(selection_.empty());
    CheckUndo(removal, before);
}

TEST_F(MapEditsTest, ClipboardLinesRoundTripAndBadTextAddsNothing)
{
    Place("_Crate", TPlacement{1, 2, 3, 0, 45, 0, 1, 2, 1});
    Place("_Arch", TPlacement{5, 2, 3, 0, 0, 0, 1, 1, 1});
    selection_ = At({0, 1});
    const std::string text = qx::PlacementLines(content_, selection_);
    std::vector<std::string> names;
    std::vector<TPlacement> read;
    // Edited by hand: tabs and extra blanks between the tokens.
    std::string edited = text;
    edited.replace(edited.find(' '), 1, " \t ");
    qx::ReadPlacementLines(edited, content_, names, read);
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(names[1], "_Arch");
    EXPECT_EQ(read[0].RotY, 45);
    EXPECT_EQ(read[0].ScaleY, 2);

    const float at[3] = {10, 0, 10};
    const std::string before = Map();
    MapChange paste = qx::AddPlacements(content_, selection_, names, read, at);
    EXPECT_EQ(content_.Placements[2].PosX, 10);
    EXPECT_EQ(content_.Placements[3].PosX, 14) << "the others keep their offset to the first";
    CheckUndo(paste, before);

    for (const char* bad : {"", "hello world", "_Crate 1 2 3", "_Nothing 1 2 3 0 0 0 1 1 1",
                            "_Crate 1 2 3 0 0 0 1 1 1 7", "_Crate 1 2 x 0 0 0 1 1 1"})
        EXPECT_THROW(qx::ReadPlacementLines(bad, content_, names, read), qx::Error) << bad;
    try {
        qx::ReadPlacementLines("_Crate 1 2 3 0 0 0 1 1 1\n_Crate 1 abc 3 0 0 0 1 1 1", content_, names, read);
        ADD_FAILURE() << "a number that is none";
    } catch (const qx::Error& e) {
        EXPECT_EQ(std::string(e.what()), Cp("строка 2: 'abc' — не число")) << "the editor's own message is Russian";
    }
}

}  // namespace
