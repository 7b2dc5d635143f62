// Per-vertex normals in one pass over the faces and one over the vertices.
// Each vertex still sums its faces' normals in face order with the same
// float roundings as the vector routines (double intermediates, one float
// rounding per component), so the result is bit for bit the average a
// search over all faces for every vertex gives.
#include <cmath>

#include "Model3ds.h"

namespace qx {

namespace {

inline TVec3 Difference(const TVec3& a, const TVec3& b)
{
    return {static_cast<float>(double(a.X) - b.X), static_cast<float>(double(a.Y) - b.Y),
            static_cast<float>(double(a.Z) - b.Z)};
}

inline TVec3 CrossOf(const TVec3& a, const TVec3& b)
{
    const double ax = a.X, ay = a.Y, az = a.Z;
    const double bx = b.X, by = b.Y, bz = b.Z;
    return {static_cast<float>(ay * bz - az * by), static_cast<float>(az * bx - ax * bz),
            static_cast<float>(ax * by - ay * bx)};
}

inline void AddTo(TVec3& sum, const TVec3& v)
{
    sum = {static_cast<float>(double(sum.X) + v.X), static_cast<float>(double(sum.Y) + v.Y),
           static_cast<float>(double(sum.Z) + v.Z)};
}

inline TVec3 DividedBy(const TVec3& v, double s)
{
    return {static_cast<float>(v.X / s), static_cast<float>(v.Y / s), static_cast<float>(v.Z / s)};
}

}  // namespace

void ComputeNormals(T3DObject& object)
{
    const std::vector<TVec3>& vertices = object.Vertices;
    const size_t n = vertices.size();
    std::vector<TVec3> sums(n);
    std::vector<uint32_t> counts(n, 0);
    for (const TFace& f : object.Faces) {
        const TVec3& a = vertices[f.A];
        const TVec3& b = vertices[f.B];
        const TVec3& c = vertices[f.C];
        const TVec3 normal = CrossOf(Difference(a, c), Difference(c, b));
        // A face counts once for a vertex it names twice.
        AddTo(sums[f.A], normal);
        ++counts[f.A];
        if (f.B != f.A) {
            AddTo(sums[f.B], normal);
            ++counts[f.B];
        }
        if (f.C != f.A && f.C != f.B) {
            AddTo(sums[f.C], normal);
            ++counts[f.C];
        }
    }
    object.Normals.resize(n);
    for (size_t i = 0; i < n; ++i) {
        TVec3 v = DividedBy(sums[i], -static_cast<float>(counts[i]));
        const double x = v.X, y = v.Y, z = v.Z;
        const float length = static_cast<float>(std::sqrt(x * x + y * y + z * z));
        if (length != 0.0f)
            v = DividedBy(v, length);
        object.Normals[i] = v;
    }
}

}  // namespace qx
