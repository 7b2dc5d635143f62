#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "ConfigIni.h"
#include "Errors.h"
#include "TestSupport.h"

namespace {

TEST(ConfigIni, ReadsBooleansTheWayTheyAreWritten)
{
    EXPECT_TRUE(IniReadBool("", "Startup", "onestart", true));
    EXPECT_FALSE(IniReadBool("", "Startup", "onestart", false));
    EXPECT_FALSE(IniReadBool("[Startup]\r\nonestart=0\r\n", "Startup", "onestart", true));
    EXPECT_TRUE(IniReadBool("[Startup]\nonestart=1\n", "Startup", "onestart", false));
    EXPECT_TRUE(IniReadBool("[startup]\r\nONESTART = 7\r\n", "Startup", "onestart", false));
    EXPECT_FALSE(IniReadBool("[Startup]\r\nonestart=false\r\n", "Startup", "onestart", true));
    // The key of another section does not count; junk keeps the default.
    EXPECT_TRUE(IniReadBool("[Other]\r\nonestart=0\r\n", "Startup", "onestart", true));
    EXPECT_TRUE(IniReadBool("[Startup]\r\nonestart=maybe\r\n", "Startup", "onestart", true));
}

TEST(ConfigIni, WritingKeepsOtherSectionsAndKeys)
{
    std::string before = "[Video]\r\nwidth=800\r\n\r\n[Startup]\r\nlang=ru\r\n\r\n[Tail]\r\nx=1\r\n";
    std::string after = IniWriteBool(before, "Startup", "onestart", false);
    EXPECT_EQ(after, "[Video]\r\nwidth=800\r\n\r\n[Startup]\r\nlang=ru\r\nonestart=0\r\n\r\n[Tail]\r\nx=1\r\n");
    EXPECT_EQ(IniWriteBool(after, "Startup", "onestart", true),
              "[Video]\r\nwidth=800\r\n\r\n[Startup]\r\nlang=ru\r\nonestart=1\r\n\r\n[Tail]\r\nx=1\r\n");
    EXPECT_EQ(IniWriteBool("", "Startup", "onestart", false), "[Startup]\r\nonestart=0\r\n");
}

TEST(ConfigIni, FirstStartIsMarkedOnceAndTheFileLaterLeftAlone)
{
    qxtest::TempDir dir;
    const std::string path = (dir / "Sys" / "Config.ini").string();
    MarkFirstStartDone(path);  // the file and its folder do not exist yet
    EXPECT_EQ(qxtest::ReadFileBytes(path), "[Startup]\r\nonestart=0\r\n");

    // A second start with onestart already false leaves the file unchanged.
    qxtest::WriteFileBytes(path, "[Startup]\nonestart=0\n; kept as it is\n");
    auto stamp = std::filesystem::last_write_time(path);
    MarkFirstStartDone(path);
    EXPECT_EQ(qxtest::ReadFileBytes(path), "[Startup]\nonestart=0\n; kept as it is\n");
    EXPECT_EQ(std::filesystem::last_write_time(path), stamp);
}

TEST(ConfigIni, UnwritableFolderRaisesTheFileError)
{
    qxtest::TempDir dir;
    // A file stands where the folder should be.
    qxtest::WriteFileBytes(dir / "Sys", "not a folder");
    EXPECT_THROW(MarkFirstStartDone((dir / "Sys" / "Config.ini").string()), qx::InOutError);
}

}  // namespace

// The recent projects: latest first, each once, at most eight, and the
// rest of the file kept.
TEST(ConfigIni, RecentProjectsKeepEightLatestFirst)
{
    std::vector<std::string> recent;
    for (int i = 0; i < 10; ++i)
        PutFirst(recent, "/p" + std::to_string(i));
    PutFirst(recent, "/p5");
    ASSERT_EQ(recent.size(), kRecentProjects);
    EXPECT_EQ(recent.front(), "/p5");
    EXPECT_EQ(std::count(recent.begin(), recent.end(), "/p5"), 1);
    EXPECT_EQ(recent.back(), "/p2");
    const std::string file = IniWriteRecentProjects("[Startup]\r\nonestart=0\r\n", recent);
    EXPECT_EQ(IniReadRecentProjects(file), recent);
    EXPECT_FALSE(IniReadBool(file, "Startup", "onestart", true));
    const std::string shorter = IniWriteRecentProjects(file, {"/q"});
    EXPECT_EQ(IniReadRecentProjects(shorter), std::vector<std::string>{"/q"});
}
