// The object, list and map files, collision volumes, the name index and the
// map drawing rules.
#include <gtest/gtest.h>

#include <GL/glu.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>

#include "Collisions.h"
#include "Errors.h"
#include "GLEngine.h"
#include "LevelFiles.h"
#include "Paths.h"
#include "SceneTestSupport.h"
#include "MapDraw.h"
#include "NumberText.h"
#include "PictureLevel.h"
#include "ProjectFiles.h"
#include "QX3DObject.h"
#include "SceneTestSupport.h"
#include "SeparatorScope.h"
#include "TestSupport.h"
#include "WorldFeedback.h"

using qxtest::SeparatorScope;

namespace {

std::string ErrorText(const std::function<void()>& f)
{
    try {
        f();
    } catch (const qx::Error& e) {
        return e.what();
    }
    return "(no error)";
}

TEST(CollisionVolumes, HeightRulesMarginAndLimit)
{
    TCollision set("_Box");
    EXPECT_EQ(set.AddVolume(0, 0, 0, 8, 8, 8), 0);  // construction margin 0.8
    const CollisionBox& a = set.Volumes[0];
    EXPECT_FLOAT_EQ(a.MinX, -0.8f);
    EXPECT_FLOAT_EQ(a.MinZ, -0.8f);
    EXPECT_FLOAT_EQ(a.SizeX, 9.6f);
    EXPECT_FLOAT_EQ(a.SizeZ, 9.6f);
    EXPECT_FLOAT_EQ(a.Bottom, 0);
    EXPECT_FLOAT_EQ(a.Top, 8);
    set.Margin = 0;
    set.AddVolume(1, 2, 3, -4, 0, 5);  // flat: a slab centred on its plane; X size kept negative
    EXPECT_FLOAT_EQ(set.Volumes[1].Bottom, 1.75f);
    EXPECT_FLOAT_EQ(set.Volumes[1].Top, 2.25f);
    EXPECT_FLOAT_EQ(set.Volumes[1].SizeX, -4);
    set.AddVolume(0, 2, 0, 1, -3, 1);  // negative height goes upwards from Y
    EXPECT_FLOAT_EQ(set.Volumes[2].Bottom, 2);
    EXPECT_FLOAT_EQ(set.Volumes[2].Top, 5);
    set.AddVolume(0, 1, 0, 1, 0.1f, 1);  // at least 0.5 high
    EXPECT_FLOAT_EQ(set.Volumes[3].Top, 1.5f);
    set.Count = TCollision::kMaxVolumes;
    set.Volumes.resize(4);
    EXPECT_EQ(set.AddVolume(0, 0, 0, 1, 1, 1), -1);
    EXPECT_EQ(set.Count, TCollision::kMaxVolumes);
}

TEST(NextToken, SplitsAtSpacesAndLeavesALineWithoutOne)
{
    std::string_view line = "a bb  c";
    EXPECT_EQ(qx::NextToken(line), "a");
    EXPECT_EQ(qx::NextToken(line), "bb");
    EXPECT_EQ(qx::NextToken(line), "");  // the double space gives an empty token
    EXPECT_EQ(qx::NextToken(line), "");
    EXPECT_EQ(line, "c");  // no space left: unchanged
}

TEST(TokenConversions, BothSeparatorsAndTheDesignTexts)
{
    EXPECT_FLOAT_EQ(qx::TokenToFloat("0,5"), 0.5f);
    EXPECT_FLOAT_EQ(qx::TokenToFloat("-2.25"), -2.25f);
    EXPECT_FLOAT_EQ(qx::TokenToFloat("9,99999997475243E-7"), 1e-6f);
    EXPECT_FLOAT_EQ(qx::TokenToFloat("1.12589990684262E15"), 1125899906842624.0f);
    EXPECT_TRUE(std::isinf(qx::TokenToFloat("-INF")) && qx::TokenToFloat("-INF") < 0);
    EXPECT_TRUE(std::isnan(qx::TokenToFloat("NAN")));
    // The nearest single: the largest as written, and a text whose nearest
    // double lies half-way between two singles.
    const float largest = std::numeric_limits<float>::max();
    EXPECT_EQ(qx::TokenToFloat(FloatToEditText(largest)), largest);
    EXPECT_EQ(qx::TokenToFloat("-3,40282346638529E38"), -largest);
    EXPECT_EQ(qx::TokenToFloat("1.0000000596046447753906250001"), std::nextafter(1.0f, 2.0f));
    EXPECT_TRUE(std::isinf(qx::TokenToFloat("3.4028236E38")));
    EXPECT_TRUE(qx::TokenToBool("tRuE"));
    EXPECT_FALSE(qx::TokenToBool("FALSE"));
    EXPECT_FALSE(qx::TokenToBool("0"));
    EXPECT_TRUE(qx::TokenToBool("2,5"));
    EXPECT_EQ(qx::TokenToInt("$1F"), 31);
    EXPECT_EQ(ErrorText([] { qx::TokenToInt("1,5"); }), "'1,5' is not a valid integer value");
    EXPECT_EQ(ErrorText([] { qx::TokenToFloat(""); }), "'' is not a valid floating point value");
    EXPECT_EQ(ErrorText([] { qx::TokenToFloat("1,5.5"); }), "'1,5.5' is not a valid floating point value");
    EXPECT_EQ(ErrorText([] { qx::TokenToBool("yes"); }), "'yes' is not a valid boolean value");
}

std::unique_ptr<TQX3DObject> BoxObject()
{
    auto object = std::make_unique<TQX3DObject>("_Wall");
    object->AddList();
    object->Lists[0]->AddBox(3, 0, 0, 0, 8, 8, 8, 1, 0, 0, 0);
    const int16_t b = object->Lists[0]->AddBox(-1, 0.5f, -2.25f, 0.1f, 1e-6f, 100, 1125899906842624.0f, 0.0001220703125f,
                                               0, 90, 0);
    TBox& box = object->Lists[0]->Boxes[static_cast<size_t>(b)];
    box.BlendEquation = 2;
    box.BlendMode = 11;
    box.CullFront = false;
    box.TexGenMode = 3;
    return object;
}

TEST(ObjectFile, WrittenByteForByteUnderEitherSeparator)
{
    const auto object = BoxObject();
    {
        SeparatorScope comma(',', ',');
        EXPECT_EQ(qx::FormatObjectFile(*object),
                  "_Wall\r\n1\r\n2\r\n"
                  "3 0 0 0 8 8 8 1 0 0 0 0 0 True 0 \r\n"
                  "-1 0,5 -2,25 0,100000001490116 9,99999997475243E-7 100 1,12589990684262E15 "
                  "0,0001220703125 0 90 0 2 11 False 3 \r\n");
    }
    SeparatorScope point('.', '.');
    EXPECT_EQ(qx::FormatObjectFile(*object).substr(48, 30), "-1 0.5 -2.25 0.100000001490116");
    TQX3DObject empty("_Empty");
    empty.AddList();
    empty.AddList();
    EXPECT_EQ(qx::FormatObjectFile(empty), "_Empty\r\n2\r\n0\r\n0\r\n");
}

TEST(ObjectFile, ReadsBackUnderTheOtherSeparatorOnlyListZero)
{
    std::string bytes;
    {
        SeparatorScope comma(',', ',');
        bytes = qx::FormatObjectFile(*BoxObject());
    }
    bytes += "1\r\nthe boxes of a second list are never read\r\n";
    bytes.replace(bytes.find("\r\n1\r\n2"), 6, "\r\n3\r\n2");  // three lists claimed
    SeparatorScope point('.', '.');
    TQX3DObject read("Before");
    qx::ApplyObjectFile(read, qx::ParseObjectFile(bytes, "_Wall.qxobj"));
    EXPECT_EQ(read.Name, "_Wall");
    ASSERT_EQ(read.ListCount, 1);
    ASSERT_EQ(read.Lists[0]->BoxCount, 2);
    const TBox& box = read.Lists[0]->Boxes[1];
    const auto source = BoxObject();
    const TBox& original = source->Lists[0]->Boxes[1];
    EXPECT_EQ(std::memcmp(&box.Position, &original.Position, sizeof(TVec3)), 0);
    EXPECT_EQ(box.Size.Z, original.Size.Z);
    EXPECT_EQ(box.Tiling, original.Tiling);
    EXPECT_EQ(box.Texture, -1);
    EXPECT_EQ(box.BlendMode, 11);
    EXPECT_FALSE(box.CullFront);
    EXPECT_EQ(box.TexGenMode, 3);
    // The collision set: named before the file renamed the object, margin 0,
    // one volume per box in file order.
    ASSERT_TRUE(read.Collision);
    EXPECT_EQ(read.Collision->Name, "Before");
    EXPECT_EQ(read.Collision->Count, 2);
    EXPECT_FLOAT_EQ(read.Collision->Volumes[0].SizeX, 8);
    EXPECT_FLOAT_EQ(read.Collision->Volumes[0].Top, 8);
    // Two writes of what was read are the same bytes.
    std::string again = qx::FormatObjectFile(read);
    EXPECT_EQ(again, qx::FormatObjectFile(read));
}

TEST(ObjectFile, ConversionErrorsNameFileAndLine)
{
    EXPECT_EQ(ErrorText([] { qx::ParseObjectFile("_A\r\n1\r\nx\r\n", "_A.qxobj"); }),
              "_A.qxobj:3: 'x' is not a valid integer value");
    // A line without its trailing space leaves the last token empty.
    EXPECT_EQ(ErrorText([] { qx::ParseObjectFile("_A\r\n1\r\n1\r\n3 0 0 0 8 8 8 1 0 0 0 0 0 True 0\r\n", "_A.qxobj"); }),
              "_A.qxobj:4: '' is not a valid integer value");
    EXPECT_EQ(ErrorText([] { qx::ParseObjectFile("_A\r\n1\r\n1\r\n3 0 0 0 8 8 8 1 0 0 0 0 0 Yes 0 \r\n", "_A.qxobj"); }),
              "_A.qxobj:4: 'Yes' is not a valid boolean value");
    EXPECT_EQ(ErrorText([] { qx::ParseObjectFile("_A\r\n1\r\n2\r\n3 0 0 0 8 8 8 1 0 0 0 0 0 1 0 \r\n", "_A.qxobj"); }),
              "_A.qxobj:5: '' is not a valid integer value");  // a box line missing at the end
    EXPECT_EQ(ErrorText([] { qx::ParseMap("0 0 0 \r\n1\r\n_A 1 2 3 0 0 0 1 1 1e \r\n", "Map1.qxmap"); }),
              "Map1.qxmap:3: '1e' is not a valid floating point value");
    EXPECT_EQ(ErrorText([] { qx::ParseObjectList("3\r\n_A\r\n", "ObjList.qxlst"); }),
              "ObjList.qxlst:3: the file ends before its 3 object names");
    EXPECT_EQ(ErrorText([] { qx::ParseObjectList("-1\r\n", "ObjList.qxlst"); }),
              "ObjList.qxlst:1: the object count -1 is negative");
    EXPECT_THROW(qx::ParseMap("0 0 0 \r\nz\r\n", "Map1.qxmap"), qx::ConvertError);
    EXPECT_EQ(ErrorText([] { qx::ParseObjectList("1\r\n..\\x\r\n", "ObjList.qxlst"); }),
              "ObjList.qxlst:2: the object name \"..\\x\" holds a path separator");
}

// An object holding one of every kind, none of them needing GL or a file.
std::unique_ptr<TQX3DObject> EveryKindObject()
{
    auto object = std::make_unique<TQX3DObject>("_All");
    object->AddList();
    TGLPremitives& list = *object->Lists[0];
    list.AddBox(3, 0, 0, 0, 8, 8, 8, 1, 0, 0, 0);
    TFloor floor;
    floor.Texture = 4;
    floor.Position = {1, 2, 3};
    floor.SizeX = 10;
    floor.SizeZ = 20;
    floor.Tiling = 2;
    floor.Rotation = {0, 45, 0};
    floor.OwnTransform = true;
    list.Append(floor);
    TWall wall;
    static_cast<TFlatRect&>(wall) = floor;
    wall.OwnTransform = false;
    wall.Rotation = {90, 0, 0};
    list.Append(wall);
    TSphere sphere;
    sphere.Texture = -1;
    sphere.Position = {0, 2.5f, 0};
    sphere.Radius = 2.5f;
    sphere.Segments = 16;
    list.Append(sphere);
    TTorus torus;
    torus.Position = {5, 0, 5};
    torus.ShapeParams[0] = 4;
    torus.ShapeParams[1] = 0.5f;
    torus.Rotation = {0, 0, 30};
    list.Append(torus);
    TModel3ds chair;
    chair.FileName = "old chair.3ds";
    chair.Position = {1, 0, 1};
    chair.Scale = {2, 2, 2};
    list.Append(chair);
    TModelBlender cafe;
    cafe.FileName = "KOSMO.TXT";
    cafe.Rotation = {0, 180, 0};
    cafe.Scale = {1, 1, 1};
    list.Append(cafe);
    return object;
}

// The design's reader of boxes only: line 1 the name, line 2 ignored, the
// first list's boxes, then it stops.
std::vector<TBox> ReadBoxesOnly(std::string_view bytes)
{
    qx::LineReader reader(bytes);
    reader.Next();
    reader.Next();
    std::vector<TBox> boxes(static_cast<size_t>(qx::TokenToInt(reader.Next())));
    for (TBox& box : boxes) {
        std::string_view line = reader.Next();
        box.Texture = qx::TokenToInt(qx::NextToken(line));
        for (float* v : {&box.Position.X, &box.Position.Y, &box.Position.Z, &box.Size.X, &box.Size.Y, &box.Size.Z,
                         &box.Tiling, &box.Rotation.X, &box.Rotation.Y, &box.Rotation.Z})
            *v = qx::TokenToFloat(qx::NextToken(line));
        qx::TokenToInt(qx::NextToken(line));
        qx::TokenToInt(qx::NextToken(line));
        box.CullFront = qx::TokenToBool(qx::NextToken(line));
        qx::TokenToInt(qx::NextToken(line));
    }
    return boxes;
}

TEST(ShapesBlock, EveryKindWrittenAfterTheBoxesAndReadBackEqual)
{
    SeparatorScope point('.', '.');
    const auto object = EveryKindObject();
    const std::string bytes = qx::FormatObjectFile(*object);
    EXPECT_EQ(bytes, "_All\r\n1\r\n1\r\n3 0 0 0 8 8 8 1 0 0 0 0 0 True 0 \r\n"
                     "QXEXT 1\r\n"
                     "1\r\n4 1 2 3 10 20 2 0 45 0 True \r\n"
                     "1\r\n4 1 2 3 10 20 2 90 0 0 False \r\n"
                     "1\r\n-1 0 2.5 0 2.5 16 0 0 0 \r\n"
                     "1\r\n0 5 0 5 4 0.5 0 0 0 30 \r\n"
                     "1\r\nold chair.3ds\r\n1 0 1 0 0 0 2 2 2 \r\n"
                     "1\r\nKOSMO.TXT\r\n0 0 0 0 180 0 1 1 1 \r\n");

    TQX3DObject read("Before");
    qx::ApplyObjectFile(read, qx::ParseObjectFile(bytes, "_All.qxobj"));
    EXPECT_EQ(qx::FormatObjectFile(read), bytes);
    const TGLPremitives& list = *read.Lists[0];
    EXPECT_TRUE(list.Floors[0].OwnTransform);
    EXPECT_EQ(list.Spheres[0].Segments, 16);
    EXPECT_EQ(list.Models3ds[0].FileName, "old chair.3ds");
    EXPECT_EQ(read.Collision->Count, 1) << "one collision volume per box, as before";

    // A reader of boxes only reads such a file, minus the new kinds.
    const std::vector<TBox> boxes = ReadBoxesOnly(bytes);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Texture, 3);
    // The block follows every list's boxes; only list 0's shapes are kept.
    TQX3DObject two("_Two");
    two.AddList();
    two.AddList();
    two.Lists[1]->AddBox(1, 0, 0, 0, 1, 1, 1, 1, 0, 0, 0);
    two.Lists[1]->Append(TSphere());
    const std::string twoBytes = qx::FormatObjectFile(two);
    EXPECT_EQ(twoBytes.substr(twoBytes.find("QXEXT")),
              "QXEXT 1\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n1\r\n0 0 0 0 0 0 0 0 0 \r\n0\r\n0\r\n0\r\n");
    TQX3DObject readTwo("_Two");
    qx::ApplyObjectFile(readTwo, qx::ParseObjectFile(twoBytes, "_Two.qxobj"));
    EXPECT_EQ(readTwo.Lists[0]->SphereCount, 0);
}

TEST(ShapesBlock, FaultsNameFileAndLine)
{
    const auto fault = [](const std::string& from, const std::string& to) {
        SeparatorScope point('.', '.');
        std::string bytes = qx::FormatObjectFile(*EveryKindObject());
        bytes.replace(bytes.find(from), from.size(), to);
        return ErrorText([&] { qx::ParseObjectFile(bytes, "_All.qxobj"); });
    };
    EXPECT_EQ(fault("2.5 16", "2.5x 16"), "_All.qxobj:11: '2.5x' is not a valid floating point value");
    EXPECT_EQ(fault("45 0 True ", "45 0 True 7 "),
              "_All.qxobj:7: the record has more tokens than its kind holds: \"7 \"");
    EXPECT_EQ(fault("old chair.3ds", "../chair.3ds"),
              "_All.qxobj:15: the model file name \"../chair.3ds\" holds a path separator");
    EXPECT_EQ(fault("1\r\nKOSMO.TXT\r\n0 0 0 0 180 0 1 1 1 \r\n", "2\r\nKOSMO.TXT\r\n0 0 0 0 180 0 1 1 1 \r\n"),
              "_All.qxobj:20: the file ends before its 2 records");
    EXPECT_EQ(fault("QXEXT 1", "QXEXT 2"), "_All.qxobj:5: \"QXEXT 2\" is a shapes block of an unknown version");
}

TEST(ShapesBlock, ModelsReadOncePerFileAndAMissingOneIsTold)
{
    qxtest::TempDir dir;
    std::filesystem::create_directories(dir / "models");
    qxtest::WriteFileBytes(dir / "models" / "old chair.3ds", "a model");
    int reads = 0;
    qx::SetModelReaders({[&](const std::string& name, std::vector<std::string>&) {
                             ReadWholeFile(name);
                             ++reads;
                             return std::make_shared<qxtest::PointModel>();
                         },
                         [](const std::string& name) -> std::shared_ptr<qx::LoadedModel> {
                             ReadWholeFile(name);
                             return std::make_shared<qxtest::PointModel>();
                         }});
    qxtest::WriteFileBytes(dir / "textures.qxtex", "0\r\n");
    qxtest::WriteFileBytes(dir / "ObjList.qxlst", "2\r\n_All\r\n_Same\r\n");
    const std::string bytes = qx::FormatObjectFile(*EveryKindObject());
    qxtest::WriteFileBytes(dir / "_All.qxobj", bytes);
    std::string same = bytes;
    same.replace(0, 4, "_Same");
    qxtest::WriteFileBytes(dir / "_Same.qxobj", same);
    qxtest::WriteFileBytes(dir / "Map1.qxmap", "0 0 0 \r\n0\r\n");

    const qx::LevelFiles level = qx::ReadLevelFiles(dir.path().string() + "/", nullptr);
    EXPECT_EQ(reads, 1);
    const TGLPremitives& all = *level.content.MapObjects[0]->Lists[0];
    const TGLPremitives& other = *level.content.MapObjects[1]->Lists[0];
    ASSERT_NE(all.Models3ds[0].Model, nullptr);
    EXPECT_EQ(all.Models3ds[0].Model, other.Models3ds[0].Model) << "one model shared";
    EXPECT_FALSE(all.BlenderModels[0].GameObj) << "its file is missing";
    ASSERT_EQ(level.modelProblems.size(), 2u);
    EXPECT_EQ(level.modelProblems[0].Text(), "_All.qxobj:18: KOSMO.TXT: File not found");
    EXPECT_NE(qx::MissingModelsText(level.modelProblems).find("\n_Same.qxobj:18: KOSMO.TXT: File not found"),
              std::string::npos);
    qx::SetModelReaders({});
}

TEST(MapAndList, WrittenAndReadBack)
{
    SeparatorScope comma(',', ',');
    ProjectContent content;
    content.PlayerPos[0] = 1.5f;
    content.PlayerPos[2] = -8;
    EXPECT_EQ(qx::FormatMap(content), "1,5 0 -8 \r\n0\r\n");
    content.AddObject("_A");
    content.AddObject("_B");
    EXPECT_EQ(qx::FormatObjectList(content), "2\r\n_A\r\n_B\r\n");
    content.AddPlacement("_B", TPlacement{0.5f, 2, 3, 0, 45, 0, 1, 1, 2});
    EXPECT_EQ(qx::FormatMap(content), "1,5 0 -8 \r\n1\r\n_B 0,5 2 3 0 45 0 1 1 2 \r\n");
    SeparatorScope point('.', '.');  // a comma-locale map read under a point locale
    ProjectContent read;
    qx::ApplyMap(read, qx::ParseMap("1,5 0 -8 \r\n1\r\n_B 0,5 2 3 0 45 0 1 1 2 \r\n", "Map1.qxmap"));
    EXPECT_EQ(read.PlacementCount, 1);
    EXPECT_EQ(read.PlacementNames[0], "_B");
    EXPECT_EQ(read.Placements[0].PosX, 0.5f);
    EXPECT_EQ(read.Placements[0].ScaleZ, 2);
    EXPECT_EQ(read.PlayerPos[0], 1.5f);
    EXPECT_EQ(read.Placements.size(), 2u);  // one more than the count
    EXPECT_EQ(qx::ParseObjectList("2\n_A\n_B", "l").size(), 2u);  // LF endings, no final line end
}

TEST(ProjectFileOperations, ListAndMapRoundTripAndErrorsNameTheFile)
{
    qxtest::TempDir dir;
    const std::string base = dir.path().string() + "\\";  // design paths take backslashes
    ProjectContent content;
    content.AddObject("_A");
    content.MapObjects[0]->Lists[0]->AddBox(1, 1, 2, 3, 4, 5, 6, 1, 0, 0, 0);
    content.AddObject("_B");
    content.AddPlacement("_B", TPlacement{1, 2, 3, 0, 0, 0, 1, 1, 1});
    SaveObjectList(content, base + "ObjList");
    SaveMap(content, base + "Map1");
    EXPECT_EQ(qxtest::ReadFileBytes(dir / "_A.qxobj"), qx::FormatObjectFile(*content.MapObjects[0]));

    ProjectContent read;
    LoadObjectList(read, base + "ObjList");
    LoadMap(read, base + "Map1");
    ASSERT_EQ(read.MapObjectCount, 2);
    EXPECT_EQ(read.MapObjects[0]->Lists[0]->BoxCount, 1);
    EXPECT_EQ(read.MapObjects[0]->Collision->Count, 1);
    EXPECT_EQ(read.ObjectOfPlacement(0), 1);

    std::filesystem::remove(dir / "_B.qxobj");
    EXPECT_EQ(ErrorText([&] { LoadObjectList(read, base + "ObjList"); }), base + "_B.qxobj: File not found");
    EXPECT_EQ(read.MapObjects[0]->Lists[0]->BoxCount, 1) << "a failed load keeps what was there";
    TQX3DObject object("_C");
    EXPECT_EQ(ErrorText([&] { LoadFromFile(object, base + "none.qxobj"); }), base + "none.qxobj: File not found");
}

TEST(FindObject, LastEqualNameWinsAndTheIndexFollowsChanges)
{
    ProjectContent content;
    EXPECT_EQ(content.FindObject("_A"), -1);
    content.AddObject("_A");
    content.AddObject("_B");
    content.AddPlacement("_A", {});
    EXPECT_EQ(content.ObjectOfPlacement(0), 0);
    content.AddObject("_A");
    EXPECT_EQ(content.FindObject("_A"), 2);
    EXPECT_EQ(content.ObjectOfPlacement(0), 2);
    EXPECT_EQ(content.FindObject("_a"), -1);
    content.MapObjectNames[2] = "_C";  // renamed in place: the caller says so
    content.Touch();
    EXPECT_EQ(content.FindObject("_A"), 0);
}

struct DrawCase {
    uint8_t mode;
    TPlacement at;
    bool drawn;
};

TEST(DrawMapRules, ModesHeightsAndStrictRange)
{
    // Camera at (10, level 5, 20).
    const DrawCase cases[] = {
        {1, {10, 5, 20}, true},          // at the level, distance 0 counts as 2
        {2, {10, 5, 20}, false},         // band is open at the level
        {1, {10, 5.5f, 20}, false},      // above the level
        {2, {10, 19.9f, 20}, true},      // inside the band
        {2, {10, 20, 20}, false},        // at level + band
        {1, {210, -100, 20}, false},     // ground distance exactly 200
        {1, {209.9f, -100, 20}, true},   // ground distance below 200
        {3, {10, 205, 20}, false},       // distance in space exactly 200
        {3, {10, -150, 20}, true},       // 155 below: no height test
        {4, {10, 5, 20}, false},         // no such mode
    };
    for (const DrawCase& c : cases) {
        ProjectContent content;
        content.AddObject("_A");
        content.AddPlacement("_A", c.at);
        int drawn = 0;
        ForEachDrawnPlacement(content, c.mode, 200, 15, 10, 5, 20, [&](size_t, int32_t) { ++drawn; });
        EXPECT_EQ(drawn, c.drawn ? 1 : 0) << "mode " << int(c.mode) << " at " << c.at.PosX << "," << c.at.PosY;
    }
    ProjectContent content;
    content.AddObject("_A");
    content.AddPlacement("", {});
    content.AddPlacement("_Nobody", {});
    int drawn = 0;
    ForEachDrawnPlacement(content, 3, 200, 15, 0, 0, 0, [&](size_t, int32_t) { ++drawn; });
    EXPECT_EQ(drawn, 0);  // empty and unknown names are skipped
    EXPECT_EQ(content.PlacementCount, 2);
    drawn = 0;
    ForEachDrawnPlacement(content, 1, 2, 15, 0, 0, 0, [&](size_t, int32_t) { ++drawn; });
    EXPECT_EQ(drawn, 0);
}

class DrawMapGl : public qxtest::GlTest {};

TEST_F(DrawMapGl, DrawsTheLaterOfTwoEqualNamesAtEachPlacement)
{
    qxtest::UseWorldOrtho(64);
    ProjectContent content;
    for (float size : {2.0f, 4.0f}) {
        const int32_t k = content.AddObject("_Same");
        content.MapObjects[static_cast<size_t>(k)]->Lists[0]->AddBox(-1, 0, 0, 0, size, size, size, 1, 0, 0, 0);
        content.MapObjects[static_cast<size_t>(k)]->BuildDisplayLists();
    }
    content.AddPlacement("_Same", TPlacement{10, 0, 0, 0, 0, 0, 1, 1, 1});
    content.AddPlacement("_Same", TPlacement{-20, 0, 0, 0, 0, 0, 1, 1, 1});
    const auto one = qxtest::CaptureWorld([&] { content.MapObjects[1]->DrawAt(0, 0, 0, 0, 0, 0, 1, 1, 1); }, 64);
    const auto prims = qxtest::CaptureWorld([&] { DrawMap(content, 3, 200, 15, 0, 0, 0); }, 64);
    ASSERT_EQ(prims.size(), 2 * one.size());
    const qxtest::Bounds b = qxtest::BoundsOf(prims);
    EXPECT_NEAR(b.lo[0], -20, 1e-3);
    EXPECT_NEAR(b.hi[0], 14, 1e-3);  // the 4-unit box at 10
    EXPECT_NEAR(b.hi[1], 4, 1e-3);
}

// The map view's picture of a small level of every setting: the buffers'
// drawing paints what the display lists paint, with occlusion culling as
// without.
TEST_F(DrawMapGl, BuffersCulledOrNotPaintTheReferencePicture)
{
    InitGLState();
    const qxtest::SolidTextures textures({{{200, 40, 40}}, {{40, 200, 40}}, {{40, 40, 200}}});
    ProjectContent content = qxtest::PictureLevel(3);
    std::vector<unsigned char> pictures[3];
    for (const qxtest::Drawing drawing : qxtest::kDrawings) {
        qxtest::UseDrawing(drawing);
        qxtest::BuildObjects(content);
        glViewport(0, 0, 256, 256);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        SetProjection(0, 256, 256);
        gluLookAt(0, 4, 45, 0, 2, 0, 0, 1, 0);
        DrawMap(content, 3, 200, 15, 0, 0, 0);
        pictures[static_cast<size_t>(drawing)] = qxtest::ReadPicture();
    }
    qxtest::UseDrawing(qxtest::Drawing::Culled);
    const std::vector<unsigned char> black(pictures[0].size(), 0);
    EXPECT_GT(qxtest::DifferentPixels(pictures[0], black), 256u * 256 / 4) << "the level fills the view";
    EXPECT_EQ(qxtest::DifferentPixels(pictures[0], pictures[1]), 0u);
    EXPECT_EQ(qxtest::DifferentPixels(pictures[0], pictures[2]), 0u);
}

}  // namespace
