#include "sht/normalized_legendre.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "sht/angles.h"
#include "sht/build_limits.h"

namespace {

double Evaluate(const NormalizedLegendre& legendre, double dTheta)
{
    const double x = std::cos(dTheta);
    const double u = std::sin(dTheta);
    double dValue = 0.0;
    legendre.Evaluate(&x, &u, 1, &dValue);
    return dValue;
}

// The plain three-term recurrence on Pbar itself, in long double, with a binary exponent
// carried beside it for start values below even the long double range; with pLargest, the
// largest |Pbar_k| for k = m .. l too.
long double LongDoubleLegendre(int l, int m, double dTheta, long double* pLargest = nullptr)
{
    const int kScaleBits = 8000;
    const long double x = std::cos(dTheta);
    const long double u = std::sin(dTheta);
    long double p = 1.0L / std::sqrt(4.0L * static_cast<long double>(kPi));
    int nExponent = 0;
    for (int k = 1; k <= m; ++k)
    {
        p *= u * std::sqrt((2.0L * k + 1.0L) / (2.0L * k));
        if (p != 0.0L && p < std::ldexp(1.0L, -kScaleBits))
        {
            p = std::ldexp(p, kScaleBits);
            nExponent -= kScaleBits;
        }
    }
    long double pPrev = 0.0L;
    const auto noteLargest = [&] {
        if (pLargest != nullptr)
            *pLargest = std::max(*pLargest, std::ldexp(std::fabs(p), nExponent));
    };
    if (pLargest != nullptr)
        *pLargest = 0.0L;
    noteLargest();
    for (int k = m + 1; k <= l; ++k)
    {
        const long double k2 = static_cast<long double>(k) * k;
        const long double m2 = static_cast<long double>(m) * m;
        const long double a = std::sqrt((4.0L * k2 - 1.0L) / (k2 - m2));
        const long double b =
            std::sqrt((2.0L * k + 1.0L) * ((k - 1.0L) * (k - 1.0L) - m2) / ((2.0L * k - 3.0L) * (k2 - m2)));
        const long double pNext = a * x * p - b * pPrev;
        pPrev = p;
        p = pNext;
        if (nExponent < 0 && std::fabs(p) > std::ldexp(1.0L, kScaleBits))
        {
            p = std::ldexp(p, -kScaleBits);
            pPrev = std::ldexp(pPrev, -kScaleBits);
            nExponent += kScaleBits;
        }
        noteLargest();
    }
    return std::ldexp(p, nExponent);
}

}  // namespace

TEST(NormalizedLegendre, ClosedFormsOfLowDegreeWithoutPhase)
{
    const double k = 1.0 / std::sqrt(4.0 * kPi);
    for (double dTheta : {0.0, 0.3, 1.2, kPi / 2, 2.0, 3.0, kPi})
    {
        SCOPED_TRACE(dTheta);
        const double x = std::cos(dTheta);
        const double u = std::sin(dTheta);
        EXPECT_NEAR(Evaluate(NormalizedLegendre(0, 0), dTheta), k, 1e-15);
        EXPECT_NEAR(Evaluate(NormalizedLegendre(1, 0), dTheta), k * std::sqrt(3.0) * x, 1e-15);
        EXPECT_NEAR(Evaluate(NormalizedLegendre(1, -1), dTheta), k * std::sqrt(1.5) * u, 1e-15);
        EXPECT_NEAR(Evaluate(NormalizedLegendre(2, 1), dTheta), k * std::sqrt(7.5) * x * u, 1e-15);
        EXPECT_NEAR(Evaluate(NormalizedLegendre(3, 0), dTheta), k * std::sqrt(7.0) * (2.5 * x * x - 1.5) * x,
                    1e-15);
        EXPECT_NEAR(Evaluate(NormalizedLegendre(2, 2), dTheta), k * std::sqrt(15.0 / 8.0) * u * u, 1e-15);
    }
}

// Up to the highest degree a build accepts, including orders whose start value sin^m(theta) * c
// is far below the double range and rows at and next to the poles.
TEST(NormalizedLegendre, AgreesWithALongDoubleRecurrenceToTheHighestDegree)
{
    const int nPoints = 97;
    for (int l : {3000, 32768})
    {
        for (int m : {0, 1, l / 3, l - 2, l})
        {
            const NormalizedLegendre legendre(l, m);
            std::vector<double> aValue;
            std::vector<long double> aExpected;
            long double dMax = 0.0L;
            for (int i = 0; i < nPoints; ++i)
            {
                const double dTheta = (static_cast<double>(i) / (nPoints - 1)) * kPi;
                aValue.push_back(Evaluate(legendre, dTheta));
                aExpected.push_back(LongDoubleLegendre(l, m, dTheta));
                dMax = std::max(dMax, std::fabs(aExpected.back()));
            }
            // The reference drifts itself, in proportion to l^2 at the poles: 7e-12 at l = 32768.
            for (int i = 0; i < nPoints; ++i)
                ASSERT_NEAR(aValue[i], aExpected[i], 5e-11 * dMax)
                    << "l=" << l << " m=" << m << " point " << i;
        }
    }
}

namespace {

// The sums and their adjoint of degree l and order m at points of cos(theta) = aX, in one call each,
// each to dTolerance of the size of its terms; where bForThesePoints, with the tables made for those
// points alone.
void ExpectSumsAndAdjointAt(const std::vector<double>& aX, int l, int m, double dTolerance,
                            bool bForThesePoints = false)
{
    std::vector<double> aTheta, aT, aU;
    for (double dX : aX)
    {
        aTheta.push_back(std::acos(dX));
        aT.push_back(CosineLessOne(aTheta.back()));
        aU.push_back(std::sin(aTheta.back()));
    }
    const auto nPoints = static_cast<int32_t>(aTheta.size());
    NormalizedLegendre legendre(l, m);
    if (bForThesePoints)
        legendre.Remake(l, m, aT.data(), aU.data(), nPoints);
    // Weights (wc_k, ws_k) = (k + 1, 1 / (k + 1)) of k = l - |m|; values by point and part.
    std::vector<double> aRaw;
    for (int k = m; k <= l; ++k)
        aRaw.insert(aRaw.end(), {k + 1.0, 1.0 / (k + 1.0)});
    const NormalizedLegendre::SumWeights aWeights = legendre.PrepareWeights(aRaw.data());
    std::vector<double> aSums(4 * aTheta.size()), aValues(4 * aTheta.size());
    for (size_t v = 0; v < aValues.size(); ++v)
        aValues[v] = 1.0 + 0.25 * static_cast<double>(v % 7);
    legendre.EvaluateSums(aT.data(), aU.data(), nPoints, aWeights, aSums.data());
    NormalizedLegendre::Folded aFolded(legendre.FoldedSize(), 1e300);  // nothing in it is to be read
    std::vector<double> aAdjoint;
    legendre.AdjointSums(aT.data(), aU.data(), nPoints, aValues.data(), aFolded, aAdjoint);
    // Each compared with the size of its terms (at a point, of all its sums: the odd degrees' vanish
    // at the equator); or where every function stays below 1e-20 (NegligiblePoints), with that of the
    // weights.
    std::vector<long double> aExpectedAdjoint(2 * static_cast<size_t>(l - m + 1), 0.0L),
        aAdjointSize(aExpectedAdjoint.size(), 0.0L);
    long double dWeightSize = 0.0L, dValueSize = 0.0L;
    for (double w : aRaw)
        dWeightSize += std::fabs(w);
    for (double v : aValues)
        dValueSize += std::fabs(v);
    for (size_t i = 0; i < aTheta.size(); ++i)
    {
        long double aExpected[4] = {}, aSize[4] = {};
        for (int k = m; k <= l; ++k)
        {
            const long double p = LongDoubleLegendre(k, m, aTheta[i]);
            const size_t nPair = static_cast<size_t>(k - m), nParity = nPair % 2;
            for (size_t c = 0; c < 2; ++c)
            {
                aExpected[2 * c + nParity] += aRaw[2 * nPair + c] * p;
                aSize[2 * c + nParity] += std::fabs(aRaw[2 * nPair + c] * p);
                aExpectedAdjoint[2 * nPair + c] += aValues[4 * i + 2 * c + nParity] * p;
                aAdjointSize[2 * nPair + c] += std::fabs(aValues[4 * i + 2 * c + nParity] * p);
            }
        }
        const long double dPointSize = aSize[0] + aSize[1] + aSize[2] + aSize[3];
        for (size_t c = 0; c < 4; ++c)
            EXPECT_NEAR(aSums[4 * i + c], aExpected[c], dTolerance * dPointSize + 1e-20 * dWeightSize)
                << "l=" << l << " m=" << m << " x=" << std::cos(aTheta[i]) << " part " << c;
    }
    ASSERT_EQ(aAdjoint.size(), aExpectedAdjoint.size());
    for (size_t k = 0; k < aAdjoint.size(); ++k)
        EXPECT_NEAR(aAdjoint[k], aExpectedAdjoint[k], dTolerance * aAdjointSize[k] + 1e-20 * dValueSize)
            << "l=" << l << " m=" << m << " entry " << k;
}

}  // namespace

// The degree sums and their adjoint for every number of degrees from one to six above low and
// high orders, each against sums of the long double recurrence's values, at points from the pole
// to the equator that run every recurrence: those beyond the equator's band in two-degree steps, in
// the difference form near the pole, the rest degree by degree; to l ulps, by which the point's own
// rounding moves them.
TEST(NormalizedLegendre, SumsAndTheirAdjointAgreeWithLongDoubleSumsInBothRecurrences)
{
    for (int m : {0, 1, 7, 300})
        for (int l = m; l <= m + 5; ++l)
            ExpectSumsAndAdjointAt({1.0, 0.999, 0.995, 0.9, 0.71, 0.69, 0.3, 0.05, 0.0}, l, m, 1e-13);
}

// Where q_mm lies far below the double range (sin^1000(theta) is 1e-327 at x = 0.882 and
// sin^1500(theta) 1e-214 at x = 0.69) but the functions grow back by degree 2000, on both
// recurrences; up to the turning point, where they have no zeros, to l ulps.
TEST(NormalizedLegendre, SumsAndTheirAdjointCarryStartsFarBelowTheDoubleRange)
{
    ExpectSumsAndAdjointAt({0.882, 0.875}, 2000, 1000, 5e-13);
    ExpectSumsAndAdjointAt({0.69, 0.68}, 2000, 1500, 5e-13);
}

// Tables made for the points alone: those of the belt, which take the per-degree recurrence alone,
// and those where every point outside it is negligible at a high order (x = 0.9 at order 1500 of
// degree 2000); points that would take the tables left out are refused.
TEST(NormalizedLegendre, SumsAndTheirAdjointWithTablesForTheirPointsAlone)
{
    for (int m : {0, 1, 7})
        ExpectSumsAndAdjointAt({0.69, 0.3, 0.05, 0.0}, m + 5, m, 1e-13, true);
    ExpectSumsAndAdjointAt({0.9, 0.69, 0.68}, 2000, 1500, 5e-13, true);
    ExpectSumsAndAdjointAt({0.995, 0.71, 0.3}, 40, 3, 1e-13, true);

    const double dBelt = std::acos(0.5), dCap = std::acos(0.9);
    const double aT[2] = {CosineLessOne(dCap), CosineLessOne(dBelt)},
                 aU[2] = {std::sin(dCap), std::sin(dBelt)};
    NormalizedLegendre legendre(40, 3);
    legendre.Remake(40, 3, aT + 1, aU + 1, 1);
    std::vector<double> aRaw(2 * 38, 1.0), aSums(8), aValues(8, 1.0);
    NormalizedLegendre::Folded aFolded;
    std::vector<double> aAdjoint;
    EXPECT_THROW(legendre.EvaluateSums(aT, aU, 2, legendre.PrepareWeights(aRaw.data()), aSums.data()),
                 std::logic_error);
    EXPECT_THROW(legendre.AdjointSums(aT, aU, 2, aValues.data(), aFolded, aAdjoint), std::logic_error);
}

// At the highest degree built, where the recurrences' last coefficients are made: at the pole
// Pbar_k = sqrt((2k + 1) / (4 pi)), which the sums give added up and their adjoint degree by
// degree. A degree above it is refused.
TEST(NormalizedLegendre, HighestDegreeAtThePoleAndNoHigher)
{
    const NormalizedLegendre legendre(kMaxDegree, 0);
    const double t = 0.0, u = 0.0;
    const size_t nDegrees = static_cast<size_t>(kMaxDegree) + 1;
    std::vector<double> aWeights(2 * nDegrees, 0.0);
    long double dExpected = 0.0L;
    for (size_t k = 0; k < nDegrees; ++k)
    {
        aWeights[2 * k] = 1.0;
        dExpected +=
            std::sqrt((2.0L * static_cast<long double>(k) + 1.0L) / (4.0L * static_cast<long double>(kPi)));
    }
    double aSums[4];
    legendre.EvaluateSums(&t, &u, 1, legendre.PrepareWeights(aWeights.data()), aSums);
    EXPECT_NEAR(aSums[0] + aSums[1], dExpected, 1e-13 * dExpected);

    const double aValues[4] = {1.0, 1.0, 0.0, 0.0};
    NormalizedLegendre::Folded aFolded;
    std::vector<double> aAdjoint;
    legendre.AdjointSums(&t, &u, 1, aValues, aFolded, aAdjoint);
    ASSERT_EQ(aAdjoint.size(), 2 * nDegrees);
    double dLargestError = 0.0;
    for (size_t k = 0; k < nDegrees; ++k)
    {
        const double dPole = std::sqrt((2.0 * static_cast<double>(k) + 1.0) / (4.0 * kPi));
        dLargestError = std::max(dLargestError, std::fabs(aAdjoint[2 * k] / dPole - 1.0));
    }
    EXPECT_LE(dLargestError, 1e-13);
    EXPECT_THROW(NormalizedLegendre(kMaxDegree + 1, 0), SurfaceTooLarge);
}

TEST(NormalizedLegendre, StartFarBelowTheDoubleRangeIsCarried)
{
    // sin^1000(theta) is 1e-327 here, below even the subnormal doubles, yet Pbar(2000, 1000)
    // has grown back to 6e-8 by degree 2000.
    const double dTheta = 0.49;
    const long double dExpected = LongDoubleLegendre(2000, 1000, dTheta);
    ASSERT_GT(std::fabs(dExpected), 1e-8L);
    EXPECT_NEAR(Evaluate(NormalizedLegendre(2000, 1000), dTheta), dExpected, 1e-12 * std::fabs(dExpected));
}

TEST(NormalizedLegendre, ZeroOutsideItsDomain)
{
    constexpr int32_t kIntMin = std::numeric_limits<int32_t>::min();
    for (const auto& lm : {std::pair{-1, 0}, std::pair{3, 4}, std::pair{3, -4}, std::pair{0, kIntMin},
                           std::pair{kIntMin, kIntMin}})
        EXPECT_EQ(Evaluate(NormalizedLegendre(lm.first, lm.second), 1.0), 0.0)
            << lm.first << ", " << lm.second;
}

TEST(NormalizedLegendre, PointsEvaluatedTogetherMatchPointsAlone)
{
    // 37 points: two full groups of lanes and a partial one.
    const NormalizedLegendre legendre(700, 350);
    std::vector<double> aX, aU;
    for (int i = 0; i < 37; ++i)
    {
        aX.push_back(std::cos(i * 0.085));
        aU.push_back(std::sin(i * 0.085));
    }
    std::vector<double> aTogether(aX.size());
    legendre.Evaluate(aX.data(), aU.data(), static_cast<int32_t>(aX.size()), aTogether.data());
    for (size_t i = 0; i < aX.size(); ++i)
    {
        double dAlone = 0.0;
        legendre.Evaluate(&aX[i], &aU[i], 1, &dAlone);
        EXPECT_EQ(aTogether[i], dAlone) << i;
    }
}

// The points the sums report as vanished, from the pole on, are those where every Pbar_k up to l
// stays far below anything a sum of doubles holds (below order 107, which NegligiblePoints leaves
// alone at l = 1200), or below 1e-20 where NegligiblePoints leaves them out, at the order and at
// higher ones; and they include every point where the functions stay below 2^-800.
TEST(NormalizedLegendre, VanishedPointsStayVanishedAtHigherOrders)
{
    const int l = 1200, nPoints = 129;
    std::vector<double> aT, aU, aTheta;
    for (int i = 0; i < nPoints; ++i)
    {
        aTheta.push_back(i * (kPi / 2) / (nPoints - 1));
        aT.push_back(CosineLessOne(aTheta.back()));
        aU.push_back(std::sin(aTheta.back()));
    }
    const std::vector<double> aValues(4 * nPoints, 1.0);
    const auto largest = [&](int m, int i) {
        long double dLargest;
        LongDoubleLegendre(l, m, aTheta[static_cast<size_t>(i)], &dLargest);
        return dLargest;
    };
    for (int m : {1, 120, 600, 1000})
    {
        const NormalizedLegendre legendre(l, m);
        NormalizedLegendre::Folded aFolded;
        std::vector<double> aAdjoint;
        const int32_t nVanished =
            legendre.AdjointSums(aT.data(), aU.data(), nPoints, aValues.data(), aFolded, aAdjoint);
        const int32_t nNegligible = legendre.NegligiblePoints(aU.data(), nPoints);
        EXPECT_EQ(nNegligible == 0, m < 107) << "m=" << m;
        int nFarBelow = 0;
        while (nFarBelow < nPoints && largest(m, nFarBelow) < std::ldexp(1.0L, -800))
            ++nFarBelow;
        ASSERT_GT(nFarBelow, m < 600 ? 0 : 1) << "m=" << m;  // the pole, and for high orders a band beyond
        EXPECT_GE(nVanished, nFarBelow) << "m=" << m;
        for (int i = 0; i < nVanished; ++i)
            for (int mHigher : {m, m + 1, m + 150})
                EXPECT_LT(largest(mHigher, i), i < nNegligible ? 1e-20L : std::ldexp(1.0L, -220))
                    << "m=" << mHigher << " point " << i;
    }
}

// The recurrences run on the kernels of the path LOBARA_KERNEL asks for, or of the widest the
// processor runs: vectors of eight doubles for AVX-512, four for AVX2, two for the plain path.
TEST(NormalizedLegendre, KernelsOfThePathAskedFor)
{
    const char* pszAsked = std::getenv("LOBARA_KERNEL");
    const std::string strPath = pszAsked != nullptr && *pszAsked != '\0' ? pszAsked
                                : ProcessorRuns(KernelPath::kAvx512)     ? "avx512"
                                : ProcessorRuns(KernelPath::kAvx2)       ? "avx2"
                                                                         : "plain";
    const int nExpected = strPath == "avx512" ? 8 : strPath == "avx2" ? 4 : 2;
    EXPECT_EQ(ActiveLegendreKernels().nLanes, nExpected) << strPath;
    const NormalizedLegendre legendre(40, 3);
    EXPECT_EQ(legendre.FoldedSize() % static_cast<size_t>(nExpected), 0u);
}

// The rows of a grid of 2l + 2 rows that NegligiblePoints leaves out, from the pole, at orders up to
// l: at the last three of them (where the functions, rising towards the equator, are largest) every
// Pbar_k up to l stays below 1e-20 by the long double recurrence.
TEST(NormalizedLegendre, NegligiblePointsAreThoseWhereEveryFunctionStaysBelow1e20)
{
    for (int l : {64, 500, 2048, 8192})
    {
        const int nRows = l + 1;
        std::vector<double> aTheta, aU;
        for (int i = 0; i < nRows; ++i)
        {
            aTheta.push_back(i * kPi / (2 * l + 1));
            aU.push_back(std::sin(aTheta.back()));
        }
        int nChecked = 0;
        for (int m = 1; m <= l; m += std::max(1, l / 40))
        {
            const int32_t n = NormalizedLegendre(l, m).NegligiblePoints(aU.data(), nRows);
            for (int i = std::max(0, n - 3); i < n; ++i)
            {
                long double dLargest;
                LongDoubleLegendre(l, m, aTheta[static_cast<size_t>(i)], &dLargest);
                EXPECT_LT(dLargest, 1e-20L) << "l=" << l << " m=" << m << " row " << i;
                ++nChecked;
            }
        }
        EXPECT_GT(nChecked, 40) << "l=" << l;
    }
}
