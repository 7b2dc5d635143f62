// An object's drawing cut into chunks: pieces that lie near one another
// (its boxes, tagged by the mesh builder) gathered into a few clusters,
// each with its own bounds, so that a frame can test each against the
// occlusion buffer and draw only the chunks that may show.
//
// The promise: after SplitIntoChunks, each group of independent primitives
// (one run) holds its untagged vertices first, then chunk 0's, chunk 1's
// and so on, every primitive whole and in its order of old within a chunk;
// `MeshGroup::chunkStart` says where each chunk begins.  Groups of strips
// or polygons keep their order and get no chunk starts: they are drawn
// whole.  The occluders are sorted by chunk the same way.
#pragma once

#include <cstdint>
#include <vector>

#include "Mesh.h"

namespace qx {

struct MeshChunk {
    float lo[3], hi[3];  // what the chunk's vertices cover, in the object's space
    // A box around them: turned along the chunk's own faces where that is
    // clearly smaller (a turned box's own box), grown by `grown` along its
    // edges at each end for rounding; else [lo, hi].
    OrientedBox box;
    float grown = 0;
    // Whether the chunk is one box of a solid, all of its six faces or all
    // but `open` (2 x the edge of `box` across it + 1 at the edge's end): it
    // hides as the box does wherever its open face turns away.
    bool whole = false;
    int8_t open = -1;
};

// At most this many chunks per object: each costs a test per frame for
// every placement that shows.  Tests of small chunks cost little, and in
// a field of blocks of 50 boxes, a box each hides twice what 16 clusters
// hide.
inline constexpr int kMaxChunks = 64;

// Clusters the pieces (MeshVertex::piece, OccluderQuad::piece; 0 is no
// piece) into at most `maxChunks` (up to 64) chunks by halving along the longer
// extent of what they cover, reorders the groups and the occluders as
// said above and renumbers their tags to chunk indices.  Returns the
// chunks' bounds; none when fewer than two chunks would come of it (the
// tags are then all 0).
std::vector<MeshChunk> SplitIntoChunks(std::vector<MeshGroup>& groups, std::vector<OccluderQuad>& occluders,
                                       int maxChunks = kMaxChunks);

}  // namespace qx
