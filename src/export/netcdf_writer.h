#pragma once

#include <string>
#include <vector>

#include "export/output_stream.h"

// What a netCDF file of values says of them besides the values.
struct NetcdfGrid
{
    std::vector<double> aLatitude;   // degrees_north, one for each row
    std::vector<double> aLongitude;  // degrees_east, one for each column
    std::string strGridKind;         // the grid's name, as --grid spells it
    std::string strName;             // the variable's name
    std::string strUnits;            // empty for none
    std::string strLongName;
};

// Writes values of rows of latitude, each of columns of longitude (index row * columns + column),
// as a CF-1.8 netCDF-4 file: the coordinate variables lat and lon with their units, standard names
// and axes, and the variable on (lat, lon) with its long name, units and the grid's kind. The file
// is made in memory and written to the stream whole. Throws std::runtime_error naming the stream.
void WriteNetcdfValues(COutputStream& stream, const double* pValues, const NetcdfGrid& grid);
