// Smooth value noise over 3D space.  Pure integer hashing and double maths,
// so a point always gives the same value; the sky uses it on directions,
// which keeps neighbouring cube faces equal where they meet.
#pragma once

namespace qx::data {

// 0..1, smooth, lattice period 1.
double ValueNoise(double x, double y, double z);
// Four octaves of ValueNoise, 0..1.
double Fractal(double x, double y, double z);

double SmoothStep(double edge0, double edge1, double x);

}  // namespace qx::data
