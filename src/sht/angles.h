#pragma once

// π as the program computes with it, to the last bit of a double, and 2π (exact doubling).
constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 2.0 * kPi;
constexpr double kFourPi = 4.0 * kPi;  // the sphere's area, exact
static_assert(kTwoPi == 6.283185307179586, "2π to the last bit");

#include <cstdint>

// The angles of the sample grid: theta of row i of nRows, from the north pole (0) to the south
// pole (pi), a single row at the north pole; phi of column j of nColumns, 2 pi j / nColumns.
inline double SampleTheta(int64_t i, int64_t nRows)
{
    return nRows == 1 ? 0.0 : (static_cast<double>(i) / static_cast<double>(nRows - 1)) * kPi;
}

inline double SamplePhi(int64_t j, int64_t nColumns)
{
    return (static_cast<double>(j) / static_cast<double>(nColumns)) * kTwoPi;
}
