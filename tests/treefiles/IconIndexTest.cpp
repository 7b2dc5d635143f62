#include "Errors.h"
#include "TreeFiles.h"
#include "TreeFixtures.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> Icons(const MemoryTree& tree)
{
    std::vector<int> icons;
    for (int i = 0; i < tree.NodeCount(); ++i) {
        EXPECT_EQ(tree.Icon(i), tree.SelectedIcon(i)) << "node " << i;
        icons.push_back(tree.Icon(i));
    }
    return icons;
}

MemoryTree BlankTree(int nodes)
{
    MemoryTree tree;
    for (int i = 0; i < nodes; ++i)
        tree.AppendChild(-1, "n" + std::to_string(i));
    return tree;
}

TEST(IconIndexes, CountThenOneIndexPerNodeInDisplayOrder)
{
    EXPECT_EQ(FormatIconIndexes(qxtest::SampleTree()), "4\r\n1\r\n2\r\n3\r\n-1\r\n");
}

TEST(IconIndexes, EmptyTreeWritesASingleZero)
{
    EXPECT_EQ(FormatIconIndexes(MemoryTree()), "0\r\n");
}

TEST(IconIndexes, ReadBackSetsIconAndSelectedIcon)
{
    const MemoryTree source = qxtest::SampleTree();
    MemoryTree tree = BlankTree(4);
    ParseIconIndexes(tree, FormatIconIndexes(source));
    EXPECT_EQ(Icons(tree), (std::vector<int>{1, 2, 3, -1}));
}

TEST(IconIndexes, BareLfAndPaddedNumbersRead)
{
    MemoryTree tree = BlankTree(3);
    ParseIconIndexes(tree, "3\n  5\n$A\n-1");
    EXPECT_EQ(Icons(tree), (std::vector<int>{5, 10, -1}));
}

TEST(IconIndexes, EmptyOrNonNumericCountSetsNothing)
{
    for (const char* data : {"", "\r\n1\r\n2\r\n", "abc\r\n1\r\n2\r\n", "-3\r\n1\r\n", "2 \r\n1\r\n2\r\n"}) {
        MemoryTree tree = qxtest::SampleTree();
        ParseIconIndexes(tree, data);
        EXPECT_EQ(Icons(tree), (std::vector<int>{1, 2, 3, -1})) << data;
    }
}

TEST(IconIndexes, FewerEntriesSetTheFirstNodesOnly)
{
    MemoryTree tree = qxtest::SampleTree();
    ParseIconIndexes(tree, "2\r\n7\r\n8\r\n9\r\n");
    EXPECT_EQ(Icons(tree), (std::vector<int>{7, 8, 3, -1}));
}

TEST(IconIndexes, FileCutShortSetsOnlyTheLinesItHolds)
{
    MemoryTree tree = qxtest::SampleTree();
    ParseIconIndexes(tree, "4\r\n7\r\n");
    EXPECT_EQ(Icons(tree), (std::vector<int>{7, 2, 3, -1}));
}

TEST(IconIndexes, NonNumericEntryCountsAsZero)
{
    MemoryTree tree = qxtest::SampleTree();
    ParseIconIndexes(tree, "2\r\nx\r\n\r\n");
    EXPECT_EQ(Icons(tree), (std::vector<int>{0, 0, 3, -1}));
}

TEST(IconIndexes, MoreEntriesThanNodesFailAtTheFirstMissingNode)
{
    MemoryTree tree = BlankTree(2);
    try {
        ParseIconIndexes(tree, "3\r\n4\r\n5\r\n6\r\n");
        FAIL() << "no error";
    } catch (const qx::FormatError& e) {
        EXPECT_STREQ(e.what(), "Invalid index");
    }
    EXPECT_EQ(Icons(tree), (std::vector<int>{4, 5}));
}

TEST(IconIndexes, HugeCountEndsWithTheData)
{
    MemoryTree tree = BlankTree(2);
    EXPECT_THROW(ParseIconIndexes(tree, "2147483647\r\n1\r\n2\r\n3\r\n"), qx::FormatError);
    MemoryTree exact = BlankTree(2);
    ParseIconIndexes(exact, "2147483647\r\n1\r\n2\r\n");
    EXPECT_EQ(Icons(exact), (std::vector<int>{1, 2}));
}

}  // namespace
