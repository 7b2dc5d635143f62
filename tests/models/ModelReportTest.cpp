// `qxinspect model` run as users run it, in a folder with a textures folder.
#include <gtest/gtest.h>

#include <QProcess>

#include <filesystem>

#include "Chunks3ds.h"
#include "TestSupport.h"

using namespace qxtest;

namespace {

struct ReportRun {
    int exitCode = -1;
    std::string out, err;
};

ReportRun RunReport(const std::filesystem::path& folder, const QStringList& arguments)
{
    QProcess process;
    process.setWorkingDirectory(QString::fromStdString(folder.string()));
    process.start(QString::fromUtf8(QX_TOOL_PATH), arguments);
    process.waitForFinished(60000);
    return {process.exitCode(), process.readAllStandardOutput().toStdString(),
            process.readAllStandardError().toStdString()};
}

ReportRun Report(const std::filesystem::path& folder, const std::string& file)
{
    return RunReport(folder, {"model", QString::fromStdString(file)});
}

std::string SmallBmp()
{
    return "BM" + Le32(70) + Le32(0) + Le32(54) + Le32(40) + Le32(2) + Le32(2) + Le16(1) + Le16(24) +
           std::string(24, '\0') + std::string(16, '\x40');
}

TEST(ModelReport, PrintsObjectsWarningsAndTotals)
{
    TempDir dir;
    std::filesystem::create_directories(dir / "textures");
    std::filesystem::create_directories(dir / "kafe");
    const std::string bmp = SmallBmp();
    WriteFileBytes(dir / "textures" / "mp5sil.bmp", bmp);
    WriteFileBytes(dir / "kafe" / "brick.bmp", bmp);
    WriteFileBytes(dir / "gun.3ds",
                   File3ds(Cat({Material("Gun", Chunk(0xA020, Rgb24(255, 128, 0)) + Chunk(0xA300, Z("MP5SIL.BMP"))),
                                Mesh("Body", Vertices({{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}) +
                                                 Chunk(0x4140, Le16(3) + std::string(24, '\0')) +
                                                 Faces({{0, 1, 2}}, Group("Gun"))),
                                Triangle("Q\"x\\"), Material("Gone", Chunk(0xA300, Z("none.bmp")))}),
                           4));
    const ReportRun model = Report(dir.path(), "gun.3ds");
    EXPECT_EQ(model.exitCode, 0);
    EXPECT_EQ(model.out,
              "warning: Unsupported file version.\n"
              "warning: BMP Unit: Error opening textures\\none.bmp\n"
              "warning: texture \"textures\\\\none.bmp\" did not load\n"
              "object \"Body\" vertices=3 faces=1 material=\"Gun\" diffuse=(255,128,0) texture=\"MP5SIL.BMP\" loaded=yes\n"
              "object \"Q\\\"x\\\\\" vertices=3 faces=1 material=- diffuse=- texture=- loaded=no\n"
              "total objects=2 vertices=6 faces=2 bbox=(0,0,-8)-(7,9,0)\n");

    WriteFileBytes(dir / "kafe" / "KOSMO.TXT",
                   "face\nBrick.BMP\n3\n0 0 0\n1 0 0\n0 1 0\n0 0 1\n0 0 1\n0 0 1\n0 0\n1 0\n0 1\n"
                   "face\nNOTEXTURE\n3\n0 0 0\n0 0 2\n2 0 0\n0 1 0\n0 1 0\n0 1 0\n");
    const ReportRun blender = Report(dir.path(), "kafe/KOSMO.TXT");
    EXPECT_EQ(blender.exitCode, 0);
    EXPECT_EQ(blender.out,
              "object \"Brick.BMP\" vertices=3 faces=1 material=- diffuse=- texture=\"Brick.BMP\" loaded=yes\n"
              "object \"NOTEXTURE\" vertices=3 faces=1 material=- diffuse=- texture=- loaded=no\n"
              "total objects=2 vertices=6 faces=2 bbox=(-2,0,0)-(0,2,1)\n");

    WriteFileBytes(dir / "empty.txt", "");
    EXPECT_EQ(Report(dir.path(), "empty.txt").out, "total objects=0 vertices=0 faces=0 bbox=-\n");
}

TEST(ModelReport, ReaderFailuresExitOneWithTheReason)
{
    TempDir dir;
    WriteFileBytes(dir / "bad.3ds", "not a model");
    WriteFileBytes(dir / "bad.txt", "face\nNOTEXTURE\n1\n1 2 z\n");
    const ReportRun notMain = Report(dir.path(), "bad.3ds");
    EXPECT_EQ(notMain.exitCode, 1);
    EXPECT_EQ(notMain.out, "qxinspect: \"bad.3ds\" does not begin with a 3DS main chunk (0x4D4D)\n");
    const ReportRun number = Report(dir.path(), "bad.txt");
    EXPECT_EQ(number.exitCode, 1);
    EXPECT_EQ(number.out, "qxinspect: \"bad.txt\": 'z' is not a valid floating point value\n");
    const ReportRun missing = Report(dir.path(), "missing.3ds");
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.out, "qxinspect: \"missing.3ds\": File not found\n");
}

// Paths typed on the command line are the file system's (UTF-8); names
// inside the models are 1251 text, converted once for printing.
TEST(ModelReport, CommandLinePathsAsTypedAndModelNamesConvertedOnce)
{
    TempDir dir;
    const std::filesystem::path jose = dir / "josé";
    std::filesystem::create_directories(jose);
    std::filesystem::create_directories(dir / "textures");
    WriteFileBytes(jose / "Дверь.bmp", SmallBmp());
    const std::string door = "\xC4\xC2\xC5\xD0\xDC.BMP", none = "\xED\xE5\xF2.bmp";  // "ДВЕРЬ.BMP", "нет.bmp"
    const std::string corners = "3\n0 0 0\n1 0 0\n0 1 0\n0 0 1\n0 0 1\n0 0 1\n0 0\n1 0\n0 1\n";
    WriteFileBytes(jose / "kosmo.txt", "face\n" + door + "\n" + corners + "face\n" + none + "\n" + corners);
    const ReportRun blender = Report(dir.path(), "josé/kosmo.txt");
    EXPECT_EQ(blender.exitCode, 0);
    EXPECT_NE(blender.out.find("warning: texture \"josé/нет.bmp\" did not load\n"), std::string::npos) << blender.out;
    EXPECT_NE(blender.out.find("object \"ДВЕРЬ.BMP\" vertices=3 faces=1 material=- diffuse=- texture=\"ДВЕРЬ.BMP\" loaded=yes\n"),
              std::string::npos)
        << blender.out;

    WriteFileBytes(jose / "gun.3ds", File3ds(Material("M", Chunk(0xA300, Z(none))) + Triangle("T", Chunk(0x4130, Z("M")))));
    EXPECT_EQ(Report(dir.path(), "josé/gun.3ds").out,
              "warning: BMP Unit: Error opening textures\\нет.bmp\n"
              "warning: texture \"textures\\\\нет.bmp\" did not load\n"
              "object \"T\" vertices=3 faces=1 material=\"M\" diffuse=(0,0,0) texture=\"нет.bmp\" loaded=no\n"
              "total objects=1 vertices=3 faces=1 bbox=(0,0,-1)-(1,0,0)\n");
    EXPECT_EQ(Report(dir.path(), "josé/none.3ds").out, "qxinspect: \"josé/none.3ds\": File not found\n");
    EXPECT_EQ(RunReport(dir.path(), {"texture", "josé/Дверь.bmp"}).exitCode, 0);

    const ReportRun usage = RunReport(dir.path(), {});
    EXPECT_EQ(usage.exitCode, 2);
    for (const char* command : {"qxinspect texture FILE", "qxinspect project FOLDER", "qxinspect model FILE"})
        EXPECT_NE(usage.err.find(command), std::string::npos) << command;
}

}  // namespace
