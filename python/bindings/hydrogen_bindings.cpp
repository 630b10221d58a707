#include "bindings/hydrogen_bindings.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <complex>
#include <string>

#include "bindings/interruptible.h"
#include "bindings/numpy_arrays.h"
#include "bindings/orbital_arguments.h"
#include "hydrogen/enclosed_probability.h"
#include "hydrogen/orbital_values.h"

namespace py = pybind11;

namespace {

using ValueArray = py::array_t<double, py::array::c_style | py::array::forcecast>;

// The orbital at the points (x[k], y[k], z[k]), one-dimensional arrays of one length, all finite:
// psi (complex for a complex orbital) or |psi|^2. The points are shared among the cores; Ctrl-C
// stops the work.
py::array Evaluate(const HydrogenOrbital& orbital, const ValueArray& aX, const ValueArray& aY,
                   const ValueArray& aZ, bool bDensity)
{
    if (aX.ndim() != 1 || aY.ndim() != 1 || aZ.ndim() != 1 || aX.size() != aY.size() ||
        aX.size() != aZ.size())
        throw py::value_error("x, y and z need to be one-dimensional and of one length");
    const double* pX = aX.data();
    const double* pY = aY.data();
    const double* pZ = aZ.data();
    const auto nPoints = static_cast<size_t>(aX.size());
    for (size_t k = 0; k < nPoints; ++k)
        if (!std::isfinite(pX[k]) || !std::isfinite(pY[k]) || !std::isfinite(pZ[k]))
            throw py::value_error("x, y and z need finite values, not " +
                                  py::repr(py::float_(pX[k])).cast<std::string>() + ", " +
                                  py::repr(py::float_(pY[k])).cast<std::string>() + ", " +
                                  py::repr(py::float_(pZ[k])).cast<std::string>());
    const OrbitalQuantity quantity = bDensity ? OrbitalQuantity::kDensity : OrbitalQuantity::kPsi;
    OrbitalSamples samples = RunWithoutGil([&](CInterruptCheck& check) {
        return SampleOrbitalAt(
            orbital, nPoints,
            [&](size_t k) {
                return std::array<double, 3>{pX[k], pY[k], pZ[k]};
            },
            quantity, 0, [&check](size_t, size_t) { check.Check(); });
    });
    const auto nShape = static_cast<py::ssize_t>(nPoints);
    if (samples.aIm.empty())
        return AdoptAsArray(std::move(samples.aRe), {nShape});
    std::vector<std::complex<double>> aValues(nPoints);
    for (size_t k = 0; k < nPoints; ++k)
        aValues[k] = {samples.aRe[k], samples.aIm[k]};
    return AdoptAsArray(std::move(aValues), {nShape});
}

}  // namespace

void BindHydrogen(py::module_& module)
{
    py::class_<HydrogenOrbital>(module, "_Orbital")
        .def(py::init(&MakeOrbital), py::arg("n"), py::arg("l"), py::arg("m"), py::arg("charge").none(true),
             py::arg("norm"), py::arg("cs"), py::arg("sine"), py::arg("complex"))
        .def("evaluate", &Evaluate, py::arg("x"), py::arg("y"), py::arg("z"), py::arg("density"))
        .def("peak", [](const HydrogenOrbital& orbital) { return CEnclosedProbability(orbital, 1).Peak(); });
}
