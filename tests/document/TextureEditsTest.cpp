// The document's texture edits: each changes the table and the texture
// tree, tells the observers, and its undo and redo give back exactly the
// files a save would write; a removal keeps every primitive on its picture.
#include <gtest/gtest.h>

#include <utility>

#include "Messages.h"
#include "PrimitiveList.h"
#include "ProjectFiles.h"
#include "QX3DObject.h"
#include "ShapeFields.h"
#include "Text1251.h"
#include "TextureEdits.h"
#include "TextureListFile.h"
#include "TreeFiles.h"

namespace {

class TextureEditsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TextureRegistry& reg = doc_.TextureTable;
        for (int i = 0; i < 11; ++i) {
            reg.TextureNames.push_back("t" + std::to_string(i) + ".bmp");
            reg.TextureIds.push_back(static_cast<uint32_t>(100 + i));
            reg.TextureKeyed.push_back(i == 9);
        }
        reg.TextureCount = 11;
        doc_.HelperTextures = 8;
        standard_ = doc_.TextureTree.AppendChild(-1, Cp("+ Стандартные текстуры"));
        for (int i = 0; i < 11; ++i)
            doc_.TextureTree.AppendChild(standard_, "t" + std::to_string(i) + ".bmp");
        user_ = doc_.TextureTree.AppendChild(-1, Cp("+ Текстуры"));
        doc_.Events.Observe([this](uint32_t changes) { told_ |= changes; });
    }
    std::string Files() const
    {
        std::vector<qx::TextureListEntry> entries;
        for (int32_t i = 0; i < doc_.TextureTable.TextureCount; ++i)
            entries.push_back({doc_.TextureTable.TextureNames[static_cast<size_t>(i)],
                               doc_.TextureTable.TextureKeyed[static_cast<size_t>(i)]});
        std::string files = qx::FormatTextureList(entries) + FormatTreeText(doc_.TextureTree);
        for (int32_t i = 0; i < doc_.MapObjectCount; ++i)
            files += qx::FormatObjectFile(*doc_.MapObjects[static_cast<size_t>(i)]);
        return files;
    }
    uint32_t Told() { return std::exchange(told_, 0u); }
    // Undo gives back `before` and the choice `chosen`, redo the state after;
    // each tells `changes`.
    void CheckUndo(const std::string& before, int32_t chosen, uint32_t changes)
    {
        const std::string after = Files();
        const int32_t chosenAfter = doc_.SelectedTexture;
        Told();
        doc_.History.Undo();
        EXPECT_EQ(Files(), before);
        EXPECT_EQ(doc_.SelectedTexture, chosen);
        EXPECT_EQ(Told() & changes, changes);
        doc_.History.Redo();
        EXPECT_EQ(Files(), after);
        EXPECT_EQ(doc_.SelectedTexture, chosenAfter);
        EXPECT_EQ(Told() & changes, changes);
    }
    int Node(int parent, const std::string& text) const
    {
        for (int child : doc_.TextureTree.Children(parent))
            if (doc_.TextureTree.Text(child) == text)
                return child;
        return -1;
    }

    Document doc_;
    qx::RecordingMessageSink messages_;
    qx::ScopedMessageSink scoped_{messages_};
    int standard_ = -1, user_ = -1;
    uint32_t told_ = 0;
};

TEST_F(TextureEditsTest, AddedTexturesAwaitTheirUploadAndLeaveWithThePictureTheyGot)
{
    const std::string before = Files();
    doc_.TextureTree.SetCurrent(user_);
    const int32_t added = qx::AddLibraryTexture(doc_, "stone.bmp", true);
    EXPECT_EQ(added, 11);
    EXPECT_EQ(doc_.TextureTable.TextureIds[11], TextureRegistry::kAwaitingUpload);
    EXPECT_TRUE(doc_.TextureTable.TextureKeyed[11]);
    EXPECT_EQ(doc_.SelectedTexture, 11) << "the new texture is chosen";
    EXPECT_EQ(doc_.TextureTree.CurrentText(), "stone.bmp") << "and current, in its category";
    EXPECT_EQ(doc_.TextureTree.Parent(doc_.TextureTree.Current()), user_);
    EXPECT_TRUE(doc_.TextureTree.Expanded(user_));
    EXPECT_EQ(Told(), qx::TexturesChanged | qx::TextureTreeChanged);

    // The view uploads it; undone and redone it keeps that picture.
    doc_.TextureTable.TextureIds[11] = 77;
    CheckUndo(before, 0, qx::TexturesChanged | qx::TextureTreeChanged);
    EXPECT_EQ(doc_.TextureTable.TextureIds[11], 77u);
}

TEST_F(TextureEditsTest, RemovalKeepsEveryPrimitiveOnItsPicture)
{
    const int32_t k = doc_.AddObject("_Wall");
    TGLPremitives& wall = *doc_.MapObjects[static_cast<size_t>(k)]->Lists[0];
    wall.AddBox(8, 0, 0, 0, 1, 1, 1, 1, 0, 0, 0);
    wall.AddBox(10, 0, 0, 0, 1, 1, 1, 1, 0, 0, 0);
    wall.AddBox(-1, 0, 0, 0, 1, 1, 1, 1, 0, 0, 0);
    TQX3DObject edited("Temp3DModel");
    edited.AddList();
    edited.Lists[0]->AddBox(9, 0, 0, 0, 1, 1, 1, 1, 0, 0, 0);
    // The other textured kinds follow their pictures as boxes do.
    edited.Lists[0]->AddFloor(10, 0, 0, 0, 1, 1, 1, 0, 0, 0);
    AddNewShape(*edited.Lists[0], ShapeKind::Wall, 8);
    doc_.EditedModel = &edited;
    doc_.SelectedTexture = 10;
    const std::string before = Files();
    const uint64_t revision = edited.Revision;

    EXPECT_FALSE(qx::RemoveLibraryTexture(doc_, Node(standard_, "t7.bmp"))) << "a helper texture";
    EXPECT_EQ(doc_.TextureTable.TextureCount, 11);
    ASSERT_EQ(messages_.entries.size(), 1u);
    EXPECT_EQ(doc_.History.Count(), 0u);

    Told();
    ASSERT_TRUE(qx::RemoveLibraryTexture(doc_, Node(standard_, "t8.bmp")));
    EXPECT_EQ(doc_.TextureTable.TextureCount, 10);
    EXPECT_EQ(doc_.TextureTable.TextureNames[8], "t9.bmp");
    EXPECT_EQ(doc_.TextureTable.TextureIds[8], 109u) << "the pictures move with their entries";
    EXPECT_LT(Node(standard_, "t8.bmp"), 0);
    EXPECT_EQ(wall.Boxes[0].Texture, -1);  // used the removed entry
    EXPECT_EQ(wall.Boxes[1].Texture, 9);   // after it: moved down with it
    EXPECT_EQ(wall.Boxes[2].Texture, -1);
    EXPECT_EQ(edited.Lists[0]->Boxes[0].Texture, 8);
    EXPECT_EQ(edited.Lists[0]->Floors[0].Texture, 9);
    EXPECT_EQ(edited.Lists[0]->Walls[0].Texture, -1);
    EXPECT_NE(edited.Revision, revision) << "its drawing is stale";
    EXPECT_EQ(doc_.SelectedTexture, 9) << "the choice follows its texture";
    EXPECT_EQ(Told() & (qx::TexturesChanged | qx::TextureTreeChanged | qx::ObjectsChanged),
              qx::TexturesChanged | qx::TextureTreeChanged | qx::ObjectsChanged);

    CheckUndo(before, 10, qx::TexturesChanged | qx::ObjectsChanged);
    doc_.History.Undo();
    EXPECT_EQ(doc_.TextureTable.TextureIds[8], 108u) << "its picture comes back without an upload";
    EXPECT_EQ(edited.Lists[0]->Walls[0].Texture, 8);
    EXPECT_EQ(edited.Lists[0]->Floors[0].Texture, 10);
    doc_.EditedModel = nullptr;

    // A node naming no entry goes alone; the removed choice is no choice.
    doc_.TextureTree.AppendChild(user_, "unknown.bmp");
    ASSERT_TRUE(qx::RemoveLibraryTexture(doc_, Node(user_, "unknown.bmp")));
    EXPECT_EQ(doc_.TextureTable.TextureCount, 11);
    doc_.SelectedTexture = 9;
    qx::RemoveLibraryTexture(doc_, Node(standard_, "t9.bmp"));  // the tree's nodes move up
    EXPECT_EQ(doc_.SelectedTexture, -1);
    // A category is not a texture: this command leaves it.
    EXPECT_FALSE(qx::RemoveLibraryTexture(doc_, Node(-1, Cp("+ Текстуры"))));

    // With one texture left the table refuses, and the node stays.
    doc_.HelperTextures = 0;
    while (doc_.TextureTable.TextureCount > 1)
        ASSERT_TRUE(qx::RemoveLibraryTexture(doc_, doc_.TextureTree.Children(standard_).front()));
    messages_.entries.clear();
    EXPECT_FALSE(qx::RemoveLibraryTexture(doc_, doc_.TextureTree.Children(standard_).front()));
    EXPECT_EQ(doc_.TextureTree.Children(standard_).size(), 1u);
    ASSERT_EQ(messages_.entries.size(), 1u);
    EXPECT_EQ(messages_.entries[0].text, Cp("Должна остаться минимум 1-а текстура"));
}

TEST_F(TextureEditsTest, CategoriesAndTheChoice)
{
    std::string before = Files();
    doc_.TextureTree.SetIcons(standard_, 3, 4);
    doc_.TextureTree.SetCurrent(standard_);
    before = Files();
    qx::AddTextureCategory(doc_, "stone");
    const int stone = Node(standard_, "+ stone");
    ASSERT_GE(stone, 0);
    EXPECT_EQ(doc_.TextureTree.Icon(stone), 3);
    EXPECT_EQ(doc_.TextureTree.SelectedIcon(stone), 4);
    CheckUndo(before, 0, qx::TextureTreeChanged);

    before = Files();
    qx::RemoveTextureCategory(doc_, standard_);
    EXPECT_EQ(doc_.TextureTable.TextureCount, 11) << "a category never touches the table";
    CheckUndo(before, 0, qx::TextureTreeChanged);

    const size_t steps = doc_.History.Count();
    Told();
    qx::ChooseTexture(doc_, 4);
    EXPECT_EQ(doc_.SelectedTexture, 4);
    EXPECT_EQ(Told(), qx::TexturesChanged);
    qx::ChooseTexture(doc_, 4);
    EXPECT_EQ(Told(), 0u) << "the same choice is no news";
    EXPECT_EQ(doc_.History.Count(), steps) << "a choice is no step";
}

}  // namespace
