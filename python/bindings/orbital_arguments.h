#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "hydrogen/orbital.h"

// The hydrogen-like orbital of the numbers, charge and convention names Python passes. Throws
// ValueError (pybind11::value_error, one line) for numbers that name no orbital.
HydrogenOrbital MakeOrbital(int64_t n, int64_t l, int64_t m, std::optional<double> charge,
                            const std::string& strNorm, bool bCondonShortley, const std::string& strSine,
                            bool bComplex);
