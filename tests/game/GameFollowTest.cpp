// A running game following its project: the window of GAME_EXE in this
// process, the project changed by the editor's own save while it plays.
#include <QImage>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>

#include "FileSet.h"
#include "GameChannel.h"
#include "GameWindow.h"
#include "Project.h"
#include "ProjectContent.h"
#include "QX3DObject.h"
#include "TestSupport.h"
#include "Textures.h"

namespace fs = std::filesystem;

namespace {

class GameFollow : public ::testing::Test {
protected:
    // A floor 100 wide with its top at 0, and a box `high` tall at x 10.
    ProjectContent Level(float high)
    {
        ProjectContent content;
        const int32_t floor = content.AddObject("_Floor");
        content.MapObjects[static_cast<size_t>(floor)]->Lists[0]->AddBox(-1, 0, -1, 0, 100, 1, 100, 1, 0, 0, 0);
        content.AddPlacement("_Floor", TPlacement{-50, 0, -50, 0, 0, 0, 1, 1, 1});
        const int32_t box = content.AddObject("_Box");
        content.MapObjects[static_cast<size_t>(box)]->Lists[0]->AddBox(-1, 0, 0, 0, 4, high, 4, 1, 0, 0, 0);
        content.AddPlacement("_Box", TPlacement{10, 0, 0, 0, 0, 0, 1, 1, 1});
        return content;
    }
    void Save(const ProjectContent& content, const TextureRegistry& pictures = TextureRegistry())
    {
        qx::SaveProject(folder(), pictures, content, qx::ProjectTrees{});
    }
    // The game's window on the folder, shown; `eye`: the run's start.
    std::unique_ptr<qx::GameWindow> Play(const float* eye = nullptr)
    {
        qx::GameWindow::RunOptions options;
        options.projectFolder = folder();
        if (eye) {
            options.hasStart = true;
            std::copy(eye, eye + 3, options.start.eye);
        }
        auto game = std::make_unique<qx::GameWindow>(std::string(QX_DIST_DIR) + "/", options);
        game->resize(160, 120);
        game->show();
        return game;
    }
    std::string folder() const { return dir_.path().string() + "/"; }
    bool WaitFor(const std::function<bool()>& done, int ms = 5000) { return QTest::qWaitFor(done, ms); }
    // The box's height as the game plays it.
    float PlayedHeight(const qx::GameWindow& game) const
    {
        const ProjectContent& c = game.Level().content;
        const int32_t box = c.FindObject("_Box");
        return box < 0 ? -1 : c.MapObjects[static_cast<size_t>(box)]->Lists[0]->Boxes[0].Size.Y;
    }

    qxtest::TempDir dir_;
};

}  // namespace

TEST_F(GameFollow, ASaveIsPlayedWithThePlayerKeptABrokenOneIsNotAndAHalfDoneOneNeverRead)
{
    Save(Level(6));
    const std::unique_ptr<qx::GameWindow> played = Play();
    qx::GameWindow& game = *played;
    ASSERT_TRUE(WaitFor([&] { return game.Player() != nullptr; }));
    ASSERT_FALSE(game.Failed());
    // Stand somewhere else than the start, looking elsewhere.
    const float there[3] = {-20, 0, 15};
    const_cast<qx::PlayerMotion*>(game.Player())->MoveStart(there);

    // A box changed, an object added.
    ProjectContent changed = Level(9);
    const int32_t added = changed.AddObject("_Added");
    changed.MapObjects[static_cast<size_t>(added)]->Lists[0]->AddBox(-1, 0, 0, 0, 1, 1, 1, 1, 0, 0, 0);
    changed.AddPlacement("_Added", TPlacement{0, 0, 20, 0, 0, 0, 1, 1, 1});
    Save(changed);
    ASSERT_TRUE(WaitFor([&] { return game.Reloads() == 1; }));
    EXPECT_EQ(PlayedHeight(game), 9);
    EXPECT_EQ(game.Level().content.PlacementCount, 3);
    EXPECT_NEAR(game.Player()->Feet()[0], -20, 1e-3) << "the player stays where it was";
    EXPECT_NEAR(game.Player()->Feet()[2], 15, 1e-3);

    // A save cut short in its renames: its journal stays, and the files,
    // changed though they are, are not read until it is gone.
    qxtest::WriteFileBytes(dir_ / qx::kSaveJournal, "QXSAVE1");
    Save(Level(13));
    qxtest::WriteFileBytes(dir_ / qx::kSaveJournal, "QXSAVE1");
    QTest::qWait(1500);
    EXPECT_EQ(game.Reloads(), 1);
    EXPECT_EQ(PlayedHeight(game), 9);
    fs::remove(dir_ / qx::kSaveJournal);
    ASSERT_TRUE(WaitFor([&] { return game.Reloads() == 2; }));
    EXPECT_EQ(PlayedHeight(game), 13);

    // A broken file: the old level plays on and the reason is told.
    qxtest::WriteFileBytes(dir_ / "Map1.qxmap", "0 0 0 \r\nabc\r\n");
    ASSERT_TRUE(WaitFor([&] { return !game.ReloadError().empty(); }));
    EXPECT_NE(game.ReloadError().find("Map1.qxmap:2:"), std::string::npos) << game.ReloadError();
    EXPECT_EQ(PlayedHeight(game), 13);
    EXPECT_FALSE(game.Failed());

    // "Играть отсюда" again: the running game's player goes to the camera,
    // its feet on the box it looks down on.
    Save(Level(6));
    ASSERT_TRUE(WaitFor([&] { return game.Reloads() == 3; }));
    qx::ViewStart camera;
    camera.eye[0] = 12, camera.eye[1] = 20, camera.eye[2] = 2;
    camera.yaw = 1.0f;
    bool handed = false;
    qx::HandStartToGame(folder(), camera, [&](bool ok) { handed = ok; });
    ASSERT_TRUE(WaitFor([&] { return handed; }));
    ASSERT_TRUE(WaitFor([&] { return std::abs(game.Player()->Feet()[0] - 12) < 1e-3; }));
    EXPECT_NEAR(game.Player()->Feet()[1], 6, 1e-2);
    EXPECT_NEAR(game.Yaw(), 1.0f, 1e-6);
}

TEST_F(GameFollow, UnchangedPicturesAndModelsAreKeptAChangedPictureIsReadAgainARemovedModelIsGone)
{
    fs::create_directories(dir_ / "models");
    fs::create_directories(dir_ / "textures");
    qxtest::WriteFileBytes(dir_ / "models" / "rock.txt",
                           "face\nNOTEXTURE\n3\n0 0 0\n0 0 2\n2 0 0\n0 1 0\n0 1 0\n0 1 0\n");
    const auto paint = [&](Qt::GlobalColor colour) {
        QImage picture(8, 8, QImage::Format_RGB32);
        picture.fill(colour);
        ASSERT_TRUE(picture.save(QString::fromStdString((dir_ / "textures" / "wall.bmp").string())));
    };
    paint(Qt::red);
    TextureRegistry pictures;
    pictures.TextureNames = {"wall.bmp"};
    pictures.TextureIds = {0};
    pictures.TextureKeyed = {false};
    pictures.TextureCount = 1;
    const auto withModel = [&](float high, bool model) {
        ProjectContent content = Level(high);
        const int32_t rock = content.AddObject("_Rock");
        if (model) {
            TModelBlender m;
            m.FileName = "rock.txt";
            m.Scale = {1, 1, 1};
            content.MapObjects[static_cast<size_t>(rock)]->Lists[0]->Append(m);
        }
        content.AddPlacement("_Rock", TPlacement{-10, 0, 0, 0, 0, 0, 1, 1, 1});
        return content;
    };
    // The picture's texture, and the model the rock draws (null: none).
    const auto played = [](const qx::GameWindow& game) {
        uint32_t texture = 0;
        for (const auto& [key, picture] : game.Level().pictures)
            if (key.size() >= 8 && key.compare(key.size() - 8, 8, "wall.bmp") == 0)
                texture = picture.id;
        const ProjectContent& c = game.Level().content;
        const TGLPremitives& rock = *c.MapObjects[static_cast<size_t>(c.FindObject("_Rock"))]->Lists[0];
        return std::pair(texture, rock.BlenderCount > 0 ? rock.BlenderModels[0].GameObj.get() : nullptr);
    };
    Save(withModel(6, true), pictures);
    const std::unique_ptr<qx::GameWindow> game = Play();
    ASSERT_TRUE(WaitFor([&] { return game->Player() != nullptr; }));
    const auto [texture, model] = played(*game);
    ASSERT_NE(texture, 0u);
    ASSERT_NE(model, nullptr);

    Save(withModel(9, true), pictures);
    ASSERT_TRUE(WaitFor([&] { return game->Reloads() == 1; }));
    EXPECT_EQ(played(*game), std::pair(texture, model)) << "neither file changed: both kept";

    paint(Qt::blue);
    ASSERT_TRUE(WaitFor([&] { return game->Reloads() == 2; }));
    EXPECT_NE(played(*game).first, texture) << "the picture changed: read again";
    EXPECT_EQ(played(*game).second, model);

    Save(withModel(9, false), pictures);
    ASSERT_TRUE(WaitFor([&] { return game->Reloads() == 3; }));
    EXPECT_EQ(played(*game).second, nullptr);
    EXPECT_TRUE(game->Level().missingModels.empty());
    EXPECT_FALSE(game->Failed());
}

TEST_F(GameFollow, AGameStartedDuringAnUnfinishedSaveReadsNothingUntilItIsFinished)
{
    // The first save's files, then a second one cut short in its renames.
    Save(Level(6));
    qxtest::WriteFileBytes(dir_ / qx::kSaveJournal, "QXSAVE1");
    Save(Level(9));
    qxtest::WriteFileBytes(dir_ / qx::kSaveJournal, "QXSAVE1");
    const float eye[3] = {12, 20, 2};
    testing::internal::CaptureStderr();
    const std::unique_ptr<qx::GameWindow> game = Play(eye);
    QTest::qWait(800);
    const std::string told = testing::internal::GetCapturedStderr();
    EXPECT_EQ(game->Player(), nullptr);
    EXPECT_EQ(game->Level().content.PlacementCount, 0);
    EXPECT_TRUE(game->Failed()) << "the screen says why nothing plays";
    EXPECT_NE(told.find(qx::kSaveJournal), std::string::npos) << told;

    // The editor finishes the save: its files play, from the run's start.
    fs::remove(dir_ / qx::kSaveJournal);
    ASSERT_TRUE(WaitFor([&] { return game->Player() != nullptr; }));
    EXPECT_EQ(PlayedHeight(*game), 9);
    EXPECT_FALSE(game->Failed());
    EXPECT_NEAR(game->Player()->Feet()[0], 12, 1e-3);
    EXPECT_NEAR(game->Player()->Feet()[1], 9, 1e-2);
}
