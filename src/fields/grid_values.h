#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Values sampled on a grid of nT rings of nP values each, ring by ring (index i * nP + j), as
// the readers of values give them to analysis.
struct GridValues
{
    int32_t nT = 0;
    int32_t nP = 0;
    std::vector<double> aValues;
};

// Fails as the coefficient readers do ("cannot read 'PATH': ...") at the first value that is not
// finite, naming its ring and column.
void CheckFiniteValues(const std::string& strPath, const GridValues& values);

// nCount little-endian doubles from pBytes.
std::vector<double> DecodeDoubles(const unsigned char* pBytes, size_t nCount);
