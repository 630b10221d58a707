#pragma once

#include <string>

#include "fields/grid_values.h"

// A NumPy .npy file of float64 values ('<f8', C order) of shape (nT, nP). Any other type, order
// or number of dimensions, a header that is not NumPy's, a size that does not match the shape
// and a value that is not finite fail with one line.
GridValues ReadNpyValues(const std::string& strPath);
