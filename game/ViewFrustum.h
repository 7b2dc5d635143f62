// The six planes of a perspective view, taken from its clip matrix
// (projection x modelview, column-major as GL keeps it), and the test of a
// box against them.  No GL.
#pragma once

#include "BoxGrid.h"

namespace qx {

class ViewFrustum {
public:
    explicit ViewFrustum(const float clip[16]);
    // False only when the box lies wholly outside one plane.
    bool Sees(const Box3& box) const;

private:
    float planes_[6][4];
};

// clip = projection x modelview, both column-major.
void MultiplyMatrices(const float projection[16], const float modelview[16], float clip[16]);

}  // namespace qx
