#pragma once

#include <string>

#include "sht/convention.h"

// The convention of the names Python passes (lobara.Convention's norm, cs and sine). Throws
// ValueError (pybind11::value_error) for a name it does not know.
Convention MakeConvention(const std::string& strNorm, bool bCondonShortley, const std::string& strSine);
