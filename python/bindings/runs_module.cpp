// lobara._lobara_runs: lobara-render's runs for the Python package lobara, a module of its own
// over the drawing, text and file libraries, loaded on the first picture or mesh asked for, so
// that `import lobara` loads only the fields'.
#include <pybind11/pybind11.h>

#include "bindings/healpix_writer_bindings.h"
#include "bindings/orbital_value_bindings.h"
#include "bindings/python_errors.h"
#include "bindings/run_bindings.h"

PYBIND11_MODULE(_lobara_runs, module)
{
    module.doc() = "The runs of lobara-render for lobara; use the package lobara.";
    TranslateLibraryErrors();
    BindRuns(module);
    BindOrbitalValues(module);
    BindHealpixWriters(module);
}
