// The view of a document's tree: the widget shows the tree after every
// change, keeps the items of nodes the change did not touch (and so the
// user's place in it), and hands the user's choice and opened folders back.
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "DocTreeView.h"
#include "TreeEdits.h"
#include "TreeWidgetAccess.h"

namespace {

std::string Shown(QTreeWidget& widget)
{
    const TreeWidgetAccess access(&widget);
    return FormatTreeText(access) + FormatIconIndexes(access);
}

class DocTreeViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ParseTreeText(tree_, "+Objects\r\n\t_Table\r\n\t+Inner\r\n\t\t_Chair\r\n_Player\r\n");
        ParseIconIndexes(tree_, "5\r\n1\r\n2\r\n1\r\n2\r\n3\r\n");
        view_.UserChanged = [this] {
            ++told_;
            view_.Show();
        };
        view_.Show();
    }
    qx::DocTree tree_;
    QTreeWidget widget_;
    DocTreeView view_{&widget_, &tree_};
    int told_ = 0;
};

TEST_F(DocTreeViewTest, ShowsEachChangeAndKeepsTheItemsOfUntouchedNodes)
{
    EXPECT_EQ(Shown(widget_), FormatTreeText(tree_) + FormatIconIndexes(tree_));
    QTreeWidgetItem* table = view_.ItemOf(1);
    QTreeWidgetItem* chair = view_.ItemOf(3);
    const qx::DocTree before = tree_;

    tree_.SetText(3, "_Stool");
    qx::ShowNewNode(tree_, qx::AddObjectNodes(tree_, 1, "_Desk"));
    tree_.Remove(4 + 1);  // _Player, after the new node
    view_.Show();
    EXPECT_EQ(Shown(widget_), FormatTreeText(tree_) + FormatIconIndexes(tree_));
    EXPECT_EQ(view_.ItemOf(1), table);
    EXPECT_EQ(view_.ItemOf(3), chair) << "renamed in place";
    EXPECT_EQ(NodeText(chair), "_Stool");
    EXPECT_EQ(widget_.currentItem(), view_.ItemOf(tree_.FindLast("_Desk")));
    EXPECT_TRUE(widget_.topLevelItem(0)->isExpanded());
    EXPECT_EQ(told_, 0) << "the document's own changes are not the user's";

    tree_ = before;  // as an undo puts it back
    view_.Show();
    EXPECT_EQ(Shown(widget_), FormatTreeText(before) + FormatIconIndexes(before));
    EXPECT_EQ(view_.ItemOf(1), table);
    EXPECT_FALSE(widget_.topLevelItem(0)->isExpanded());
    EXPECT_TRUE(widget_.selectedItems().isEmpty());
    EXPECT_EQ(NodeText(view_.ItemOf(4)), "_Player");
}

TEST_F(DocTreeViewTest, TheUsersChoiceAndOpenedFoldersGoIntoTheTree)
{
    widget_.expandItem(widget_.topLevelItem(0));
    EXPECT_TRUE(tree_.Expanded(0));
    view_.ItemOf(3)->setSelected(true);
    EXPECT_EQ(tree_.Current(), 3);
    EXPECT_EQ(told_, 2);
    widget_.clearSelection();
    EXPECT_EQ(tree_.Current(), -1);
    widget_.collapseItem(widget_.topLevelItem(0));
    EXPECT_FALSE(tree_.Expanded(0));
}

}  // namespace
