#include "bindings/field_bindings.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "bindings/convention_arguments.h"
#include "bindings/grid_arguments.h"
#include "bindings/interruptible.h"
#include "bindings/numpy_arrays.h"
#include "bindings/python_errors.h"
#include "fields/coefficient_file.h"
#include "fields/input_convention.h"
#include "fields/orbitals.h"
#include "settings/sampling_defaults.h"
#include "sht/angles.h"
#include "sht/build_limits.h"
#include "sht/coefficient_conversion.h"
#include "sht/complex_field.h"
#include "sht/convention.h"
#include "sht/field.h"
#include "sht/field_rows.h"
#include "sht/field_synthesis.h"
#include "sht/finite_values.h"
#include "sht/gauss_legendre.h"
#include "sht/sample_grid.h"

namespace py = pybind11;

namespace {

using IndexArray = py::array_t<int64_t, py::array::c_style | py::array::forcecast>;
using ValueArray = py::array_t<double, py::array::c_style | py::array::forcecast>;

// How many points one evaluation takes before it looks for Ctrl-C again: each point costs about
// as much as the field has terms, so a field of millions of terms looks every few points.
constexpr int64_t kPointWorkPerLook = int64_t{1} << 24;

std::string SineName(SineSign sine)
{
    return sine == SineSign::kLobara ? "lobara" : "standard";
}

int32_t CheckedInt32(int64_t n, const char* pszWhat)
{
    if (n < std::numeric_limits<int32_t>::min() || n > std::numeric_limits<int32_t>::max())
        throw py::value_error(std::string(pszWhat) + " " + std::to_string(n) + " is beyond 32-bit integers");
    return static_cast<int32_t>(n);
}

// A sample count: 0 .. 2^31 - 1 (0 gives an empty grid).
int32_t SampleCount(int64_t n, const char* pszName)
{
    if (n < 0 || n > std::numeric_limits<int32_t>::max())
        throw py::value_error(std::string(pszName) + " needs a count from 0 to 2147483647, not " +
                              std::to_string(n));
    return static_cast<int32_t>(n);
}

Field MakeField(const IndexArray& aL, const IndexArray& aM, const ValueArray& aC, const std::string& strNorm,
                bool bCondonShortley, const std::string& strSine)
{
    if (aL.ndim() != 1 || aM.ndim() != 1 || aC.ndim() != 1 || aL.size() != aM.size() ||
        aL.size() != aC.size())
        throw py::value_error("l, m and c need to be one-dimensional and of one length");
    Field field{{}, MakeConvention(strNorm, bCondonShortley, strSine)};
    const auto l = aL.unchecked<1>();
    const auto m = aM.unchecked<1>();
    const auto c = aC.unchecked<1>();
    field.aTerms.reserve(static_cast<size_t>(aL.size()));
    for (py::ssize_t k = 0; k < aL.size(); ++k)
    {
        if (!std::isfinite(c(k)))
            throw py::value_error("the coefficient of Y(" + std::to_string(l(k)) + ", " +
                                  std::to_string(m(k)) + ") is not finite");
        field.aTerms.push_back(Term{CheckedInt32(l(k), "degree"), CheckedInt32(m(k), "order"), c(k)});
    }
    return field;
}

std::tuple<py::array_t<int64_t>, py::array_t<int64_t>, py::array_t<double>> TermArrays(const Field& field)
{
    const auto nCount = static_cast<py::ssize_t>(field.aTerms.size());
    py::array_t<int64_t> aL(nCount), aM(nCount);
    py::array_t<double> aC(nCount);
    auto l = aL.mutable_unchecked<1>();
    auto m = aM.mutable_unchecked<1>();
    auto c = aC.mutable_unchecked<1>();
    for (py::ssize_t k = 0; k < nCount; ++k)
    {
        const Term& term = field.aTerms[static_cast<size_t>(k)];
        l(k) = term.l;
        m(k) = term.m;
        c(k) = term.c;
    }
    return {aL, aM, aC};
}

py::array_t<double> Sample(const Field& field, int64_t nT, int64_t nP, const std::string& strGrid)
{
    const int32_t nRows = SampleCount(nT, "nt"), nColumns = SampleCount(nP, "np");
    const SampleGrid grid = GridArgument(strGrid);
    const std::string strShape = GridShapeProblem(grid, nRows, nColumns);
    if (!strShape.empty())
        throw py::value_error(strShape);
    DoubleArray aValues = RunWithoutGil([&](CInterruptCheck& check) {
        DoubleArray aSampled = SampleField(field, nRows, nColumns, check.Progress(), grid);
        CheckFiniteValues(aSampled.GetData(), static_cast<size_t>(aSampled.GetSize()));
        return aSampled;
    });
    // An empty grid holds no value, whichever count is 0.
    if (aValues.GetSize() == 0)
        return py::array_t<double>(std::vector<py::ssize_t>{nRows, nColumns});
    return AdoptAsArray(std::move(aValues), {nRows, nColumns});
}

// The field at the points (theta[k], phi[k]), theta within [0, pi] and both finite.
py::array_t<double> Evaluate(const Field& field, const ValueArray& aTheta, const ValueArray& aPhi)
{
    if (aTheta.ndim() != 1 || aPhi.ndim() != 1 || aTheta.size() != aPhi.size())
        throw py::value_error("theta and phi need to be one-dimensional and of one length");
    const auto theta = aTheta.unchecked<1>();
    const auto phi = aPhi.unchecked<1>();
    std::vector<std::array<double, 2>> aPoints(static_cast<size_t>(aTheta.size()));
    for (py::ssize_t k = 0; k < aTheta.size(); ++k)
    {
        if (!(theta(k) >= 0.0 && theta(k) <= kPi) || !std::isfinite(phi(k)))
            throw py::value_error("theta needs values from 0 to pi and phi finite values, not " +
                                  py::repr(py::float_(theta(k))).cast<std::string>() + ", " +
                                  py::repr(py::float_(phi(k))).cast<std::string>());
        aPoints[static_cast<size_t>(k)] = {theta(k), phi(k)};
    }
    const int64_t nChunk = std::max<int64_t>(
        1, kPointWorkPerLook / std::max<int64_t>(1, static_cast<int64_t>(field.aTerms.size())));
    std::vector<double> aValues = RunWithoutGil([&](CInterruptCheck& check) {
        if (static_cast<int64_t>(aPoints.size()) <= nChunk)
            return EvaluateField(field, aPoints);
        std::vector<double> aAll;
        aAll.reserve(aPoints.size());
        for (size_t nFirst = 0; nFirst < aPoints.size(); nFirst += static_cast<size_t>(nChunk))
        {
            const size_t nEnd = std::min(aPoints.size(), nFirst + static_cast<size_t>(nChunk));
            const std::vector<double> aPart = EvaluateField(
                field, std::vector<std::array<double, 2>>(aPoints.begin() + nFirst, aPoints.begin() + nEnd));
            aAll.insert(aAll.end(), aPart.begin(), aPart.end());
            check.Check();
        }
        return aAll;
    });
    CheckFiniteValues(aValues.data(), aValues.size());
    const auto nCount = static_cast<py::ssize_t>(aValues.size());
    return AdoptAsArray(std::move(aValues), {nCount});
}

py::array_t<double> ConventionFactors(const IndexArray& aL, const IndexArray& aM, const std::string& strNorm,
                                      bool bCondonShortley, const std::string& strSine)
{
    if (aL.ndim() != 1 || aM.ndim() != 1 || aL.size() != aM.size())
        throw py::value_error("l and m need to be one-dimensional and of one length");
    const Convention convention = MakeConvention(strNorm, bCondonShortley, strSine);
    const auto l = aL.unchecked<1>();
    const auto m = aM.unchecked<1>();
    py::array_t<double> aFactors(aL.size());
    auto factor = aFactors.mutable_unchecked<1>();
    for (py::ssize_t k = 0; k < aL.size(); ++k)
    {
        if (l(k) < 0 || l(k) > std::numeric_limits<int32_t>::max() || std::llabs(m(k)) > l(k))
            throw py::value_error("Y(" + std::to_string(l(k)) + ", " + std::to_string(m(k)) +
                                  ") needs 0 <= |m| <= l");
        factor(k) = ConventionFactor(static_cast<int32_t>(l(k)), static_cast<int32_t>(m(k)), convention);
    }
    return aFactors;
}

// The field of a coefficient file, in the file's convention (its header's normalisation, else
// strNorm when not empty, else its format's), and the file's warnings.
std::pair<Field, std::vector<std::string>> ReadFileField(const std::string& strPath, int64_t nLmax,
                                                         const std::string& strNorm)
{
    const int32_t nMaxDegree = nLmax < 0 ? -1 : static_cast<int32_t>(std::min<int64_t>(nLmax, INT32_MAX));
    ConventionChoice choice;
    if (!strNorm.empty())
        choice.normalization = MakeConvention(strNorm, false, "standard").normalization;
    CoefficientFile file;
    try
    {
        file = RunWithoutGil([&](CInterruptCheck&) { return ReadCoefficientFile(strPath, nMaxDegree); });
    }
    catch (const std::runtime_error& error)
    {
        throw CoefficientFileFailure(error.what());
    }
    const Convention convention = FileConvention(choice, file, strPath);
    return {Field{std::move(file.aTerms), convention}, std::move(file.aWarnings)};
}

Field Orbital(const std::string& strName, const std::string& strNorm, bool bCondonShortley,
              const std::string& strSine)
{
    Field field;
    if (!FindOrbital(strName, MakeConvention(strNorm, bCondonShortley, strSine), field))
        throw py::value_error("orbital needs one of " + OrbitalNames() + ", not '" + strName + "'");
    return field;
}

std::vector<std::string> SplitNames(const std::string& strNames)
{
    std::vector<std::string> aNames;
    for (size_t nStart = 0; nStart <= strNames.size();)
    {
        size_t nEnd = strNames.find(", ", nStart);
        if (nEnd == std::string::npos)
            nEnd = strNames.size();
        aNames.push_back(strNames.substr(nStart, nEnd - nStart));
        nStart = nEnd + 2;
    }
    return aNames;
}

// The grid's thetas and phis, and for Gauss-Legendre's rows their weights (of the integral over
// cos theta, summing to 2); None for the others.
std::tuple<py::array_t<double>, py::array_t<double>, py::object> SampleAngles(int64_t nT, int64_t nP,
                                                                              const std::string& strGrid)
{
    const int32_t nRows = SampleCount(nT, "nt"), nColumns = SampleCount(nP, "np");
    const SampleGrid grid = GridArgument(strGrid);
    const std::string strShape = GridShapeProblem(grid, nRows, nColumns);
    if (!strShape.empty())
        throw py::value_error(strShape);
    GaussLegendre rule;
    if (grid == SampleGrid::kGl && nRows > 0)
        rule = MakeGaussLegendre(nRows);
    else
        rule.aTheta = GridThetas(grid, nRows);
    py::array_t<double> aPhi(nColumns);
    auto phi = aPhi.mutable_unchecked<1>();
    for (int32_t j = 0; j < nColumns; ++j)
        phi(j) = SamplePhi(j, nColumns);
    const auto nThetas = static_cast<py::ssize_t>(rule.aTheta.size());
    py::object weights = py::none();
    if (grid == SampleGrid::kGl)
        weights = AdoptAsArray(std::move(rule.aWeight), {nThetas});
    return {AdoptAsArray(std::move(rule.aTheta), {nThetas}), aPhi, weights};
}

}  // namespace

void BindFields(py::module_& module)
{
    py::class_<Field>(
        module, "_Field",
        "A real field: the sum of c * Y(l, m) over its terms, each Y in the field's convention. "
        "lobara.Field wraps it.")
        .def(py::init(&MakeField), py::arg("l"), py::arg("m"), py::arg("c"), py::arg("norm"), py::arg("cs"),
             py::arg("sine"))
        .def_property_readonly(
            "norm", [](const Field& field) { return NormalizationName(field.convention.normalization); })
        .def_property_readonly("cs", [](const Field& field) { return field.convention.bCondonShortley; })
        .def_property_readonly("sine", [](const Field& field) { return SineName(field.convention.sine); })
        .def_property_readonly("term_count", [](const Field& field) { return field.aTerms.size(); })
        .def("terms", &TermArrays, "The terms as three arrays: l, m and c.")
        .def("max_degree", &FieldMaxDegree)
        .def("max_order", &FieldMaxOrder)
        .def(
            "sufficient_grid",
            [](const Field& field) {
                const GridSize grid = SufficientGrid(field);
                return std::make_pair(grid.nRows, grid.nColumns);
            },
            "The smallest grid (rows, columns) with about four samples to a period of the field.")
        .def(
            "determining_grid",
            [](const Field& field, const std::string& strGrid) {
                const GridSize grid = DeterminingGrid(field, GridArgument(strGrid));
                return std::make_pair(grid.nRows, grid.nColumns);
            },
            py::arg("grid"),
            "The smallest grid (rows, columns) of that layout whose samples determine the field.")
        .def("sample", &Sample, py::arg("nt"), py::arg("np"), py::arg("grid"))
        .def("evaluate", &Evaluate, py::arg("theta"), py::arg("phi"))
        .def(
            "in_convention",
            [](const Field& field, const std::string& strNorm, bool bCondonShortley,
               const std::string& strSine) {
                return InConvention(field, MakeConvention(strNorm, bCondonShortley, strSine));
            },
            py::arg("norm"), py::arg("cs"), py::arg("sine"),
            "The same function in another convention; a coefficient beyond the double range raises.")
        .def(
            "complex_parts",
            [](const Field& field) {
                ComplexField parts = ComplexParts(field);
                return std::make_pair(std::move(parts.re), std::move(parts.im));
            },
            "The real and imaginary parts of the complex field of the same terms, each a real field.");

    module.def("convention_factors", &ConventionFactors, py::arg("l"), py::arg("m"), py::arg("norm"),
               py::arg("cs"), py::arg("sine"));
    module.def("read_coefficient_file", &ReadFileField, py::arg("path"), py::arg("lmax"), py::arg("norm"));
    module.def("orbital", &Orbital, py::arg("name"), py::arg("norm"), py::arg("cs"), py::arg("sine"));
    module.def("orbital_names", []() { return SplitNames(OrbitalNames()); });
    module.def("normalization_names", &NormalizationNames);
    module.def("sine_names", &SineSignNames);
    module.attr("DEFAULT_GRID") = std::make_pair(kDefaultThetaDiv, kDefaultPhiDiv);
    module.def("convention_names", &ConventionNames);
    module.def(
        "named_convention",
        [](const std::string& strName) {
            Convention convention;
            if (!FindConventionNamed(strName, convention))
            {
                std::string strNames;
                for (const std::string& strKnown : ConventionNames())
                    strNames += (strNames.empty() ? "" : ", ") + strKnown;
                throw py::value_error("convention needs one of " + strNames + ", not '" + strName + "'");
            }
            return std::make_tuple(std::string(NormalizationName(convention.normalization)),
                                   convention.bCondonShortley, SineName(convention.sine));
        },
        py::arg("name"));
    module.def(
        "acn_terms",
        [](const std::vector<double>& aChannels) {
            Field field{AcnTerms(aChannels), Convention{}};
            return TermArrays(field);
        },
        py::arg("channels"));
    module.def("sample_angles", &SampleAngles, py::arg("nt"), py::arg("np"), py::arg("grid"));
    module.attr("MAX_DEGREE") = kMaxDegree;
}
