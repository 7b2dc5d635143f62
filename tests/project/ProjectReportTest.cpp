// qxinspect project run as a pipeline runs it.
#include <gtest/gtest.h>

#include <QProcess>

#include <filesystem>
#include <fstream>

#include "TestSupport.h"

namespace fs = std::filesystem;

namespace {

struct ReportRun {
    int exitCode = -1;
    std::string out;
};

ReportRun Report(const fs::path& folder)
{
    QProcess process;
    process.start(QString::fromUtf8(QX_TOOL_PATH), {"project", QString::fromStdString(folder.string())});
    process.waitForFinished(60000);
    return {process.exitCode(), process.readAllStandardOutput().toStdString()};
}

void Write(const fs::path& file, const std::string& bytes)
{
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
}

// An installation folder holding Sys/Saves, written under a comma locale.
void WriteProject(const fs::path& saves)
{
    fs::create_directories(saves / "textures");
    fs::copy_file(fs::path(QX_SOURCE_DIR) / "fuzz/corpus/fuzz_textures_bmp/plain3x2.bmp", saves / "textures/wall.bmp",
                  fs::copy_options::overwrite_existing);
    Write(saves / "textures.qxtex", "2\r\nwall.bmp0\r\ngone.png1\r\n");
    Write(saves / "ObjList.qxlst", "1\r\n_Wall\r\n");
    Write(saves / "_Wall.qxobj",
          "_Wall\r\n1\r\n2\r\n0 0 0 0 8 8 8 1 0 0 0 0 0 True 0 \r\n-1 0,5 0 0 8 8 8 1 0 0 0 0 0 False 0 \r\n");
    Write(saves / "Map1.qxmap", "1,5 0 -2,25 \r\n1\r\n_Wall 0 0 0 0 0 0 1 1 1 \r\n");
    Write(saves / "AllObjectList.qxlst", "_Wall\r\n");
    Write(saves / "AllObjectListIcons.qxicon", "1\r\n3\r\n");
    Write(saves / "AllTexturesList.qxlst", "");
    Write(saves / "AllTexturesListIcons.qxicon", "0\r\n");
}

TEST(ProjectReport, SoundProjectProblemsAndBrokenFiles)
{
    qxtest::TempDir dir;
    const fs::path saves = dir / "Sys" / "Saves";
    WriteProject(saves);
    Write(saves / "textures.qxtex", "1\r\nwall.bmp0\r\n");
    ReportRun run = Report(dir.path());
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "total textures=1 objects=1 boxes=2 shapes=0 models=0 placements=1 player=(1.5,0,-2.25)\n");

    // A picture's problem lands on its entry in the texture list, and a path
    // in a reason is written with one kind of separator.
    WriteProject(saves);
    Write(saves / "textures.qxtex", "3\r\nwall.bmp0\r\ngone.png1\r\nbad.png0\r\n");
    Write(saves / "textures" / "bad.png", "not a picture");
    // A floor and three models after the boxes: one read, one missing, one
    // that does not convert.
    Write(saves / "_Wall.qxobj", "_Wall\r\n1\r\n2\r\n0 0 0 0 8 8 8 1 0 0 0 0 0 True 0 \r\n7 0 0 0 8 8 8 1 0 0 0 0 0 1 0 \r\n"
                                 "QXEXT 1\r\n1\r\n0 0 0 0 4 4 1 0 0 0 False \r\n0\r\n0\r\n0\r\n"
                                 "2\r\nok.3ds\r\n0 0 0 0 0 0 1 1 1 \r\nold gun.3ds\r\n0 0 0 0 0 0 1 1 1 \r\n"
                                 "1\r\nbad.txt\r\n0 0 0 0 0 0 1 1 1 \r\n");
    Write(saves / "models" / "ok.3ds", std::string("MM\x06\0\0\0", 6));
    Write(saves / "models" / "bad.txt", "face\nNOTEXTURE\n1\n1 2 x\n");
    Write(saves / "Map1.qxmap", "0 0 0 \r\n2\r\n_Wall 0 0 0 0 0 0 1 1 1 \r\n_Door 0 0 0 0 0 0 1 1 1 \r\n");
    run = Report(saves);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out,
              "textures.qxtex:3: gone.png: File not found\n"
              "textures.qxtex:4: bad.png: Couldn't load PNG - \"" + (saves / "textures" / "bad.png").string() + "\"\n"
              "_Wall.qxobj:15: old gun.3ds: File not found\n"
              "_Wall.qxobj:18: bad.txt: 'x' is not a valid floating point value\n"
              "_Wall.qxobj:5: box texture 7 is outside the texture list (3 entries)\n"
              "Map1.qxmap:4: placement names no object: _Door\n"
              "total textures=3 objects=1 boxes=2 shapes=1 models=3 placements=2 player=(0,0,0)\n");

    Write(saves / "Map1.qxmap", "0 0 0 \r\n1\r\n_Wall 0 0 0 0 0 0 1 1 \r\n");
    run = Report(saves);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out.substr(0, run.out.find('\n')), "Map1.qxmap:3: '' is not a valid floating point value");
    fs::remove(saves / "ObjList.qxlst");
    run = Report(saves);
    EXPECT_EQ(run.out.substr(0, run.out.find('\n')), "ObjList.qxlst:0: File not found");
}

}  // namespace
