#include "bindings/orbital_value_bindings.h"

#include "bindings/interruptible.h"
#include "bindings/python_paths.h"
#include "bindings/python_run_hooks.h"
#include "jobs/orbital_values.h"
#include "options/request_error.h"

namespace py = pybind11;

namespace {

// The frames from the hooks up to the caller's code: the package's public call.
constexpr int kCallerStackLevel = 2;

void SaveCube(const HydrogenOrbital& orbital, const py::object& path, int64_t nSide, bool bDensity)
{
    OrbitalValuesJob values;
    values.strCubePath = PathText(path);
    values.nBoxSide = static_cast<int32_t>(std::max<int64_t>(0, std::min<int64_t>(nSide, kMaxBoxSide + 1)));
    values.quantity = bDensity ? OrbitalQuantity::kDensity : OrbitalQuantity::kPsi;
    try
    {
        RunWithoutGil([&](CInterruptCheck& check) {
            CPythonRunHooks hooks(check, kCallerStackLevel);
            RunOrbitalValues(orbital, values, hooks);
            return 0;
        });
    }
    catch (const RequestError&)
    {
        throw;
    }
    catch (const std::runtime_error& error)
    {
        RaiseOsError(error);
    }
}

}  // namespace

void BindOrbitalValues(py::module_& module)
{
    module.def("save_orbital_cube", &SaveCube, py::arg("orbital"), py::arg("path"), py::arg("size"),
               py::arg("density"),
               "Writes the orbital's Gaussian cube file to path, as lobara-render's --cube: all or nothing.");
}
