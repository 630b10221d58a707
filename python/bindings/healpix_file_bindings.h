#pragma once

#include <pybind11/pybind11.h>

// HEALPix maps and healpy's alm read from FITS files, and the pixels' NESTED and RING numbers,
// for lobara.healpix_files: the files' values as they are, failures as CoefficientFileError.
void BindHealpixFiles(pybind11::module_& module);
