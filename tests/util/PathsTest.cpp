#include "Errors.h"
#include "Paths.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

template <typename F>
std::string InOutMessage(F&& call)
{
    try {
        call();
    } catch (const qx::InOutError& e) {
        return e.what();
    }
    return "no error";
}

TEST(ToFsPath, TurnsBackslashesIntoSlashes)
{
    EXPECT_EQ(ToFsPath("Sys\\Saves\\textures\\a.bmp"), "Sys/Saves/textures/a.bmp");
    EXPECT_EQ(ToFsPath("already/fine"), "already/fine");
    EXPECT_EQ(ToFsPath(""), "");
}

TEST(WholeFile, WrittenBytesReadBackUnchanged)
{
    qxtest::TempDir dir;
    std::string bytes;
    for (int i = 0; i < 200000; ++i)
        bytes += static_cast<char>(i * 7);
    const std::string file = (dir / "data.bin").string();
    WriteWholeFile(file, bytes);
    EXPECT_EQ(ReadWholeFile(file), bytes);
    WriteWholeFile(file, "");
    EXPECT_EQ(ReadWholeFile(file), "");
}

TEST(WholeFile, ReplacingLeavesOnlyTheTarget)
{
    qxtest::TempDir dir;
    const std::string file = (dir / "list.txt").string();
    WriteWholeFile(file, "first version, rather long\r\n");
    WriteWholeFile(file, "second\r\n");
    EXPECT_EQ(ReadWholeFile(file), "second\r\n");
    int entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.path()))
        ++entries;
    EXPECT_EQ(entries, 1);
}

TEST(WholeFile, MissingFileIsFileNotFound)
{
    qxtest::TempDir dir;
    EXPECT_EQ(InOutMessage([&] { ReadWholeFile((dir / "absent.txt").string()); }), "File not found");
    EXPECT_EQ(InOutMessage([&] { WriteWholeFile((dir / "no" / "such.txt").string(), "x"); }),
              "File not found");
}

TEST(WholeFile, ReadingAFolderIsAnIoError)
{
    qxtest::TempDir dir;
    EXPECT_EQ(InOutMessage([&] { ReadWholeFile(dir.path().string()); }), "I/O error 21");
}

TEST(WholeFile, FailedRenameKeepsTheOldContentAndNoTemporary)
{
    qxtest::TempDir dir;
    // A non-empty folder where the file should go cannot be replaced.
    fs::create_directory(dir / "target");
    qxtest::WriteFileBytes(dir / "target" / "inside.txt", "keep");
    const std::string message = InOutMessage([&] { WriteWholeFile((dir / "target").string(), "new"); });
    EXPECT_NE(message, "no error");
    EXPECT_EQ(message.rfind("I/O error ", 0), 0u) << message;
    EXPECT_EQ(qxtest::ReadFileBytes(dir / "target" / "inside.txt"), "keep");
    int entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.path()))
        ++entries;
    EXPECT_EQ(entries, 1);
}

}  // namespace
