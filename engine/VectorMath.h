// Three-component vectors and RGBA colours laid out as OpenGL and the 3DS
// files expect them, with two families of operations on them.
//
// The vector family (SetColor4 ... ColorFromRGB) guards VecNormalize
// against a zero length; the normal family (Magnitude ... TriangleNormal)
// does not, so a degenerate triangle gets NaN components.  Intermediates are
// doubles; each stored component is rounded to float once.  No operation
// raises: divisions by zero give infinities or NaN.
#pragma once

#include <cstdint>
#include <type_traits>

struct TVec3 {
    float X = 0.0f;
    float Y = 0.0f;
    float Z = 0.0f;
};

struct TColor4 {
    float R = 0.0f;
    float G = 0.0f;
    float B = 0.0f;
    float A = 0.0f;
};

static_assert(sizeof(TVec3) == 12 && std::is_standard_layout_v<TVec3>);
static_assert(sizeof(TColor4) == 16 && std::is_standard_layout_v<TColor4>);

// Vector family.
void SetColor4(TColor4& c, float r, float g, float b, float a);
void SetVec3(TVec3& v, float x, float y, float z);
void VecZero(TVec3& v);
float VecLength(const TVec3& v);
// Returns the length; a zero length leaves v unchanged.
float VecNormalize(TVec3& v);
void VecAdd(const TVec3& a, const TVec3& b, TVec3& r);
void VecSub(const TVec3& a, const TVec3& b, TVec3& r);
void VecDivScalar(const TVec3& v, TVec3& r, float s);
void VecCross(const TVec3& a, const TVec3& b, TVec3& r);
// Red in the lowest byte, then green, then blue; the top byte is ignored.
void ColorFromRGB(TColor4& c, int32_t rgb);

// Normal family.
float Magnitude(const TVec3& v);
void Normalized(const TVec3& v, TVec3& r);
void Subtract(const TVec3& a, const TVec3& b, TVec3& r);
void Cross(const TVec3& a, const TVec3& b, TVec3& r);
// Uses p[0..2]: Normalized(Cross(p[2] - p[0], p[1] - p[0])), which faces a
// viewer who sees the points clockwise.
void TriangleNormal(const TVec3* p, TVec3& n);

// Value-returning forms for expressions.
TVec3 Subtract(const TVec3& a, const TVec3& b);
TVec3 Cross(const TVec3& a, const TVec3& b);
TVec3 Normalized(const TVec3& v);
TVec3 TriangleNormal(const TVec3* p);

namespace qx {

// out = a x b for 4 x 4 matrices kept column-major, as GL keeps them (the
// clip matrix is projection x modelview).
void MultiplyMatrices(const float a[16], const float b[16], float out[16]);

}  // namespace qx
