#include "bindings/spin_grid_bindings.h"

#include <pybind11/complex.h>
#include <pybind11/numpy.h>

#include <complex>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "bindings/grid_arguments.h"
#include "bindings/interruptible.h"
#include "bindings/numpy_arrays.h"
#include "healpix/healpix_transform.h"
#include "healpix/spin_grid_transform.h"
#include "sht/field_synthesis.h"
#include "sht/finite_values.h"
#include "sht/sample_grid.h"

namespace py = pybind11;

namespace {

using ValueArray = py::array_t<double, py::array::c_style | py::array::forcecast>;
using AlmArray = py::array_t<std::complex<double>, py::array::c_style | py::array::forcecast>;

int32_t Whole(int64_t n, const char* pszName)
{
    if (n < 0 || n > std::numeric_limits<int32_t>::max() / 2)
        throw py::value_error(std::string(pszName) + " needs a whole number from 0 to " +
                              std::to_string(std::numeric_limits<int32_t>::max() / 2) + ", not " +
                              std::to_string(n));
    return static_cast<int32_t>(n);
}

// Refuses rows of a_lm that are not of lmax L and mmax M (M above L the synthesis refuses).
void CheckAlmCount(int32_t L, int32_t M, size_t nCount)
{
    if (M <= L && AlmCount(L, M) != nCount)
        throw py::value_error("alm of lmax " + std::to_string(L) + " and mmax " + std::to_string(M) +
                              " hold " + std::to_string(AlmCount(L, M)) + " values, not " +
                              std::to_string(nCount));
}

// The maps, (k, nT, nP), of the k rows of a_lm of real fields.
py::array_t<double> ScalarSynthesis(const AlmArray& aAlm, int64_t nLmax, int64_t nMmax, int64_t nT,
                                    int64_t nP, const std::string& strGrid, unsigned nThreads)
{
    const SampleGrid grid = GridArgument(strGrid);
    if (aAlm.ndim() != 2)
        throw py::value_error("alm need a two-dimensional array, a row of a_lm for each map");
    const int32_t L = Whole(nLmax, "lmax"), M = Whole(nMmax, "mmax");
    const int32_t nRings = Whole(nT, "ntheta"), nColumns = Whole(nP, "nphi");
    const auto nMaps = static_cast<size_t>(aAlm.shape(0)), nCount = static_cast<size_t>(aAlm.shape(1));
    CheckAlmCount(L, M, nCount);
    const size_t nValues = static_cast<size_t>(nRings) * static_cast<size_t>(nColumns);
    const std::complex<double>* pAlm = aAlm.data();
    std::vector<double> aValues = RunWithoutGil([&](CInterruptCheck&) {
        CheckFiniteValues(reinterpret_cast<const double*>(pAlm), 2 * nMaps * nCount);
        std::vector<double> aOut(nMaps * nValues);
        for (size_t k = 0; k < nMaps; ++k)
            CFieldSynthesis(pAlm + k * nCount, L, M, grid, nRings, nColumns, nThreads)
                .Run(aOut.data() + k * nValues);
        return aOut;
    });
    return AdoptAsArray(std::move(aValues),
                        {static_cast<py::ssize_t>(nMaps), static_cast<py::ssize_t>(nRings),
                         static_cast<py::ssize_t>(nColumns)});
}

// Q and U, (2, nT, nP), of the gradient and curl a_lm in rows 0 and 1.
py::array_t<double> Synthesis(const AlmArray& aAlm, int64_t nSpin, int64_t nLmax, int64_t nMmax, int64_t nT,
                              int64_t nP, const std::string& strGrid, unsigned nThreads)
{
    const SampleGrid grid = GridArgument(strGrid);
    if (aAlm.ndim() != 2 || aAlm.shape(0) != 2)
        throw py::value_error("spin alm need a two-dimensional array of two rows (gradient, curl)");
    const int32_t L = Whole(nLmax, "lmax"), M = Whole(nMmax, "mmax"), s = Whole(nSpin, "spin");
    const int32_t nRings = Whole(nT, "ntheta"), nColumns = Whole(nP, "nphi");
    const auto nCount = static_cast<size_t>(aAlm.shape(1));
    CheckAlmCount(L, M, nCount);
    const size_t nValues = static_cast<size_t>(nRings) * static_cast<size_t>(nColumns);
    const std::complex<double>* pAlm = aAlm.data();
    std::vector<double> aValues = RunWithoutGil([&](CInterruptCheck&) {
        CheckFiniteValues(reinterpret_cast<const double*>(pAlm), 4 * nCount);
        std::vector<double> aOut(2 * nValues);
        SynthesizeSpinGrid(pAlm, pAlm + nCount, s, L, M, grid, nRings, nColumns, aOut.data(),
                           aOut.data() + nValues, nThreads);
        return aOut;
    });
    return AdoptAsArray(std::move(aValues),
                        {2, static_cast<py::ssize_t>(nRings), static_cast<py::ssize_t>(nColumns)});
}

// The gradient and curl a_lm up to nLmax (below 0: the grid's limit) of Q and U, (2, nT, nP).
py::array_t<std::complex<double>> Analysis(const ValueArray& aValues, int64_t nSpin, int64_t nLmax,
                                           int64_t nMmax, const std::string& strGrid, unsigned nThreads)
{
    const SampleGrid grid = GridArgument(strGrid);
    if (aValues.ndim() != 3 || aValues.shape(0) != 2 ||
        aValues.shape(1) > std::numeric_limits<int32_t>::max() ||
        aValues.shape(2) > std::numeric_limits<int32_t>::max())
        throw py::value_error(
            "spin values need a three-dimensional array (2, rows, columns): Q and U on a grid");
    const auto nT = static_cast<int32_t>(aValues.shape(1)), nP = static_cast<int32_t>(aValues.shape(2));
    const int32_t L = nLmax < 0 ? AnalysisLimit(grid, nT, nP) : Whole(nLmax, "lmax");
    const int32_t M = nMmax < 0 ? L : Whole(nMmax, "mmax");
    const int32_t s = Whole(nSpin, "spin");
    const size_t nValues = static_cast<size_t>(nT) * static_cast<size_t>(nP);
    const size_t nCount = L >= 0 && M <= L ? AlmCount(L, M) : 0;
    const double* pValues = aValues.data();
    std::vector<std::complex<double>> aAlm = RunWithoutGil([&](CInterruptCheck&) {
        CheckFiniteValues(pValues, 2 * nValues);
        std::vector<std::complex<double>> aOut(2 * nCount);
        AnalyzeSpinGrid(pValues, pValues + nValues, grid, nT, nP, s, L, M, aOut.data(), aOut.data() + nCount,
                        nThreads);
        return aOut;
    });
    return AdoptAsArray(std::move(aAlm), {2, static_cast<py::ssize_t>(nCount)});
}

}  // namespace

void BindSpinGrids(py::module_& module)
{
    module.def("grid_synthesis", &ScalarSynthesis, py::arg("alm"), py::arg("lmax"), py::arg("mmax"),
               py::arg("ntheta"), py::arg("nphi"), py::arg("grid"), py::arg("threads"));
    module.def("spin_grid_synthesis", &Synthesis, py::arg("alm"), py::arg("spin"), py::arg("lmax"),
               py::arg("mmax"), py::arg("ntheta"), py::arg("nphi"), py::arg("grid"), py::arg("threads"));
    module.def("spin_grid_analysis", &Analysis, py::arg("values"), py::arg("spin"), py::arg("lmax"),
               py::arg("mmax"), py::arg("grid"), py::arg("threads"));
}
