#pragma once

#include <string>

#include "fields/grid_values.h"
#include "sht/grid_coordinates.h"

// Values on a latitude/longitude grid in a netCDF file (classic or netCDF-4), as CF files and
// xarray hold them.
struct NetcdfGridValues
{
    GridValues values;  // ring by ring from the north, each from longitude 0
    SampleGrid grid = SampleGrid::kLobara;
    std::string strVariable;
};

// The variable strVariable, or when that is empty the only one on latitude and longitude: its two
// dimensions lat (or latitude) and lon (or longitude) in either order, any others of length 1,
// each with its coordinate variable, whose values say the grid (RecogniseGrid). Values are read as
// doubles with the variable's scale_factor and add_offset; a cell equal to its _FillValue or
// missing_value, or not finite, fails. Everything else (not netCDF, no such variable, no
// latitude or longitude, a grid it does not recognise) fails as the coefficient readers do, with
// one line naming what the file holds.
NetcdfGridValues ReadNetcdfValues(const std::string& strPath, const std::string& strVariable);
