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

TEST(HealpixTransform, SynthesisSumsGslsHarmonicsAtEveryPixel)
{
    // f = sum_l a_l0 Y_l0 + 2 Re sum_(m > 0) a_lm Y_lm, Y_lm from GSL's orthonormal Legendre
    // functions with the Condon-Shortley phase; lmax above 4 Nside folds orders on the caps' rings.
    for (const auto& [nSide, L, M] :
         {std::tuple<int64_t, int32_t, int32_t>{1, 5, 5}, {4, 20, 20}, {8, 30, 17}})
    {
        const std::vector<std::complex<double>> aAlm = RandomAlm(L, M, 7);
        const CHealpixTransform transform(nSide, L, M, 2);
        std::vector<double> aMap(static_cast<size_t>(HealpixPixels(nSide)));
        transform.Synthesize(aAlm.data(), aMap.data());
        std::vector<double> aExpected(aMap.size(), 0.0);
        for (int64_t p = 0; p < HealpixPixels(nSide); ++p)
        {
            double dTheta = 0.0, dPhi = 0.0;
            PixelAngles(nSide, p, dTheta, dPhi);
            for (int32_t m = 0; m <= M; ++m)
                for (int32_t l = m; l <= L; ++l)
                {
                    const double dY = gsl_sf_legendre_sphPlm(l, m, std::cos(dTheta));
                    const std::complex<double> term =
                        aAlm[AlmIndex(l, m, L)] * dY * std::polar(1.0, static_cast<double>(m) * dPhi);
                    aExpected[static_cast<size_t>(p)] += m == 0 ? term.real() : 2.0 * term.real();
                }
        }
        const double dLargest = Largest(aExpected);
        for (size_t p = 0; p < aMap.size(); ++p)
            EXPECT_NEAR(aMap[p], aExpected[p], 1e-13 * dLargest) << nSide << " pixel " << p;
    }
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
