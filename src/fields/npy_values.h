#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "fields/grid_values.h"

// A NumPy .npy file of float64 values ('<f8', C order) of shape (nT, nP). Any other type, order
// or number of dimensions, a header that is not NumPy's, a size that does not match the shape
// and a value that is not finite fail with one line.
GridValues ReadNpyValues(const std::string& strPath);

// A NumPy .npy file of float64 values ('<f8', C order) of one or two dimensions, each of 1 to
// 2^31 - 1 values, as it holds them, non-finite values included. Fails with one line as
// ReadNpyValues does.
struct NpyArray
{
    std::vector<int64_t> anShape;
    std::string strShape;  // as the header writes it
    std::vector<double> aValues;
};
NpyArray ReadNpyArray(const std::string& strPath);
