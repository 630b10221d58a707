// Least squares at scattered points against values summed by GSL.
#include "sht/point_analysis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "gsl_sums.h"
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
        aPoints.push_back(SamplePoint{0.1 * k, 0.3 * k, 1e3, 1e-30});
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
