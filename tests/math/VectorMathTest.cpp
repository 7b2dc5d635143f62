#include "VectorMath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>

namespace {

void ExpectVec(const TVec3& v, float x, float y, float z)
{
    EXPECT_FLOAT_EQ(v.X, x);
    EXPECT_FLOAT_EQ(v.Y, y);
    EXPECT_FLOAT_EQ(v.Z, z);
}

TEST(VectorLayout, MatchesTheArraysHandedToOpenGL)
{
    EXPECT_EQ(offsetof(TVec3, X), 0u);
    EXPECT_EQ(offsetof(TVec3, Y), 4u);
    EXPECT_EQ(offsetof(TVec3, Z), 8u);
    EXPECT_EQ(offsetof(TColor4, A), 12u);
    TVec3 points[2];
    SetVec3(points[1], 4, 5, 6);
    EXPECT_EQ(reinterpret_cast<const float*>(points)[4], 5.0f);
}

TEST(VecNormalize, ScalesToUnitLengthAndReturnsTheLength)
{
    TVec3 v{3, 0, 4};
    EXPECT_FLOAT_EQ(VecNormalize(v), 5.0f);
    ExpectVec(v, 0.6f, 0.0f, 0.8f);
}

TEST(VecNormalize, ZeroVectorStaysZero)
{
    TVec3 v{0, 0, 0};
    EXPECT_EQ(VecNormalize(v), 0.0f);
    EXPECT_EQ(v.X, 0.0f);
    EXPECT_EQ(v.Y, 0.0f);
    EXPECT_EQ(v.Z, 0.0f);
}

TEST(VecNormalize, TinyLengthStillDivides)
{
    TVec3 v{1e-30f, 0, 0};
    // The square of 1e-30 underflows a float but not the double intermediate.
    EXPECT_FLOAT_EQ(VecNormalize(v), 1e-30f);
    ExpectVec(v, 1, 0, 0);
}

TEST(VecLength, UsesDoubleIntermediates)
{
    EXPECT_FLOAT_EQ(VecLength({3e20f, 4e20f, 0}), 5e20f);  // float squares would overflow
    EXPECT_FLOAT_EQ(Magnitude({1, 2, 2}), 3.0f);
}

TEST(VectorFamily, ComponentwiseArithmetic)
{
    TVec3 r;
    VecAdd({1, 2, 3}, {10, 20, 30}, r);
    ExpectVec(r, 11, 22, 33);
    VecSub({1, 2, 3}, {10, 20, 30}, r);
    ExpectVec(r, -9, -18, -27);
    VecDivScalar({2, 4, 6}, r, 2);
    ExpectVec(r, 1, 2, 3);
    VecZero(r);
    ExpectVec(r, 0, 0, 0);
    TColor4 c;
    SetColor4(c, 0.1f, 0.2f, 0.3f, 0.4f);
    EXPECT_EQ(c.R, 0.1f);
    EXPECT_EQ(c.A, 0.4f);
}

TEST(VectorFamily, OutputMayAliasAnInput)
{
    TVec3 a{1, 0, 0};
    VecCross(a, {0, 1, 0}, a);
    ExpectVec(a, 0, 0, 1);
    TVec3 b{1, 2, 3};
    VecAdd(b, b, b);
    ExpectVec(b, 2, 4, 6);
}

TEST(VecDivScalar, DivisionByZeroGivesInfinitiesAndNaN)
{
    TVec3 r;
    VecDivScalar({1, -1, 0}, r, 0);
    EXPECT_TRUE(std::isinf(r.X) && r.X > 0);
    EXPECT_TRUE(std::isinf(r.Y) && r.Y < 0);
    EXPECT_TRUE(std::isnan(r.Z));
}

TEST(CrossProduct, BothFamiliesAgree)
{
    const TVec3 a{1, 2, 3}, b{-4, 5, 0.5f};
    TVec3 r1, r2;
    VecCross(a, b, r1);
    Cross(a, b, r2);
    ExpectVec(r1, 2 * 0.5f - 3 * 5, 3 * -4 - 1 * 0.5f, 1 * 5 - 2 * -4);
    ExpectVec(r2, r1.X, r1.Y, r1.Z);
    ExpectVec(Cross({1, 0, 0}, {0, 1, 0}), 0, 0, 1);
}

TEST(ColorFromRGB, RedInTheLowestByte)
{
    TColor4 c;
    ColorFromRGB(c, 0x00FF8000);
    EXPECT_FLOAT_EQ(c.R, 0.0f);
    EXPECT_NEAR(c.G, 0.50196f, 1e-5);
    EXPECT_FLOAT_EQ(c.B, 1.0f);
    EXPECT_EQ(c.A, 1.0f);
    ColorFromRGB(c, 0x000000FF);
    EXPECT_FLOAT_EQ(c.R, 1.0f);
    EXPECT_EQ(c.G, 0.0f);
}

TEST(ColorFromRGB, IgnoresTheTopByte)
{
    TColor4 c;
    ColorFromRGB(c, static_cast<int32_t>(0xAB000000u));
    EXPECT_EQ(c.R, 0.0f);
    EXPECT_EQ(c.G, 0.0f);
    EXPECT_EQ(c.B, 0.0f);
    EXPECT_EQ(c.A, 1.0f);
    ColorFromRGB(c, -1);
    EXPECT_FLOAT_EQ(c.B, 1.0f);
}

TEST(TriangleNormal, ClockwiseTriangleFacesTheViewer)
{
    const TVec3 p[] = {{0, 0, 0}, {0, 1, 0}, {1, 0, 0}};
    TVec3 n;
    TriangleNormal(p, n);
    ExpectVec(n, 0, 0, 1);
}

TEST(TriangleNormal, FloorRectangleFacesUp)
{
    const TVec3 p[] = {{0, 0, 0}, {10, 0, 0}, {10, 0, 10}, {0, 0, 10}};
    ExpectVec(TriangleNormal(p), 0, 1, 0);
}

TEST(TriangleNormal, DegenerateTriangleGivesNaN)
{
    const TVec3 collinear[] = {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}};
    const TVec3 n = TriangleNormal(collinear);
    EXPECT_TRUE(std::isnan(n.X) && std::isnan(n.Y) && std::isnan(n.Z));
    TVec3 r;
    Normalized({0, 0, 0}, r);
    EXPECT_TRUE(std::isnan(r.X));
}

TEST(Normalized, UnitVectorOfAnyOtherLength)
{
    TVec3 r;
    Normalized({0, -7, 0}, r);
    ExpectVec(r, 0, -1, 0);
    ExpectVec(Subtract({5, 5, 5}, {1, 2, 3}), 4, 3, 2);
}

}  // namespace
