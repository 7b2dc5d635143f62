// The project's save and load: identical saves, round trips across the
// decimal separators, a save that fails at any file, a load that fails at
// any file, pictures that are missing, parallel decoding, texture removal;
// the commit's GL build and the release of what it replaced.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <cstdlib>
#include <map>

#include "Errors.h"
#include "GlTestContext.h"
#include "Messages.h"
#include "ObjectRelease.h"
#include "Project.h"
#include "ProjectFiles.h"
#include "QX3DObject.h"
#include "ShapeFields.h"
#include "SeparatorScope.h"
#include "TestSupport.h"
#include "Text1251.h"
#include "Textures.h"

namespace fs = std::filesystem;
using qxtest::SeparatorScope;

namespace {

std::string PlayerNode() { return Cp("_Игрок"); }

const fs::path kCorpus = fs::path(QX_SOURCE_DIR) / "fuzz" / "corpus";

void WriteBytes(const fs::path& file, const std::string& bytes)
{
    std::ofstream(file, std::ios::binary) << bytes;
}

// Every file of a folder (and its textures folder) with its bytes.
std::map<std::string, std::string> Snapshot(const fs::path& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        files[fs::relative(entry.path(), folder).string()] =
            entry.is_regular_file() ? qxtest::ReadFileBytes(entry.path()) : "(folder)";
    return files;
}

class ProjectTest : public qxtest::GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        ResetTextures();
        fs::create_directories(dir_ / "textures");
        fs::copy_file(kCorpus / "fuzz_textures_bmp" / "plain3x2.bmp", dir_ / "textures" / "wall.bmp");
        fs::copy_file(kCorpus / "fuzz_textures_png" / "rgba8.png", dir_ / "textures" / "glass.png");
        fs::copy_file(kCorpus / "fuzz_textures_jpeg" / "colour17x9.jpg", dir_ / "textures" / "sky.jpg");
    }
    void TearDown() override
    {
        ResetTextures();
        GlTest::TearDown();
    }

    std::string Folder() const { return dir_.path().string() + "/"; }

    // A small project: three textures, two objects (one with the name
    // twice), placements and trees.
    void MakeProject()
    {
        TextureRegistry& reg = Textures();
        reg.TextureNames = {"wall.bmp", "glass.png", "sky.jpg"};
        reg.TextureIds = {0, 0, 0};
        reg.TextureKeyed = {false, true, false};
        reg.TextureCount = 3;
        content_ = ProjectContent();
        const int32_t a = content_.AddObject("_Wall");
        content_.MapObjects[static_cast<size_t>(a)]->Lists[0]->AddBox(0, 0.1f, 0, -2.5f, 8, 0.5f, 8, 1, 0, 45, 0);
        const int32_t b = content_.AddObject("_Door");
        content_.MapObjects[static_cast<size_t>(b)]->Lists[0]->AddBox(2, 1e-6f, 3, 4, 1, 2, 3, 0, 0, 0, 90);
        content_.MapObjects[static_cast<size_t>(b)]->Lists[0]->Boxes[0].CullFront = false;
        content_.AddPlacement("_Wall", TPlacement{1.5f, 0, -3, 0, 90, 0, 1, 1, 1});
        content_.AddPlacement("_Door", TPlacement{});
        content_.PlayerPos[1] = 2.25f;
        objectTree_.Clear();
        ParseTreeText(objectTree_, "+Objects\r\n\t_Wall\r\n\t_Door\r\n" + PlayerNode() + "\r\n");
        objectTree_.SetIcons(1, 4, 4);
        textureTree_.Clear();
        ParseTreeText(textureTree_, "+ Textures\r\n\twall.bmp\r\n");
    }

    void Save() { qx::SaveProject(Folder(), Textures(), content_, {&objectTree_, &textureTree_}); }

    // What a load must leave alone when it fails.
    std::string EditorFingerprint() const
    {
        std::string f = qx::FormatObjectList(content_) + qx::FormatMap(content_) + FormatTreeText(objectTree_) +
                        FormatIconIndexes(objectTree_) + FormatTreeText(textureTree_);
        for (int32_t i = 0; i < content_.MapObjectCount; ++i)
            f += qx::FormatObjectFile(*content_.MapObjects[static_cast<size_t>(i)]);
        const TextureRegistry& reg = Textures();
        for (int32_t i = 0; i < reg.TextureCount; ++i)
            f += reg.TextureNames[static_cast<size_t>(i)] + std::to_string(reg.TextureIds[static_cast<size_t>(i)]);
        return f;
    }

    qxtest::TempDir dir_;
    ProjectContent content_;
    MemoryTree objectTree_, textureTree_;
};

TEST_F(ProjectTest, SavesTwiceIdenticallyAndLoadsBackUnderTheOtherSeparator)
{
    SeparatorScope comma(',', ',');
    MakeProject();
    Save();
    const auto first = Snapshot(dir_.path());
    Save();
    EXPECT_EQ(Snapshot(dir_.path()), first);
    EXPECT_NE(first.at("_Wall.qxobj").find("0,100000001490116"), std::string::npos);

    qx::StagedProject staged;
    {
        SeparatorScope point('.', '.');
        staged = qx::ReadProject(Folder(), {});
    }
    ProjectContent loaded;
    const std::weak_ptr<TQX3DObject> previous = loaded.MapObjects[static_cast<size_t>(loaded.AddObject("_Old"))];
    MemoryTree objects, textures;
    int built = 0, toBuild = 0;
    qx::CommitProject(staged, loaded, objects, textures, [&](int done, int total) { built = done, toBuild = total; });
    EXPECT_EQ(built, 2);
    EXPECT_EQ(toBuild, 2);
    // The replaced objects go after the new project shows, between frames.
    EXPECT_FALSE(previous.expired());
    while (qx::ReleaseSome(std::chrono::milliseconds(1))) {
    }
    EXPECT_TRUE(previous.expired());
    EXPECT_EQ(Textures().TextureCount, 3);
    EXPECT_NE(Textures().TextureIds[2], 0u);  // decoded and uploaded
    EXPECT_TRUE(Textures().TextureKeyed[1]);
    EXPECT_EQ(loaded.FindObject("_Door"), 1);
    EXPECT_TRUE(loaded.MapObjects[1]->Buffers[0]);  // built at commit
    EXPECT_EQ(objects.nodes.size(), 4u);
    EXPECT_EQ(objects.nodes[1].icon, 4);
    content_ = loaded;
    objectTree_ = objects;
    textureTree_ = textures;
    Save();
    EXPECT_EQ(Snapshot(dir_.path()), first);
}

TEST_F(ProjectTest, SaveFailingAtAnyFileLeavesTheOldProjectWhole)
{
    MakeProject();
    Save();
    const auto old = Snapshot(dir_.path());
    content_.AddObject("_New");  // one file more than the old project has
    content_.PlayerPos[0] = 99;
    std::vector<std::string> targets;
    for (const auto& [name, bytes] : old)
        if (name.find('/') == std::string::npos && bytes != "(folder)")
            targets.push_back(name);
    targets.push_back("_New.qxobj");
    for (const std::string& name : targets) {
        SCOPED_TRACE(name);
        const fs::path target = dir_ / name;
        const bool existed = fs::exists(target);
        if (existed)
            fs::rename(target, dir_ / "kept-aside");
        fs::create_directory(target);
        try {
            Save();
            ADD_FAILURE() << "the save succeeded";
        } catch (const qx::SaveFailed& e) {
            EXPECT_EQ(e.Reason().rfind(name + ": I/O error 21", 0), 0u) << e.what();
        }
        fs::remove(target);
        if (existed)
            fs::rename(dir_ / "kept-aside", target);
        EXPECT_EQ(Snapshot(dir_.path()), old);  // no temporaries, no backups, old bytes
    }
    ResetTextures();
    EXPECT_NO_THROW(qx::ReadProject(Folder(), {}));
}

// A disk that fills up during the save: a small tmpfs, where the test may
// mount one.
TEST_F(ProjectTest, SaveOnAFullDiskLeavesTheOldProjectWhole)
{
    const fs::path disk = dir_ / "disk";
    fs::create_directory(disk);
    const std::string mount = "mount -t tmpfs -o size=96k tmpfs '" + disk.string() + "' 2>/dev/null";
    if (std::system(mount.c_str()) != 0)
        GTEST_SKIP() << "no tmpfs can be mounted here (needs root)";
    struct Unmount {
        std::string point;
        ~Unmount() { std::system(("umount '" + point + "'").c_str()); }
    } unmount{disk.string()};
    MakeProject();
    const std::string folder = disk.string() + "/";
    qx::SaveProject(folder, Textures(), content_, {&objectTree_, &textureTree_});
    const auto old = Snapshot(disk);
    TGLPremitives& wall = *content_.MapObjects[0]->Lists[0];
    for (int i = 0; i < 3000; ++i)
        wall.AddBox(1, 0.1f * i, 0.2f, 0.3f, 1, 1, 1, 1, 0, 0, 0);
    try {
        qx::SaveProject(folder, Textures(), content_, {&objectTree_, &textureTree_});
        ADD_FAILURE() << "the save succeeded";
    } catch (const qx::SaveFailed& e) {
        // The files are written side by side: whichever meets the full disk
        // first is named.
        const std::string message = e.Reason(), tail = ": I/O error 28 (No space left on device)";
        ASSERT_GT(message.size(), tail.size()) << message;
        EXPECT_EQ(message.substr(message.size() - tail.size()), tail);
        EXPECT_TRUE(old.count(message.substr(0, message.size() - tail.size())) == 1) << message;
        EXPECT_TRUE(std::string(e.what()).ends_with(message)) << e.what();
    }
    EXPECT_EQ(Snapshot(disk), old);
}

// A save cut short is told of by the folder it was in: the project's own,
// or its autosave, where the user saved nothing and the project is as it was.
TEST_F(ProjectTest, AnInterruptedSaveIsToldOfByItsFolder)
{
    MakeProject();
    Save();
    const std::string autosave = Folder() + qx::kAutosaveFolder;
    fs::create_directory(autosave);
    qx::SaveProject(autosave, Textures(), content_, {&objectTree_, &textureTree_});
    qx::RecordingMessageSink messages;
    qx::ScopedMessageSink scope(messages);
    // A temporary is what a save killed before its renames leaves.
    qxtest::WriteFileBytes(fs::path(autosave) / "Map1.qxmap.~99-0", "cut short");
    const std::string text = qx::RecoverInterruptedSaves({Folder(), autosave});
    EXPECT_EQ(text.rfind(Cp("Автосохранение было прервано; оно отменено"), 0), 0u) << text;
    EXPECT_NE(text.find(Cp("Файлы проекта не менялись")), std::string::npos) << text;
    ASSERT_EQ(messages.entries.size(), 1u);
    EXPECT_EQ(messages.entries[0].caption, Cp("Автосохранение"));

    qxtest::WriteFileBytes(dir_ / "Map1.qxmap.~99-0", "cut short");
    EXPECT_EQ(qx::RecoverInterruptedSaves({Folder(), autosave}),
              Cp("Сохранение проекта было прервано; оно отменено: в папке проекта прежние файлы."));
}

TEST_F(ProjectTest, LoadFailingAtAnyFileOrCancelledChangesNothing)
{
    MakeProject();
    Save();
    const auto saved = Snapshot(dir_.path());
    const std::map<std::string, std::string> broken = {
        {"textures.qxtex", "2\r\nwall.bmp0\r\n"},
        {"ObjList.qxlst", "x\r\n"},
        {"_Wall.qxobj", "_Wall\r\n1\r\n1\r\n0 0 0 \r\n"},
        {"_Door.qxobj", "_Door\r\n1\r\n1\r\n2 1 1 1 1 1 1 1 0 0 0 0 0 maybe 0 \r\n"},
        {"Map1.qxmap", "0 0 \r\n"},
        {"AllObjectList.qxlst", "a\r\n\t\t\tb\r\n"},
        {"AllObjectListIcons.qxicon", "9\r\n1\r\n1\r\n1\r\n1\r\n1\r\n"},
        {"AllTexturesList.qxlst", "\t\t\tb\r\n\t\t\t\t\t\tc\r\n"},
        {"AllTexturesListIcons.qxicon", "3\r\n1\r\n1\r\n1\r\n"},
    };
    const std::string before = EditorFingerprint();
    qx::RecordingMessageSink messages;
    qx::ScopedMessageSink scope(messages);
    for (const auto& [name, bytes] : broken) {
        for (bool missing : {true, false}) {
            SCOPED_TRACE(name + (missing ? " missing" : " broken"));
            const fs::path file = dir_ / name;
            if (missing)
                fs::remove(file);
            else
                WriteBytes(file, bytes);
            try {
                qx::LoadProjectInto(Folder(), {}, content_, objectTree_, textureTree_);
                ADD_FAILURE() << "the load succeeded";
            } catch (const qx::Error& e) {
                EXPECT_EQ(std::string(e.what()).rfind(name + ":", 0), 0u) << e.what();
            }
            EXPECT_EQ(EditorFingerprint(), before);
            WriteBytes(file, saved.at(name));
        }
    }
    qx::ReadOptions cancel;
    cancel.progress = [](int done, int) { return done < 10; };  // at the first picture
    EXPECT_FALSE(qx::LoadProjectInto(Folder(), cancel, content_, objectTree_, textureTree_));
    EXPECT_EQ(EditorFingerprint(), before);
    EXPECT_TRUE(messages.entries.empty());
    // One line of the error names its line: the fourth of the map.
    WriteBytes(dir_ / "Map1.qxmap", "0 0 0 \r\n2\r\n_A 0 0 0 0 0 0 1 1 1 \r\n_B 0 0 0 0 0 0 1 1 \r\n");
    try {
        qx::ReadProject(Folder(), {});
    } catch (const qx::ConvertError& e) {
        EXPECT_STREQ(e.what(), "Map1.qxmap:4: '' is not a valid floating point value");
    }
}

TEST_F(ProjectTest, MissingAndBrokenPicturesAreUntexturedAndListedInOneMessage)
{
    MakeProject();
    // A model whose file is not in models/ is listed in the same message.
    TModel3ds chair;
    chair.FileName = "chair.3ds";
    content_.MapObjects[static_cast<size_t>(content_.AddObject("_Chair"))]->Lists[0]->Append(chair);
    Textures().TextureNames = {"wall.bmp", "gone.bmp", "glass.png", "junk.png", "sky.jpg"};
    Textures().TextureIds.assign(5, 0);
    Textures().TextureKeyed.assign(5, false);
    Textures().TextureCount = 5;
    Save();
    WriteBytes(dir_ / "textures" / "junk.png", "not a picture");
    qx::RecordingMessageSink messages;
    qx::ScopedMessageSink scope(messages);
    ASSERT_TRUE(qx::LoadProjectInto(Folder(), {}, content_, objectTree_, textureTree_));
    const TextureRegistry& reg = Textures();
    ASSERT_EQ(reg.TextureCount, 5);
    EXPECT_EQ(reg.TextureIds[1], 0u);
    EXPECT_EQ(reg.TextureIds[3], 0u);
    EXPECT_NE(reg.TextureIds[4], 0u);
    EXPECT_EQ(reg.TextureNames[3], "junk.png");
    ASSERT_EQ(messages.entries.size(), 1u);
    EXPECT_NE(messages.entries[0].text.find("gone.bmp"), std::string::npos);
    EXPECT_NE(messages.entries[0].text.find("junk.png"), std::string::npos);
    EXPECT_NE(messages.entries[0].text.find("\n_Chair.qxobj:10: chair.3ds: "), std::string::npos);
    EXPECT_FALSE(content_.MapObjects[static_cast<size_t>(content_.FindObject("_Chair"))]->Lists[0]->Models3ds[0].Model);
}

// A project folder copied byte for byte from Windows: an object file and
// pictures named in 1251 bytes.  It loads, and the next save gives them
// their UTF-8 names in the same step, never over a UTF-8 file made since.
TEST_F(ProjectTest, FilesNamedIn1251LoadAndTheNextSaveRenamesThem)
{
    MakeProject();
    const std::string house = Cp("_Дом"), brick = Cp("кирпич.bmp"), stone = Cp("камень.png");
    content_.MapObjects[static_cast<size_t>(content_.AddObject(house))]->Lists[0]->AddBox(1, 0, 0, 0, 1, 2, 3, 1, 0, 0, 0);
    TextureRegistry& reg = Textures();
    reg.TextureNames.insert(reg.TextureNames.end(), {brick, stone});
    reg.TextureIds.assign(5, 0);
    reg.TextureKeyed.assign(5, false);
    reg.TextureCount = 5;
    Save();
    const auto saved = Snapshot(dir_.path());
    fs::rename(dir_ / "_Дом.qxobj", dir_ / (house + ".qxobj"));
    fs::copy_file(dir_ / "textures" / "wall.bmp", dir_ / "textures" / brick);
    fs::copy_file(dir_ / "textures" / "glass.png", dir_ / "textures" / stone);

    qx::RecordingMessageSink messages;
    qx::ScopedMessageSink scope(messages);
    ResetTextures();
    ASSERT_TRUE(qx::LoadProjectInto(Folder(), {}, content_, objectTree_, textureTree_));
    EXPECT_TRUE(messages.entries.empty());
    EXPECT_EQ(content_.FindObject(house), 2);
    EXPECT_NE(Textures().TextureIds[3], 0u);
    EXPECT_NE(Textures().TextureIds[4], 0u);
    WriteBytes(dir_ / "textures" / "камень.png", "made after the load");
    Save();
    const auto after = Snapshot(dir_.path());
    EXPECT_EQ(after.count(house + ".qxobj"), 0u);
    EXPECT_EQ(after.at("_Дом.qxobj"), saved.at("_Дом.qxobj"));
    EXPECT_EQ(after.count("textures/" + brick), 0u);
    EXPECT_EQ(after.at("textures/кирпич.bmp"), after.at("textures/wall.bmp"));
    EXPECT_EQ(after.at("textures/камень.png"), "made after the load");
    EXPECT_EQ(after.count("textures/" + stone), 1u);
    EXPECT_EQ(after.at("textures.qxtex"), saved.at("textures.qxtex"));  // the list keeps its 1251 names
}

TEST_F(ProjectTest, ParallelDecodingGivesWhatASerialLoadGives)
{
    std::vector<qx::TextureListEntry> entries;
    for (int i = 0; i < 12; ++i)
        for (const char* name : {"wall.bmp", "glass.png", "sky.jpg", "gone.bmp"})
            entries.push_back({name, i % 2 == 1});
    const std::string folder = Folder() + "textures/";
    const auto pixels = [](const TextureRegistry& reg, int32_t i) {
        std::vector<unsigned char> p(4 * 32 * 32, 0);
        if (reg.TextureIds[static_cast<size_t>(i)] == 0)
            return p;
        glBindTexture(GL_TEXTURE_2D, reg.TextureIds[static_cast<size_t>(i)]);
        GLint w = 0, h = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
        p.resize(static_cast<size_t>(4 * w * h));
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
        return p;
    };
    const qx::StagedTextures serial = qx::StageTextures(entries, folder, 1, true, {});
    const qx::StagedTextures parallel = qx::StageTextures(entries, folder, 2, true, {});
    ASSERT_EQ(parallel.registry.TextureCount, 48);
    ASSERT_EQ(parallel.problems.size(), 12u);
    for (int32_t i = 0; i < 48; ++i) {
        EXPECT_EQ(parallel.registry.TextureNames[static_cast<size_t>(i)], serial.registry.TextureNames[static_cast<size_t>(i)]);
        EXPECT_EQ(parallel.registry.TextureKeyed[static_cast<size_t>(i)], serial.registry.TextureKeyed[static_cast<size_t>(i)]);
        EXPECT_EQ(pixels(parallel.registry, i), pixels(serial.registry, i)) << i;
        if (i > 0 && parallel.registry.TextureIds[static_cast<size_t>(i)] != 0) {
            EXPECT_GT(parallel.registry.TextureIds[static_cast<size_t>(i)], parallel.registry.TextureIds[0]);
        }
    }
}

}  // namespace
