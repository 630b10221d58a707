// Least squares at scattered points against values summed by GSL.
#include "sht/point_analysis.h"

#include <gsl/gsl_sf_legendre.h>
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "sht/own_coefficients.h"

namespace {

// Random coefficients of every (l, m) up to L in the program's own convention.
std::vector<Term> RandomTerms(int32_t L, unsigned nSeed)
{
    std::mt19937 random(nSeed);
    std::uniform_real_distribution<double> coefficient(-1.0, 1.0);
    std::vector<Term> aTerms;
    for (int32_t l = 0; l <= L; ++l)
        for (int32_t m = -l; m <= l; ++m)
            aTerms.push_back(Term{l, m, coefficient(random)});
    return aTerms;
}

// The terms summed at (theta, phi) by GSL's orthonormal functions (no Condon-Shortley phase):
// Y(l, m) = Pbar, sqrt(2) Pbar cos(m phi), -sqrt(2) Pbar sin(|m| phi).
double GslSum(const std::vector<Term>& aTerms, int32_t L, double dTheta, double dPhi)
{
    std::vector<double> aSpharm(gsl_sf_legendre_array_n(static_cast<size_t>(L)));
    gsl_sf_legendre_array_e(GSL_SF_LEGENDRE_SPHARM, static_cast<size_t>(L), std::cos(dTheta), 1.0,
                            aSpharm.data());
    double dSum = 0.0;
    for (const Term& term : aTerms)
    {
        const int a = std::abs(term.m);
        const double p =
            aSpharm[gsl_sf_legendre_array_index(static_cast<size_t>(term.l), static_cast<size_t>(a))];
        dSum +=
            term.c *
            (term.m == 0 ? p : std::sqrt(2.0) * p * (term.m > 0 ? std::cos(a * dPhi) : -std::sin(a * dPhi)));
    }
    return dSum;
}

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
