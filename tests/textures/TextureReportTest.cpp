// The qxinspect companion run as users run it: its line for a picture is
// the size, format and MD5 of the block the editor's loader makes.
#include <gtest/gtest.h>

#include <QProcess>

#include "ImageTestSupport.h"
#include "TestSupport.h"
#include "imageio/ImageDecoders.h"

namespace {

struct ReportRun {
    int exitCode = -1;
    std::string out;
};

ReportRun Report(const QStringList& arguments)
{
    QProcess process;
    process.start(QString::fromUtf8(QX_TOOL_PATH), arguments);
    process.waitForFinished(60000);
    return {process.exitCode(), process.readAllStandardOutput().toStdString()};
}

std::string ExpectedLine(const std::string& path, bool keyed)
{
    const qx::DecodeResult result = qx::DecodeImageFile(qx::ImageKindForPath(path, true), path, keyed);
    const qx::PixelBlock& b = *result.block;
    return std::to_string(b.width) + "x" + std::to_string(b.height) + (b.channels == 4 ? " RGBA" : " RGB") +
           " md5=" + qxtest::Md5Hex(b.pixels) + "\n";
}

TEST(QxInspect, PrintsSizeFormatAndDigestOfTheLoadersBlock)
{
    qxtest::TempDir dir;
    const std::string bmp = (dir / "odd.BMP").string();
    qxtest::WriteFileBytes(bmp, qxtest::MakeBmp(5, 3, qxtest::Pattern));
    const ReportRun plain = Report({"texture", QString::fromStdString(bmp)});
    EXPECT_EQ(plain.exitCode, 0);
    EXPECT_EQ(plain.out, ExpectedLine(bmp, false));
    EXPECT_EQ(plain.out.substr(0, 8), "5x3 RGB ");

    const ReportRun keyed = Report({"texture", QString::fromStdString(bmp), "--key"});
    EXPECT_EQ(keyed.exitCode, 0);
    EXPECT_EQ(keyed.out, ExpectedLine(bmp, true));
    EXPECT_EQ(keyed.out.substr(0, 9), "5x3 RGBA ");
}

TEST(QxInspect, RefusedFilesPrintTheLoadersMessageAndExitOne)
{
    qxtest::TempDir dir;
    const std::string tga = (dir / "grey.tga").string();
    qxtest::TgaOptions grey;
    grey.type = 3;
    grey.depth = 8;
    qxtest::WriteFileBytes(tga, qxtest::MakeTga(2, 2, qxtest::Pattern, grey));
    const ReportRun refused = Report({"texture", QString::fromStdString(tga)});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.out, "TGA File Error: Couldn't load \"" + tga + "\". Only 24 and 32bit TGA supported.\n");

    const ReportRun missing = Report({"texture", QString::fromStdString((dir / "none.png").string())});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.out.rfind("PNG Unit: Couldn't load PNG - ", 0), 0u);

    EXPECT_EQ(Report({"texture", "notes.txt"}).exitCode, 1);
    EXPECT_EQ(Report({"texture"}).exitCode, 2);
    EXPECT_EQ(Report({"other", "a.bmp"}).exitCode, 2);
}

TEST(QxInspect, AgreesWithTheDecoderOnTheSharedPictures)
{
    QX_REQUIRE_TESTDATA(root);
    for (const char* file : {"png/pngsuite/basi3p04.png", "gif/wuffs/muybridge.gif", "jpeg/wuffs/peacock.progressive.jpeg",
                             "tga/pillow/common/200x32_rgba_tl_rle.tga"}) {
        const std::string path = (root / file).string();
        const ReportRun run = Report({"texture", QString::fromStdString(path)});
        EXPECT_EQ(run.exitCode, 0) << file;
        EXPECT_EQ(run.out, ExpectedLine(path, false)) << file;
    }
}

}  // namespace
