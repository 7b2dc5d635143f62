// An object's drawing cut into chunks of neighbouring pieces: each chunk's
// vertices and faces together and in its bounds, what is no piece's or
// drawn as strips left whole.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "Mesh.h"
#include "MeshChunks.h"

namespace {

// Opaque unit boxes at x = 2 k (apart, so no face is shared), piece k + 1,
// given in the order `at`; `strip` adds a quad strip of piece 1 (strips
// are never cut).
struct Boxes {
    std::vector<qx::MeshGroup> groups;
    std::vector<qx::OccluderQuad> occluders;

    explicit Boxes(const std::vector<int>& at, bool strip = true)
    {
        qx::MeshBuilder b;
        qx::MeshState state;
        state.textureBy = qx::MeshTexture::Off;
        b.UseState(state);
        for (const int k : at) {
            b.piece = static_cast<uint32_t>(k + 1);
            b.Push();
            b.Translate(2 * k + 0.5, 0.5, 0.5);
            b.solid = true;
            qx::shapes::CubeFaces(b, 1, 0.5f, 0.5f, 0.5f);
            b.solid = false;
            b.Pop();
        }
        b.DropSharedFaces(&occluders);
        if (strip) {
            b.piece = 1;
            b.Begin(qx::shapes::Run::QuadStrip);
            for (int v = 0; v < 6; ++v)
                b.Vertex(float(v), float(v % 2), 5, 0, 0);
            b.End();
        }
        b.piece = 0;
        groups = b.Take();
    }
};

TEST(MeshChunks, NeighbouringPiecesShareAChunkThatHoldsTheirVerticesAndFaces)
{
    Boxes boxes({5, 0, 7, 2, 6, 1, 3, 4});
    const std::vector<qx::MeshChunk> chunks = qx::SplitIntoChunks(boxes.groups, boxes.occluders, 4);
    ASSERT_EQ(chunks.size(), 4u);
    for (int c = 0; c < 4; ++c) {
        SCOPED_TRACE(c);
        EXPECT_FLOAT_EQ(chunks[c].lo[0], 4.0f * c) << "boxes 2c and 2c + 1";
        EXPECT_FLOAT_EQ(chunks[c].hi[0], 4.0f * c + 3);
        EXPECT_FLOAT_EQ(chunks[c].lo[1], 0);
        EXPECT_FLOAT_EQ(chunks[c].hi[2], 1);
    }
    ASSERT_EQ(boxes.groups.size(), 2u);
    const qx::MeshGroup& quads = boxes.groups[0];
    ASSERT_EQ(quads.chunkStart, (std::vector<int32_t>{0, 48, 96, 144, 192})) << "two boxes of 24 corners each";
    for (size_t v = 0; v < quads.vertices.size(); ++v) {
        const qx::MeshVertex& p = quads.vertices[v];
        const size_t c = v / 48;
        EXPECT_EQ(p.piece, c + 1);
        EXPECT_TRUE(p.x >= chunks[c].lo[0] && p.x <= chunks[c].hi[0]) << v;
    }
    const qx::MeshGroup& strip = boxes.groups[1];
    EXPECT_TRUE(strip.chunkStart.empty());
    ASSERT_EQ(strip.vertices.size(), 6u);
    EXPECT_FLOAT_EQ(strip.vertices[3].x, 3) << "in its order";
    ASSERT_EQ(boxes.occluders.size(), 48u);
    for (size_t q = 0; q < boxes.occluders.size(); ++q) {
        const qx::OccluderQuad& face = boxes.occluders[q];
        ASSERT_EQ(face.piece, q / 12 + 1) << "sorted by chunk";
        for (const auto& corner : face.corner)
            EXPECT_TRUE(corner[0] >= chunks[q / 12].lo[0] && corner[0] <= chunks[q / 12].hi[0]) << q;
    }
}

TEST(MeshChunks, WhatWouldMakeOneChunkMakesNone)
{
    Boxes one({0}, false);
    EXPECT_TRUE(qx::SplitIntoChunks(one.groups, one.occluders).empty());
    EXPECT_TRUE(one.groups[0].chunkStart.empty());
    EXPECT_EQ(one.groups[0].vertices[0].piece, 0u);
    EXPECT_EQ(one.occluders[0].piece, 0u);
    Boxes many({0, 1, 2});
    EXPECT_TRUE(qx::SplitIntoChunks(many.groups, many.occluders, 1).empty());
}

// A box turned 30 degrees about Y (piece 1), and two unit boxes sharing
// the face at x = 11 (pieces 2 and 3, that face dropped from both).
std::vector<qx::MeshChunk> TurnedAndTouching(qx::MeshBuilder& b, std::vector<qx::OccluderQuad>& occluders,
                                             std::vector<qx::MeshGroup>& groups, int maxChunks)
{
    qx::MeshState state;
    state.textureBy = qx::MeshTexture::Off;
    b.UseState(state);
    const auto box = [&](uint32_t piece, double x, double turn, float hx, float hy, float hz) {
        b.piece = piece;
        b.Push();
        b.Translate(x, 0.5, 0.5);
        b.Rotate(turn, 0, 1, 0);
        b.solid = true;
        qx::shapes::CubeFaces(b, 1, hx, hy, hz);
        b.solid = false;
        b.Pop();
    };
    box(1, 0, 30, 1, 0.5f, 0.25f);
    box(2, 10.5, 0, 0.5f, 0.5f, 0.5f);
    box(3, 11.5, 0, 0.5f, 0.5f, 0.5f);
    b.piece = 0;
    b.DropSharedFaces(&occluders);
    groups = b.Take();
    return qx::SplitIntoChunks(groups, occluders, maxChunks);
}

TEST(MeshChunks, AChunkOfOneSolidBoxIsThatBoxTurnedOrNotAndOpenWhereAFaceWasShared)
{
    qx::MeshBuilder b;
    std::vector<qx::OccluderQuad> occluders;
    std::vector<qx::MeshGroup> groups;
    const std::vector<qx::MeshChunk> chunks = TurnedAndTouching(b, occluders, groups, 3);
    ASSERT_EQ(chunks.size(), 3u);
    const qx::MeshChunk* turned = nullptr;
    for (const qx::MeshChunk& c : chunks)
        if (c.lo[0] < 5)
            turned = &c;
    ASSERT_NE(turned, nullptr);
    // Its own box (2 x 1 x 0.5), not the larger one around it along the axes.
    double volume = 1;
    double length[3];
    for (int a = 0; a < 3; ++a) {
        const float* e = turned->box.edge[a];
        length[a] = std::sqrt(double(e[0]) * e[0] + double(e[1]) * e[1] + double(e[2]) * e[2]);
        volume *= length[a];
    }
    EXPECT_NEAR(volume, 1.0, 1e-4);
    // Every vertex of its chunk inside it.
    const qx::MeshGroup& g = groups[0];
    const size_t chunk = static_cast<size_t>(turned - chunks.data());
    for (int32_t v = g.chunkStart[chunk]; v < g.chunkStart[chunk + 1]; ++v)
        for (int a = 0; a < 3; ++a) {
            const float* e = turned->box.edge[a];
            const qx::MeshVertex& p = g.vertices[static_cast<size_t>(v)];
            const double s = ((p.x - turned->box.corner[0]) * e[0] + (p.y - turned->box.corner[1]) * e[1] +
                              (p.z - turned->box.corner[2]) * e[2]) / (length[a] * length[a]);
            EXPECT_TRUE(s >= 0 && s <= 1) << v << ' ' << a << ' ' << s;
        }
    EXPECT_TRUE(turned->whole);
    EXPECT_EQ(turned->open, -1);
    // The touching boxes: each open on the side of the other (along X, the
    // first edge of a box that is not turned).
    for (const qx::MeshChunk& c : chunks) {
        if (&c == turned)
            continue;
        EXPECT_TRUE(c.whole);
        EXPECT_EQ(c.open, c.lo[0] < 10.5f ? 1 : 0) << c.lo[0];
    }
    // Two boxes in one chunk make no box of it.
    qx::MeshBuilder again;
    std::vector<qx::MeshChunk> two = TurnedAndTouching(again, occluders = {}, groups, 2);
    ASSERT_EQ(two.size(), 2u);
    for (const qx::MeshChunk& c : two)
        EXPECT_EQ(c.whole, c.lo[0] < 5) << c.lo[0];
}

}  // namespace
