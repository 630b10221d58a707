#include "bindings/transform_bindings.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "bindings/interruptible.h"
#include "sht/degree_power.h"
#include "sht/field.h"
#include "sht/field_rotation.h"
#include "sht/finite_values.h"
#include "sht/grid_analysis.h"
#include "sht/rotation_text.h"
#include "sht/sample_grid.h"

namespace py = pybind11;

namespace {

using GridArray = py::array_t<double, py::array::c_style | py::array::forcecast>;

// The coefficients up to nLmax (below 0: the grid's limit) of the values sampled on the named
// grid, in the convention of like (whose terms are not read).
Field AnalyzeGridValues(const GridArray& aValues, const std::string& strGrid, int64_t nLmax,
                        const Field& like, unsigned nThreads)
{
    SampleGrid grid;
    if (!FindSampleGrid(strGrid, grid))
    {
        std::string strNames;
        for (const std::string& strName : SampleGridNames())
            strNames += (strNames.empty() ? "" : ", ") + strName;
        throw py::value_error("grid needs one of " + strNames + ", not '" + strGrid + "'");
    }
    if (aValues.ndim() != 2 || aValues.shape(0) > std::numeric_limits<int32_t>::max() ||
        aValues.shape(1) > std::numeric_limits<int32_t>::max())
        throw py::value_error("values need a two-dimensional array (rows, columns) of a grid");
    const auto nT = static_cast<int32_t>(aValues.shape(0)), nP = static_cast<int32_t>(aValues.shape(1));
    const int32_t nLimit = AnalysisLimit(grid, nT, nP);
    const int32_t nDegree = nLmax < 0 ? nLimit : static_cast<int32_t>(std::min<int64_t>(nLmax, INT32_MAX));
    const double* pValues = aValues.data();
    return RunWithoutGil([&](CInterruptCheck&) {
        CheckFiniteValues(pValues, static_cast<size_t>(aValues.size()));
        Field field = AnalyzeGrid(pValues, grid, nT, nP, nDegree, like.convention, nThreads);
        // Values near the largest double can sum past it.
        for (const Term& term : field.aTerms)
            if (!std::isfinite(term.c))
                throw std::runtime_error("the analysis overflows: the coefficient of Y(" +
                                         std::to_string(term.l) + ", " + std::to_string(term.m) +
                                         ") is beyond the range of doubles");
        return field;
    });
}

Field Rotated(const Field& field, const std::vector<std::string>& aRotations, unsigned nThreads)
{
    const Rotation rotation = ParseRotations(aRotations);
    return RunWithoutGil([&](CInterruptCheck&) { return RotateField(field, rotation, nThreads); });
}

std::tuple<py::array_t<int64_t>, py::array_t<double>> Power(const Field& field)
{
    const std::vector<DegreePower> aRows = PowerSpectrum(field);
    const auto nCount = static_cast<py::ssize_t>(aRows.size());
    py::array_t<int64_t> aL(nCount);
    py::array_t<double> aPower(nCount);
    auto l = aL.mutable_unchecked<1>();
    auto power = aPower.mutable_unchecked<1>();
    for (py::ssize_t k = 0; k < nCount; ++k)
    {
        l(k) = aRows[static_cast<size_t>(k)].l;
        power(k) = aRows[static_cast<size_t>(k)].dPower;
    }
    return {aL, aPower};
}

}  // namespace

void BindTransforms(py::module_& module)
{
    module.def("analyze_grid", &AnalyzeGridValues, py::arg("values"), py::arg("grid"), py::arg("lmax"),
               py::arg("like"), py::arg("threads"));
    module.def("grid_names", &SampleGridNames);
    module.def("rotated", &Rotated, py::arg("field"), py::arg("rotations"), py::arg("threads"));
    module.def("power", &Power, py::arg("field"));
}
