#pragma once

#include <pybind11/pybind11.h>

// Synthesis of healpy's a_lm onto the sample grids, of real and of spin-weighted fields, and the
// spin-weighted fields' exact analysis from them, on the module _lobara.
void BindSpinGrids(pybind11::module_& module);
