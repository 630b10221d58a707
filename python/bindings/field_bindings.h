#pragma once

#include <pybind11/pybind11.h>

// The fields: lobara._Field over the libraries' Field (terms and a convention), its sampling on
// the grid and at points, the conventions' factors, coefficient files, orbitals and the grid's
// angles.
void BindFields(pybind11::module_& module);
