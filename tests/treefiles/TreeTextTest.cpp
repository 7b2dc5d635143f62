#include "Errors.h"
#include "Text1251.h"
#include "TreeFiles.h"
#include "TreeFixtures.h"

#include <gtest/gtest.h>

namespace {

using qxtest::Shape;

MemoryTree Parsed(std::string_view text)
{
    MemoryTree tree;
    ParseTreeText(tree, text);
    return tree;
}

std::string LevelErrorOf(MemoryTree& tree, std::string_view text)
{
    try {
        ParseTreeText(tree, text);
    } catch (const qx::FormatError& e) {
        return e.what();
    }
    return "no error";
}

TEST(MemoryTree, AppendChildGoesAfterTheParentsWholeSubtree)
{
    MemoryTree tree;
    const int a = tree.AppendChild(-1, "a");
    const int b = tree.AppendChild(-1, "b");
    const int a1 = tree.AppendChild(a, "a1");
    EXPECT_EQ(a1, 1);
    tree.AppendChild(a1, "a1x");
    EXPECT_EQ(tree.AppendChild(a, "a2"), 3);
    EXPECT_EQ(tree.AppendChild(b + 3, "b1"), 5);
    EXPECT_EQ(Shape(tree), "0:a|1:a1|2:a1x|1:a2|0:b|1:b1");
    EXPECT_EQ(tree.Icon(5), -1);
    EXPECT_EQ(tree.SelectedIcon(5), -1);
}

TEST(TreeText, DesignExampleIsWrittenWithTabsAndCrLf)
{
    MemoryTree tree;
    const int folder = tree.AppendChild(-1, Cp("+Примитивы"));
    tree.AppendChild(folder, Cp("[к]_Коробка"));
    EXPECT_EQ(FormatTreeText(tree), Cp("+Примитивы\r\n\t[к]_Коробка\r\n"));
}

TEST(TreeText, FormattedTreeParsesBackToTheSameTree)
{
    const MemoryTree tree = qxtest::SampleTree();
    const std::string text = FormatTreeText(tree);
    EXPECT_EQ(text, "+folder\r\n\t_obj\r\n\t\tnested\r\nsecond\r\n");
    EXPECT_EQ(Shape(Parsed(text)), Shape(tree));
    EXPECT_EQ(FormatTreeText(Parsed(text)), text);
}

TEST(TreeText, CrLfBareLfAndMissingLastLineEndReadAlike)
{
    const std::string expected = "0:a|1:b|0:c";
    EXPECT_EQ(Shape(Parsed("a\r\n\tb\r\nc\r\n")), expected);
    EXPECT_EQ(Shape(Parsed("a\n\tb\nc\n")), expected);
    EXPECT_EQ(Shape(Parsed("a\r\n\tb\nc")), expected);
    EXPECT_EQ(Shape(Parsed("")), "");
}

TEST(TreeText, EmptyLinesAreNodesWithEmptyText)
{
    EXPECT_EQ(Shape(Parsed("a\r\n\r\nb\r\n")), "0:a|0:|0:b");
    EXPECT_EQ(Shape(Parsed("a\r\n\t\r\n")), "0:a|1:");
}

TEST(TreeText, SpacesCountAsLevelsLikeTabs)
{
    EXPECT_EQ(Shape(Parsed("a\r\n b\r\n  c\r\n d\r\n")), Shape(Parsed("a\r\n\tb\r\n\t\tc\r\n\td\r\n")));
    // A space and a TAB are two levels, not one.
    MemoryTree mixed;
    EXPECT_EQ(LevelErrorOf(mixed, "a\r\n \tb\r\n"), "Invalid level (2) for item \"b\"");
}

TEST(TreeText, FirstLineIsTopLevelWhateverItsIndent)
{
    EXPECT_EQ(Shape(Parsed("\tfirst\r\nsecond\r\n")), "0:first|0:second");
    EXPECT_EQ(Shape(Parsed("\t\tfirst\r\n\tchild\r\n")), "0:first|1:child");
}

TEST(TreeText, DeeperIndentOfTheFirstLineDoesNotCarryOver)
{
    // The first node sits at depth 0 whatever its indent, so a line two
    // levels deeper than that depth is a jump even though it is only one
    // deeper than the first line's indent.
    MemoryTree tree;
    EXPECT_EQ(LevelErrorOf(tree, "\t\tfirst\r\n\t\t\tnext\r\n"), "Invalid level (3) for item \"next\"");
    EXPECT_EQ(Shape(tree), "0:first");
}

TEST(TreeText, ShallowerLineJoinsTheAncestorAtItsLevel)
{
    EXPECT_EQ(Shape(Parsed("a\r\n\tb\r\n\t\tc\r\n\t\t\td\r\n\te\r\nf\r\n\tg\r\n")),
              "0:a|1:b|2:c|3:d|1:e|0:f|1:g");
    const MemoryTree tree = Parsed("a\r\n\tb\r\n\t\tc\r\n\te\r\n");
    EXPECT_EQ(FormatTreeText(tree), "a\r\n\tb\r\n\t\tc\r\n\te\r\n");
}

TEST(TreeText, LevelJumpStopsTheReadAndKeepsWhatWasRead)
{
    MemoryTree tree;
    EXPECT_EQ(LevelErrorOf(tree, "a\r\n\tb\r\n\t\t\tdeep\r\nnever\r\n"),
              "Invalid level (3) for item \"deep\"");
    EXPECT_EQ(Shape(tree), "0:a|1:b");
}

TEST(TreeText, ErrorQuotesTheTextIn1251)
{
    MemoryTree tree;
    EXPECT_EQ(LevelErrorOf(tree, Cp("a\r\n  _Игрок\r\n")), Cp("Invalid level (2) for item \"_Игрок\""));
}

TEST(TreeText, ReadingAppendsToTheNodesAlreadyThere)
{
    MemoryTree tree = Parsed("x\r\n\ty\r\n\t\tz\r\n");
    ParseTreeText(tree, "\ta\r\n\tb\r\n\t\tc\r\nd\r\n");
    EXPECT_EQ(Shape(tree), "0:x|1:y|2:z|0:a|1:b|2:c|0:d");
}

TEST(TreeText, CyrillicTextsKeepTheirBytes)
{
    const std::string text = Cp("+Модели\r\n\t_Игрок\r\n\t1 - [к]_Коробка\r\n");
    const MemoryTree tree = Parsed(text);
    EXPECT_EQ(tree.Text(1), Cp("_Игрок"));
    EXPECT_EQ(FormatTreeText(tree), text);
}

}  // namespace
