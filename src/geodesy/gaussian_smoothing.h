#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sht/convention.h"

// Jekeli's Gaussian averaging on a sphere of radius a, as monthly gravity solutions are smoothed:
// the kernel W(gamma) proportional to exp(-b (1 - cos gamma)), b = ln 2 / (1 - cos(d / a)),
// falls to half its central value at the distance d along the sphere, and its coefficients,
// normalised to W_0 = 1, are W_l = i_l(b) / i_0(b) (modified spherical Bessel functions), which
// obey Jekeli's recursion
//   W_(l+1) = W_(l-1) - (2l + 1) / b W_l,  W_1 = (1 + e^-2b) / (1 - e^-2b) - 1 / b.
// Run upward, the recursion loses every digit once W_l falls below about the root of the
// rounding error (W_l is its decaying solution), so it runs downward here, from a degree where
// W is below 1e-17 of the last one wanted (Miller's method), and is scaled to W_0 = 1.

// One-line refusal of a radius (km) the averaging cannot take: not from 1 km to half the
// circumference of the sphere of radius a (m); empty when it can.
std::string SmoothingRadiusError(double dRadiusKm, double a);

// W_l for l = 0 .. nMaxDegree, for a radius d in km on a sphere of radius a in m.
std::vector<double> GaussianWeights(double dRadiusKm, double a, int32_t nMaxDegree);

// Multiplies each term of degree l by W_l.
void SmoothTerms(std::vector<Term>& aTerms, double dRadiusKm, double a);
