// The registry: lookup by name, the two registration paths, binding with
// its filter order, removal, reset, and the texture list file.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include "Errors.h"
#include "GlTestContext.h"
#include "ImageTestSupport.h"
#include "Messages.h"
#include "TestSupport.h"
#include "Text1251.h"
#include "TextureListFile.h"
#include "Textures.h"

namespace {

class RegistryTest : public qxtest::GlTest {
protected:
    void SetUp() override
    {
        qxtest::GlTest::SetUp();
        ResetTextures();
        qxtest::WriteFileBytes(dir_ / "Setka.bmp", qxtest::MakeBmp(4, 4, qxtest::Pattern));
        qxtest::WriteFileBytes(dir_ / "CurCenter.bmp", qxtest::MakeBmp(2, 2, qxtest::Pattern));
        qxtest::WriteFileBytes(dir_ / "wall.jpeg", ReadJpegSeed());
    }
    static std::string ReadJpegSeed()
    {
        return qxtest::ReadFileBytes(std::filesystem::path(QX_SOURCE_DIR) / "fuzz/corpus/fuzz_textures_jpeg/flat8x8.jpg");
    }
    // A design path with a backslash before the file name.
    std::string Path(const std::string& name) const { return dir_.path().string() + "\\" + name; }
    static TextureRegistry& Reg() { return Textures(); }

    qxtest::TempDir dir_;
    qx::RecordingMessageSink messages_;
    qx::ScopedMessageSink scoped_{messages_};
};

TEST_F(RegistryTest, PathsWithAFolderAlwaysLoadAgainAndTheLastNameWins)
{
    const int32_t first = AddTexture(Path("Setka.bmp"), false);
    const int32_t second = AddTexture(Path("Setka.bmp"), false);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 1);
    EXPECT_EQ(Reg().TextureNames[0], "Setka.bmp");
    EXPECT_EQ(Reg().TextureNames[1], "Setka.bmp");
    EXPECT_NE(Reg().TextureIds[0], 0u);
    EXPECT_NE(Reg().TextureIds[0], Reg().TextureIds[1]);
    EXPECT_EQ(FindTexture("Setka.bmp"), 1);
    EXPECT_EQ(FindTexture("setka.bmp"), -1);
    EXPECT_EQ(FindTexture(""), -1);
    // A bare name that is registered is a hit for both registration paths.
    EXPECT_EQ(AddTexture("Setka.bmp", true), 1);
    uint32_t id = 0;
    EXPECT_TRUE(LoadTextureFile("Setka.bmp", id, false));
    EXPECT_EQ(id, Reg().TextureIds[1]);
    EXPECT_EQ(Reg().TextureCount, 2);
}

TEST_F(RegistryTest, JpegEndingAndUnknownEndingsFollowEachPathsRules)
{
    uint32_t id = 777;
    EXPECT_FALSE(LoadTextureFile(Path("wall.jpeg"), id, false));
    EXPECT_EQ(id, 777u);
    EXPECT_EQ(Reg().TextureIds[0], 777u) << "the caller's value is recorded";
    const int32_t added = AddTexture(Path("wall.jpeg"), false);
    EXPECT_NE(Reg().TextureIds[size_t(added)], 0u);

    const int32_t unknown = AddTexture(Path("notes.txt"), true);
    EXPECT_EQ(Reg().TextureIds[size_t(unknown)], 0u);
    EXPECT_TRUE(Reg().TextureKeyed[size_t(unknown)]);
    EXPECT_TRUE(messages_.entries.empty());
}

TEST_F(RegistryTest, FailedLoadsAreRegisteredWithNameZeroAndNeverEndTheEditor)
{
    const int32_t index = AddTexture(Path("missing.bmp"), true);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(Reg().TextureIds[0], 0u);
    ASSERT_EQ(messages_.entries.size(), 2u);
    EXPECT_EQ(messages_.entries[0].text, "Error opening \"" + Path("missing.bmp"));
    EXPECT_EQ(messages_.entries[1].caption, "BMP Alpha unit");
}

TEST_F(RegistryTest, FileSystemPathsGiveNamesIn1251)
{
    qxtest::WriteFileBytes(dir_ / "стена.bmp", qxtest::MakeBmp(2, 2, qxtest::Pattern));
    const int32_t index = AddTexture(Path("стена.bmp"), false);
    EXPECT_NE(Reg().TextureIds[size_t(index)], 0u);
    EXPECT_EQ(Reg().TextureNames[size_t(index)], Cp("стена.bmp"));
    EXPECT_TRUE(messages_.entries.empty());
}

TEST_F(RegistryTest, FullRegistryLoadsNothing)
{
    AddTexture(Path("Setka.bmp"), false);
    Reg().TextureNames.resize(TextureRegistry::kMaxTextures, "x");
    Reg().TextureIds.resize(TextureRegistry::kMaxTextures, 0);
    Reg().TextureKeyed.resize(TextureRegistry::kMaxTextures, false);
    Reg().TextureCount = TextureRegistry::kMaxTextures;
    EXPECT_EQ(AddTexture(Path("CurCenter.bmp"), false), 0);
    uint32_t id = 5;
    EXPECT_FALSE(LoadTextureFile(Path("CurCenter.bmp"), id, false));
    EXPECT_EQ(id, 5u);
    EXPECT_EQ(Reg().TextureCount, TextureRegistry::kMaxTextures);
    Reg().TextureCount = TextureRegistry::kMaxTextures - 1;
    EXPECT_EQ(AddTexture(Path("CurCenter.bmp"), false), TextureRegistry::kMaxTextures - 1);
}

TEST_F(RegistryTest, BindTextureSetsFiltersOnThePreviouslyBoundTexture)
{
    const int32_t a = AddTexture(Path("Setka.bmp"), false);
    const int32_t b = AddTexture(Path("CurCenter.bmp"), true);
    GLint bound = 0;
    BindTexture(a);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(GLuint(bound), Reg().TextureIds[size_t(a)]);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    // b was bound last by its loader: the call above gave it the filters.
    BindTextureName(Reg().TextureIds[size_t(b)]);
    GLint min = 0, mag = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &min);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &mag);
    EXPECT_EQ(min, GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(mag, GL_LINEAR);
    BindTextureName(Reg().TextureIds[size_t(a)]);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &min);
    EXPECT_EQ(min, GL_LINEAR) << "a's filters change only at the next bind";

    BindTexture(Reg().TextureCount);  // past the end: nothing at all
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(GLuint(bound), Reg().TextureIds[size_t(a)]);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    BindTexture(-1);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(GLuint(bound), Reg().TextureIds[size_t(a)]);
}

TEST_F(RegistryTest, RemovingMovesLaterEntriesDownAndDeletesOnlyItsTexture)
{
    for (int i = 0; i < 5; ++i)
        AddTexture(Path(i % 2 ? "CurCenter.bmp" : "Setka.bmp"), i == 3);
    const std::vector<uint32_t> ids(Reg().TextureIds.begin(), Reg().TextureIds.begin() + 5);
    RemoveTexture(2);
    ASSERT_EQ(Reg().TextureCount, 4);
    EXPECT_FALSE(glIsTexture(ids[2]));
    EXPECT_EQ(Reg().TextureIds[2], ids[3]);
    EXPECT_EQ(Reg().TextureIds[3], ids[4]);
    EXPECT_TRUE(Reg().TextureKeyed[2]);
    EXPECT_EQ(Reg().TextureNames[2], "CurCenter.bmp");
    for (int i : {0, 1, 3, 4})
        EXPECT_TRUE(glIsTexture(ids[size_t(i)]));

    RemoveTexture(3);  // the last entry: nothing moves
    EXPECT_EQ(Reg().TextureCount, 3);
    EXPECT_FALSE(glIsTexture(ids[4]));
    EXPECT_EQ(Reg().TextureIds[2], ids[3]);
    EXPECT_TRUE(messages_.entries.empty());
}

TEST_F(RegistryTest, TheLastTextureCannotBeRemovedAndResetStartsAtZero)
{
    AddTexture(Path("Setka.bmp"), false);
    const uint32_t id = Reg().TextureIds[0];
    RemoveTexture(0);
    EXPECT_EQ(Reg().TextureCount, 1);
    EXPECT_TRUE(glIsTexture(id));
    ASSERT_EQ(messages_.entries.size(), 1u);
    EXPECT_EQ(messages_.entries[0].caption, Cp("Ошибка удаления текстуры"));
    EXPECT_EQ(messages_.entries[0].text, Cp("Должна остаться минимум 1-а текстура"));

    ResetTextures();
    EXPECT_EQ(Reg().TextureCount, 0);
    EXPECT_TRUE(glIsTexture(id)) << "reset does not delete GL names";
    EXPECT_EQ(AddTexture(Path("CurCenter.bmp"), false), 0);
    EXPECT_EQ(Reg().TextureNames[0], "CurCenter.bmp");
}

// An editor's document holds the registry while the editor runs; when it
// ends, the entries stay the process's and no routine reaches the table
// that went.
TEST_F(RegistryTest, ABoundTableTakesTheEntriesAndGivesThemBackWhenItGoes)
{
    AddTexture(Path("Setka.bmp"), false);
    {
        TextureRegistry table;
        BindTextureRegistry(table);
        EXPECT_EQ(&Reg(), &table);
        EXPECT_EQ(table.TextureCount, 1);
        AddTexture(Path("CurCenter.bmp"), false);
        ReleaseTextureRegistry(table);
        EXPECT_NE(&Reg(), &table);
        ReleaseTextureRegistry(table);  // a second time changes nothing
    }
    ASSERT_EQ(Reg().TextureCount, 2);
    EXPECT_EQ(Reg().TextureNames[1], "CurCenter.bmp");
}

TEST_F(RegistryTest, FilterModesAndTexGen)
{
    AddTexture(Path("Setka.bmp"), false);
    const std::pair<GLint, GLint> modes[] = {{GL_LINEAR, GL_LINEAR},
                                             {GL_NEAREST, GL_NEAREST},
                                             {GL_LINEAR, GL_LINEAR_MIPMAP_LINEAR},
                                             {GL_LINEAR, GL_NEAREST_MIPMAP_NEAREST}};
    for (int mode = 0; mode < 4; ++mode) {
        SetTextureFilter(mode);
        GLint mag = 0, min = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &mag);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &min);
        EXPECT_EQ(mag, modes[mode].first);
        EXPECT_EQ(min, modes[mode].second);
    }
    SetTextureFilter(7);  // unknown: unchanged
    GLint min = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &min);
    EXPECT_EQ(min, GL_NEAREST_MIPMAP_NEAREST);

    const GLint gens[] = {GL_SPHERE_MAP, GL_OBJECT_LINEAR, GL_EYE_LINEAR};
    for (int mode = 1; mode <= 3; ++mode) {
        SetTexGen(mode);
        GLint s = 0, t = 0;
        glGetTexGeniv(GL_S, GL_TEXTURE_GEN_MODE, &s);
        glGetTexGeniv(GL_T, GL_TEXTURE_GEN_MODE, &t);
        EXPECT_EQ(s, gens[mode - 1]);
        EXPECT_EQ(t, gens[mode - 1]);
        EXPECT_TRUE(glIsEnabled(GL_TEXTURE_GEN_S) && glIsEnabled(GL_TEXTURE_GEN_T));
    }
    SetTexGen(0);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S) || glIsEnabled(GL_TEXTURE_GEN_T));
    SetTexGen(9);  // on, mode kept
    GLint s = 0;
    glGetTexGeniv(GL_S, GL_TEXTURE_GEN_MODE, &s);
    EXPECT_EQ(s, GL_EYE_LINEAR);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_GEN_S));
    SetTexGen(0);
}

TEST_F(RegistryTest, ListFileIsWrittenExactlyAndReadBackInOrder)
{
    AddTexture(Path("Setka.bmp"), false);
    AddTexture(Path("CurCenter.bmp"), true);
    const std::string base = (dir_ / "Saves").string() + "\\textures";
    std::filesystem::create_directories(dir_ / "Saves/textures");
    SaveTextureList(base);
    EXPECT_EQ(qxtest::ReadFileBytes(dir_ / "Saves/textures.qxtex"), "2\r\nSetka.bmp0\r\nCurCenter.bmp1\r\n");

    std::filesystem::copy_file(dir_ / "Setka.bmp", dir_ / "Saves/textures/Setka.bmp");
    std::filesystem::copy_file(dir_ / "CurCenter.bmp", dir_ / "Saves/textures/CurCenter.bmp");
    ResetTextures();
    LoadTextureList(base);
    ASSERT_EQ(Reg().TextureCount, 2);
    EXPECT_EQ(Reg().TextureNames[0], "Setka.bmp");
    EXPECT_FALSE(Reg().TextureKeyed[0]);
    EXPECT_EQ(Reg().TextureNames[1], "CurCenter.bmp");
    EXPECT_TRUE(Reg().TextureKeyed[1]);
    EXPECT_NE(Reg().TextureIds[0], 0u);
    EXPECT_NE(Reg().TextureIds[1], 0u);
    EXPECT_TRUE(messages_.entries.empty());
}

TEST_F(RegistryTest, ListFileConversionErrorsKeepTheEntriesBefore)
{
    const std::string base = (dir_ / "list").string();
    const auto loadText = [&](const std::string& text) {
        qxtest::WriteFileBytes(dir_ / "list.qxtex", text);
        ResetTextures();
        LoadTextureList(base);
    };
    loadText("$2\nwall.bmp7\nsky.png0\n");
    ASSERT_EQ(Reg().TextureCount, 2);
    EXPECT_EQ(Reg().TextureNames[0], "wall.bmp");
    EXPECT_TRUE(Reg().TextureKeyed[0]);
    EXPECT_FALSE(Reg().TextureKeyed[1]);

    const auto expectConvertError = [&](const std::string& text, const std::string& message, int32_t kept) {
        try {
            loadText(text);
            ADD_FAILURE() << "no error for " << text;
        } catch (const qx::ConvertError& error) {
            EXPECT_EQ(std::string(error.what()), message);
        }
        EXPECT_EQ(Reg().TextureCount, kept);
    };
    expectConvertError("1\r\nwall.bmpx\r\n", "'x' is not a valid integer value", 0);
    expectConvertError("two\r\n", "'two' is not a valid integer value", 0);
    expectConvertError("3\r\na.bmp0\r\nb.bmp1\r\n", "'' is not a valid integer value", 2);

    std::filesystem::remove(dir_ / "list.qxtex");
    try {
        LoadTextureList(base);
        ADD_FAILURE() << "no error for a missing list";
    } catch (const qx::InOutError& error) {
        EXPECT_EQ(std::string(error.what()), "File not found");
    }
}

}  // namespace
