#pragma once

#include <pybind11/pybind11.h>

// HEALPix maps and healpy's alm written to FITS files all or nothing, for lobara.healpix_files.
void BindHealpixWriters(pybind11::module_& module);
