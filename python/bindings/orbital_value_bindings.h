#pragma once

#include <pybind11/pybind11.h>

// lobara-render's files of an orbital's values for Python: its Gaussian cube file, written all or
// nothing as --cube writes it.
void BindOrbitalValues(pybind11::module_& module);
