// An object's drawing cut into chunks of neighbouring pieces: each chunk's
// vertices and faces together and in its bounds, what is no piece's or
// drawn as strips left whole.
#include <gtest/gtest.h>

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

}  // namespace
