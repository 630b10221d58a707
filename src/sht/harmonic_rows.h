#pragma once

#include <cstdint>
#include <vector>

// Everything of a theta row that does not depend on phi. The value at column phi is
// Y = ((A(phi) * dS) * dW) * dN, with dN shared by all rows.
struct RowFactors
{
    double dX;  // cos(theta)
    double dSinTheta;
    double dS;
    double dW;
};

struct HarmonicRows
{
    std::vector<RowFactors> aRows;
    double dN;
};

// Whether Y(l, m) is evaluated in the power basis: P_l's coefficients differentiated |m|
// times, summed as sum_k pow(x, k) c_k, times pow(1 - x^2, |m| / 2) and N(l, m). That keeps
// within 1e-12 of max|Y| while the polynomial has at most 13 terms and (l + |m|)! is a finite
// double; elsewhere its coefficients cancel or its factorials overflow, and the normalised
// recurrence takes over.
bool UsesPowerBasis(int32_t l, int32_t m);

// cos(theta) and sin(theta) of nRows theta samples, north pole (theta = 0) to south pole
// (theta = pi); a single row is the north pole. The other factors are left 0.
std::vector<RowFactors> MakeThetaRows(int32_t nRows);

// The rows of nRows theta samples, north pole (theta = 0) to south pole (theta = pi); a
// single row is the north pole. l < 0 or |m| > l gives the zero harmonic.
HarmonicRows MakeHarmonicRows(int32_t l, int32_t m, int32_t nRows);
