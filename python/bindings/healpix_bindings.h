#pragma once

#include <pybind11/pybind11.h>

// The HEALPix transforms between maps in RING order and healpy's complex a_lm, on the module
// _lobara.
void BindHealpix(pybind11::module_& module);
