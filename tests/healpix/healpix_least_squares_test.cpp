#include "healpix/healpix_least_squares.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>
#include <random>
#include <stdexcept>
#include <vector>

#include "healpix/healpix_rings.h"

namespace {

using Alm = std::vector<std::complex<double>>;

// Random a_lm of a real map (a_l0 real), zero below degree nSpin.
Alm RandomAlm(int32_t L, unsigned nSeed, int32_t nSpin)
{
    std::mt19937_64 random(nSeed);
    std::normal_distribution<double> normal;
    Alm aAlm(AlmCount(L, L));
    for (int32_t m = 0; m <= L; ++m)
        for (int32_t l = m; l <= L; ++l)
            aAlm[AlmIndex(l, m, L)] =
                l < nSpin ? 0.0 : std::complex<double>(normal(random), m == 0 ? 0.0 : normal(random));
    return aAlm;
}

double LargestError(const Alm& aGot, const Alm& aExpected)
{
    double dError = 0.0, dLargest = 0.0;
    for (size_t i = 0; i < aGot.size(); ++i)
    {
        dError = std::max(dError, std::abs(aGot[i] - aExpected[i]));
        dLargest = std::max(dLargest, std::abs(aExpected[i]));
    }
    return dError / dLargest;
}

TEST(HealpixLeastSquares, RecoversTheCoefficientsOfABandLimitedMapWhereJacobiStepsStopShort)
{
    // lmax = 2 Nside: the quadrature and three Jacobi steps leave ~1e-6 of the input coefficients;
    // the least-squares solution of a map of that degree is its own coefficients.
    const int64_t nSide = 16;
    const int32_t L = 2 * static_cast<int32_t>(nSide);
    const auto nPixels = static_cast<size_t>(HealpixPixels(nSide));
    for (const int32_t nSpin : {0, 2})
    {
        const CHealpixLeastSquares solver(nSide, L, L, 2, nSpin);
        const Alm aE = RandomAlm(L, 11, nSpin), aB = RandomAlm(L, 12, nSpin);
        std::vector<double> aQ(nPixels), aU(nPixels);
        Alm aGotE(aE.size()), aGotB(aE.size()), aJacobiE(aE.size()), aJacobiB(aE.size());
        LeastSquaresReport report;
        if (nSpin == 0)
        {
            solver.Transform().Synthesize(aE.data(), aQ.data());
            report = solver.Solve(aQ.data(), 1e-13, 100, aGotE.data());
            solver.Transform().Analyze(aQ.data(), 3, aJacobiE.data());
        }
        else
        {
            solver.Transform().SynthesizeSpin(aE.data(), aB.data(), aQ.data(), aU.data());
            report = solver.SolveSpin(aQ.data(), aU.data(), 1e-13, 100, aGotE.data(), aGotB.data());
            solver.Transform().AnalyzeSpin(aQ.data(), aU.data(), 3, aJacobiE.data(), aJacobiB.data());
            EXPECT_LT(LargestError(aGotB, aB), 1e-12);
        }
        EXPECT_TRUE(report.bConverged) << nSpin;
        EXPECT_GT(report.nSteps, 0);
        EXPECT_LT(report.nSteps, 100);
        EXPECT_LT(report.dResidual, 1e-13) << nSpin;
        EXPECT_LT(LargestError(aGotE, aE), 1e-12) << nSpin;
        EXPECT_GT(LargestError(aJacobiE, aE), 1e-9) << nSpin;
        const double dJacobi = nSpin == 0
                                   ? solver.Residual(aQ.data(), aJacobiE.data())
                                   : solver.Residual(aQ.data(), aJacobiE.data(), aU.data(), aJacobiB.data());
        EXPECT_GT(dJacobi, 1e3 * report.dResidual) << nSpin;
    }
}

TEST(HealpixLeastSquares, LeavesANoiseMapsResidualOrthogonalToEveryHarmonic)
{
    // White noise has power at every degree: no coefficients make it, and the optimum is where the
    // residual map f - Y a has no component along any Y_lm of l <= L, so Y* (f - Y a) = 0. Its
    // residual is no larger than that of the Jacobi steps, which reach no optimum.
    const int64_t nSide = 8;
    const int32_t L = 20;
    const auto nPixels = static_cast<size_t>(HealpixPixels(nSide));
    std::mt19937_64 random(5);
    std::normal_distribution<double> normal;
    std::vector<double> aMap(nPixels);
    for (double& x : aMap)
        x = normal(random);
    const CHealpixLeastSquares solver(nSide, L, L, 1);
    Alm aAlm(AlmCount(L, L)), aJacobi(aAlm.size()), aGradient(aAlm.size()), aStart(aAlm.size());
    const LeastSquaresReport report = solver.Solve(aMap.data(), 1e-12, 200, aAlm.data());
    EXPECT_TRUE(report.bConverged);
    solver.Transform().Analyze(aMap.data(), 3, aJacobi.data());
    EXPECT_LE(report.dResidual, solver.Residual(aMap.data(), aJacobi.data()));
    EXPECT_GT(report.dResidual, 0.5);
    std::vector<double> aMade(nPixels);
    solver.Transform().Synthesize(aAlm.data(), aMade.data());
    for (size_t p = 0; p < nPixels; ++p)
        aMade[p] = aMap[p] - aMade[p];
    solver.Transform().Adjoint(aMade.data(), 1.0, aGradient.data(), false);
    solver.Transform().Adjoint(aMap.data(), 1.0, aStart.data(), false);
    double dGradient = 0.0, dStart = 0.0;
    for (size_t i = 0; i < aAlm.size(); ++i)
    {
        dGradient = std::max(dGradient, std::abs(aGradient[i]));
        dStart = std::max(dStart, std::abs(aStart[i]));
    }
    EXPECT_LT(dGradient, 1e-11 * dStart);
}

TEST(HealpixLeastSquares, StopsAtItsStepsAndTakesAMapOfZerosAsItIs)
{
    const int64_t nSide = 8;
    const int32_t L = 16;
    const CHealpixLeastSquares solver(nSide, L, L, 1);
    std::vector<double> aMap(static_cast<size_t>(HealpixPixels(nSide)), 0.0);
    Alm aAlm(AlmCount(L, L), 1.0);
    LeastSquaresReport report = solver.Solve(aMap.data(), 0.0, 5, aAlm.data());
    EXPECT_EQ(report.nSteps, 0);
    EXPECT_EQ(report.dResidual, 0.0);
    for (const std::complex<double>& a : aAlm)
        EXPECT_EQ(a, 0.0);
    aMap[3] = 1.0;
    report = solver.Solve(aMap.data(), 0.0, 2, aAlm.data());
    EXPECT_EQ(report.nSteps, 2);
    EXPECT_FALSE(report.bConverged);
    EXPECT_THROW(solver.Solve(aMap.data(), -1.0, 2, aAlm.data()), std::invalid_argument);
    EXPECT_THROW(solver.Solve(aMap.data(), std::numeric_limits<double>::quiet_NaN(), 2, aAlm.data()),
                 std::invalid_argument);
    EXPECT_THROW(solver.Solve(aMap.data(), 1e-9, -1, aAlm.data()), std::invalid_argument);
}

}  // namespace
