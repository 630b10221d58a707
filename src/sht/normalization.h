#pragma once

#include <cstdint>

// n! as a double, multiplied up from 1.0 in order; 1.0 for n <= 0 and +infinity past 170.
double Factorial(int64_t n);

// N(l, m) = sqrt((2l + 1) / (4 pi) * (l - |m|)! / (l + |m|)!), with no (-1)^m factor.
// Not a number for l < 0.
double NormalizationFactor(int32_t l, int32_t m);
