#include "healpix/healpix_transform.h"

#include <gsl/gsl_sf_legendre.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <random>
#include <stdexcept>
#include <vector>

#include "healpix/healpix_rings.h"

namespace {

// Random a_lm of a real map (a_l0 real), l >= nLeast.
std::vector<std::complex<double>> RandomAlm(int32_t L, int32_t M, unsigned nSeed, int32_t nLeast = 0)
{
    std::mt19937_64 random(nSeed);
    std::uniform_real_distribution<double> uniform(-1.0, 1.0);
    std::vector<std::complex<double>> aAlm(AlmCount(L, M));
    for (int32_t m = 0; m <= M; ++m)
        for (int32_t l = m; l <= L; ++l)
            aAlm[AlmIndex(l, m, L)] =
                l < nLeast ? 0.0 : std::complex<double>(uniform(random), m == 0 ? 0.0 : uniform(random));
    return aAlm;
}

double Largest(const std::vector<double>& a)
{
    double d = 0.0;
    for (const double x : a)
        d = std::max(d, std::fabs(x));
    return d;
}

// Y_lm(theta, phi) of every pixel from GSL's orthonormal Legendre functions with the Condon-Shortley
// phase, calling take(p, l, m, Y_lm).
template <typename Take>
void EachHarmonic(int64_t nSide, int32_t L, int32_t M, const Take& take)
{
    for (int64_t p = 0; p < HealpixPixels(nSide); ++p)
    {
        double dTheta = 0.0, dPhi = 0.0;
        PixelAngles(nSide, p, dTheta, dPhi);
        for (int32_t m = 0; m <= M; ++m)
            for (int32_t l = m; l <= L; ++l)
                take(static_cast<size_t>(p), l, m,
                     gsl_sf_legendre_sphPlm(l, m, std::cos(dTheta)) *
                         std::polar(1.0, static_cast<double>(m) * dPhi));
    }
}

// f = sum_l a_l0 Y_l0 + 2 Re sum_(m > 0) a_lm Y_lm at every pixel.
std::vector<double> GslMap(int64_t nSide, int32_t L, int32_t M, const std::vector<std::complex<double>>& aAlm)
{
    std::vector<double> aMap(static_cast<size_t>(HealpixPixels(nSide)), 0.0);
    EachHarmonic(nSide, L, M, [&](size_t p, int32_t l, int32_t m, std::complex<double> y) {
        const double dTerm = (aAlm[AlmIndex(l, m, L)] * y).real();
        aMap[p] += m == 0 ? dTerm : 2.0 * dTerm;
    });
    return aMap;
}

TEST(HealpixTransform, SynthesisSumsGslsHarmonicsAtEveryPixel)
{
    // lmax above 4 Nside folds orders on the caps' rings.
    for (const auto& [nSide, L, M] :
         {std::tuple<int64_t, int32_t, int32_t>{1, 5, 5}, {4, 20, 20}, {8, 30, 17}})
    {
        const std::vector<std::complex<double>> aAlm = RandomAlm(L, M, 7);
        const CHealpixTransform transform(nSide, L, M, 2);
        std::vector<double> aMap(static_cast<size_t>(HealpixPixels(nSide)));
        transform.Synthesize(aAlm.data(), aMap.data());
        const std::vector<double> aExpected = GslMap(nSide, L, M, aAlm);
        const double dLargest = Largest(aExpected);
        for (size_t p = 0; p < aMap.size(); ++p)
            EXPECT_NEAR(aMap[p], aExpected[p], 1e-13 * dLargest) << nSide << " pixel " << p;
    }
}

TEST(HealpixTransform, ACallReadsNothingThatAnEarlierCallLeftInItsStorage)
{
    // The orders' storage is kept for the next call of its size, with what the last call wrote:
    // here sums of 1e30, which would swamp anything of them read again. The synthesis and the
    // adjoint (a_lm = w sum_p f_p conj(Y_lm)) that follow take the same storage.
    const int64_t nSide = 4;
    const int32_t L = 20, M = 13;
    {
        const CHealpixTransform earlier(nSide, L, M, 1);
        const std::vector<double> aHuge(static_cast<size_t>(HealpixPixels(nSide)), 1e30);
        std::vector<std::complex<double>> aAlm(earlier.Coefficients());
        earlier.Adjoint(aHuge.data(), 1.0, aAlm.data(), false);
    }
    const CHealpixTransform transform(nSide, L, M, 2);
    const std::vector<std::complex<double>> aAlm = RandomAlm(L, M, 5);
    std::vector<double> aMap(static_cast<size_t>(HealpixPixels(nSide)));
    transform.Synthesize(aAlm.data(), aMap.data());
    const std::vector<double> aExpectedMap = GslMap(nSide, L, M, aAlm);
    for (size_t p = 0; p < aMap.size(); ++p)
        EXPECT_NEAR(aMap[p], aExpectedMap[p], 1e-13 * Largest(aExpectedMap)) << "pixel " << p;

    const double dWeight = 0.25;
    std::vector<std::complex<double>> aGot(transform.Coefficients()), aExpected(aGot.size());
    transform.Adjoint(aMap.data(), dWeight, aGot.data(), false);
    EachHarmonic(nSide, L, M, [&](size_t p, int32_t l, int32_t m, std::complex<double> y) {
        aExpected[AlmIndex(l, m, L)] += dWeight * aMap[p] * std::conj(y);
    });
    double dLargest = 0.0;
    for (const std::complex<double>& a : aExpected)
        dLargest = std::max(dLargest, std::abs(a));
    for (size_t k = 0; k < aGot.size(); ++k)
        EXPECT_LT(std::abs(aGot[k] - aExpected[k]), 1e-13 * dLargest) << "a_lm " << k;
}

TEST(HealpixTransform, JacobiStepsRecoverTheCoefficientsOfABandLimitedMap)
{
    // HEALPix's quadrature is not exact: one step leaves an error that each further step shrinks,
    // for lmax well below 3 Nside, towards the coefficients the map was made of.
    const int64_t nSide = 16;
    const int32_t L = 24;
    for (const int32_t nSpin : {0, 2})
    {
        const std::vector<std::complex<double>> aE = RandomAlm(L, L, 3, nSpin),
                                                aB = RandomAlm(L, L, 4, nSpin);
        const CHealpixTransform transform(nSide, L, L, 2, nSpin);
        std::vector<double> aQ(static_cast<size_t>(HealpixPixels(nSide))), aU(aQ.size());
        if (nSpin == 0)
            transform.Synthesize(aE.data(), aQ.data());
        else
            transform.SynthesizeSpin(aE.data(), aB.data(), aQ.data(), aU.data());
        double dLast = 1.0;
        for (const int32_t nIter : {0, 3, 12})
        {
            std::vector<std::complex<double>> aGotE(aE.size()), aGotB(aB.size());
            if (nSpin == 0)
                transform.Analyze(aQ.data(), nIter, aGotE.data());
            else
                transform.AnalyzeSpin(aQ.data(), aU.data(), nIter, aGotE.data(), aGotB.data());
            double dError = 0.0;
            for (size_t k = 0; k < aE.size(); ++k)
                dError = std::max(
                    {dError, std::abs(aGotE[k] - aE[k]), nSpin == 0 ? 0.0 : std::abs(aGotB[k] - aB[k])});
            EXPECT_LT(dError, nIter == 0 ? 0.05 : 0.1 * dLast) << nSpin << " iter " << nIter;
            dLast = dError;
        }
        EXPECT_LT(dLast, 1e-9) << nSpin;
    }
}

TEST(HealpixTransform, SpinOneMapsOfY10AreItsGradient)
{
    // Y_10 = sqrt(3 / 4 pi) cos(theta): its spin-1 gradient map is d/dtheta Y_10 / sqrt(l (l + 1)) =
    // -sqrt(3 / 8 pi) sin(theta) in Q, and the curl's the same in U.
    const int64_t nSide = 4;
    const int32_t L = 4;
    const CHealpixTransform transform(nSide, L, L, 1, 1);
    std::vector<std::complex<double>> aOne(AlmCount(L, L)), aZero(aOne.size());
    aOne[AlmIndex(1, 0, L)] = 1.0;
    std::vector<double> aQ(static_cast<size_t>(HealpixPixels(nSide))), aU(aQ.size());
    for (const bool bCurl : {false, true})
    {
        transform.SynthesizeSpin(bCurl ? aZero.data() : aOne.data(), bCurl ? aOne.data() : aZero.data(),
                                 aQ.data(), aU.data());
        for (int64_t p = 0; p < HealpixPixels(nSide); ++p)
        {
            double dTheta = 0.0, dPhi = 0.0;
            PixelAngles(nSide, p, dTheta, dPhi);
            const double dExpected = -std::sqrt(3.0 / (8.0 * M_PI)) * std::sin(dTheta);
            EXPECT_NEAR(aQ[static_cast<size_t>(p)], bCurl ? 0.0 : dExpected, 1e-15) << p;
            EXPECT_NEAR(aU[static_cast<size_t>(p)], bCurl ? dExpected : 0.0, 1e-15) << p;
        }
    }
}

TEST(HealpixTransform, OutOfRangeArgumentsAreRefusedInOneLine)
{
    EXPECT_THROW(CHealpixTransform(0, 4, 4), std::invalid_argument);
    EXPECT_THROW(CHealpixTransform(4, 4, 5), std::invalid_argument);
    EXPECT_THROW(CHealpixTransform(4, -1, 0), std::invalid_argument);
    EXPECT_THROW(CHealpixTransform(4, 4, 4, 1, -1), std::invalid_argument);
}

}  // namespace
