#include "sht/normalization.h"

#include <cmath>
#include <cstdlib>

#include "sht/angles.h"

double Factorial(int64_t n)
{
    double dResult = 1.0;
    // Once the product overflows it stays infinite, so the loop may stop there.
    for (int64_t i = 1; i <= n && !std::isinf(dResult); ++i)
        dResult *= static_cast<double>(i);
    return dResult;
}

double NormalizationFactor(int32_t l, int32_t m)
{
    const int64_t nL = l;
    const int64_t a = std::llabs(static_cast<int64_t>(m));
    const double g = static_cast<double>(nL + nL + 1) * 0.5;
    const double k = 1.0 / std::sqrt(kTwoPi);
    const double r = Factorial(nL - a) / Factorial(nL + a);
    return std::sqrt(r * g) * k;
}
