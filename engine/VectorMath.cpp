#include "VectorMath.h"

#include <cmath>

namespace {

float Length(const TVec3& v)
{
    const double x = v.X, y = v.Y, z = v.Z;
    return static_cast<float>(std::sqrt(x * x + y * y + z * z));
}

TVec3 CrossOf(const TVec3& a, const TVec3& b)
{
    const double ax = a.X, ay = a.Y, az = a.Z;
    const double bx = b.X, by = b.Y, bz = b.Z;
    return {static_cast<float>(ay * bz - az * by), static_cast<float>(az * bx - ax * bz),
            static_cast<float>(ax * by - ay * bx)};
}

TVec3 DividedBy(const TVec3& v, double s)
{
    return {static_cast<float>(v.X / s), static_cast<float>(v.Y / s), static_cast<float>(v.Z / s)};
}

TVec3 Difference(const TVec3& a, const TVec3& b)
{
    return {static_cast<float>(double(a.X) - b.X), static_cast<float>(double(a.Y) - b.Y),
            static_cast<float>(double(a.Z) - b.Z)};
}

}  // namespace

void SetColor4(TColor4& c, float r, float g, float b, float a) { c = {r, g, b, a}; }

void SetVec3(TVec3& v, float x, float y, float z) { v = {x, y, z}; }

void VecZero(TVec3& v) { v = {0.0f, 0.0f, 0.0f}; }

float VecLength(const TVec3& v) { return Length(v); }

float VecNormalize(TVec3& v)
{
    const float length = Length(v);
    if (length != 0.0f)
        v = DividedBy(v, length);
    return length;
}

void VecAdd(const TVec3& a, const TVec3& b, TVec3& r)
{
    r = {static_cast<float>(double(a.X) + b.X), static_cast<float>(double(a.Y) + b.Y),
         static_cast<float>(double(a.Z) + b.Z)};
}

void VecSub(const TVec3& a, const TVec3& b, TVec3& r) { r = Difference(a, b); }

void VecDivScalar(const TVec3& v, TVec3& r, float s) { r = DividedBy(v, s); }

void VecCross(const TVec3& a, const TVec3& b, TVec3& r) { r = CrossOf(a, b); }

void ColorFromRGB(TColor4& c, int32_t rgb)
{
    // The factor is the single 1/255, as the colours of the saved data were
    // computed with it.
    const double scale = 1.0f / 255.0f;
    const auto bits = static_cast<uint32_t>(rgb);
    c.R = static_cast<float>((bits & 0xFF) * scale);
    c.G = static_cast<float>(((bits >> 8) & 0xFF) * scale);
    c.B = static_cast<float>(((bits >> 16) & 0xFF) * scale);
    c.A = 1.0f;
}

float Magnitude(const TVec3& v) { return Length(v); }

void Normalized(const TVec3& v, TVec3& r) { r = DividedBy(v, Magnitude(v)); }

void Subtract(const TVec3& a, const TVec3& b, TVec3& r) { r = Difference(a, b); }

void Cross(const TVec3& a, const TVec3& b, TVec3& r) { r = CrossOf(a, b); }

void TriangleNormal(const TVec3* p, TVec3& n) { n = TriangleNormal(p); }

TVec3 Subtract(const TVec3& a, const TVec3& b) { return Difference(a, b); }

TVec3 Cross(const TVec3& a, const TVec3& b) { return CrossOf(a, b); }

TVec3 Normalized(const TVec3& v) { return DividedBy(v, Magnitude(v)); }

TVec3 TriangleNormal(const TVec3* p) { return Normalized(Cross(Subtract(p[2], p[0]), Subtract(p[1], p[0]))); }

void qx::MultiplyMatrices(const float a[16], const float b[16], float out[16])
{
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) {
            float sum = 0;
            for (int k = 0; k < 4; ++k)
                sum += a[k * 4 + r] * b[c * 4 + k];
            out[c * 4 + r] = sum;
        }
}
