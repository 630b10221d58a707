#pragma once

#include <pybind11/pybind11.h>

// The least-squares HEALPix analysis and the residual of any analysis, on the module _lobara.
void BindHealpixSolver(pybind11::module_& module);
