#include "bindings/stack_bindings.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "bindings/convention_arguments.h"
#include "bindings/grid_arguments.h"
#include "bindings/interruptible.h"
#include "bindings/numpy_arrays.h"
#include "geodesy/gaussian_smoothing.h"
#include "infra/thread_sharing.h"
#include "sht/degree_power.h"
#include "sht/field.h"
#include "sht/field_synthesis.h"
#include "sht/finite_values.h"
#include "sht/grid_analysis.h"
#include "sht/grid_coordinates.h"
#include "sht/own_coefficients.h"
#include "sht/sample_grid.h"

namespace py = pybind11;

namespace {

using ValueArray = py::array_t<double, py::array::c_style | py::array::forcecast>;
using IndexArray = py::array_t<int64_t, py::array::c_style | py::array::forcecast>;

int32_t Count(int64_t n, const char* pszName)
{
    if (n < 0 || n > std::numeric_limits<int32_t>::max())
        throw py::value_error(std::string(pszName) + " needs a count from 0 to 2147483647, not " +
                              std::to_string(n));
    return static_cast<int32_t>(n);
}

// The fields of a stack, (fields, coefficients) with the degree and order of each column.
struct StackTerms
{
    const int64_t* pL;
    const int64_t* pM;
    const double* pC;
    size_t nFields;
    size_t nTerms;
};

StackTerms TermsOf(const IndexArray& aL, const IndexArray& aM, const ValueArray& aC)
{
    if (aL.ndim() != 1 || aM.ndim() != 1 || aL.size() != aM.size() || aC.ndim() != 2 ||
        aC.shape(1) != aL.size())
        throw py::value_error("l and m need one dimension and coefficients two, (fields, len(l))");
    for (py::ssize_t k = 0; k < aL.size(); ++k)
        if (aL.data()[k] < 0 || aL.data()[k] > std::numeric_limits<int32_t>::max() / 2 ||
            std::llabs(aM.data()[k]) > aL.data()[k])
            throw py::value_error("Y(" + std::to_string(aL.data()[k]) + ", " + std::to_string(aM.data()[k]) +
                                  ") needs 0 <= |m| <= l");
    return {aL.data(), aM.data(), aC.data(), static_cast<size_t>(aC.shape(0)),
            static_cast<size_t>(aL.size())};
}

Field FieldOf(const StackTerms& terms, size_t nField, const Convention& convention)
{
    Field field{{}, convention};
    field.aTerms.reserve(terms.nTerms);
    const double* pRow = terms.pC + nField * terms.nTerms;
    for (size_t k = 0; k < terms.nTerms; ++k)
    {
        if (!std::isfinite(pRow[k]))
            throw std::invalid_argument("the coefficient of Y(" + std::to_string(terms.pL[k]) + ", " +
                                        std::to_string(terms.pM[k]) + ") of field " + std::to_string(nField) +
                                        " is not finite");
        field.aTerms.push_back(
            Term{static_cast<int32_t>(terms.pL[k]), static_cast<int32_t>(terms.pM[k]), pRow[k]});
    }
    return field;
}

// (fields, nT, nP) values on a grid to (fields, (L + 1)^2) coefficients, every (l, m) up to L in
// ACN order (l^2 + l + m), each field analysed on one thread as Field.analyze does it.
py::array_t<double> AnalyzeStack(const ValueArray& aValues, const std::string& strGrid, int64_t nLmax,
                                 const std::string& strNorm, bool bCs, const std::string& strSine,
                                 unsigned nThreads)
{
    const SampleGrid grid = GridArgument(strGrid);
    const Convention convention = MakeConvention(strNorm, bCs, strSine);
    if (aValues.ndim() != 3 || aValues.shape(1) > std::numeric_limits<int32_t>::max() ||
        aValues.shape(2) > std::numeric_limits<int32_t>::max())
        throw py::value_error("values need a three-dimensional array (fields, rows, columns)");
    const auto nFields = static_cast<size_t>(aValues.shape(0));
    const auto nT = static_cast<int32_t>(aValues.shape(1)), nP = static_cast<int32_t>(aValues.shape(2));
    const int32_t nLimit = AnalysisLimit(grid, nT, nP);
    const int32_t L = nLmax < 0 ? nLimit : static_cast<int32_t>(std::min<int64_t>(nLmax, INT32_MAX));
    if (L < 0)
        throw py::value_error("a grid of " + std::to_string(nT) + " x " + std::to_string(nP) +
                              " holds no degree");
    const size_t nCount = OwnCount(L);
    const double* pValues = aValues.data();
    std::vector<double> aCoefficients = RunWithoutGil([&](CInterruptCheck& check) {
        const size_t nSamples = static_cast<size_t>(nT) * static_cast<size_t>(nP);
        for (size_t k = 0; k < nFields * nSamples; ++k)
            if (!std::isfinite(pValues[k]))
                throw std::invalid_argument(
                    "the values need finite numbers: " + std::string(std::isnan(pValues[k]) ? "nan" : "inf") +
                    " in field " + std::to_string(k / nSamples) + " of the block, at ring " +
                    std::to_string(k % nSamples / static_cast<size_t>(nP)) + " from the north, column " +
                    std::to_string(k % static_cast<size_t>(nP)) + " from longitude 0");
        std::vector<double> aAll(nFields * nCount);
        ShareAmongThreads(nFields, ThreadsFor(nThreads), [&](size_t k, unsigned) {
            const Field field = AnalyzeGrid(pValues + k * nSamples, grid, nT, nP, L, convention, 1);
            for (size_t i = 0; i < nCount; ++i)
            {
                const double c = field.aTerms[i].c;
                if (!std::isfinite(c))
                    throw std::runtime_error(
                        "the analysis overflows: the coefficient of Y(" + std::to_string(field.aTerms[i].l) +
                        ", " + std::to_string(field.aTerms[i].m) + ") is beyond the range of doubles");
                aAll[k * nCount + i] = c;
            }
            check.Check();
        });
        return aAll;
    });
    return AdoptAsArray(std::move(aCoefficients),
                        {static_cast<py::ssize_t>(nFields), static_cast<py::ssize_t>(nCount)});
}

// (fields, len(l)) coefficients to (fields, nT, nP) values on a grid.
py::array_t<double> SynthesizeStack(const IndexArray& aL, const IndexArray& aM, const ValueArray& aC,
                                    const std::string& strNorm, bool bCs, const std::string& strSine,
                                    const std::string& strGrid, int64_t nT, int64_t nP, unsigned nThreads)
{
    const StackTerms terms = TermsOf(aL, aM, aC);
    const Convention convention = MakeConvention(strNorm, bCs, strSine);
    const SampleGrid grid = GridArgument(strGrid);
    const int32_t nRows = Count(nT, "nlat"), nColumns = Count(nP, "nlon");
    const std::string strShape = GridShapeProblem(grid, nRows, nColumns);
    if (!strShape.empty())
        throw py::value_error(strShape);
    const size_t nSamples = static_cast<size_t>(nRows) * static_cast<size_t>(nColumns);
    std::vector<double> aValues = RunWithoutGil([&](CInterruptCheck& check) {
        std::vector<double> aAll(terms.nFields * nSamples);
        if (nSamples == 0)
            return aAll;
        ShareAmongThreads(terms.nFields, ThreadsFor(nThreads), [&](size_t k, unsigned) {
            CFieldSynthesis(FieldOf(terms, k, convention), grid, nRows, nColumns, 1)
                .Run(aAll.data() + k * nSamples);
            check.Check();
        });
        CheckFiniteValues(aAll.data(), aAll.size());
        return aAll;
    });
    return AdoptAsArray(std::move(aValues), {static_cast<py::ssize_t>(terms.nFields), nRows, nColumns});
}

// (fields, L + 1): the power of each degree of each field (sht/degree_power.h), L the highest
// degree of the columns.
py::array_t<double> PowerStack(const IndexArray& aL, const IndexArray& aM, const ValueArray& aC,
                               const std::string& strNorm, bool bCs, const std::string& strSine)
{
    const StackTerms terms = TermsOf(aL, aM, aC);
    const Convention convention = MakeConvention(strNorm, bCs, strSine);
    int64_t L = -1;
    for (size_t k = 0; k < terms.nTerms; ++k)
        L = std::max(L, terms.pL[k]);
    const auto nDegrees = static_cast<size_t>(L + 1);
    std::vector<double> aPower = RunWithoutGil([&](CInterruptCheck&) {
        std::vector<double> aAll(terms.nFields * nDegrees, 0.0);
        for (size_t k = 0; k < terms.nFields; ++k)
            for (const DegreePower& row : PowerSpectrum(FieldOf(terms, k, convention)))
                aAll[k * nDegrees + static_cast<size_t>(row.l)] = row.dPower;
        return aAll;
    });
    return AdoptAsArray(std::move(aPower),
                        {static_cast<py::ssize_t>(terms.nFields), static_cast<py::ssize_t>(nDegrees)});
}

std::vector<double> SmoothingWeights(double dRadiusKm, double dSphereRadius, int64_t nLmax)
{
    const std::string strError = SmoothingRadiusError(dRadiusKm, dSphereRadius);
    if (!strError.empty())
        throw py::value_error(strError);
    if (nLmax < 0 || nLmax > std::numeric_limits<int32_t>::max() / 2)
        throw py::value_error("lmax needs a degree from 0, not " + std::to_string(nLmax));
    return GaussianWeights(dRadiusKm, dSphereRadius, static_cast<int32_t>(nLmax));
}

// The grid of coordinates in degrees: its name, whether the latitudes rise and the shift of the
// columns; ValueError naming what they are when they are no grid.
std::tuple<std::string, bool, int32_t> RecognisedGrid(const std::vector<double>& aLatitude,
                                                      const std::vector<double>& aLongitude)
{
    GridCoordinates found;
    const std::string strProblem = RecogniseGrid(aLatitude, aLongitude, found);
    if (!strProblem.empty())
        throw py::value_error(strProblem);
    return {SampleGridName(found.grid), found.bSouthFirst, found.nColumnShift};
}

std::tuple<std::vector<double>, std::vector<double>> GridDegrees(const std::string& strGrid, int64_t nT,
                                                                 int64_t nP)
{
    return {SampleGridLatitudes(GridArgument(strGrid), Count(nT, "nlat")),
            SampleGridLongitudes(Count(nP, "nlon"))};
}

}  // namespace

void BindStacks(py::module_& module)
{
    module.def("analyze_stack", &AnalyzeStack, py::arg("values"), py::arg("grid"), py::arg("lmax"),
               py::arg("norm"), py::arg("cs"), py::arg("sine"), py::arg("threads"));
    module.def("synthesize_stack", &SynthesizeStack, py::arg("l"), py::arg("m"), py::arg("coefficients"),
               py::arg("norm"), py::arg("cs"), py::arg("sine"), py::arg("grid"), py::arg("nlat"),
               py::arg("nlon"), py::arg("threads"));
    module.def("power_stack", &PowerStack, py::arg("l"), py::arg("m"), py::arg("coefficients"),
               py::arg("norm"), py::arg("cs"), py::arg("sine"));
    module.def("smoothing_weights", &SmoothingWeights, py::arg("radius_km"), py::arg("sphere_radius"),
               py::arg("lmax"));
    module.def("recognise_grid", &RecognisedGrid, py::arg("latitudes"), py::arg("longitudes"));
    module.def(
        "analysis_limit",
        [](const std::string& strGrid, int64_t nT, int64_t nP) {
            return AnalysisLimit(GridArgument(strGrid), Count(nT, "nlat"), Count(nP, "nlon"));
        },
        py::arg("grid"), py::arg("nlat"), py::arg("nlon"));
    module.def("grid_degrees", &GridDegrees, py::arg("grid"), py::arg("nlat"), py::arg("nlon"));
}
