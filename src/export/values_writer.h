#pragma once

#include <cstdint>
#include <string>

#include "export/output_stream.h"
#include "surface/surface_mesh.h"

// True when the values go to a NumPy file: a path ending in ".npy".
bool IsNpyPath(const std::string& strPath);

// Writes the signed value of every sample as little-endian IEEE doubles in sample-index order
// (row i of theta, then column j of phi): headerless, or as a NumPy array of shape
// (nRows, nColumns) when bNpy. nRows * nColumns must be the number of values.
void WriteValues(COutputStream& stream, const DoubleArray& aValue, bool bNpy, int32_t nRows,
                 int32_t nColumns);
