// Occlusion culling on the CPU, without GL: a coarse depth buffer of the
// opaque quads drawn so far in a frame, against which a box's screen bounds
// are tested.
//
// The promise: Hidden says yes only when GL, with the depth test on and the
// added quads drawn opaque (writing depth, passing the alpha test), would
// draw no pixel of anything inside the box.  Every pixel centre the box's
// projection could reach must be covered by an added quad, sampled at pixel
// centres as GL samples it (each quad shrunk by a hair, for rounding that
// differs from the driver's), at a depth nearer than the box's nearest
// point by more than the depth buffer's rounding; a quad counts at its
// farthest corner's depth.  A quad that reaches the near plane or lies past
// the far plane adds nothing, and a box that reaches the near plane is
// never hidden.  What the buffer misses is only drawn in vain.
//
// The buffer keeps cells of 8 x 8 pixels, each with a few layers (three,
// or eight in a window of at most 512 x 512 pixels, where a cell spans
// more of the view): a mask of the pixel centres covered and one depth
// that all of them are nearer than or at, each layer's mask holding the
// nearer ones'.  A quad that brings one depth more to a full cell merges
// the two layers nearest in depth, so a cell on a near object's outline
// keeps that outline apart from what shows far behind it.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace qx {

// A face of an opaque solid in its object's space, corners in the order
// drawn: GL shows it where it turns clockwise on the screen (the solid's
// outside, its front faces culled).
struct OccluderQuad {
    float corner[4][3];
    uint32_t piece = 0;  // the part of the object it belongs to (MeshChunks.h)
};

// A box turned any way: the points corner + s edge[0] + t edge[1] + u
// edge[2] for s, t, u in [0, 1] (the edges need not be at right angles).
struct OrientedBox {
    float corner[3];
    float edge[3][3];
};

// The box [lo, hi] along the axes.
OrientedBox AlongAxes(const float lo[3], const float hi[3]);
// `box` with each face moved in by `by`.
OrientedBox Inset(const OrientedBox& box, float by);

class OcclusionBuffer {
public:
    // A point in the window.
    struct Projected {
        double x, y;  // window pixels, y up
        float z;      // normalised device depth
    };

    // Starts a frame of width x height pixels under `projection` (GL's,
    // column-major): nothing covered.  Allocates only when the size grows.
    void Begin(const float projection[16], int width, int height);

    // The quads under `modelview` that turn clockwise on the screen cover
    // their pixels from here on.
    void AddQuads(const float modelview[16], std::span<const OccluderQuad> quads);

    // Whether the box [lo, hi] (or `box`) under `modelview` lies wholly
    // behind what was added (see above).
    bool Hidden(const float modelview[16], const float lo[3], const float hi[3]) const;
    // The same for many calls under one modelview: what they need of it
    // made once.
    struct Placed {
        float clip[16];          // projection x modelview
        float eye[3] = {0, 0, 0};  // in the modelview's space
        bool eyeKnown = false;
    };
    Placed Under(const float modelview[16]) const;
    void AddQuads(const Placed& placed, std::span<const OccluderQuad> quads);
    bool Hidden(const Placed& placed, const float lo[3], const float hi[3]) const;
    bool Hidden(const Placed& placed, const OrientedBox& box) const;
    // A box whose faces that turn to the eye GL draws opaque (a closed
    // solid's, or one missing only faces that turn away): its outline
    // covers its pixels, at its farthest corner's depth.  One fill where
    // its faces take three.
    void AddBox(const Placed& placed, const OrientedBox& box);

    // Pixel rows of cells visited since Begin, filling and testing: what the
    // buffer's time grows with.
    uint64_t Work() const { return work_; }
    // The window pixels that the bounding rectangle of the last box Hidden
    // looked at covers (0 when it reached behind the eye): about what GL
    // is spared when it was hidden.
    double LastArea() const { return lastArea_; }

private:
    struct Layer {
        uint64_t mask;  // bit (y % 8) * 8 + x % 8
        float depth;    // normalised device depth; +inf while the mask is empty
    };
    // Layers per cell: more where a cell spans more of the view (a small
    // window), so that the depths behind an outline stay apart.
    static constexpr int kMostLayers = 8;
    // A cell's layers, nearest first, each mask holding the nearer ones'.
    Layer* CellAt(int row, int column) { return &cells_[(static_cast<size_t>(row) * columns_ + column) * layers_]; }
    const Layer* CellAt(int row, int column) const
    {
        return &cells_[(static_cast<size_t>(row) * columns_ + column) * layers_];
    }
    // What of a cell is covered nearer than `behind`.
    uint64_t MaskBefore(const Layer* cell, float behind) const;
    // Whether the rectangle around a box's eight projected corners is
    // covered nearer than `behind`; for a large one (`small` false) it is
    // not looked at.
    bool RectCovered(const Projected* points, float behind, bool& small) const;
    void Fill(const double (*corners)[2], int count, float depth);
    void Flush(int band);

    float projection_[16] = {};
    int width_ = 0, height_ = 0, columns_ = 0, rows_ = 0, layers_ = 3;
    std::vector<Layer> cells_;  // layers_ per cell, row by row
    // One band of cells being filled by a quad: its masks, and the columns touched.
    std::vector<uint64_t> band_;
    int bandFirst_ = 0, bandLast_ = -1;
    float bandDepth_ = 0;
    // A band of cells being tested: the pixels each must have covered.
    mutable std::vector<uint64_t> need_;
    mutable uint64_t work_ = 0;
    mutable double lastArea_ = 0;
};

}  // namespace qx
