// The installation folder as the generator lays it out: which files, the
// tree lists and icon files the editor reads at start-up, and how re-runs
// behave.
#include "GeneratedData.h"

#include "TestSupport.h"
#include "TreeFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <set>

namespace fs = std::filesystem;
using qxdatatest::IconPath;
using qxdatatest::ListFiles;
using qxdatatest::RunGenerator;

namespace {

// The code page 1251 bytes of the texts the editor compares byte for byte.
const std::string kObjectsFolder = "+\xCE\xE1\xFA\xE5\xEA\xF2\xFB";     // +Объекты
const std::string kPlayer = "_\xC8\xE3\xF0\xEE\xEA";                    // _Игрок
const std::string kModels = "+\xCC\xEE\xE4\xE5\xEB\xE8";                // +Модели
const std::string kPrimitives = "+\xCF\xF0\xE8\xEC\xE8\xF2\xE8\xE2\xFB";  // +Примитивы
const std::string kMapFolder = "+\xCA\xE0\xF0\xF2\xE0";                 // +Карта
const std::string kStandardTextures =
    "+ \xD1\xF2\xE0\xED\xE4\xE0\xF0\xF2\xED\xFB\xE5 \xF2\xE5\xEA\xF1\xF2\xF3\xF0\xFB";
const std::string kTextures = "+ \xD2\xE5\xEA\xF1\xF2\xF3\xF0\xFB";  // + Текстуры

const std::vector<std::string> kRequiredFiles = {
    "Sys/Api/ObjectList.txt",         "Sys/Api/OBJList.txt",
    "Sys/Api/MapList.txt",            "Sys/Api/TexturesList.txt",
    "Sys/Api/ObjectListIcons.qxicon", "Sys/Api/OBJListIcons.qxicon",
    "Sys/Api/MapListIcons.qxicon",    "Sys/Api/FTExtureIcons.qxicon",
    "Sys/Saves/textures/NoTexture.bmp",
    "textures/Setka.bmp",             "textures/CurCenter.bmp",
    "textures/cliffFront.bmp",        "textures/cliffBack.bmp",
    "textures/cliffLeft.bmp",         "textures/cliffRight.bmp",
    "textures/cliffTop.bmp",          "textures/cliffBottom.bmp",
    "Sys/Saves/textures/Setka.bmp",   "Sys/Saves/textures/CurCenter.bmp",
    "Sys/Saves/textures/cliffFront.bmp", "Sys/Saves/textures/cliffBack.bmp",
    "Sys/Saves/textures/cliffLeft.bmp",  "Sys/Saves/textures/cliffRight.bmp",
    "Sys/Saves/textures/cliffTop.bmp",   "Sys/Saves/textures/cliffBottom.bmp",
};

struct TreeLine {
    int depth;
    std::string text;
};

// Splits a tree list by the rules of its format; records what breaks them.
std::vector<TreeLine> SplitTreeLines(const std::string& bytes)
{
    std::vector<TreeLine> lines;
    EXPECT_TRUE(bytes.size() >= 2 && bytes.substr(bytes.size() - 2) == "\r\n") << "last line ends in CR LF";
    size_t start = 0;
    while (start < bytes.size()) {
        const size_t lf = bytes.find('\n', start);
        if (lf == std::string::npos)
            break;
        EXPECT_TRUE(lf > start && bytes[lf - 1] == '\r') << "bare LF at byte " << lf;
        std::string line = bytes.substr(start, lf - 1 - start);
        EXPECT_EQ(line.find('\r'), std::string::npos) << "stray CR in " << line;
        const size_t depth = line.find_first_not_of('\t');
        start = lf + 1;
        if (depth == std::string::npos) {
            ADD_FAILURE() << "empty node text";
            continue;
        }
        EXPECT_NE(line[depth], ' ') << "depth is written with TABs only";
        lines.push_back({static_cast<int>(depth), line.substr(depth)});
    }
    return lines;
}

class StartupTrees : public qxdatatest::GeneratedInstallation {
protected:
    static std::string Bytes(const std::string& rel) { return qxtest::ReadFileBytes(Root() / rel); }

    // The tree file checked line by line, then read by the editor's own
    // reader, then given its icons by the editor's own icon reader.
    static MemoryTree CheckTree(const std::string& list, const std::string& icons)
    {
        const std::string bytes = Bytes(list);
        const std::vector<TreeLine> lines = SplitTreeLines(bytes);
        EXPECT_FALSE(lines.empty()) << list;
        for (size_t i = 0; i < lines.size(); ++i) {
            const int allowed = i == 0 ? 0 : lines[i - 1].depth + 1;
            EXPECT_LE(lines[i].depth, allowed) << list << " line " << i + 1;
        }

        MemoryTree tree;
        EXPECT_NO_THROW(ParseTreeText(tree, bytes)) << list;
        EXPECT_EQ(tree.NodeCount(), static_cast<int>(lines.size())) << list;

        const std::string iconBytes = Bytes(icons);
        EXPECT_EQ(iconBytes.find('\n'), iconBytes.find("\r\n") + 1) << icons << " lines end in CR LF";
        EXPECT_EQ(std::stoi(iconBytes), tree.NodeCount()) << icons << " count";
        EXPECT_EQ(static_cast<long>(std::count(iconBytes.begin(), iconBytes.end(), '\n')),
                  tree.NodeCount() + 1L)
            << icons << " holds the count and one line per node";
        EXPECT_NO_THROW(ParseIconIndexes(tree, iconBytes)) << icons;
        for (int i = 0; i < tree.NodeCount(); ++i) {
            EXPECT_TRUE(fs::exists(Root() / IconPath(tree.Icon(i))))
                << icons << " node " << i << " names icon " << tree.Icon(i);
            EXPECT_EQ(tree.SelectedIcon(i), tree.Icon(i));
        }
        return tree;
    }

    static int IndexOf(const MemoryTree& tree, const std::string& text)
    {
        for (int i = 0; i < tree.NodeCount(); ++i)
            if (tree.Text(i) == text)
                return i;
        ADD_FAILURE() << "missing node " << text;
        return -1;
    }
};

TEST_F(StartupTrees, InstallationHoldsExactlyTheStartupFilesAndAContiguousImageList)
{
    const std::vector<std::string> files = ListFiles(Root());
    for (const std::string& required : kRequiredFiles)
        EXPECT_TRUE(std::binary_search(files.begin(), files.end(), required)) << required;

    int icons = 0;
    while (fs::exists(Root() / IconPath(icons)))
        ++icons;
    EXPECT_GE(icons, 12);

    std::set<std::string> expected(kRequiredFiles.begin(), kRequiredFiles.end());
    for (int i = 0; i < icons; ++i)
        expected.insert(IconPath(i));
    EXPECT_EQ(std::set<std::string>(files.begin(), files.end()), expected)
        << "nothing else, Sys/Config.ini included";
    EXPECT_TRUE(fs::is_directory(Root() / "Sys/Saves"));
}

TEST_F(StartupTrees, ObjectTreeHasAFolderAndThePlayerWithItsOwnIcon)
{
    const MemoryTree tree = CheckTree("Sys/Api/ObjectList.txt", "Sys/Api/ObjectListIcons.qxicon");
    const int folder = IndexOf(tree, kObjectsFolder);
    const int player = IndexOf(tree, kPlayer);
    ASSERT_GE(folder, 0);
    ASSERT_GE(player, 0);
    EXPECT_NE(tree.Icon(player), tree.Icon(folder));
}

TEST_F(StartupTrees, ObjectPartTreeHasModelsAndPrimitives)
{
    const MemoryTree tree = CheckTree("Sys/Api/OBJList.txt", "Sys/Api/OBJListIcons.qxicon");
    IndexOf(tree, kModels);
    IndexOf(tree, kPrimitives);
}

TEST_F(StartupTrees, MapTreeStartsWithTheMapFolder)
{
    const MemoryTree tree = CheckTree("Sys/Api/MapList.txt", "Sys/Api/MapListIcons.qxicon");
    EXPECT_EQ(IndexOf(tree, kMapFolder), 0);
}

TEST_F(StartupTrees, TextureTreeStartsWithTheStandardCategory)
{
    // The helper textures registered at start-up land under the tree's first
    // node, which therefore must be the standard category.
    const MemoryTree tree = CheckTree("Sys/Api/TexturesList.txt", "Sys/Api/FTExtureIcons.qxicon");
    EXPECT_EQ(IndexOf(tree, kStandardTextures), 0);
    EXPECT_GT(IndexOf(tree, kTextures), 0);
    EXPECT_TRUE(fs::exists(Root() / IconPath(10))) << "the texture node icon";
}

TEST(GeneratorRuns, AreByteIdentical)
{
    qxtest::TempDir a, b;
    ASSERT_EQ(RunGenerator(a.path()), 0);
    ASSERT_EQ(RunGenerator(b.path()), 0);
    const std::vector<std::string> files = ListFiles(a.path());
    ASSERT_EQ(files, ListFiles(b.path()));
    for (const std::string& f : files)
        EXPECT_EQ(qxtest::ReadFileBytes(a / f), qxtest::ReadFileBytes(b / f)) << f;
}

TEST(GeneratorRuns, RewriteOnlyChangedFilesAndLeaveTheConfigurationAlone)
{
    qxtest::TempDir dir;
    ASSERT_EQ(RunGenerator(dir.path()), 0);
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(24);
    for (const std::string& f : ListFiles(dir.path()))
        fs::last_write_time(dir / f, old);
    const std::string setka = qxtest::ReadFileBytes(dir / "textures/Setka.bmp");
    qxtest::WriteFileBytes(dir / "textures/Setka.bmp", setka.substr(0, 100));
    fs::remove(dir / "Sys/Api/MapList.txt");
    const std::string config = "[Startup]\r\nonestart=0\r\n";
    qxtest::WriteFileBytes(dir / "Sys/Config.ini", config);

    ASSERT_EQ(RunGenerator(dir.path()), 0);
    EXPECT_EQ(qxtest::ReadFileBytes(dir / "textures/Setka.bmp"), setka);
    EXPECT_TRUE(fs::exists(dir / "Sys/Api/MapList.txt"));
    EXPECT_EQ(qxtest::ReadFileBytes(dir / "Sys/Config.ini"), config);
    for (const std::string& f : ListFiles(dir.path())) {
        if (f != "textures/Setka.bmp" && f != "Sys/Api/MapList.txt" && f != "Sys/Config.ini") {
            EXPECT_EQ(fs::last_write_time(dir / f), old) << f << " rewritten needlessly";
        }
    }
}

}  // namespace
