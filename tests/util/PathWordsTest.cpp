#include "NumberText.h"

#include <gtest/gtest.h>

namespace {

TEST(PathFolder, KeepsTheFolderWithItsSeparator)
{
    EXPECT_EQ(PathFolder("C:\\Game\\Models\\tree.txt"), "C:\\Game\\Models\\");
    EXPECT_EQ(PathFolder("C:\\Game\\Models\\"), "C:\\Game\\");
    EXPECT_EQ(PathFolder("/home/u/Models/tree.txt"), "/home/u/Models/");
    EXPECT_EQ(PathFolder("/home/u/Models/"), "/home/u/");
    EXPECT_EQ(PathFolder("dir/sub\\file"), "dir/sub\\");
    EXPECT_EQ(PathFolder("a\\b"), "a\\");
}

TEST(PathFolder, PathWithoutAnEarlierSeparatorHasNoFolder)
{
    EXPECT_EQ(PathFolder(""), "");
    EXPECT_EQ(PathFolder("\\"), "");
    EXPECT_EQ(PathFolder("file.txt"), "");
    EXPECT_EQ(PathFolder("folder\\"), "");
    EXPECT_EQ(PathFolder("\\x"), "\\");
}

TEST(PathFileName, KeepsWhatFollowsTheLastSeparator)
{
    EXPECT_EQ(PathFileName("textures\\Setka.bmp"), "Setka.bmp");
    EXPECT_EQ(PathFileName("a\\b\\"), "");
    EXPECT_EQ(PathFileName("Setka.bmp"), "Setka.bmp");
    EXPECT_EQ(PathFileName(""), "");
    EXPECT_EQ(PathFileName("/home/u/pics/stone.png"), "stone.png");
    EXPECT_EQ(PathFileName("C:\\pics/mixed\\stone.png"), "stone.png");
    EXPECT_EQ(PathFileName("pics/"), "");
}

TEST(NthWord, CountsRunsBetweenDelimiters)
{
    EXPECT_EQ(NthWord("1,5 -2 0,25", " ", 1), "1,5");
    EXPECT_EQ(NthWord("1,5 -2 0,25", " ", 2), "-2");
    EXPECT_EQ(NthWord("1,5 -2 0,25", " ", 3), "0,25");
    EXPECT_EQ(NthWord("1,5 -2 0,25", " ", 4), "");
    EXPECT_EQ(NthWord("  x   y ", " ", 2), "y");
    EXPECT_EQ(NthWord("  x   y ", " ", 1), "x");
    EXPECT_EQ(NthWord("a;b, c", ";, ", 3), "c");
    EXPECT_EQ(NthWord("", " ", 1), "");
    EXPECT_EQ(NthWord("    ", " ", 1), "");
}

TEST(NthWord, WithoutDelimitersTheWholeTextIsTheOnlyWord)
{
    EXPECT_EQ(NthWord("x", "", 1), "x");
    EXPECT_EQ(NthWord("x y", "", 1), "x y");
    EXPECT_EQ(NthWord("x", "", 2), "");
    EXPECT_EQ(NthWord("", "", 1), "");
}

TEST(NthWord, WordZeroIsNeverFound)
{
    EXPECT_EQ(NthWord("x y", " ", 0), "");
    EXPECT_EQ(NthWord("x", "", 0), "");
    EXPECT_FALSE(NthWordBounds("x y", " ", 0).found);
}

TEST(NthWordBounds, GivesOneBasedStartAndLength)
{
    const WordBounds b = NthWordBounds("  ab  cde ", " ", 2);
    EXPECT_TRUE(b.found);
    EXPECT_EQ(b.start, 7);
    EXPECT_EQ(b.length, 3);
    EXPECT_FALSE(NthWordBounds("ab", " ", 2).found);
    // The highest word number still counts.
    std::string many;
    for (int i = 0; i < 255; ++i)
        many += "w" + std::to_string(i) + " ";
    EXPECT_EQ(NthWord(many, " ", 255), "w254");
}

}  // namespace
