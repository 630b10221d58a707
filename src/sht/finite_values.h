#pragma once

#include <cstddef>

// A field whose coefficients are near the largest double (--term 0,0,1e308 a few times) sums to
// inf or NaN: that is no value to print, draw or write.

// Throws std::runtime_error, one line, when any of the nCount values at adValues is not finite.
void CheckFiniteValues(const double* adValues, size_t nCount);
