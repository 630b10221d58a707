#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sht/sample_grid.h"

// The rings and columns of a sample grid as latitudes and longitudes in degrees, as netCDF files
// and xarray hold them: latitude 90 - theta, longitude phi.

// The latitude of each of the nT rings of the grid, from the north (exactly 90 and -90 at the
// poles of a lobara grid).
std::vector<double> SampleGridLatitudes(SampleGrid grid, int32_t nT);

// The longitude of each of nP columns, 360 j / nP.
std::vector<double> SampleGridLongitudes(int32_t nP);

// Where values given on latitudes and longitudes lie on a sample grid.
struct GridCoordinates
{
    SampleGrid grid = SampleGrid::kLobara;
    bool bSouthFirst = false;  // the latitudes rise: the grid's ring i is the given row nT - 1 - i
    int32_t nColumnShift = 0;  // the given column j is the grid's column (j + shift) mod nP
};

// Recognises the grid from the coordinates themselves: the latitudes of one of the grids of
// SampleGrid, in either order, and longitudes equally spaced over the whole circle from any
// multiple of their spacing (0 or -180 as a rule), each to a thousandth of the spacing (coordinates
// stored as float32 still match). Returns "" and sets found, or one line naming what the
// coordinates are.
std::string RecogniseGrid(const std::vector<double>& aLatitude, const std::vector<double>& aLongitude,
                          GridCoordinates& found);
