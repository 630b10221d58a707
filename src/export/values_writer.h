#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "export/output_stream.h"
#include "mesh/surface_mesh.h"
#include "sht/sample_grid.h"

// d with the 17 significant digits that read back as the same double, in any locale.
std::string DecimalText(double d);

// The shortest decimal text that reads back as d, for words meant for people (0.9, 1e-06).
std::string ShortDecimalText(double d);

// Writes d as its 8 IEEE bytes, little-endian.
void WriteLittleEndianDouble(COutputStream& stream, double d);

// How values are written, by the file's extension: ".npy" a NumPy array, ".csv" text, ".nc" a
// netCDF grid (export/netcdf_writer.h), any other headerless little-endian doubles.
enum class ValuesFormat
{
    kRaw,
    kNpy,
    kCsv,
    kNetcdf,
};
ValuesFormat ValuesFormatOf(const std::string& strPath);

// Writes the signed value of every sample in sample-index order (row i of theta, then column j
// of phi): as little-endian IEEE doubles, headerless or as a NumPy array of shape (nRows,
// nColumns); or as CSV, a header "theta,phi,value" and a row per sample, each number with the
// 17 significant digits that read back as the same double, theta the grid's (as --analyze reads
// them on that grid). nRows * nColumns must be the number of values. With pImag, the values are
// complex, aValue their real parts and *pImag (as long) their imaginary parts: NumPy complex128,
// raw pairs re, im, CSV rows theta,phi,re,im.
void WriteValues(COutputStream& stream, const DoubleArray& aValue, ValuesFormat format, int32_t nRows,
                 int32_t nColumns, const DoubleArray* pImag = nullptr, SampleGrid grid = SampleGrid::kLobara);

// Writes the values of a cube of points, aCoordinate the points' coordinates along each axis,
// the third axis fastest: as little-endian IEEE doubles, headerless or as a NumPy array of shape
// (N, N, N), N the coordinates' count; or as CSV, a header "x,y,z,value" and a row per point.
// With pImag, complex values as WriteValues writes them (CSV rows x,y,z,re,im).
void WriteBoxValues(COutputStream& stream, const std::vector<double>& aValue, ValuesFormat format,
                    const std::vector<double>& aCoordinate, const std::vector<double>* pImag = nullptr);

// Writes a NumPy array of float64 of shape anShape, (N,) or (rows, N), the values of each of
// apRows after the other, as many as the shape says.
void WriteNpyArray(COutputStream& stream, const std::vector<int64_t>& anShape,
                   const std::vector<const std::vector<double>*>& apRows);
