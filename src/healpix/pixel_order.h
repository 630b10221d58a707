#pragma once

#include <cstdint>

// HEALPix pixel numbers in the two orders of the 12 Nside^2 pixels: RING, along the rings of
// constant latitude from the north pole, and NESTED, the base pixels (faces) 0 to 11 each split
// into four Nside / 2 times, x and y within a face interleaved bit by bit. NESTED needs Nside a
// power of 2.

// The largest Nside: 2^29, whose 12 Nside^2 pixels fit 63 bits.
constexpr int64_t kMaxNside = int64_t{1} << 29;

// Whether nNside can number the NESTED order: a power of 2 from 1 to kMaxNside.
bool IsNestedNside(int64_t nNside);

// The pixel's number in the other order, for 0 <= nPixel < 12 Nside^2 and IsNestedNside(nNside).
int64_t NestToRing(int64_t nNside, int64_t nPixel);
int64_t RingToNest(int64_t nNside, int64_t nPixel);

// A whole map from NESTED into RING: pOut[NestToRing(i)] = pIn[i] for its 12 Nside^2 values;
// pIn and pOut do not overlap.
void NestedToRingMap(int64_t nNside, const double* pIn, double* pOut);
