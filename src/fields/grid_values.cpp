#include "fields/grid_values.h"

#include <cmath>
#include <cstring>

#include "fields/coefficient_input.h"

void CheckFiniteValues(const std::string& strPath, const GridValues& values)
{
    for (size_t k = 0; k < values.aValues.size(); ++k)
        if (!std::isfinite(values.aValues[k]))
            ThrowCoefficientError(strPath, 0,
                                  "the value of ring " + std::to_string(k / static_cast<size_t>(values.nP)) +
                                      ", column " + std::to_string(k % static_cast<size_t>(values.nP)) +
                                      " is not finite");
}

std::vector<double> DecodeDoubles(const unsigned char* pBytes, size_t nCount)
{
    std::vector<double> aValues(nCount);
    for (size_t k = 0; k < nCount; ++k)
    {
        uint64_t nBits = 0;
        for (int b = 7; b >= 0; --b)
            nBits = (nBits << 8) | pBytes[8 * k + static_cast<size_t>(b)];
        std::memcpy(&aValues[k], &nBits, sizeof nBits);
    }
    return aValues;
}
