// The 3DS reader without GL: what each chunk gives, the files it must not
// trust, the real files against an independent walk of their chunks, and the
// normals against the search over all faces that defines them.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <filesystem>
#include <map>
#include <random>

#include "Chunks3ds.h"
#include "Messages.h"
#include "Model3ds.h"
#include "TestSupport.h"

using namespace qxtest;

namespace {

struct Loaded {
    T3DModel model;
    qx::Read3dsResult result;
    std::vector<qx::RecordingMessageSink::Entry> messages;
    std::vector<std::string> texturePaths;
};

Loaded Read(const std::string& bytes, bool texturesLoad = true)
{
    Loaded l;
    qx::RecordingMessageSink sink;
    qx::ScopedMessageSink scope(sink);
    uint32_t nextId = 7;
    const qx::TextureLoader loader = [&](const std::string& path, uint32_t& id) {
        l.texturePaths.push_back(path);
        if (texturesLoad)
            id = nextId++;
        return texturesLoad;
    };
    l.result = qx::Read3ds({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()}, l.model, loader);
    l.messages = sink.entries;
    return l;
}

// What every load must leave, whatever the bytes: drawable objects only.
void ExpectSound(const T3DModel& model)
{
    for (const T3DObject& o : model.Objects) {
        ASSERT_EQ(o.Normals.size(), o.Vertices.size()) << o.Name;
        for (const TFace& f : o.Faces) {
            ASSERT_LT(f.A, o.Vertices.size());
            ASSERT_LT(f.B, o.Vertices.size());
            ASSERT_LT(f.C, o.Vertices.size());
        }
        if (o.Textured()) {
            ASSERT_GE(o.TexCoords.size(), o.Vertices.size());
        }
    }
}

void ExpectColor(const TColor4& c, float r, float g, float b, float a)
{
    EXPECT_FLOAT_EQ(c.R, r);
    EXPECT_FLOAT_EQ(c.G, g);
    EXPECT_FLOAT_EQ(c.B, b);
    EXPECT_FLOAT_EQ(c.A, a);
}

TEST(Read3ds, MaterialsVerticesFacesAndGroupsAsTheChunksSay)
{
    // Diffuse holds a 24-bit colour and then a gamma-corrected one; the
    // specular colour after it must still be read.
    const std::string material =
        Material("Red", Cat({Chunk(0xA010, Rgb24(10, 20, 30)),
                             Chunk(0xA020, Rgb24(255, 128, 0) + Chunk(0x0012, {'\1', '\2', '\3'})),
                             Chunk(0xA030, Rgb24(0, 0, 255)), Chunk(0xA040, Percent(50)),
                             Chunk(0xA200, Chunk(0xA300, Z("wall.bmp")) + Chunk(0xA351, Le16(0))),
                             Chunk(0xA087, Le32(0))}));
    const std::string mesh =
        Mesh("Box", Vertices({{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}) + Chunk(0x4111, Le16(0)) +
                        Chunk(0x4140, Le16(3) + F32(0) + F32(1) + F32(0.5f) + F32(0.25f) + F32(1) + F32(0)) +
                        Faces({{0, 1, 2}, {2, 1, 0}}, Group("Red", 2) + Chunk(0x4150, Le32(1) + Le32(1))) +
                        Chunk(0x4160, std::string(48, '\0')));
    const Loaded l = Read(File3ds(material + Chunk(0x1234, "junk") + mesh) + Chunk(0xB000, std::string(20, 'k')));
    ASSERT_TRUE(l.result.ok);
    EXPECT_TRUE(l.result.faults.empty()) << l.result.faults.front();
    EXPECT_TRUE(l.messages.empty());
    ASSERT_EQ(l.model.Objects.size(), 1u);
    const T3DObject& o = l.model.Objects[0];
    EXPECT_EQ(o.Name, "Box");
    ASSERT_EQ(o.Vertices.size(), 3u);
    EXPECT_EQ(o.Vertices[0].X, 1);  // (1, 2, 3) in the file is (1, 3, -2) in the editor
    EXPECT_EQ(o.Vertices[0].Y, 3);
    EXPECT_EQ(o.Vertices[0].Z, -2);
    ASSERT_EQ(o.Faces.size(), 2u);
    EXPECT_EQ(o.Faces[1].A, 2u);
    EXPECT_EQ(o.Faces[1].C, 0u);
    ASSERT_EQ(o.TexCoords.size(), 3u);
    EXPECT_EQ(o.TexCoords[1].U, 0.5f);
    EXPECT_EQ(o.TexCoords[1].V, 0.25f);
    EXPECT_EQ(o.Material.Name, "Red");
    ExpectColor(o.Material.Diffuse, 1.0f, 128 / 255.0f, 0.0f, 1.0f);
    ExpectColor(o.Material.Ambient, 10 / 255.0f, 20 / 255.0f, 30 / 255.0f, 1.0f);
    ExpectColor(o.Material.Specular, 0, 0, 1, 1);
    ExpectColor(o.Material.Emission, 0, 0, 0, 0);
    EXPECT_EQ(o.Material.Shininess, 64.0f);
    EXPECT_EQ(o.Material.MapName, "wall.bmp");
    EXPECT_TRUE(o.Material.TextureLoaded);
    EXPECT_EQ(o.Material.TextureId, 7u);
    EXPECT_EQ(l.texturePaths, std::vector<std::string>{"textures\\wall.bmp"});
    EXPECT_TRUE(o.Textured());

    for (const auto& [percent, shininess] : {std::pair{0, 128.0f}, {100, 0.0f}}) {
        const Loaded s = Read(File3ds(Material("M", Chunk(0xA040, Percent(uint16_t(percent)))) +
                                      Triangle("T", Chunk(0x4130, Z("M")))));
        EXPECT_EQ(s.model.Objects.at(0).Material.Shininess, shininess) << percent;
    }
}

TEST(Read3ds, MaterialGroupRules)
{
    // A group naming a later material: black, untextured, but named.  The
    // first of two materials of one name wins; a later group overwrites.
    const Loaded l = Read(File3ds(Cat({Material("A", Chunk(0xA020, Rgb24(255, 0, 0))),
                                       Material("A", Chunk(0xA020, Rgb24(0, 255, 0))),
                                       Triangle("Early", Faces({{0, 1, 2}}, Group("Late"))),
                                       Triangle("Twice", Faces({{0, 1, 2}}, Group("Late") + Group("A"))),
                                       Material("Late", Chunk(0xA020, Rgb24(9, 9, 9)) + Chunk(0xA300, Z("x.bmp")))})));
    ASSERT_EQ(l.model.Objects.size(), 2u);
    const TMaterial& early = l.model.Objects[0].Material;
    EXPECT_EQ(early.Name, "Late");
    ExpectColor(early.Diffuse, 0, 0, 0, 0);
    EXPECT_FALSE(early.TextureLoaded);
    EXPECT_EQ(l.model.Objects[1].Material.Name, "A");
    ExpectColor(l.model.Objects[1].Material.Diffuse, 1, 0, 0, 1);
    // The later material's map still loads when its block is read.
    EXPECT_EQ(l.texturePaths, std::vector<std::string>{"textures\\x.bmp"});
}

TEST(Read3ds, VersionMainChunkAndTheEditorBlocksFirstChunk)
{
    EXPECT_TRUE(Read(File3ds(Triangle("T"), 3)).messages.empty());
    const Loaded v4 = Read(File3ds(Triangle("T"), 4));
    ASSERT_EQ(v4.messages.size(), 1u);
    EXPECT_EQ(v4.messages[0].caption, "Warning");
    EXPECT_EQ(v4.messages[0].text, "Unsupported file version.");
    EXPECT_EQ(v4.model.Objects.size(), 1u);

    const std::string notMain = Chunk(0x4D4C, Chunk(0x3D3D, Triangle("T")));
    const Loaded refused = Read(notMain);
    EXPECT_FALSE(refused.result.ok);
    EXPECT_TRUE(refused.model.Objects.empty());
    EXPECT_FALSE(Read("").result.ok);
    EXPECT_FALSE(Read("MM").result.ok);

    // No mesh-version chunk: the material stored first must not be lost.
    const Loaded first = Read(Chunk(0x4D4D, Chunk(0x3D3D, Material("Only", Chunk(0xA020, Rgb24(0, 0, 255))) +
                                                              Triangle("T", Chunk(0x4130, Z("Only"))))));
    ASSERT_EQ(first.model.Objects.size(), 1u);
    ExpectColor(first.model.Objects[0].Material.Diffuse, 0, 0, 1, 1);
    const Loaded meshFirst = Read(Chunk(0x4D4D, Chunk(0x3D3D, Triangle("First"))));
    EXPECT_EQ(meshFirst.model.Objects.size(), 1u);
}

TEST(Read3ds, FloatingPointColoursAndPercentagesReadAsWhatTheyAre)
{
    // A floating-point percentage is a fraction: 50 of 255 is 0.196078.
    const std::string floats = F32(1.0f) + F32(0.5f) + F32(2.0f);
    const Loaded l = Read(File3ds(Material("F", Chunk(0xA020, Chunk(0x0010, floats)) +
                                                    Chunk(0xA030, Chunk(0x0013, F32(0) + F32(0) + F32(-1))) +
                                                    Chunk(0xA040, Chunk(0x0031, F32(0.196078f)))) +
                                  Triangle("T", Chunk(0x4130, Z("F")))));
    const TMaterial& m = l.model.Objects.at(0).Material;
    ExpectColor(m.Diffuse, 1.0f, 0.5f, 1.0f, 1.0f);  // clamped to 0..1
    ExpectColor(m.Specular, 0, 0, 0, 1);
    EXPECT_NEAR(m.Shininess, 102.9f, 0.01f);
    // Damaged percentages of either form are clamped to 0..100.
    for (const auto& [percent, shininess] : {std::pair{Chunk(0x0031, F32(10.0f)), 0.0f},
                                             {Chunk(0x0031, F32(-0.5f)), 128.0f},
                                             {Percent(250), 0.0f}}) {
        const Loaded s = Read(File3ds(Material("P", Chunk(0xA040, percent)) + Triangle("T", Chunk(0x4130, Z("P")))));
        EXPECT_EQ(s.model.Objects.at(0).Material.Shininess, shininess);
    }
    // A colour chunk too short for its colour is left alone, not over-read.
    const Loaded shortColour = Read(File3ds(Material("S", Chunk(0xA020, Chunk(0x0010, F32(1)))) +
                                            Triangle("T", Chunk(0x4130, Z("S")))));
    ExpectColor(shortColour.model.Objects.at(0).Material.Diffuse, 0, 0, 0, 0);
    EXPECT_EQ(shortColour.result.faults.size(), 1u);
}

TEST(Read3ds, DamagedFilesLoadWhatIsSoundAndNeverReadPastTheirData)
{
    // A chunk longer than its parent is cut back to it.
    std::string longVertices = File3ds(Triangle("T"));
    const size_t at = longVertices.find(Vertices({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}));
    longVertices.replace(at + 2, 4, Le32(100000));
    Loaded l = Read(longVertices);
    ExpectSound(l.model);
    EXPECT_FALSE(l.result.faults.empty());

    // A length below the header would never move on.
    std::string zeroLength = File3ds(Triangle("A") + Chunk(0x4001, "") + Triangle("B"));
    zeroLength.replace(zeroLength.find(Chunk(0x4001, "")) + 2, 4, Le32(0));
    l = Read(zeroLength);
    EXPECT_EQ(l.model.Objects.size(), 1u);
    EXPECT_FALSE(l.result.faults.empty());

    // Counts past the chunk's data are cut to the records there; a face
    // list's room holds its material groups too, so one whose count does not
    // fit is left out whole, and its groups are never read as faces.
    l = Read(File3ds(Mesh("C", Chunk(0x4110, Le16(500) + F32(1) + F32(2) + F32(3) + F32(9)) +
                                   Chunk(0x4120, Le16(3) + Le16(0) + Le16(0) + Le16(0) + Le16(0)) +
                                   Chunk(0x4140, Le16(60000)))));
    ASSERT_EQ(l.model.Objects.size(), 1u);
    EXPECT_EQ(l.model.Objects[0].Vertices.size(), 1u);
    EXPECT_TRUE(l.model.Objects[0].Faces.empty());
    EXPECT_TRUE(l.model.Objects[0].TexCoords.empty());
    EXPECT_EQ(l.result.faults.size(), 3u);
    std::string faces = Le16(65535);
    for (int i = 0; i < 100; ++i)
        faces += Le16(0) + Le16(1) + Le16(2) + Le16(0);
    const std::string overCounted = Chunk(0x4120, faces + Group("M", 100));
    l = Read(File3ds(Material("M", Chunk(0xA020, Rgb24(1, 2, 3))) +
                     Mesh("Over", Vertices({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}) + overCounted +
                                      Chunk(0x4140, Le16(3) + std::string(24, '\0'))) +
                     Triangle("After", Chunk(0x4130, Z("M")))));
    ASSERT_EQ(l.model.Objects.size(), 2u);
    EXPECT_TRUE(l.model.Objects[0].Faces.empty());
    EXPECT_EQ(l.model.Objects[0].TexCoords.size(), 3u);
    EXPECT_EQ(l.model.Objects[1].Faces.size(), 1u);
    EXPECT_EQ(l.model.Objects[1].Material.Name, "M");
    ASSERT_EQ(l.result.faults.size(), 1u);
    EXPECT_NE(l.result.faults[0].find("\"Over\" counts 65535"), std::string::npos) << l.result.faults[0];

    // Faces naming vertices the object lacks are dropped, the rest kept.
    l = Read(File3ds(Mesh("D", Vertices({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}) + Faces({{0, 1, 2}, {0, 1, 3}, {9, 1, 2}}))));
    EXPECT_EQ(l.model.Objects.at(0).Faces.size(), 1u);
    ExpectSound(l.model);

    // Names without their zero end at their chunk.
    l = Read(Chunk(0x4D4D, Chunk(0x3D3D, Chunk(0x4000, "NoZero") + Material("M", Chunk(0xA300, "map")))));
    ASSERT_EQ(l.model.Objects.size(), 1u);
    EXPECT_EQ(l.model.Objects[0].Name, "NoZero");
    EXPECT_EQ(l.texturePaths, std::vector<std::string>{"textures\\map"});

    // A textured mesh without texture coordinates is not drawn textured.
    l = Read(File3ds(Material("T", Chunk(0xA300, Z("t.bmp"))) + Triangle("U", Chunk(0x4130, Z("T")))));
    EXPECT_TRUE(l.model.Objects.at(0).Material.TextureLoaded);
    EXPECT_FALSE(l.model.Objects[0].Textured());

    // Nesting without end does not exhaust the stack.
    std::string nested = Triangle("Deep");
    for (int i = 0; i < 5000; ++i)
        nested = Chunk(0x3D3D, nested);
    l = Read(Chunk(0x4D4D, nested));
    EXPECT_TRUE(l.model.Objects.empty());
    EXPECT_FALSE(l.result.faults.empty());
}

// An independent reading of a file's chunks: every named object with its
// counts and last group, every material with its map.
struct Walked {
    struct Object {
        std::string name;
        size_t vertices = 0, faces = 0;
        std::string group;
    };
    std::vector<Object> objects;
    std::map<std::string, std::string> maps;  // first material of a name
    std::vector<size_t> boundaries;           // every chunk start
};

void Walk(const std::string& f, size_t begin, size_t end, Walked& w, std::string* material)
{
    for (size_t pos = begin; pos + 6 <= end;) {
        const uint16_t id = uint16_t(uint8_t(f[pos]) | uint8_t(f[pos + 1]) << 8);
        uint32_t length;
        std::memcpy(&length, f.data() + pos + 2, 4);
        ASSERT_GE(length, 6u);
        ASSERT_LE(pos + length, end);
        w.boundaries.push_back(pos);
        const size_t data = pos + 6, stop = pos + length;
        const auto count = [&] { return size_t(uint8_t(f[data]) | uint8_t(f[data + 1]) << 8); };
        switch (id) {
        case 0x4D4D: case 0x3D3D: case 0x4100: Walk(f, data, stop, w, material); break;
        case 0x4000: {
            const size_t zero = f.find('\0', data);
            w.objects.push_back({f.substr(data, zero - data), 0, 0, {}});
            Walk(f, zero + 1, stop, w, material);
            break;
        }
        case 0x4110: w.objects.back().vertices = count(); break;
        case 0x4120:
            w.objects.back().faces = count();
            Walk(f, data + 2 + 8 * count(), stop, w, material);
            break;
        case 0x4130: w.objects.back().group = f.substr(data, f.find('\0', data) - data); break;
        case 0xAFFF: {
            std::string name;
            Walk(f, data, stop, w, &name);
            break;
        }
        case 0xA000:
            *material = f.substr(data, f.find('\0', data) - data);
            w.maps.emplace(*material, "");
            break;
        case 0xA200: Walk(f, data, stop, w, material); break;
        case 0xA300:
            if (w.maps[*material].empty())
                w.maps[*material] = f.substr(data, f.find('\0', data) - data);
            break;
        default: break;
        }
        pos = stop;
    }
}

std::vector<std::filesystem::path> Real3dsFiles(const std::filesystem::path& data)
{
    std::vector<std::filesystem::path> files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(data / "3ds")) {
        std::string ext = e.path().extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(), ::tolower);
        if (e.is_regular_file() && ext == ".3ds" && e.file_size() > 0)
            files.push_back(e.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

TEST(Read3dsRealFiles, CountsMaterialsAndMapsAsTheirChunksHold)
{
    QX_REQUIRE_TESTDATA(data);
    const auto files = Real3dsFiles(data);
    ASSERT_FALSE(files.empty());
    for (const auto& path : files) {
        SCOPED_TRACE(path.string());
        const std::string bytes = ReadFileBytes(path);
        Walked w;
        Walk(bytes, 0, bytes.size(), w, nullptr);
        const Loaded l = Read(bytes, false);
        ASSERT_TRUE(l.result.ok);
        EXPECT_TRUE(l.result.faults.empty()) << l.result.faults.front();
        ASSERT_EQ(l.model.Objects.size(), w.objects.size());
        for (size_t i = 0; i < w.objects.size(); ++i) {
            const T3DObject& o = l.model.Objects[i];
            EXPECT_EQ(o.Name, w.objects[i].name);
            EXPECT_EQ(o.Vertices.size(), w.objects[i].vertices);
            EXPECT_EQ(o.Faces.size(), w.objects[i].faces);
            EXPECT_EQ(o.Material.Name, w.objects[i].group);
            const auto map = w.maps.find(w.objects[i].group);
            EXPECT_EQ(o.Material.MapName, map == w.maps.end() ? "" : map->second);
        }
        ExpectSound(l.model);
    }
}

TEST(Read3dsRealFiles, TruncatedAndLengthenedAtEveryChunkBoundary)
{
    QX_REQUIRE_TESTDATA(data);
    for (const auto& path : Real3dsFiles(data)) {
        SCOPED_TRACE(path.string());
        const std::string bytes = ReadFileBytes(path);
        Walked w;
        Walk(bytes, 0, bytes.size(), w, nullptr);
        const size_t whole = Read(bytes, false).model.Objects.size();
        for (const size_t at : w.boundaries) {
            for (const size_t cut : {at, at + 3, at + 7}) {
                if (cut >= bytes.size())
                    continue;
                const Loaded l = Read(bytes.substr(0, cut), false);
                ExpectSound(l.model);
                EXPECT_LE(l.model.Objects.size(), whole);
            }
            for (const uint32_t length : {0u, 5u, 7u, 0x7FFFFFFFu}) {
                std::string edited = bytes;
                edited.replace(at + 2, 4, Le32(length));
                ExpectSound(Read(edited, false).model);
            }
            std::string longer = bytes;
            longer.insert(at, Chunk(0x4110, Le16(9) + std::string(30, 'x')));
            ExpectSound(Read(longer, false).model);
        }
    }
}

// The normals as defined: for every vertex a search over all faces.
std::vector<TVec3> SlowNormals(const T3DObject& o)
{
    std::vector<TVec3> normals;
    for (uint32_t i = 0; i < o.Vertices.size(); ++i) {
        TVec3 sum{};
        int count = 0;
        for (const TFace& f : o.Faces) {
            if (f.A != i && f.B != i && f.C != i)
                continue;
            TVec3 ac, cb, n;
            VecSub(o.Vertices[f.A], o.Vertices[f.C], ac);
            VecSub(o.Vertices[f.C], o.Vertices[f.B], cb);
            VecCross(ac, cb, n);
            VecAdd(sum, n, sum);
            ++count;
        }
        TVec3 normal;
        VecDivScalar(sum, normal, -float(count));
        VecNormalize(normal);
        normals.push_back(normal);
    }
    return normals;
}

TEST(ComputeNormals, BitForBitTheAverageOfTheSearchOverAllFaces)
{
    std::mt19937 random(1234);
    std::uniform_real_distribution<float> coordinate(-50, 50);
    for (int mesh = 0; mesh < 40; ++mesh) {
        T3DObject o;
        const uint32_t vertices = 1 + random() % 30;
        for (uint32_t i = 0; i < vertices; ++i)
            o.Vertices.push_back({coordinate(random), coordinate(random), coordinate(random)});
        // Repeated corners, unused vertices and a degenerate face included.
        for (uint32_t f = random() % 60; f > 0; --f)
            o.Faces.push_back({uint32_t(random() % vertices), uint32_t(random() % vertices),
                               uint32_t(random() % vertices)});
        o.Faces.push_back({0, 0, 0});
        qx::ComputeNormals(o);
        const std::vector<TVec3> slow = SlowNormals(o);
        ASSERT_EQ(o.Normals.size(), slow.size());
        for (size_t i = 0; i < slow.size(); ++i) {
            for (auto [fast, expected] : {std::pair{o.Normals[i].X, slow[i].X}, {o.Normals[i].Y, slow[i].Y},
                                          {o.Normals[i].Z, slow[i].Z}}) {
                if (std::isnan(expected))
                    EXPECT_TRUE(std::isnan(fast)) << "mesh " << mesh << " vertex " << i;
                else
                    EXPECT_EQ(std::bit_cast<uint32_t>(fast), std::bit_cast<uint32_t>(expected))
                        << "mesh " << mesh << " vertex " << i;
            }
        }
    }
}

}  // namespace
