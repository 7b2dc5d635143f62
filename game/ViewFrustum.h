// The six planes of a perspective view, taken from its clip matrix
// (projection x modelview, column-major as GL keeps it), and the test of a
// box against them.  No GL.
#pragma once

#include "BoxGrid.h"
#include "VectorMath.h"  // MultiplyMatrices, for the clip matrix

namespace qx {

class ViewFrustum {
public:
    explicit ViewFrustum(const float clip[16]);
    // False only when the box lies wholly outside one plane.
    bool Sees(const Box3& box) const;

private:
    float planes_[6][4];
};

}  // namespace qx
