// lobara._lobara: the libraries' fields and their sampling, for the Python package lobara.
#include <pybind11/pybind11.h>

#include "bindings/field_bindings.h"
#include "bindings/geodesy_bindings.h"
#include "bindings/healpix_bindings.h"
#include "bindings/healpix_file_bindings.h"
#include "bindings/healpix_solver_bindings.h"
#include "bindings/hydrogen_bindings.h"
#include "bindings/python_errors.h"
#include "bindings/spin_grid_bindings.h"
#include "bindings/stack_bindings.h"
#include "bindings/transform_bindings.h"

PYBIND11_MODULE(_lobara, module)
{
    module.doc() = "The C++ core of lobara; use the package lobara.";
    module.attr("__version__") = LOBARA_VERSION;
    BindErrors(module);
    BindFields(module);
    BindTransforms(module);
    BindStacks(module);
    BindGeodesy(module);
    BindHydrogen(module);
    BindHealpixFiles(module);
    BindHealpix(module);
    BindHealpixSolver(module);
    BindSpinGrids(module);
}
