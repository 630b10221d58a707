#include "bindings/transform_bindings.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "bindings/grid_arguments.h"
#include "bindings/interruptible.h"
#include "sht/degree_power.h"
#include "sht/field.h"
#include "sht/field_rotation.h"
#include "sht/finite_values.h"
#include "sht/grid_analysis.h"
#include "sht/point_analysis.h"
#include "sht/rotation_text.h"
#include "sht/sample_grid.h"

namespace py = pybind11;

namespace {

using Doubles = py::array_t<double, py::array::c_style | py::array::forcecast>;

// The coefficients up to nLmax (below 0: the grid's limit) of the values sampled on the named
// grid, in the convention of like (whose terms are not read).
Field AnalyzeGridValues(const Doubles& aValues, const std::string& strGrid, int64_t nLmax, const Field& like,
                        unsigned nThreads)
{
    const SampleGrid grid = GridArgument(strGrid);
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

// The least-squares fit up to nLmax (below 0: the highest degree the points determine) of the
// values at the points (theta[k], phi[k]) with their weights (1 each without), in the convention of
// like: the field, and why the points cannot determine its degree (empty where they do).
std::pair<Field, std::string> AnalyzePointValues(const Doubles& aTheta, const Doubles& aPhi,
                                                 const Doubles& aValues,
                                                 const std::optional<Doubles>& aWeights, int64_t nLmax,
                                                 const Field& like, unsigned nThreads)
{
    const py::ssize_t nCount = aValues.size();
    if (aTheta.ndim() != 1 || aPhi.ndim() != 1 || aValues.ndim() != 1 || aTheta.size() != nCount ||
        aPhi.size() != nCount || (aWeights && (aWeights->ndim() != 1 || aWeights->size() != nCount)))
        throw py::value_error("theta, phi, values and weights need to be one-dimensional and of one length");
    if (nCount == 0)
        throw py::value_error("the fit needs at least one point");
    std::vector<SamplePoint> aPoints(static_cast<size_t>(nCount));
    for (py::ssize_t k = 0; k < nCount; ++k)
        aPoints[static_cast<size_t>(k)] =
            SamplePoint{aTheta.at(k), aPhi.at(k), aValues.at(k), aWeights ? aWeights->at(k) : 1.0};
    return RunWithoutGil([&](CInterruptCheck&) {
        const int32_t L = nLmax < 0 ? DefaultPointDegree(aPoints, nThreads)
                                    : static_cast<int32_t>(std::min<int64_t>(nLmax, INT32_MAX));
        PointAnalysis analysis = AnalyzePoints(aPoints, L, like.convention, nThreads);
        std::string strProblem = UndeterminedFitProblem(analysis, L);
        return std::make_pair(std::move(analysis.field), std::move(strProblem));
    });
}

Field Rotated(const Field& field, const std::vector<std::string>& aRotations, unsigned nThreads)
{
    const Rotation rotation = ParseRotations(aRotations);
    return RunWithoutGil([&](CInterruptCheck&) { return RotateField(field, rotation, nThreads); });
}

Field RotatedByMatrix(const Field& field, const Doubles& aMatrix, unsigned nThreads)
{
    if (aMatrix.ndim() != 2 || aMatrix.shape(0) != 3 || aMatrix.shape(1) != 3)
        throw py::value_error("the rotation matrix needs the shape (3, 3)");
    std::array<std::array<double, 3>, 3> r{};
    for (py::ssize_t i = 0; i < 3; ++i)
        for (py::ssize_t j = 0; j < 3; ++j)
            r[static_cast<size_t>(i)][static_cast<size_t>(j)] = aMatrix.at(i, j);
    const Rotation rotation = RotationFromMatrix(r);
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
    module.def("analyze_points", &AnalyzePointValues, py::arg("theta"), py::arg("phi"), py::arg("values"),
               py::arg("weights").none(true), py::arg("lmax"), py::arg("like"), py::arg("threads"));
    module.def("rotated_by_matrix", &RotatedByMatrix, py::arg("field"), py::arg("matrix"),
               py::arg("threads"));
}
