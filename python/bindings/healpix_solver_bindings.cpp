#include "bindings/healpix_solver_bindings.h"

#include <pybind11/complex.h>
#include <pybind11/numpy.h>

#include <complex>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "bindings/interruptible.h"
#include "bindings/numpy_arrays.h"
#include "healpix/healpix_least_squares.h"
#include "healpix/healpix_rings.h"
#include "sht/finite_values.h"

namespace py = pybind11;

namespace {

using MapArray = py::array_t<double, py::array::c_style | py::array::forcecast>;
using AlmArray = py::array_t<std::complex<double>, py::array::c_style | py::array::forcecast>;

// The maps' resolution; spin maps come as two rows (Q, U), spin 0 as any number of rows.
int64_t MapsSide(const MapArray& aMaps, int64_t nSpin)
{
    if (aMaps.ndim() != 2 || (nSpin != 0 && aMaps.shape(0) != 2))
        throw py::value_error(nSpin == 0 ? "maps need a two-dimensional array (components, pixels)"
                                         : "spin maps need a two-dimensional array of two rows (Q, U)");
    std::string strProblem;
    const int64_t nSide = NsideOfPixels(aMaps.shape(1), strProblem);
    if (!strProblem.empty())
        throw py::value_error(strProblem);
    return nSide;
}

int32_t Count(int64_t n, const char* pszName, int64_t nMost)
{
    if (n < 0 || n > nMost)
        throw py::value_error(std::string(pszName) + " needs a whole number from 0 to " +
                              std::to_string(nMost) + ", not " + std::to_string(n));
    return static_cast<int32_t>(n);
}

// The a_lm minimising ||Y a - f|| of each map (spin 0) or of the pair Q, U (spin s), with each
// solve's relative residual, steps and whether it reached the tolerance.
std::tuple<py::array_t<std::complex<double>>, py::array_t<double>, py::array_t<int32_t>, py::array_t<bool>>
LeastSquares(const MapArray& aMaps, int64_t nSpin, int64_t nLmax, int64_t nMmax, double dTolerance,
             int64_t nMostSteps, unsigned nThreads)
{
    const int64_t nSide = MapsSide(aMaps, nSpin);
    const int32_t L = Count(nLmax, "lmax", INT32_MAX / 2), M = Count(nMmax, "mmax", INT32_MAX / 2),
                  s = Count(nSpin, "spin", INT32_MAX), nSteps = Count(nMostSteps, "maxiter", 100000);
    const auto nRows = static_cast<size_t>(aMaps.shape(0)), nPixels = static_cast<size_t>(aMaps.shape(1));
    const size_t nSolves = s == 0 ? nRows : 1;
    const double* pMaps = aMaps.data();
    size_t nCount = 0;
    std::vector<LeastSquaresReport> aReports(nSolves);
    std::vector<std::complex<double>> aAlm = RunWithoutGil([&](CInterruptCheck&) {
        const CHealpixLeastSquares solver(nSide, L, M, nThreads, s);
        CheckFiniteValues(pMaps, nRows * nPixels);
        nCount = solver.Transform().Coefficients();
        std::vector<std::complex<double>> aOut(nRows * nCount);
        for (size_t r = 0; r < nSolves; ++r)
            aReports[r] =
                s == 0 ? solver.Solve(pMaps + r * nPixels, dTolerance, nSteps, aOut.data() + r * nCount)
                       : solver.SolveSpin(pMaps, pMaps + nPixels, dTolerance, nSteps, aOut.data(),
                                          aOut.data() + nCount);
        return aOut;
    });
    py::array_t<double> aResidual(static_cast<py::ssize_t>(nSolves));
    py::array_t<int32_t> aSteps(static_cast<py::ssize_t>(nSolves));
    py::array_t<bool> aConverged(static_cast<py::ssize_t>(nSolves));
    for (size_t r = 0; r < nSolves; ++r)
    {
        aResidual.mutable_at(static_cast<py::ssize_t>(r)) = aReports[r].dResidual;
        aSteps.mutable_at(static_cast<py::ssize_t>(r)) = aReports[r].nSteps;
        aConverged.mutable_at(static_cast<py::ssize_t>(r)) = aReports[r].bConverged;
    }
    return {
        AdoptAsArray(std::move(aAlm), {static_cast<py::ssize_t>(nRows), static_cast<py::ssize_t>(nCount)}),
        aResidual, aSteps, aConverged};
}

// ||Y a - f|| / ||f|| of each map and its a_lm (spin 0) or of the pair Q, U and E, B (spin s).
py::array_t<double> Residual(const MapArray& aMaps, const AlmArray& aAlm, int64_t nSpin, int64_t nLmax,
                             int64_t nMmax, unsigned nThreads)
{
    const int64_t nSide = MapsSide(aMaps, nSpin);
    const int32_t L = Count(nLmax, "lmax", INT32_MAX / 2), M = Count(nMmax, "mmax", INT32_MAX / 2),
                  s = Count(nSpin, "spin", INT32_MAX);
    const auto nRows = static_cast<size_t>(aMaps.shape(0)), nPixels = static_cast<size_t>(aMaps.shape(1));
    if (aAlm.ndim() != 2 || static_cast<size_t>(aAlm.shape(0)) != nRows)
        throw py::value_error("alm need one row for each map");
    const size_t nCount = static_cast<size_t>(aAlm.shape(1)), nSolves = s == 0 ? nRows : 1;
    const double* pMaps = aMaps.data();
    const std::complex<double>* pAlm = aAlm.data();
    const std::vector<double> aResidual = RunWithoutGil([&](CInterruptCheck&) {
        const CHealpixLeastSquares solver(nSide, L, M, nThreads, s);
        if (solver.Transform().Coefficients() != nCount)
            throw std::invalid_argument(
                "alm of lmax " + std::to_string(L) + " and mmax " + std::to_string(M) + " hold " +
                std::to_string(solver.Transform().Coefficients()) + " values, not " + std::to_string(nCount));
        std::vector<double> aOut(nSolves);
        for (size_t r = 0; r < nSolves; ++r)
            aOut[r] = s == 0 ? solver.Residual(pMaps + r * nPixels, pAlm + r * nCount)
                             : solver.Residual(pMaps, pAlm, pMaps + nPixels, pAlm + nCount);
        return aOut;
    });
    py::array_t<double> aOut(static_cast<py::ssize_t>(nSolves));
    std::copy(aResidual.begin(), aResidual.end(), aOut.mutable_data());
    return aOut;
}

}  // namespace

void BindHealpixSolver(py::module_& module)
{
    module.def("healpix_least_squares", &LeastSquares, py::arg("maps"), py::arg("spin"), py::arg("lmax"),
               py::arg("mmax"), py::arg("tol"), py::arg("maxiter"), py::arg("threads"));
    module.def("healpix_residual", &Residual, py::arg("maps"), py::arg("alm"), py::arg("spin"),
               py::arg("lmax"), py::arg("mmax"), py::arg("threads"));
}
