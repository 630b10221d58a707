#pragma once

#include <pybind11/pybind11.h>

// The analysis of samples into a field, the rotation of a field and its power by degree, on the
// module _lobara.
void BindTransforms(pybind11::module_& module);
