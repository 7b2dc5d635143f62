// Scene objects and primitive lists: naming, list operations, the Add and
// Delete operations, Assign's sharing rules, drawing order and transform,
// and the reference counting of display lists.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <regex>

#include "Errors.h"
#include "Objects.h"
#include "SceneTestSupport.h"
#include "ShapeFields.h"
#include "TestSupport.h"
#include "WorldFeedback.h"

using namespace qxtest;

namespace {

class ObjectTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        UseWorldOrtho();
    }
    void TearDown() override
    {
        qx::SetModelReaders({});
        GlTest::TearDown();
    }
};

TEST(ObjectNaming, EmptyNameGetsANumberBelow32000)
{
    const std::regex pattern("QX3DObject:([0-9]+)");
    for (int i = 0; i < 50; ++i) {
        TQX3DObject object;
        std::smatch m;
        ASSERT_TRUE(std::regex_match(object.Name, m, pattern)) << object.Name;
        EXPECT_LT(std::stoi(m[1]), 32000);
    }
    TQX3DObject named("ObjSetka");
    EXPECT_EQ(named.Name, "ObjSetka");
    EXPECT_EQ(named.ListCount, 0);
    EXPECT_EQ(named.CurrentList, 0);
    EXPECT_FLOAT_EQ(named.Reserved3.X, 0);
    EXPECT_FLOAT_EQ(named.Reserved4.X, 1);
    EXPECT_FLOAT_EQ(named.Reserved4.Z, 1);
    EXPECT_EQ(named.Collision, nullptr);
}

TEST(ObjectLists, AddListClearAndAddListAgain)
{
    TQX3DObject object("Temp3DModel");
    object.AddList();
    object.AddList();
    object.AddList();
    EXPECT_EQ(object.ListCount, 3);
    EXPECT_EQ(object.CurrentList, 2);
    EXPECT_EQ(object.DisplayLists[2].Id(), -1);
    object.Lists[0]->AddBox(0, 0, 0, 0, 8, 8, 8, 1, 0, 0, 0);

    object.CurrentList = 1;
    object.Clear();
    EXPECT_EQ(object.ListCount, 0);
    EXPECT_EQ(object.CurrentList, 1) << "Clear keeps the current index";

    object.AddList();
    EXPECT_EQ(object.ListCount, 1);
    EXPECT_EQ(object.CurrentList, 0);
    EXPECT_EQ(object.Lists[0]->BoxCount, 0);
    EXPECT_EQ(object.DisplayLists[0].Id(), -1);
    object.Clear();
    object.Clear();  // clearing nothing is harmless
    EXPECT_EQ(object.ListCount, 0);
}

TEST(PrimitiveListOps, AddReturnsTheIndexAndKeepsBoxDefaults)
{
    TGLPremitives list;
    EXPECT_EQ(list.AddBox(3, 1, 2, 3, 4, 5, 6, 7, 10, 20, 30), 0);
    EXPECT_EQ(list.AddBox(-1, 0, 0, 0, -8, 8, 8, 1, 0, 0, 0), 1);
    EXPECT_EQ(list.AddFloor(2, 0, 0, 0, 1000, 1000, 600, 0, 0, 0), 0);
    EXPECT_EQ(list.BoxCount, 2);
    const TBox& b = list.Boxes[0];
    EXPECT_EQ(b.Texture, 3);
    EXPECT_FLOAT_EQ(b.Position.Y, 2);
    EXPECT_FLOAT_EQ(b.Size.Z, 6);
    EXPECT_FLOAT_EQ(b.Tiling, 7);
    EXPECT_FLOAT_EQ(b.Rotation.Z, 30);
    EXPECT_EQ(b.BlendEquation, 0);
    EXPECT_EQ(b.BlendMode, 0);
    EXPECT_EQ(b.TexGenMode, 0);
    EXPECT_TRUE(b.CullFront);
    EXPECT_FLOAT_EQ(b.Color.A, 1);
    EXPECT_FLOAT_EQ(list.Boxes[1].Size.X, -8) << "sizes are stored unchecked";
    EXPECT_FLOAT_EQ(list.Floors[0].SizeZ, 1000);
    EXPECT_FLOAT_EQ(list.Floors[0].Tiling, 600);
    EXPECT_EQ(list.ListId.Id(), -1);
}

TEST(PrimitiveListOps, DeleteBoxMovesTheLaterBoxesDownWithTheirRenderModes)
{
    TGLPremitives list;
    for (int i = 0; i < 3; ++i) {
        list.AddBox(i, float(i), 0, 0, 8, 8, 8, 1, 0, 0, 0);
        list.Boxes[i].BlendMode = static_cast<uint8_t>(i + 1);
        list.Boxes[i].BlendEquation = static_cast<uint8_t>(i);
        list.Boxes[i].TexGenMode = static_cast<uint8_t>(i);
        list.Boxes[i].CullFront = i != 2;
    }
    EXPECT_FALSE(list.DeleteBox(3));
    EXPECT_FALSE(list.DeleteBox(-1));
    EXPECT_EQ(list.BoxCount, 3);

    EXPECT_TRUE(list.DeleteBox(0));
    ASSERT_EQ(list.BoxCount, 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(list.Boxes[i].Texture, i + 1);
        EXPECT_FLOAT_EQ(list.Boxes[i].Position.X, float(i + 1));
        EXPECT_EQ(list.Boxes[i].BlendMode, i + 2);
        EXPECT_EQ(list.Boxes[i].BlendEquation, i + 1);
        EXPECT_EQ(list.Boxes[i].TexGenMode, i + 1);
    }
    EXPECT_TRUE(list.Boxes[0].CullFront);
    EXPECT_FALSE(list.Boxes[1].CullFront);
    EXPECT_FALSE(list.DeleteBox(2));
    EXPECT_TRUE(list.DeleteBox(1));
    EXPECT_TRUE(list.DeleteBox(0));
    EXPECT_EQ(list.BoxCount, 0);
    EXPECT_FALSE(list.DeleteBox(0));
}

TEST(PrimitiveListOps, AKindHoldsAtMost32767Primitives)
{
    TGLPremitives list;
    for (int i = 0; i < TGLPremitives::kMaxCount; ++i)
        list.AddBox(0, 0, 0, 0, 1, 1, 1, 1, 0, 0, 0);
    EXPECT_EQ(list.BoxCount, 32767);
    EXPECT_THROW(list.AddBox(0, 0, 0, 0, 1, 1, 1, 1, 0, 0, 0), qx::Error);
    EXPECT_EQ(list.BoxCount, 32767) << "the count must not wrap to a negative value";
    EXPECT_EQ(list.AddFloor(0, 0, 0, 0, 1, 1, 1, 0, 0, 0), 0) << "other kinds are independent";
}

TEST_F(ObjectTest, AddSphereCompilesItsListAtOnce)
{
    TGLPremitives list;
    EXPECT_EQ(list.AddSphere(5, 16, 0, 2, 0, 2, 0, 0, 0), 0);
    ASSERT_EQ(list.SphereCount, 1);
    const TSphere& s = list.Spheres[0];
    EXPECT_EQ(s.Texture, 5);
    EXPECT_EQ(s.Segments, 16);
    EXPECT_FLOAT_EQ(s.Radius, 2);
    EXPECT_FLOAT_EQ(s.Position.Y, 2);
    ASSERT_TRUE(s.DisplayList.Valid());
    EXPECT_TRUE(glIsList(static_cast<GLuint>(s.DisplayList.Id())));
}

// An undone field edit puts the values back; a sphere whose radius changed
// back must not keep the list compiled for the other radius.
TEST_F(ObjectTest, PuttingFieldValuesBackRecompilesAResizedSphereOnly)
{
    TGLPremitives list;
    list.AddSphere(5, 16, 0, 2, 0, 2, 0, 0, 0);
    const ShapeFields fields = FieldsOf(list, ShapeKind::Sphere, 0);
    const ShapeValues before = ValuesOf(fields);
    fields.Rotation->Y = 30;
    PutValues(fields, before);
    EXPECT_FLOAT_EQ(list.Spheres[0].Rotation.Y, 0);
    EXPECT_TRUE(list.Spheres[0].DisplayList.Valid()) << "a turn needs no new list";
    *fields.Size[0] = 7;
    PutValues(fields, before);
    EXPECT_FLOAT_EQ(list.Spheres[0].Radius, 2);
    EXPECT_FALSE(list.Spheres[0].DisplayList.Valid());
}

TEST_F(ObjectTest, DrawingOrderIsByKindNotByInsertion)
{
    TGLPremitives list;
    list.AddSphere(-1, 8, 100, 0, 0, 1, 0, 0, 0);
    list.AddBox(-1, 0, 0, 0, 8, 8, 8, 1, 0, 0, 0);
    list.AddFloor(-1, 0, 0, 0, 4, 4, 1, 0, 0, 0);
    const auto prims = CaptureWorld([&] { list.Draw(); });
    ASSERT_GT(prims.size(), 14u);
    for (size_t i = 0; i < 12; ++i)  // the box's six faces come first
        for (const auto& v : prims[i].v)
            EXPECT_LE(v.x, 8.001f);
    for (size_t i = 12; i + 2 < prims.size(); ++i)  // then the sphere
        for (const auto& v : prims[i].v)
            EXPECT_GT(v.x, 98.9f);
    for (size_t i = prims.size() - 2; i < prims.size(); ++i)  // the floor last
        for (const auto& v : prims[i].v)
            EXPECT_NEAR(v.y, 0, 1e-3);
}

TEST_F(ObjectTest, DrawAtOnAnUncompiledListDrawsNothingAndChangesNoState)
{
    TQX3DObject object("MapTemp");
    glEnable(GL_BLEND);
    glCullFace(GL_BACK);
    glColor4f(0.1f, 0.2f, 0.3f, 0.4f);
    const GlStateSnapshot before = GlStateSnapshot::Take();

    // No list at all (the state after Clear), then a list never compiled.
    EXPECT_TRUE(CaptureWorld([&] { object.DrawAt(1, 2, 3, 0, 0, 0, 1, 1, 1); }, 128, true).empty());
    object.AddList();
    object.Lists[0]->AddBox(0, 0, 0, 0, 8, 8, 8, 1, 0, 0, 0);
    EXPECT_TRUE(CaptureWorld([&] { object.DrawAt(1, 2, 3, 0, 0, 0, 1, 1, 1); }, 128, true).empty());
    object.CurrentList = 5;  // past the lists
    EXPECT_TRUE(CaptureWorld([&] { object.DrawAt(1, 2, 3, 0, 0, 0, 1, 1, 1); }, 128, true).empty());
    EXPECT_TRUE(GlStateSnapshot::Take() == before);
}

TEST_F(ObjectTest, DrawAtTranslatesRotatesScalesAndRestoresState)
{
    TQX3DObject object("Box");
    object.AddList();
    object.Lists[0]->AddBox(-1, 0, 0, 0, 8, 8, 8, 1, 0, 0, 0);
    object.Lists[0]->Boxes[0].BlendMode = 2;
    object.BuildDisplayLists();
    glCullFace(GL_BACK);
    glEnable(GL_BLEND);
    GLint depthBefore = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthBefore);

    // Scale x2 on X, then 90 degrees about Y: local X becomes -Z.
    const Bounds b = BoundsOf(CaptureWorld([&] { object.DrawAt(10, 1, 0, 0, 90, 0, 2, 1, 1); }));
    EXPECT_NEAR(b.lo[0], 10, 1e-3);
    EXPECT_NEAR(b.hi[0], 18, 1e-3);
    EXPECT_NEAR(b.lo[1], 1, 1e-3);
    EXPECT_NEAR(b.hi[1], 9, 1e-3);
    EXPECT_NEAR(b.lo[2], -16, 1e-3);
    EXPECT_NEAR(b.hi[2], 0, 1e-3);

    const GlStateSnapshot after = GlStateSnapshot::Take();
    EXPECT_FALSE(after.blend);
    EXPECT_EQ(after.cullFace, GL_FRONT);
    EXPECT_EQ(after.matrixDepth, depthBefore);
    EXPECT_FLOAT_EQ(after.colour[0], 1);
    EXPECT_FLOAT_EQ(after.colour[3], 1);
}

TEST_F(ObjectTest, DrawAtDrawsTheCurrentListAndDrawAllAtEveryList)
{
    TQX3DObject object("Frames");
    object.AddList();
    object.Lists[0]->AddBox(-1, 0, 0, 0, 1, 1, 1, 1, 0, 0, 0);
    object.AddList();
    object.Lists[1]->AddBox(-1, 50, 0, 0, 1, 1, 1, 1, 0, 0, 0);
    object.BuildDisplayLists();

    object.CurrentList = 0;
    const Bounds first = BoundsOf(CaptureWorld([&] { object.DrawAt(0, 0, 0, 0, 0, 0, 1, 1, 1); }));
    EXPECT_NEAR(first.hi[0], 1, 1e-3);
    object.CurrentList = 1;
    const Bounds second = BoundsOf(CaptureWorld([&] { object.DrawAt(0, 0, 0, 0, 0, 0, 1, 1, 1); }));
    EXPECT_NEAR(second.lo[0], 50, 1e-3);

    const auto all = CaptureWorld([&] { object.DrawAllAt(0, 0, 5, 0, 0, 0, 1, 1, 1); });
    EXPECT_EQ(all.size(), 24u);
    const Bounds b = BoundsOf(all);
    EXPECT_NEAR(b.lo[0], 0, 1e-3);
    EXPECT_NEAR(b.hi[0], 51, 1e-3);
    EXPECT_NEAR(b.lo[2], 5, 1e-3);
}

TEST_F(ObjectTest, AssignSharesCompiledListsAndModelsAndCopiesTheRest)
{
    int pictureLoads = 0;
    auto shared3ds = std::make_shared<PointModel>(&pictureLoads);
    qx::SetModelReaders({[&](const std::string&, std::vector<std::string>&) { return shared3ds; },
                         [&](const std::string&) { return std::make_shared<PointModel>(&pictureLoads); }});

    TQX3DObject source("Chair");
    for (int i = 0; i < 2; ++i) {
        source.AddList();
        TGLPremitives& list = *source.Lists[i];
        list.AddBox(1, 0, 0, 0, 8, 8, 8, 1, 0, 0, 0);
        list.Boxes[0].CullFront = false;
        list.AddSphere(2, 8, 0, 0, 0, 1, 0, 0, 0);
        list.AddModel3ds("1.3DS", 0, 10, 0, 0, 0, 0, 1, 1, 1);
        list.AddModelBlender("kafe\\KOSMO.TXT", 0, 0, 0, 0, 0, 0, 1, 1, 1);
        list.Tag = 7;
        list.Text = "reserved";
    }
    source.Reserved2 = {1, 2, 3};
    source.CurrentList = 1;
    source.BuildDisplayLists();

    TQX3DObject copy("Temp3DModel");
    copy.AddList();
    copy.Assign(source);
    EXPECT_EQ(copy.Name, "Chair");
    EXPECT_EQ(copy.ListCount, 2);
    EXPECT_EQ(copy.CurrentList, 1);
    EXPECT_FLOAT_EQ(copy.Reserved2.Z, 3);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(copy.DisplayLists[i].Id(), source.DisplayLists[i].Id());
        EXPECT_NE(copy.Buffers[i], nullptr);
        EXPECT_EQ(copy.Buffers[i], source.Buffers[i]);
        ASSERT_NE(copy.Lists[i].get(), source.Lists[i].get());
        const TGLPremitives& a = *copy.Lists[i];
        const TGLPremitives& b = *source.Lists[i];
        EXPECT_EQ(a.Spheres[0].DisplayList.Id(), b.Spheres[0].DisplayList.Id());
        EXPECT_EQ(a.Models3ds[0].Model.get(), b.Models3ds[0].Model.get());
        EXPECT_EQ(a.BlenderModels[0].GameObj.get(), b.BlenderModels[0].GameObj.get());
        EXPECT_FALSE(a.Boxes[0].CullFront);
        EXPECT_EQ(a.Tag, 7);
        EXPECT_EQ(a.Text, "reserved");
    }
    EXPECT_EQ(pictureLoads, 2) << "one model of each file, its pictures loaded once";

    // The copy's primitives are its own.
    copy.Lists[0]->Boxes[0].Size.X = 1;
    EXPECT_FLOAT_EQ(source.Lists[0]->Boxes[0].Size.X, 8);
}

TEST_F(ObjectTest, SharedListsStayValidUntilTheLastUserGoes)
{
    const ObjectPathScope reference(qx::ObjectPath::DisplayLists);
    const int64_t baseline = qx::LiveGlLists();
    GLuint objectList = 0, sphereList = 0;
    {
        auto copy = std::make_unique<TQX3DObject>("PlayerCopy");
        {
            TQX3DObject source("PlayerModel");
            source.AddList();
            source.Lists[0]->AddSphere(-1, 16, 0, 2, 0, 2, 0, 0, 0);
            source.BuildDisplayLists();
            objectList = static_cast<GLuint>(source.DisplayLists[0].Id());
            sphereList = static_cast<GLuint>(source.Lists[0]->Spheres[0].DisplayList.Id());
            copy->Assign(source);
            source.Clear();
            EXPECT_TRUE(glIsList(objectList));
        }
        // The source is gone; the copy still draws the shared list.
        EXPECT_TRUE(glIsList(objectList));
        EXPECT_TRUE(glIsList(sphereList));
        EXPECT_FALSE(CaptureWorld([&] { copy->DrawAt(0, 0, 0, 0, 0, 0, 1, 1, 1); }).empty());

        // A compiled list keeps the sphere list it calls even when no
        // primitive refers to the sphere any more.
        qx::GlListRef held = copy->DisplayLists[0];
        copy->Clear();
        EXPECT_TRUE(glIsList(sphereList));
        EXPECT_FALSE(CaptureWorld([&] { glCallList(static_cast<GLuint>(held.Id())); }).empty());
    }
    EXPECT_FALSE(glIsList(objectList));
    EXPECT_FALSE(glIsList(sphereList));
    EXPECT_EQ(qx::LiveGlLists(), baseline);
}

TEST_F(ObjectTest, RebuildingAndReloadingDoNotLeakListsOrBuffers)
{
    for (const qx::ObjectPath path : {qx::ObjectPath::DisplayLists, qx::ObjectPath::Buffers}) {
        const ObjectPathScope scope(path);
        const int64_t lists = qx::LiveGlLists(), buffers = qx::LiveGlBuffers();
        {
            TQX3DObject edited("Temp3DModel");
            TQX3DObject definition("Table");
            definition.AddList();
            definition.Lists[0]->AddBox(0, 0, 0, 0, 8, 8, 8, 1, 0, 0, 0);
            definition.BuildDisplayLists();
            for (int cycle = 0; cycle < 100; ++cycle) {
                // The model-editing cycle: copy in, edit, rebuild, copy back, clear.
                edited.Clear();
                edited.Assign(definition);
                edited.Lists[0]->AddBox(0, float(cycle), 0, 0, 1, 1, 1, 1, 0, 0, 0);
                edited.Lists[0]->DeleteBox(1);
                edited.BuildDisplayLists();
                definition.Assign(edited);
                edited.Clear();
            }
            const bool byLists = path == qx::ObjectPath::DisplayLists;
            EXPECT_EQ(qx::LiveGlLists(), lists + (byLists ? 1 : 0)) << "only the definition's current list lives on";
            EXPECT_EQ(qx::LiveGlBuffers(), buffers + (byLists ? 0 : 1));
        }
        EXPECT_EQ(qx::LiveGlBuffers(), buffers);
    }
}

TEST_F(ObjectTest, ModelFilesAreReadOnceAndRefusedWhole)
{
    TGLPremitives list;
    EXPECT_THROW(list.AddModel3ds("a.3ds", 0, 0, 0, 0, 0, 0, 1, 1, 1), qx::Error) << "no reader installed";

    TempDir dir;
    const std::string file = (dir.path() / "a.3ds").string();
    WriteFileBytes(file, "one");
    int reads = 0;
    qx::SetModelReaders({[&](const std::string& name, std::vector<std::string>& warnings) {
                             if (name.find("bad") != std::string::npos)
                                 throw qx::FormatError("not a 3DS file");
                             ++reads;
                             warnings = {"a fault"};
                             return std::make_shared<PointModel>();
                         },
                         [](const std::string&) -> std::shared_ptr<qx::LoadedModel> {
                             throw qx::InOutError("File not found");
                         }});
    EXPECT_EQ(list.AddModel3ds(file, 1, 2, 3, 0, 0, 0, 1, 1, 1), 0);
    EXPECT_EQ(list.Models3ds[0].FileName, "a.3ds");
    EXPECT_EQ(qx::TakeModelWarnings(), std::vector<std::string>{"a fault"});
    EXPECT_TRUE(qx::TakeModelWarnings().empty()) << "shown once";
    list.AddModel3ds(file, 0, 0, 0, 0, 0, 0, 1, 1, 1);
    EXPECT_EQ(reads, 1);
    EXPECT_EQ(list.Models3ds[1].Model, list.Models3ds[0].Model);
    EXPECT_TRUE(qx::TakeModelWarnings().empty()) << "a model read before warns no more";
    // A changed file is read again.
    std::filesystem::last_write_time(file, std::filesystem::last_write_time(file) + std::chrono::seconds(5));
    list.AddModel3ds(file, 0, 0, 0, 0, 0, 0, 1, 1, 1);
    EXPECT_EQ(reads, 2);
    EXPECT_NE(list.Models3ds[2].Model, list.Models3ds[0].Model);

    EXPECT_THROW(list.AddModel3ds((dir.path() / "bad.3ds").string(), 0, 0, 0, 0, 0, 0, 1, 1, 1), qx::FormatError);
    EXPECT_THROW(list.AddModelBlender("kafe/KOSMO.TXT", 0, 0, 0, 0, 0, 0, 1, 1, 1), qx::InOutError);
    EXPECT_THROW(list.AddModel3ds("m/\u65E5.3ds", 0, 0, 0, 0, 0, 0, 1, 1, 1), qx::Error) << "no 1251 spelling";
    EXPECT_FALSE(qx::ModelNameRefusal("\u65E5.3ds").empty());
    EXPECT_TRUE(qx::ModelNameRefusal("\u0414\u043E\u043C.3ds").empty());
    EXPECT_EQ(list.Model3dsCount, 3);
    EXPECT_EQ(list.BlenderCount, 0);
    EXPECT_TRUE(list.BlenderModels.empty());
}

}  // namespace
