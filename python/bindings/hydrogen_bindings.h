#pragma once

#include <pybind11/pybind11.h>

// lobara._Orbital: a hydrogen-like orbital evaluated at points, psi or |psi|^2, and its largest |psi|.
void BindHydrogen(pybind11::module_& module);
