#pragma once

#include <string>

#include "sht/sample_grid.h"

// The sample grid of the name Python passes (grid="gl"). Throws ValueError (pybind11::value_error)
// naming the grids for a name it does not know.
SampleGrid GridArgument(const std::string& strGrid);
