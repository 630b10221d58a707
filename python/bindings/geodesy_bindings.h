#pragma once

#include <pybind11/pybind11.h>

// Gravity and magnetic models' files with their constants and rates, their quantities at geodetic
// places and their quantities' coefficients, for lobara.geodesy.
void BindGeodesy(pybind11::module_& module);
