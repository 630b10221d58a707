#pragma once

#include <cstdint>
#include <string>

#include "fields/grid_values.h"

// Headerless little-endian doubles, nT rings of nP values (both positive): a file of any other
// size, or with a value that is not finite, fails with one line.
GridValues ReadRawValues(const std::string& strPath, int32_t nT, int32_t nP);
