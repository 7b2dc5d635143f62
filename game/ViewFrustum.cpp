#include "ViewFrustum.h"

namespace qx {

ViewFrustum::ViewFrustum(const float m[16])
{
    // Row r of the clip matrix is m[r], m[4 + r], m[8 + r], m[12 + r].
    const auto row = [&](int r, int c) { return m[c * 4 + r]; };
    for (int p = 0; p < 6; ++p) {
        const int axis = p / 2;
        const float sign = (p % 2 == 0) ? 1.0f : -1.0f;
        for (int c = 0; c < 4; ++c)
            planes_[p][c] = row(3, c) + sign * row(axis, c);
    }
}

bool ViewFrustum::Sees(const Box3& box) const
{
    for (const auto& p : planes_) {
        // The corner farthest along the plane's normal.
        const float x = p[0] >= 0 ? box.max[0] : box.min[0];
        const float y = p[1] >= 0 ? box.max[1] : box.min[1];
        const float z = p[2] >= 0 ? box.max[2] : box.min[2];
        if (p[0] * x + p[1] * y + p[2] * z + p[3] < 0)
            return false;
    }
    return true;
}

}  // namespace qx
