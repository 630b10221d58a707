#pragma once

#include <cstdint>
#include <vector>

#include "sht/field.h"

// Which samples of the nRows x nColumns grid (index i * nColumns + j, as the surface's) are zeros
// of the field by symmetry, where every term vanishes exactly though rounding leaves a value
// of about 1e-17: the poles for m != 0, the equator row for odd l - |m|, and the meridians
// where cos(m phi) (m > 0) or sin(|m| phi) (m < 0) is 0. A field with no term that adds
// anything is 0 everywhere. A count of 0 or less gives no samples. Throws std::bad_alloc.
std::vector<unsigned char> SymmetryZeros(const Field& field, int64_t nRows, int64_t nColumns);
