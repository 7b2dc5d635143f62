// GAME_EXE as the start button runs it: a project saved by the editor's own
// code beside a copy of the program, played for a few frames under the test
// display, the last frame read back.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>

#include <filesystem>

#include "GameChannel.h"
#include "Project.h"
#include "ProjectContent.h"
#include "QX3DObject.h"
#include "TestSupport.h"
#include "Textures.h"

namespace fs = std::filesystem;

namespace {

struct GameRun {
    int exitCode = -1;
    std::string errors;
    QImage frame;
};

class GameLaunch : public ::testing::Test {
protected:
    void SetUp() override
    {
        const fs::path dist = QX_DIST_DIR;
        fs::copy_file(dist / "GAME_EXE", dir_ / "GAME_EXE");
        fs::create_directories(saves() / "textures");
        fs::copy(dist / "textures", dir_ / "textures");
        fs::copy_file(dist / "textures" / "Setka.bmp", saves() / "textures" / "Setka.bmp");
    }

    fs::path saves() const { return dir_ / "Sys" / "Saves"; }

    // A white (untextured) wall 20 wide and 10 high, 10 units ahead of the
    // player start along the editor's initial direction (+Z), on a floor.
    // With `wallPicture`, the wall shows that picture (from the library).
    void SaveLevel(const qx::ProjectTrees& trees = qx::ProjectTrees{}, const std::string& wallPicture = {})
    {
        TextureRegistry textures;
        textures.TextureNames = {"Setka.bmp"};
        textures.TextureIds = {0};
        textures.TextureKeyed = {false};
        textures.TextureCount = 1;
        if (!wallPicture.empty()) {
            textures.TextureNames.push_back(wallPicture);
            textures.TextureIds.push_back(0);
            textures.TextureKeyed.push_back(false);
            textures.TextureCount = 2;
        }
        ProjectContent content;
        const int32_t wall = content.AddObject("_Wall");
        content.MapObjects[static_cast<size_t>(wall)]->Lists[0]->AddBox(wallPicture.empty() ? -1 : 1, 0, 0, 0, 20, 10,
                                                                        2, 1, 0, 0, 0);
        const int32_t floor = content.AddObject("_Floor");
        content.MapObjects[static_cast<size_t>(floor)]->Lists[0]->AddBox(0, 0, -1, 0, 100, 1, 100, 10, 0, 0, 0);
        content.AddPlacement("_Wall", TPlacement{-10, 0, 10, 0, 0, 0, 1, 1, 1});
        content.AddPlacement("_Floor", TPlacement{-50, 0, -50, 0, 0, 0, 1, 1, 1});
        content.PlayerPos[0] = 0;
        content.PlayerPos[2] = -5;
        qx::SaveProject(saves().string() + "/", textures, content, trees);
    }

    GameRun Play(const fs::path& program = {}, const QStringList& arguments = {})
    {
        GameRun run;
        const QString shot = QString::fromStdString((dir_ / "frame.png").string());
        QProcess game;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QX_GAME_FRAMES", "3");
        env.insert("QX_GAME_SCREENSHOT", shot);
        game.setProcessEnvironment(env);
        game.start(QString::fromStdString((program.empty() ? dir_ / "GAME_EXE" : program).string()), arguments);
        if (!game.waitForFinished(60000)) {
            game.kill();
            game.waitForFinished();
            ADD_FAILURE() << "GAME_EXE did not finish";
            return run;
        }
        run.exitCode = game.exitStatus() == QProcess::NormalExit ? game.exitCode() : -1;
        run.errors = game.readAllStandardError().toStdString();
        run.frame = QImage(shot).convertToFormat(QImage::Format_RGB32);
        return run;
    }

    qxtest::TempDir dir_;
};

bool White(QRgb c) { return qRed(c) > 235 && qGreen(c) > 235 && qBlue(c) > 235; }

}  // namespace

TEST_F(GameLaunch, PlaysTheSavedLevelFromTheStartLookingAlongPlusZ)
{
    SaveLevel();
    const GameRun run = Play();
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    ASSERT_FALSE(run.frame.isNull());
    const int w = run.frame.width(), h = run.frame.height();
    // The wall fills the middle (beside the cross-hair); the sky is above it.
    EXPECT_TRUE(White(run.frame.pixel(w / 2 + 40, h / 2 + 30)));
    EXPECT_TRUE(White(run.frame.pixel(w / 2 - 60, h / 2 - 30)));
    const QRgb sky = run.frame.pixel(w / 2, 5);
    EXPECT_FALSE(White(sky));
    EXPECT_GT(qBlue(sky), qRed(sky));
    // Quitting, it gave up its channel's name.
    EXPECT_FALSE(fs::exists(QDir::tempPath().toStdString() + "/" +
                            qx::GameChannelName(saves().string() + "/").toStdString()));

    // Turned around, the start faces away from it.
    fs::remove(saves() / "Map1.qxmap");
    qxtest::WriteFileBytes(saves() / "Map1.qxmap", "0 0 20 \r\n1\r\n_Wall -10 0 10 0 0 0 1 1 1 \r\n");
    const GameRun away = Play();
    ASSERT_EQ(away.exitCode, 0) << away.errors;
    EXPECT_FALSE(White(away.frame.pixel(w / 2 + 40, h / 2 + 30)));
}

// The other kinds are saved in the object file's block and drawn by the game:
// an untextured sphere where the wall stood fills the middle.
TEST_F(GameLaunch, PlaysShapesBeyondBoxes)
{
    ProjectContent content;
    TSphere ball;
    ball.Texture = -1;
    ball.Position = {0, 5, 0};
    ball.Radius = 5;
    ball.Segments = 16;
    content.MapObjects[static_cast<size_t>(content.AddObject("_Ball"))]->Lists[0]->Append(ball);
    content.AddPlacement("_Ball", TPlacement{0, 0, 10, 0, 0, 0, 1, 1, 1});
    content.PlayerPos[2] = -5;
    TextureRegistry textures;
    qx::SaveProject(saves().string() + "/", textures, content, qx::ProjectTrees{});
    const GameRun run = Play();
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    ASSERT_FALSE(run.frame.isNull());
    EXPECT_TRUE(White(run.frame.pixel(run.frame.width() / 2 + 20, run.frame.height() / 2 + 20)));
    EXPECT_FALSE(White(run.frame.pixel(run.frame.width() / 2, 5))) << "the sky above it";
}

TEST_F(GameLaunch, AMissingPictureShowsAsNoTextureAndTheViewCountsIt)
{
    fs::copy_file(fs::path(QX_DIST_DIR) / "Sys" / "Saves" / "textures" / "NoTexture.bmp",
                  saves() / "textures" / "NoTexture.bmp");
    SaveLevel(qx::ProjectTrees{}, "Missing.bmp");
    const GameRun run = Play();
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_NE(run.errors.find("Missing.bmp - File not found"), std::string::npos) << run.errors;
    EXPECT_NE(run.errors.find("/Sys/Saves/textures/ and "), std::string::npos) << run.errors;
    EXPECT_EQ(run.errors.find('\\'), std::string::npos) << run.errors;
    ASSERT_FALSE(run.frame.isNull());
    const auto count = [&](int y0, int y1, auto&& colour) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = 0; x < run.frame.width(); ++x)
                n += colour(run.frame.pixel(x, y));
        return n;
    };
    // The wall in the lower half shows the picture's red cross on grey.
    const int h = run.frame.height();
    EXPECT_GT(count(h / 2 + 20, h / 2 + 60, [](QRgb c) { return qRed(c) > 120 && qGreen(c) < 60 && qBlue(c) < 60; }),
              100);
    EXPECT_EQ(count(h / 2 + 20, h / 2 + 60, White), 0);
    // The count in orange near the top, over the sky.
    EXPECT_GT(count(30, 52, [](QRgb c) { return qRed(c) > 230 && qGreen(c) > 190 && qGreen(c) < 240 && qBlue(c) < 110; }),
              40);
}

TEST_F(GameLaunch, ABrokenOrMissingProjectFileShowsItsErrorScreen)
{
    SaveLevel();
    qxtest::WriteFileBytes(saves() / "Map1.qxmap", "0 0 0 \r\nabc\r\n");
    const GameRun broken = Play();
    EXPECT_EQ(broken.exitCode, 3);
    EXPECT_NE(broken.errors.find("Map1.qxmap:2: 'abc' is not a valid integer value"), std::string::npos)
        << broken.errors;
    ASSERT_FALSE(broken.frame.isNull());
    const QRgb background = broken.frame.pixel(broken.frame.width() - 5, broken.frame.height() / 2);
    EXPECT_EQ(qRed(background), 64);
    EXPECT_EQ(qGreen(background), 0);
    // The reason is printed in yellow on it.
    int yellow = 0;
    for (int y = 50; y < 80; ++y)
        for (int x = 0; x < broken.frame.width(); ++x) {
            const QRgb c = broken.frame.pixel(x, y);
            yellow += qRed(c) > 200 && qGreen(c) > 200 && qBlue(c) < 60;
        }
    EXPECT_GT(yellow, 100);

    fs::remove(saves() / "ObjList.qxlst");
    const GameRun missing = Play();
    EXPECT_EQ(missing.exitCode, 3);
    EXPECT_NE(missing.errors.find("ObjList.qxlst: File not found"), std::string::npos) << missing.errors;
}

TEST_F(GameLaunch, TheEditorsLoadReadsTheSameFilesWithItsProgress)
{
    MemoryTree tree;
    tree.AppendChild(-1, "+Objects");
    SaveLevel(qx::ProjectTrees{&tree, &tree});
    qx::ReadOptions options;
    options.upload = false;
    options.threads = 1;
    int last = 0, total = 0;
    options.progress = [&](int done, int all) {
        EXPECT_GE(done, last);
        last = done;
        total = all;
        return true;
    };
    const qx::StagedProject staged = qx::ReadProject(saves().string() + "/", options);
    EXPECT_EQ(staged.content.MapObjectCount, 2);
    EXPECT_EQ(staged.content.PlacementCount, 2);
    EXPECT_EQ(staged.boxCount, 2);
    EXPECT_EQ(staged.textures.registry.TextureCount, 1);
    EXPECT_EQ(staged.objectTree.NodeCount(), 1);
    // Seven files of fixed names, one per picture and one per object.
    EXPECT_EQ(total, 7 + 1 + 2);
    EXPECT_EQ(last, total);
}

// Installed under a prefix, the game takes its pictures from
// share/qxvantor and plays the project folder it is given (the start
// button's), wherever that is.
TEST_F(GameLaunch, InstalledUnderAPrefixItPlaysTheFolderItIsGiven)
{
    SaveLevel();
    const fs::path prefix = dir_ / "prefix";
    fs::create_directories(prefix / "bin");
    fs::create_directories(prefix / "share" / "qxvantor");
    fs::copy_file(dir_ / "GAME_EXE", prefix / "bin" / "GAME_EXE");
    fs::rename(dir_ / "textures", prefix / "share" / "qxvantor" / "textures");
    fs::create_directories(dir_ / "level");
    fs::rename(dir_ / "Sys", dir_ / "level" / "Sys");
    const GameRun run = Play(prefix / "bin" / "GAME_EXE", {QString::fromStdString((dir_ / "level").string())});
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_EQ(run.errors.find("untextured"), std::string::npos) << run.errors;
    const int w = run.frame.width(), h = run.frame.height();
    EXPECT_TRUE(White(run.frame.pixel(w / 2 + 40, h / 2 + 30)));
    EXPECT_GT(qBlue(run.frame.pixel(w / 2, 5)), qRed(run.frame.pixel(w / 2, 5))) << "the sky from share/qxvantor";
}
