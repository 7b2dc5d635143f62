#include "Errors.h"
#include "Paths.h"
#include "TestSupport.h"
#include "TreeFiles.h"
#include "TreeFixtures.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

TEST(TreeFiles, DesignPathsAreReadAndWrittenRelativeToTheCurrentFolder)
{
    qxtest::TempDir dir;
    fs::create_directories(dir / "Sys" / "Saves");
    qxtest::ScopedCurrentDir cwd(dir.path());
    const MemoryTree tree = qxtest::SampleTree();
    WriteTreeText(tree, "Sys\\Saves\\AllObjectList.qxlst");
    SaveIconIndexes(tree, "Sys\\Saves\\AllObjectListIcons.qxicon");

    MemoryTree back;
    ReadTreeText(back, "Sys\\Saves\\AllObjectList.qxlst");
    LoadIconIndexes(back, "Sys\\Saves\\AllObjectListIcons.qxicon");
    EXPECT_EQ(qxtest::Shape(back), qxtest::Shape(tree));
    EXPECT_EQ(FormatIconIndexes(back), FormatIconIndexes(tree));
    EXPECT_EQ(qxtest::ReadFileBytes(dir / "Sys" / "Saves" / "AllObjectListIcons.qxicon"),
              "4\r\n1\r\n2\r\n3\r\n-1\r\n");
}

TEST(TreeFiles, TwoSavesOfAnUnchangedTreeAreByteIdentical)
{
    qxtest::TempDir dir;
    const MemoryTree tree = qxtest::SampleTree();
    const std::string text = (dir / "t.txt").string(), icons = (dir / "t.qxicon").string();
    WriteTreeText(tree, text);
    SaveIconIndexes(tree, icons);
    const std::string firstText = ReadWholeFile(text), firstIcons = ReadWholeFile(icons);
    WriteTreeText(tree, text);
    SaveIconIndexes(tree, icons);
    EXPECT_EQ(ReadWholeFile(text), firstText);
    EXPECT_EQ(ReadWholeFile(icons), firstIcons);
}

TEST(TreeFiles, MissingFilesRaiseFileNotFoundAndLeaveTheTree)
{
    qxtest::TempDir dir;
    qxtest::ScopedCurrentDir cwd(dir.path());
    MemoryTree tree = qxtest::SampleTree();
    try {
        ReadTreeText(tree, "Sys\\Api\\ObjectList.txt");
        FAIL() << "no error";
    } catch (const qx::InOutError& e) {
        EXPECT_STREQ(e.what(), "File not found");
    }
    EXPECT_THROW(LoadIconIndexes(tree, "Sys\\Api\\ObjectListIcons.qxicon"), qx::InOutError);
    EXPECT_THROW(WriteTreeText(tree, "Sys\\Saves\\AllObjectList.qxlst"), qx::InOutError);
    EXPECT_EQ(qxtest::Shape(tree), qxtest::Shape(qxtest::SampleTree()));
}

}  // namespace
