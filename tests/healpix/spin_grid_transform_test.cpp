#include "healpix/spin_grid_transform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <random>
#include <stdexcept>
#include <tuple>
#include <vector>

#include "healpix/healpix_transform.h"
#include "sht/angles.h"

namespace {

using Alm = std::vector<std::complex<double>>;

constexpr SampleGrid kGrids[] = {SampleGrid::kLobara, SampleGrid::kCells, SampleGrid::kDh, SampleGrid::kGl};

Alm RandomAlm(int32_t L, int32_t M, unsigned nSeed, int32_t nSpin)
{
    std::mt19937_64 random(nSeed);
    std::uniform_real_distribution<double> uniform(-1.0, 1.0);
    Alm aAlm(AlmCount(L, M));
    for (int32_t m = 0; m <= M; ++m)
        for (int32_t l = m; l <= L; ++l)
            aAlm[AlmIndex(l, m, L)] =
                l < nSpin ? 0.0 : std::complex<double>(uniform(random), m == 0 ? 0.0 : uniform(random));
    return aAlm;
}

// Wigner's d^j_(a,b)(beta) by its explicit sum over k (of factorials: small j only).
double WignerD(int j, int a, int b, double dBeta)
{
    const auto factorial = [](int n) { return std::tgamma(n + 1.0); };
    double dSum = 0.0;
    for (int k = std::max(0, b - a); k <= std::min(j + b, j - a); ++k)
    {
        const double dTerm =
            std::sqrt(factorial(j + a) * factorial(j - a) * factorial(j + b) * factorial(j - b)) /
            (factorial(j + b - k) * factorial(k) * factorial(a - b + k) * factorial(j - a - k));
        dSum += ((a - b + k) % 2 == 0 ? 1.0 : -1.0) * dTerm *
                std::pow(std::cos(dBeta / 2), 2 * j + b - a - 2 * k) *
                std::pow(std::sin(dBeta / 2), a - b + 2 * k);
    }
    return dSum;
}

// Q + i U = -sum over l and m = -l .. l of (E_lm + i B_lm) sY_lm, sY_lm = (-1)^s sqrt((2l + 1) / 4 pi)
// d^l_(m,-s)(theta) e^(i m phi), with E_l(-m) = (-1)^m conj(E_lm) and B alike.
std::complex<double> SpinField(const Alm& aE, const Alm& aB, int32_t s, int32_t L, int32_t M, double dTheta,
                               double dPhi)
{
    std::complex<double> sum = 0.0;
    for (int32_t l = s; l <= L; ++l)
        for (int32_t m = -std::min(l, M); m <= std::min(l, M); ++m)
        {
            const size_t i = AlmIndex(l, std::abs(m), L);
            const double dSign = m < 0 && m % 2 != 0 ? -1.0 : 1.0;
            const std::complex<double> e = m < 0 ? dSign * std::conj(aE[i]) : aE[i];
            const std::complex<double> b = m < 0 ? dSign * std::conj(aB[i]) : aB[i];
            const double dY =
                (s % 2 == 0 ? 1.0 : -1.0) * std::sqrt((2.0 * l + 1.0) / kFourPi) * WignerD(l, m, -s, dTheta);
            sum -= (e + std::complex<double>(0.0, 1.0) * b) * dY * std::polar(1.0, m * dPhi);
        }
    return sum;
}

TEST(SpinGridTransform, SynthesisIsTheSumOfWignerFunctionsOnEveryGrid)
{
    // Rows at the poles (lobara, dh), at the equator (odd counts), and rings of fewer columns than
    // orders, on which orders fold onto the ring's frequencies.
    const int32_t L = 6;
    for (const int32_t s : {1, 2, 3})
        for (const SampleGrid grid : kGrids)
            for (const auto& [nT, nP, M] :
                 {std::tuple<int32_t, int32_t, int32_t>{9, 16, 6}, {7, 14, 4}, {8, 5, 6}})
            {
                const int32_t nColumns = grid == SampleGrid::kDh ? 2 * nT : nP;
                const Alm aE = RandomAlm(L, M, 1, s), aB = RandomAlm(L, M, 2, s);
                std::vector<double> aQ(static_cast<size_t>(nT * nColumns)), aU(aQ.size());
                SynthesizeSpinGrid(aE.data(), aB.data(), s, L, M, grid, nT, nColumns, aQ.data(), aU.data(),
                                   2);
                const std::vector<double> aTheta = GridThetas(grid, nT);
                for (int32_t i = 0; i < nT; ++i)
                    for (int32_t j = 0; j < nColumns; ++j)
                    {
                        const std::complex<double> expected =
                            SpinField(aE, aB, s, L, M, aTheta[static_cast<size_t>(i)], kTwoPi * j / nColumns);
                        const auto k = static_cast<size_t>(i * nColumns + j);
                        EXPECT_NEAR(aQ[k], expected.real(), 1e-13)
                            << SampleGridName(grid) << " s " << s << " " << nT << " x " << nColumns << " at "
                            << i << ", " << j;
                        EXPECT_NEAR(aU[k], expected.imag(), 1e-13)
                            << SampleGridName(grid) << " s " << s << " " << nT << " x " << nColumns << " at "
                            << i << ", " << j;
                    }
            }
}

TEST(SpinGridTransform, AnalysisRecoversTheCoefficientsOnEveryGrid)
{
    // At the grid's own limit and well below it (where the analysis moves the values onto other
    // rings), for odd and even spins, mmax below lmax too.
    for (const int32_t s : {1, 2})
        for (const SampleGrid grid : kGrids)
            for (const auto& [nT, L, M] :
                 {std::tuple<int32_t, int32_t, int32_t>{42, 40, 40}, {90, 30, 30}, {42, 40, 25}})
            {
                const int32_t nP = grid == SampleGrid::kDh ? 2 * nT : 2 * L + 3;
                const int32_t nLimit = AnalysisLimit(grid, nT, nP);
                const int32_t nDegree = std::min(L, nLimit);
                const int32_t nOrders = std::min(M, nDegree);
                const Alm aE = RandomAlm(nDegree, nOrders, 3, s), aB = RandomAlm(nDegree, nOrders, 4, s);
                std::vector<double> aQ(static_cast<size_t>(nT) * static_cast<size_t>(nP)), aU(aQ.size());
                SynthesizeSpinGrid(aE.data(), aB.data(), s, nDegree, nOrders, grid, nT, nP, aQ.data(),
                                   aU.data(), 2);
                Alm aGotE(aE.size()), aGotB(aB.size());
                AnalyzeSpinGrid(aQ.data(), aU.data(), grid, nT, nP, s, nDegree, nOrders, aGotE.data(),
                                aGotB.data(), 2);
                double dError = 0.0;
                for (size_t i = 0; i < aE.size(); ++i)
                    dError = std::max({dError, std::abs(aGotE[i] - aE[i]), std::abs(aGotB[i] - aB[i])});
                EXPECT_LT(dError, 1e-12)
                    << SampleGridName(grid) << " s " << s << " nT " << nT << " L " << nDegree;
            }
}

TEST(SpinGridTransform, OutOfRangeArgumentsAreRefusedInOneLine)
{
    std::vector<double> aQ(100), aU(100);
    Alm aE(AlmCount(10, 10)), aB(aE.size());
    // Beyond the limit (gl of 10 rings: 9), a Driscoll-Healy ring not twice as long as the rings,
    // spin 0, mmax above lmax.
    EXPECT_THROW(AnalyzeSpinGrid(aQ.data(), aU.data(), SampleGrid::kGl, 5, 20, 2, 5, 5, aE.data(), aB.data()),
                 std::invalid_argument);
    EXPECT_THROW(
        SynthesizeSpinGrid(aE.data(), aB.data(), 2, 4, 4, SampleGrid::kDh, 10, 10, aQ.data(), aU.data()),
        std::invalid_argument);
    EXPECT_THROW(
        SynthesizeSpinGrid(aE.data(), aB.data(), 0, 4, 4, SampleGrid::kGl, 10, 10, aQ.data(), aU.data()),
        std::invalid_argument);
    EXPECT_THROW(
        SynthesizeSpinGrid(aE.data(), aB.data(), 2, 4, 5, SampleGrid::kGl, 10, 10, aQ.data(), aU.data()),
        std::invalid_argument);
}

}  // namespace
