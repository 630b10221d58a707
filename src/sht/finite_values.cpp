#include "sht/finite_values.h"

#include <cmath>
#include <stdexcept>

void CheckFiniteValues(const double* adValues, size_t nCount)
{
    for (size_t k = 0; k < nCount; ++k)
        if (!std::isfinite(adValues[k]))
            throw std::runtime_error(
                "the field overflows: its value is not a finite double (its coefficients are too large)");
}
