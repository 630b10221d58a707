// Least squares at scattered points against values summed by GSL.
#include "sht/point_analysis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <stdexcept>
#include <vector>

#include "gsl_sums.h"
#include "sht/build_limits.h"
#include "sht/own_coefficients.h"

namespace {

// nCount points spread at random over the sphere, or over the part north of dLowest.
std::vector<SamplePoint> RandomPoints(const std::vector<Term>& aTerms, int32_t L, size_t nCount,
                                      unsigned nSeed, double dLowest = M_PI)
{
    std::mt19937 random(nSeed);
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    std::vector<SamplePoint> aPoints;
    const double dLowestZ = std::cos(dLowest);
    for (size_t k = 0; k < nCount; ++k)
    {
        const double z = 1.0 - (1.0 - dLowestZ) * uniform(random);
        const double dTheta = std::acos(z), dPhi = 2.0 * M_PI * uniform(random);
        aPoints.push_back(SamplePoint{dTheta, dPhi, GslSum(aTerms, L, dTheta, dPhi), 1.0});
    }
    return aPoints;
}

double LargestError(const Field& field, const std::vector<Term>& aTerms)
{
    double dLargest = 0.0;
    for (size_t k = 0; k < aTerms.size(); ++k)
        dLargest = std::max(dLargest, std::fabs(field.aTerms[k].c - aTerms[k].c));
    return dLargest;
}

}  // namespace

TEST(PointAnalysis, RecoversDegree30From5000RandomPointsTo1e10)
{
    const int32_t L = 30;
    const std::vector<Term> aTerms = RandomTerms(L, 11);
    std::vector<SamplePoint> aPoints = RandomPoints(aTerms, L, 5000, 12);
    // Points of weight 1e-30 with values far off change nothing that shows.
    for (size_t k = 0; k < 50; ++k)
        aPoints.push_back(SamplePoint{0.06 * k, 0.3 * k, 1e3, 1e-30});
    const PointAnalysis analysis = AnalyzePoints(aPoints, L, Convention{}, 2);
    EXPECT_TRUE(analysis.bConverged);
    EXPECT_LE(LargestError(analysis.field, aTerms), 1e-10);
    EXPECT_LE(analysis.dRelativeResidual, 1e-12);
    EXPECT_FALSE(analysis.bIllConditioned);
    EXPECT_FALSE(analysis.bFewerPointsThanCoefficients);
}

// Fewer points than coefficients: the values are met, the coefficients not determined. A cap of
// the sphere left empty (no point beyond 115 degrees from the north pole) leaves the system
// ill-conditioned.
TEST(PointAnalysis, TellsWhenThePointsCannotDetermineTheDegree)
{
    const int32_t L = 12;
    const std::vector<Term> aTerms = RandomTerms(L, 21);
    const PointAnalysis few = AnalyzePoints(RandomPoints(aTerms, L, 120, 22), L, Convention{}, 1);
    EXPECT_TRUE(few.bFewerPointsThanCoefficients);
    EXPECT_LE(few.dRelativeResidual, 1e-6);
    EXPECT_GT(LargestError(few.field, aTerms), 1e-3);
    const PointAnalysis capped = AnalyzePoints(RandomPoints(aTerms, L, 1000, 23, 2.0), L, Convention{}, 1);
    EXPECT_FALSE(capped.bFewerPointsThanCoefficients);
    EXPECT_TRUE(capped.bIllConditioned);
}

// Points that the fit's own iteration sees as determined: all on one ring (2000 of them, but only
// the 17 functions cos(m phi), sin(m phi) of degree 8 on it), and 5 places each given 400 times.
TEST(PointAnalysis, TellsWhenThePlacesCannotDetermineTheDegree)
{
    const int32_t L = 8;
    const std::vector<Term> aTerms = RandomTerms(L, 31);
    std::vector<SamplePoint> aRing;
    for (int k = 0; k < 2000; ++k)
    {
        const double dPhi = 2.0 * M_PI * k / 2000.0;
        aRing.push_back(SamplePoint{1.0, dPhi, GslSum(aTerms, L, 1.0, dPhi), 1.0});
    }
    const PointAnalysis ring = AnalyzePoints(aRing, L, Convention{}, 1);
    EXPECT_EQ(ring.nDistinctPoints, 2000u);
    EXPECT_TRUE(ring.bIllConditioned);
    EXPECT_GT(ring.dCondition, 1e8);
    EXPECT_EQ(DefaultPointDegree(aRing, 1), 0);

    std::vector<SamplePoint> aFive;
    const std::vector<SamplePoint> aPlaces = RandomPoints(aTerms, L, 5, 32);
    for (int k = 0; k < 400; ++k)
        aFive.insert(aFive.end(), aPlaces.begin(), aPlaces.end());
    // The same places again with phi a turn away, and at the pole with any phi.
    aFive.push_back(SamplePoint{aPlaces[0].dTheta, aPlaces[0].dPhi - 2.0 * M_PI, aPlaces[0].dValue, 1.0});
    aFive.push_back(SamplePoint{0.0, 1.0, 0.5, 1.0});
    aFive.push_back(SamplePoint{0.0, -2.0, 0.5, 1.0});
    const PointAnalysis five = AnalyzePoints(aFive, L, Convention{}, 1);
    EXPECT_EQ(five.nDistinctPoints, 6u);
    EXPECT_TRUE(five.bFewerPointsThanCoefficients);
    EXPECT_TRUE(std::isinf(five.dCondition));
}

// Weights and values scaled by powers of ten from the smallest to the largest a double holds,
// where squares of them overflow or underflow: the same field (scaled with the values).
TEST(PointAnalysis, GivesTheSameFieldForWeightsAndValuesOfAnyScale)
{
    const int32_t L = 6;
    const std::vector<Term> aTerms = RandomTerms(L, 41);
    const std::vector<SamplePoint> aPoints = RandomPoints(aTerms, L, 300, 42);
    const Field reference = AnalyzePoints(aPoints, L, Convention{}, 1).field;
    for (const double dWeight : {1e-300, 1e-200, 1e140, 1e300})
        for (const double dValue : {1e-300, 1.0, 1e154, 1e300})
        {
            std::vector<SamplePoint> aScaled = aPoints;
            for (SamplePoint& point : aScaled)
            {
                point.dWeight *= dWeight;
                point.dValue *= dValue;
            }
            const PointAnalysis scaled = AnalyzePoints(aScaled, L, Convention{}, 1);
            ASSERT_EQ(scaled.field.aTerms.size(), reference.aTerms.size());
            for (size_t k = 0; k < reference.aTerms.size(); ++k)
                EXPECT_NEAR(scaled.field.aTerms[k].c / dValue, reference.aTerms[k].c, 1e-12)
                    << "weights " << dWeight << ", values " << dValue << ", term " << k;
            EXPECT_FALSE(scaled.bIllConditioned);
        }
    // One point far heavier than the others does not leave a zero field without a word.
    std::vector<SamplePoint> aHeavy = aPoints;
    aHeavy[7].dWeight = 1e300;
    const PointAnalysis heavy = AnalyzePoints(aHeavy, L, Convention{}, 1);
    EXPECT_TRUE(heavy.bIllConditioned || LargestError(heavy.field, aTerms) < 1e-6);
}

// The default degree: the fit at it is determined and recovers a field of that degree from random
// points; with twice as many places as coefficients it is the highest such degree.
TEST(PointAnalysis, ChoosesADefaultDegreeThePointsDetermine)
{
    const std::vector<Term> aTerms = RandomTerms(13, 51);
    const std::vector<SamplePoint> aPoints = RandomPoints(aTerms, 13, 400, 52);
    const int32_t L = DefaultPointDegree(aPoints, 1);
    EXPECT_EQ(L, 13);  // 2 (13 + 1)^2 = 392 <= 400
    const PointAnalysis analysis = AnalyzePoints(aPoints, L, Convention{}, 1);
    EXPECT_FALSE(analysis.bIllConditioned);
    EXPECT_LE(analysis.dCondition, 1e3);
    EXPECT_LE(LargestError(analysis.field, aTerms), 1e-10);
    // Points only north of 115 degrees: a lower degree, still determined.
    const std::vector<SamplePoint> aCapped = RandomPoints(aTerms, 13, 400, 53, 2.0);
    const int32_t nCapped = DefaultPointDegree(aCapped, 1);
    EXPECT_LT(nCapped, 13);
    EXPECT_FALSE(AnalyzePoints(aCapped, nCapped, Convention{}, 1).bIllConditioned);
}

// Points the fit cannot take are refused with one line; a fit too large for the machine's memory
// is refused before anything is allocated.
TEST(PointAnalysis, RefusesBadPointsAndFitsBeyondTheMemory)
{
    for (const SamplePoint& bad :
         {SamplePoint{NAN, 0, 1, 1}, SamplePoint{4.0, 0, 1, 1}, SamplePoint{1, INFINITY, 1, 1},
          SamplePoint{1, 0, NAN, 1}, SamplePoint{1, 0, 1, 0}, SamplePoint{1, 0, 1, INFINITY}})
        EXPECT_THROW(AnalyzePoints({SamplePoint{1, 1, 1, 1}, bad}, 1, Convention{}, 1),
                     std::invalid_argument);
    EXPECT_THROW(AnalyzePoints({SamplePoint{1, 1, 1, 1}}, kMaxDegree, Convention{}, 1), WorkTooLarge);
}
