#include "bindings/healpix_bindings.h"

#include <pybind11/complex.h>
#include <pybind11/numpy.h>

#include <complex>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "bindings/interruptible.h"
#include "bindings/numpy_arrays.h"
#include "healpix/healpix_rings.h"
#include "healpix/healpix_transform.h"
#include "infra/growable_array.h"
#include "sht/finite_values.h"

namespace py = pybind11;

namespace {

using MapArray = py::array_t<double, py::array::c_style | py::array::forcecast>;
using AlmArray = py::array_t<std::complex<double>, py::array::c_style | py::array::forcecast>;
// The maps a synthesis makes, every value written by it.
using MapValues = std::vector<double, UninitializedAllocator<double>>;

int32_t Degree(int64_t n, const char* pszName)
{
    if (n < 0 || n > std::numeric_limits<int32_t>::max() / 2)
        throw py::value_error(std::string(pszName) + " needs a degree from 0 to " +
                              std::to_string(std::numeric_limits<int32_t>::max() / 2) + ", not " +
                              std::to_string(n));
    return static_cast<int32_t>(n);
}

// Maps of healpy's alm, one row of 12 Nside^2 values for each row of alm.
py::array_t<double> Synthesis(const AlmArray& aAlm, int64_t nSide, int64_t nLmax, int64_t nMmax,
                              unsigned nThreads)
{
    const std::string strSide = NsideProblem(nSide);
    if (!strSide.empty())
        throw py::value_error(strSide);
    if (aAlm.ndim() != 2)
        throw py::value_error("alm need a two-dimensional array (components, coefficients)");
    const int32_t L = Degree(nLmax, "lmax"), M = Degree(nMmax, "mmax");
    const auto nRows = static_cast<size_t>(aAlm.shape(0)), nCount = static_cast<size_t>(aAlm.shape(1));
    const size_t nPixels = static_cast<size_t>(HealpixPixels(nSide));
    const std::complex<double>* pAlm = aAlm.data();
    MapValues aMaps = RunWithoutGil([&](CInterruptCheck&) {
        const CHealpixTransform transform(nSide, L, M, nThreads);
        if (transform.Coefficients() != nCount)
            throw std::invalid_argument(
                "alm of lmax " + std::to_string(L) + " and mmax " + std::to_string(M) + " hold " +
                std::to_string(transform.Coefficients()) + " values, not " + std::to_string(nCount));
        CheckFiniteValues(reinterpret_cast<const double*>(pAlm), 2 * nRows * nCount);
        // Left unwritten until the synthesis writes it, so that its pages are taken as it goes.
        MapValues aOut(nRows * nPixels);
        for (size_t r = 0; r < nRows; ++r)
            transform.Synthesize(pAlm + r * nCount, aOut.data() + r * nPixels);
        return aOut;
    });
    return AdoptAsArray(std::move(aMaps),
                        {static_cast<py::ssize_t>(nRows), static_cast<py::ssize_t>(nPixels)});
}

// healpy's alm of maps, one row of alm for each row of 12 Nside^2 values.
py::array_t<std::complex<double>> Analysis(const MapArray& aMaps, int64_t nLmax, int64_t nMmax, int64_t nIter,
                                           unsigned nThreads)
{
    if (aMaps.ndim() != 2)
        throw py::value_error("maps need a two-dimensional array (components, pixels)");
    std::string strProblem;
    const int64_t nSide = NsideOfPixels(aMaps.shape(1), strProblem);
    if (!strProblem.empty())
        throw py::value_error(strProblem);
    if (nIter < 0 || nIter > 1000)
        throw py::value_error("iter needs 0 to 1000 steps, not " + std::to_string(nIter));
    const int32_t L = Degree(nLmax, "lmax"), M = Degree(nMmax, "mmax");
    const auto nRows = static_cast<size_t>(aMaps.shape(0)), nPixels = static_cast<size_t>(aMaps.shape(1));
    const double* pMaps = aMaps.data();
    size_t nCount = 0;
    std::vector<std::complex<double>> aAlm = RunWithoutGil([&](CInterruptCheck&) {
        const CHealpixTransform transform(nSide, L, M, nThreads);
        CheckFiniteValues(pMaps, nRows * nPixels);
        nCount = transform.Coefficients();
        std::vector<std::complex<double>> aOut(nRows * nCount);
        for (size_t r = 0; r < nRows; ++r)
            transform.Analyze(pMaps + r * nPixels, static_cast<int32_t>(nIter), aOut.data() + r * nCount);
        return aOut;
    });
    return AdoptAsArray(std::move(aAlm), {static_cast<py::ssize_t>(nRows), static_cast<py::ssize_t>(nCount)});
}

// The maps Q and U (rows 0 and 1) of a spin-weighted field from its gradient and curl a_lm (rows
// 0 and 1).
py::array_t<double> SpinSynthesis(const AlmArray& aAlm, int64_t nSide, int64_t nSpin, int64_t nLmax,
                                  int64_t nMmax, unsigned nThreads)
{
    const std::string strSide = NsideProblem(nSide);
    if (!strSide.empty())
        throw py::value_error(strSide);
    if (aAlm.ndim() != 2 || aAlm.shape(0) != 2)
        throw py::value_error("spin alm need a two-dimensional array of two rows (gradient, curl)");
    const int32_t L = Degree(nLmax, "lmax"), M = Degree(nMmax, "mmax"), s = Degree(nSpin, "spin");
    const auto nCount = static_cast<size_t>(aAlm.shape(1));
    const auto nPixels = static_cast<size_t>(HealpixPixels(nSide));
    const std::complex<double>* pAlm = aAlm.data();
    MapValues aMaps = RunWithoutGil([&](CInterruptCheck&) {
        const CHealpixTransform transform(nSide, L, M, nThreads, s);
        if (transform.Coefficients() != nCount)
            throw std::invalid_argument(
                "alm of lmax " + std::to_string(L) + " and mmax " + std::to_string(M) + " hold " +
                std::to_string(transform.Coefficients()) + " values, not " + std::to_string(nCount));
        CheckFiniteValues(reinterpret_cast<const double*>(pAlm), 4 * nCount);
        MapValues aOut(2 * nPixels);
        transform.SynthesizeSpin(pAlm, pAlm + nCount, aOut.data(), aOut.data() + nPixels);
        return aOut;
    });
    return AdoptAsArray(std::move(aMaps), {2, static_cast<py::ssize_t>(nPixels)});
}

// The gradient and curl a_lm of the maps Q and U of a spin-weighted field.
py::array_t<std::complex<double>> SpinAnalysis(const MapArray& aMaps, int64_t nSpin, int64_t nLmax,
                                               int64_t nMmax, int64_t nIter, unsigned nThreads)
{
    if (aMaps.ndim() != 2 || aMaps.shape(0) != 2)
        throw py::value_error("spin maps need a two-dimensional array of two rows (Q, U)");
    std::string strProblem;
    const int64_t nSide = NsideOfPixels(aMaps.shape(1), strProblem);
    if (!strProblem.empty())
        throw py::value_error(strProblem);
    if (nIter < 0 || nIter > 1000)
        throw py::value_error("iter needs 0 to 1000 steps, not " + std::to_string(nIter));
    const int32_t L = Degree(nLmax, "lmax"), M = Degree(nMmax, "mmax"), s = Degree(nSpin, "spin");
    const auto nPixels = static_cast<size_t>(aMaps.shape(1));
    const double* pMaps = aMaps.data();
    size_t nCount = 0;
    std::vector<std::complex<double>> aAlm = RunWithoutGil([&](CInterruptCheck&) {
        const CHealpixTransform transform(nSide, L, M, nThreads, s);
        CheckFiniteValues(pMaps, 2 * nPixels);
        nCount = transform.Coefficients();
        std::vector<std::complex<double>> aOut(2 * nCount);
        transform.AnalyzeSpin(pMaps, pMaps + nPixels, static_cast<int32_t>(nIter), aOut.data(),
                              aOut.data() + nCount);
        return aOut;
    });
    return AdoptAsArray(std::move(aAlm), {2, static_cast<py::ssize_t>(nCount)});
}

}  // namespace

void BindHealpix(py::module_& module)
{
    module.def("healpix_synthesis", &Synthesis, py::arg("alm"), py::arg("nside"), py::arg("lmax"),
               py::arg("mmax"), py::arg("threads"));
    module.def("healpix_analysis", &Analysis, py::arg("maps"), py::arg("lmax"), py::arg("mmax"),
               py::arg("iter"), py::arg("threads"));
    module.def("healpix_synthesis_spin", &SpinSynthesis, py::arg("alm"), py::arg("nside"), py::arg("spin"),
               py::arg("lmax"), py::arg("mmax"), py::arg("threads"));
    module.def("healpix_analysis_spin", &SpinAnalysis, py::arg("maps"), py::arg("spin"), py::arg("lmax"),
               py::arg("mmax"), py::arg("iter"), py::arg("threads"));
}
