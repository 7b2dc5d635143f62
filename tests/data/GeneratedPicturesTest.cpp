// The generated pictures as the editor's BMP loaders and the sky box see
// them: header layout, the cross-hair's colour key, the grid cell, and sky
// faces that meet at the cube's edges.
#include "GeneratedData.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace fs = std::filesystem;
using qxdatatest::Bmp;
using qxdatatest::ReadBmp;

namespace {

class GeneratedPictures : public qxdatatest::GeneratedInstallation {
protected:
    static Bmp Read(const std::string& rel) { return ReadBmp(Root() / rel); }
};

TEST_F(GeneratedPictures, EveryBmpIsPacked24BitBottomUpWithConsistentSizes)
{
    int checked = 0;
    for (const std::string& rel : qxdatatest::ListFiles(Root())) {
        if (rel.size() < 4 || rel.substr(rel.size() - 4) != ".bmp")
            continue;
        SCOPED_TRACE(rel);
        const Bmp b = Read(rel);
        ++checked;
        EXPECT_EQ(b.type, "BM");
        EXPECT_EQ(b.headerSize, 40u);
        EXPECT_EQ(b.dataOffset, 54u) << "pixels follow the headers directly";
        EXPECT_EQ(b.planes, 1);
        EXPECT_EQ(b.bitsPerPixel, 24);
        EXPECT_EQ(b.compression, 0u);
        EXPECT_EQ(b.coloursUsed, 0u) << "the loaders skip that many bytes";
        EXPECT_GT(b.width, 0);
        EXPECT_GT(b.height, 0) << "bottom row first";
        EXPECT_EQ(b.width % 4, 0) << "rows must need no padding";
        const size_t data = static_cast<size_t>(b.width) * b.height * 3;
        EXPECT_EQ(b.imageSize, data);
        EXPECT_EQ(b.actualSize, 54 + data);
        EXPECT_EQ(b.fileSizeField, b.actualSize);
    }
    EXPECT_GE(checked, 21);
}

TEST_F(GeneratedPictures, IconsAre24By24OnWhiteWithSomethingDrawn)
{
    for (int i = 0; fs::exists(Root() / qxdatatest::IconPath(i)); ++i) {
        SCOPED_TRACE(i);
        const Bmp b = Read(qxdatatest::IconPath(i));
        ASSERT_EQ(b.width, 24);
        ASSERT_EQ(b.height, 24);
        const Bmp::Rgb white{255, 255, 255};
        EXPECT_EQ(b.At(0, 0), white);
        EXPECT_EQ(b.At(23, 23), white);
        int drawn = 0;
        for (int row = 0; row < 24; ++row)
            for (int x = 0; x < 24; ++x)
                drawn += !(b.At(x, row) == white);
        EXPECT_GT(drawn, 40);
    }
}

TEST_F(GeneratedPictures, CrossHairIsDrawnOnItsKeyColour)
{
    // The keyed loader makes the bottom-left pixel's colour transparent
    // everywhere; the cross must stay, the surroundings must go.
    const Bmp b = Read("textures/CurCenter.bmp");
    const Bmp::Rgb key = b.At(0, 0);
    int keyed = 0, opaque = 0;
    for (int row = 0; row < b.height; ++row)
        for (int x = 0; x < b.width; ++x)
            (b.At(x, row) == key ? keyed : opaque)++;
    EXPECT_GT(keyed, opaque);
    EXPECT_GT(opaque, 20);
    EXPECT_TRUE(b.At(b.width - 1, b.height - 1) == key && b.At(b.width - 1, 0) == key &&
                b.At(0, b.height - 1) == key)
        << "all corners transparent";
    EXPECT_FALSE(b.At(b.width / 2, 4) == key) << "an arm below the centre";
    EXPECT_FALSE(b.At(4, b.height / 2) == key) << "an arm left of the centre";
}

TEST_F(GeneratedPictures, GridCellHasALineAlongEveryEdgeWithOrWithoutItsTopRow)
{
    const Bmp b = Read("textures/Setka.bmp");
    const int rows = b.height - 1;  // what the plain loader uploads
    const Bmp::Rgb line = b.At(0, 0);
    for (int i = 0; i < b.width; ++i) {
        EXPECT_EQ(b.At(i, 0), line) << "bottom edge " << i;
        EXPECT_EQ(b.At(i, rows - 1), line) << "top edge " << i;
    }
    for (int r = 0; r < rows; ++r) {
        EXPECT_EQ(b.At(0, r), line) << "left edge " << r;
        EXPECT_EQ(b.At(b.width - 1, r), line) << "right edge " << r;
    }
    EXPECT_FALSE(b.At(b.width / 2, rows / 2) == line);
}

// The sky box's quads: per face its file and four (vertex, texture
// coordinate) pairs, as the sky box draws them.
struct Corner {
    int x, y, z;
    double s, t;
};
struct FaceQuad {
    const char* file;
    std::array<Corner, 4> corners;
};
const std::array<FaceQuad, 6> kSkyBox = {{
    {"cliffFront.bmp", {{{-1, -1, 1, 0, 0}, {1, -1, 1, 1, 0}, {1, 1, 1, 1, 1}, {-1, 1, 1, 0, 1}}}},
    {"cliffBack.bmp", {{{-1, -1, -1, 1, 0}, {-1, 1, -1, 1, 1}, {1, 1, -1, 0, 1}, {1, -1, -1, 0, 0}}}},
    {"cliffTop.bmp", {{{-1, 1, -1, 0, 0}, {-1, 1, 1, 1, 0}, {1, 1, 1, 1, 1}, {1, 1, -1, 0, 1}}}},
    {"cliffBottom.bmp", {{{-1, -1, -1, 0, 1}, {1, -1, -1, 0, 0}, {1, -1, 1, 1, 0}, {-1, -1, 1, 1, 1}}}},
    {"cliffLeft.bmp", {{{1, -1, -1, 1, 0}, {1, 1, -1, 1, 1}, {1, 1, 1, 0, 1}, {1, -1, 1, 0, 0}}}},
    {"cliffRight.bmp", {{{-1, -1, -1, 0, 0}, {-1, -1, 1, 1, 0}, {-1, 1, 1, 1, 1}, {-1, 1, -1, 0, 1}}}},
}};

const Corner* FindCorner(const FaceQuad& q, const Corner& v)
{
    for (const Corner& c : q.corners)
        if (c.x == v.x && c.y == v.y && c.z == v.z)
            return &c;
    return nullptr;
}

// The pixel a texture coordinate lands on, over the rows the plain loader
// uploads (all but the top one).
Bmp::Rgb Sample(const Bmp& b, double s, double t)
{
    const int col = static_cast<int>(std::lround(s * (b.width - 1)));
    const int row = static_cast<int>(std::lround(t * (b.height - 2)));
    return b.At(col, row);
}

TEST_F(GeneratedPictures, SkyFacesMeetAlongEveryEdgeOfTheCube)
{
    std::array<Bmp, 6> faces;
    for (size_t f = 0; f < faces.size(); ++f) {
        faces[f] = Read(std::string("textures/") + kSkyBox[f].file);
        ASSERT_EQ(faces[f].height - 1, faces[f].width) << kSkyBox[f].file << ": square once uploaded";
        for (int x = 0; x < faces[f].width; ++x)
            ASSERT_EQ(faces[f].At(x, faces[f].height - 1), faces[f].At(x, faces[f].height - 2))
                << kSkyBox[f].file << ": the dropped top row repeats the edge";
    }

    int edges = 0;
    for (size_t a = 0; a < kSkyBox.size(); ++a) {
        for (size_t b = a + 1; b < kSkyBox.size(); ++b) {
            std::vector<std::pair<const Corner*, const Corner*>> shared;
            for (const Corner& c : kSkyBox[a].corners)
                if (const Corner* other = FindCorner(kSkyBox[b], c))
                    shared.push_back({&c, other});
            if (shared.size() != 2)
                continue;
            ++edges;
            const int n = faces[a].width;
            int mismatches = 0;
            for (int i = 0; i < n; ++i) {
                const double u = static_cast<double>(i) / (n - 1);
                const auto along = [u](const Corner* p, const Corner* q, bool s) {
                    return s ? p->s + u * (q->s - p->s) : p->t + u * (q->t - p->t);
                };
                const Bmp::Rgb pa = Sample(faces[a], along(shared[0].first, shared[1].first, true),
                                           along(shared[0].first, shared[1].first, false));
                const Bmp::Rgb pb = Sample(faces[b], along(shared[0].second, shared[1].second, true),
                                           along(shared[0].second, shared[1].second, false));
                mismatches += !(pa == pb);
            }
            EXPECT_EQ(mismatches, 0) << kSkyBox[a].file << " / " << kSkyBox[b].file;
        }
    }
    EXPECT_EQ(edges, 12);
}

// Mean colour of the rows from..to (bottom-up, inclusive).
Bmp::Rgb MeanOfRows(const Bmp& b, int from, int to)
{
    long r = 0, g = 0, bl = 0, n = 0;
    for (int row = from; row <= to; ++row, n += b.width)
        for (int x = 0; x < b.width; ++x) {
            const Bmp::Rgb p = b.At(x, row);
            r += p.r, g += p.g, bl += p.b;
        }
    return {static_cast<int>(r / n), static_cast<int>(g / n), static_cast<int>(bl / n)};
}

TEST_F(GeneratedPictures, SkyHasSkyAboveAndCliffsBelowTheHorizon)
{
    // Guards the seam test against faces that match only because they are
    // flat: the side faces change from rock below to blue sky above.
    for (const char* file : {"cliffFront.bmp", "cliffBack.bmp", "cliffLeft.bmp", "cliffRight.bmp"}) {
        SCOPED_TRACE(file);
        const Bmp b = Read(std::string("textures/") + file);
        const Bmp::Rgb high = MeanOfRows(b, b.height * 3 / 4, b.height - 1);
        const Bmp::Rgb low = MeanOfRows(b, 0, b.height / 4);
        EXPECT_GT(high.b, high.r + 30) << "blue overhead";
        EXPECT_LE(low.b, low.r) << "earth-coloured below";
    }
    const Bmp top = Read("textures/cliffTop.bmp");
    const Bmp::Rgb zenith = MeanOfRows(top, 0, top.height - 1);
    EXPECT_GT(zenith.b, zenith.r + 30);
    const Bmp bottom = Read("textures/cliffBottom.bmp");
    const Bmp::Rgb nadir = MeanOfRows(bottom, 0, bottom.height - 1);
    EXPECT_LE(nadir.b, nadir.r);
}

}  // namespace
