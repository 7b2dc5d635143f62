// The document's trees as data: the tree files read into them and write
// from them, copies that share their nodes and stay apart, the current
// node through edits, and the rules of the commands' edits.
#include <gtest/gtest.h>

#include "DocTree.h"
#include "EditHistory.h"
#include "TreeEdits.h"
#include "TreeFiles.h"

namespace {

using qx::DocTree;

DocTree Parsed(const std::string& text, const std::string& icons = {})
{
    DocTree tree;
    ParseTreeText(tree, text);
    if (!icons.empty())
        ParseIconIndexes(tree, icons);
    return tree;
}

constexpr const char* kObjects = "+Objects\r\n\t_Table\r\n\t+Inner\r\n\t\t_Chair\r\n_Player\r\n+Empty\r\n";

TEST(DocTree, ReadsAndWritesTheTreeFilesAsAMemoryTreeDoes)
{
    const std::string icons = "6\r\n1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n";
    const DocTree tree = Parsed(kObjects, icons);
    MemoryTree memory;
    ParseTreeText(memory, kObjects);
    ParseIconIndexes(memory, icons);
    EXPECT_EQ(FormatTreeText(tree), FormatTreeText(memory));
    EXPECT_EQ(FormatIconIndexes(tree), icons);
    EXPECT_EQ(tree.Parent(3), 2);
    EXPECT_EQ(tree.Children(-1), (std::vector<int>{0, 4, 5}));
    EXPECT_EQ(tree.Children(0), (std::vector<int>{1, 2}));
    for (int i = 0; i < tree.NodeCount(); ++i)
        EXPECT_EQ(tree.IndexOf(tree.PathOf(i)), i);
    EXPECT_EQ(tree.IndexOf({0, 2}), -1);

    // A child appended to an inner node lands after its last descendant.
    DocTree more = tree;
    EXPECT_EQ(more.AppendChild(0, "_Lamp"), 4);
    EXPECT_EQ(FormatTreeText(more), "+Objects\r\n\t_Table\r\n\t+Inner\r\n\t\t_Chair\r\n\t_Lamp\r\n_Player\r\n+Empty\r\n");
    EXPECT_EQ(more.Parent(5), -1);
    EXPECT_EQ(more.Icon(5), 5);
}

// The undo steps and the autosave hold copies: an edit of the tree never
// reaches one, and what the edit did not touch stays shared.
TEST(DocTree, CopiesShareTheirNodesAndNeverSeeALaterEdit)
{
    DocTree tree = Parsed(kObjects);
    tree.SetCurrent(3);
    const DocTree copy = tree;
    const std::string before = FormatTreeText(copy);
    tree.SetText(3, "_Stool");
    tree.SetIcons(1, 7, 8);
    tree.SetExpanded(0, true);
    tree.AppendChild(5, "_Box");
    EXPECT_EQ(FormatTreeText(copy), before);
    EXPECT_EQ(copy.Icon(1), -1);
    EXPECT_FALSE(copy.Expanded(0));
    EXPECT_EQ(copy.Current(), 3);
    EXPECT_FALSE(tree == copy);
    EXPECT_EQ(tree.TopLevel()[1], copy.TopLevel()[1]) << "the untouched node is shared";
    EXPECT_NE(tree.TopLevel()[0], copy.TopLevel()[0]);
    DocTree renamed = copy;
    renamed.SetText(1, "_Desk");
    EXPECT_LT(renamed.BytesBeside(copy), copy.BytesBeside(DocTree())) << "a rename holds its path only";

    tree.Remove(0);
    EXPECT_EQ(FormatTreeText(copy), before);
    DocTree back = copy;
    EXPECT_TRUE(back == copy);
    EXPECT_EQ(FormatTreeText(back), before) << "put back, the same bytes";
}

// A tree's undo step holds the tree before and after as values: undone and
// redone, the tree files come out byte for byte, and a history of small
// edits holds their paths, not whole trees.
TEST(DocTree, StepsOfTreeValuesUndoToTheSameFilesAndHoldLittle)
{
    DocTree tree;
    ParseTreeText(tree, "+Objects\r\n");
    for (int i = 0; i < 2000; ++i)
        tree.AppendChild(0, "_obj" + std::to_string(i));
    UndoStack history;
    size_t held = 0;
    const auto edit = [&](const std::function<void()>& change) {
        const DocTree before = tree;
        change();
        const DocTree after = tree;
        UndoStep step;
        step.undo = [&tree, before] { tree = before; };
        step.redo = [&tree, after] { tree = after; };
        step.bytes = after.BytesBeside(before);
        held += step.bytes;
        history.Push(std::move(step));
    };
    const std::string first = FormatTreeText(tree) + FormatIconIndexes(tree);
    for (int i = 0; i < 200; ++i)
        edit([&] { tree.SetText(1 + i, "_renamed" + std::to_string(i)); });
    edit([&] { qx::ShowNewNode(tree, qx::AddObjectNodes(tree, 0, "_new")); });
    edit([&] { tree.Remove(5); });
    const std::string last = FormatTreeText(tree) + FormatIconIndexes(tree);
    while (history.CanUndo())
        history.Undo();
    EXPECT_EQ(FormatTreeText(tree) + FormatIconIndexes(tree), first);
    while (history.CanRedo())
        history.Redo();
    EXPECT_EQ(FormatTreeText(tree) + FormatIconIndexes(tree), last);
    EXPECT_LT(held, 202 * tree.BytesBeside(DocTree()) / 4) << "a step holds the changed path, not the tree";
}

TEST(DocTree, TheCurrentNodeFollowsEditsAroundItAndGoesWithItsNode)
{
    DocTree tree = Parsed(kObjects);
    tree.SetCurrent(4);  // _Player
    tree.AppendChild(0, "_Lamp");
    EXPECT_EQ(tree.Text(tree.Current()), "_Player");
    tree.Remove(2);  // +Inner with _Chair
    EXPECT_EQ(tree.Text(tree.Current()), "_Player");
    tree.AppendChild(-1, "_Last");
    EXPECT_EQ(tree.Text(tree.Current()), "_Player");
    tree.SetCurrent(1);
    tree.Remove(0);
    EXPECT_EQ(tree.Current(), -1);
    EXPECT_THROW(tree.SetCurrent(tree.NodeCount()), std::out_of_range);
    tree.Clear();
    EXPECT_EQ(tree.NodeCount(), 0);
}

TEST(TreeEdits, ANewObjectGoesIntoTheChosenFolderOrBesideTheChosenObjectShownAndCurrent)
{
    DocTree tree = Parsed(kObjects, "6\r\n3\r\n4\r\n3\r\n4\r\n5\r\n3\r\n");
    const int intoFolder = qx::AddObjectNodes(tree, 2, "_Desk");
    EXPECT_EQ(tree.Parent(intoFolder), 2);
    EXPECT_EQ(tree.Icon(intoFolder), 3) << "the chosen node's icons";
    EXPECT_TRUE(tree.Expanded(0) && tree.Expanded(2));
    EXPECT_EQ(tree.Current(), intoFolder);
    const int beside = qx::AddObjectNodes(tree, 1, "_Bench");
    EXPECT_EQ(tree.Parent(beside), 0);
    EXPECT_EQ(tree.Text(tree.Children(0).back()), "_Bench");
    tree.AppendChild(-1, "+_Both");
    const int count = tree.NodeCount();
    qx::AddObjectNodes(tree, count - 1, "_X");
    EXPECT_EQ(tree.FindAll("_X").size(), 2u) << "a text with both marks gets both";

    // Renamed and deleted objects take every node of their name along.
    qx::RenameNodes(tree, qx::NodesOfObject(tree, tree.FindLast("_X"), "_X", false), "_Z");
    EXPECT_EQ(tree.FindAll("_Z").size(), 2u);
    EXPECT_EQ(qx::NodesOfObject(tree, 1, "_Table", true), std::vector<int>{1});
    qx::RemoveNodes(tree, tree.FindAll("_Z"));
    EXPECT_TRUE(tree.FindAll("_Z").empty());
    EXPECT_EQ(tree.Current(), -1);
}

TEST(TreeEdits, ANodeNearAnAnchorGoesIntoACategoryOrBesideAnEntry)
{
    DocTree tree = Parsed("+ Standard\r\n\ta.bmp\r\n+ Mine\r\n");
    EXPECT_EQ(tree.Parent(qx::AddNodeNear(tree, 0, "b.bmp")), 0);
    EXPECT_EQ(tree.Parent(qx::AddNodeNear(tree, 1, "c.bmp")), 0);
    EXPECT_EQ(tree.Parent(qx::AddNodeNear(tree, -1, "+ Top")), -1);
    EXPECT_EQ(FormatTreeText(tree), "+ Standard\r\n\ta.bmp\r\n\tb.bmp\r\n\tc.bmp\r\n+ Mine\r\n+ Top\r\n");
    qx::OpenTopLevel(tree);
    EXPECT_TRUE(tree.Expanded(0) && tree.Expanded(4) && tree.Expanded(5));
}

}  // namespace
