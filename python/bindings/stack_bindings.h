#pragma once

#include <pybind11/pybind11.h>

// Stacks of fields on the module _lobara, as lobara.xarray maps them over the dimensions besides
// latitude and longitude: analysis and synthesis of many grids at once, without the GIL, the
// fields shared among threads; their power by degree, the Gaussian smoothing's weights, and the
// grids' latitudes and longitudes, recognised from coordinates and made for them.
void BindStacks(pybind11::module_& module);
