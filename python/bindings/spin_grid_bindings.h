#pragma once

#include <pybind11/pybind11.h>

// Spin-weighted synthesis onto the sample grids and exact analysis from them, on the module
// _lobara.
void BindSpinGrids(pybind11::module_& module);
