// Analysis against peers: values summed by GSL's Schmidt-normalised Legendre functions give back
// the 4pi coefficients they were summed from, and the Gauss-Legendre rule is GSL's.
#include <gsl/gsl_integration.h>
#include <gsl/gsl_sf_legendre.h>
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "sht/gauss_legendre.h"
#include "sht/grid_analysis.h"

namespace {

// f = sum of c_lm sqrt(2l + 1) S_lm(cos theta) (cos(m phi) for m >= 0, sin(|m| phi) for m < 0),
// S the Schmidt semi-normalised functions without the Condon-Shortley phase: geodesy's 4pi
// convention, summed term by term.
std::vector<double> GeodesySum(const std::vector<Term>& aTerms, int32_t L, const std::vector<double>& aTheta,
                               int32_t nP)
{
    std::vector<double> aValues;
    std::vector<double> aSchmidt(gsl_sf_legendre_array_n(static_cast<size_t>(L)));
    for (double dTheta : aTheta)
    {
        gsl_sf_legendre_array_e(GSL_SF_LEGENDRE_SCHMIDT, static_cast<size_t>(L), std::cos(dTheta), 1.0,
                                aSchmidt.data());
        for (int32_t j = 0; j < nP; ++j)
        {
            const double dPhi = 2.0 * M_PI * j / nP;
            double dSum = 0.0;
            for (const Term& term : aTerms)
            {
                const int a = std::abs(term.m);
                const double p = aSchmidt[gsl_sf_legendre_array_index(static_cast<size_t>(term.l),
                                                                      static_cast<size_t>(a))];
                dSum += term.c * std::sqrt(2.0 * term.l + 1.0) * p *
                        (term.m >= 0 ? std::cos(a * dPhi) : std::sin(a * dPhi));
            }
            aValues.push_back(dSum);
        }
    }
    return aValues;
}

}  // namespace

TEST(IndependentAnalysis, GslSumsGiveBackTheirGeodesyCoefficients)
{
    const int32_t L = 20;
    std::mt19937 random(5);
    std::uniform_real_distribution<double> coefficient(-1.0, 1.0);
    std::vector<Term> aTerms;
    for (int32_t l = 0; l <= L; ++l)
        for (int32_t m = -l; m <= l; ++m)
            aTerms.push_back(Term{l, m, coefficient(random)});
    const Convention geodesy{Normalization::k4Pi, false, SineSign::kStandard};
    for (SampleGrid grid : {SampleGrid::kLobara, SampleGrid::kCells, SampleGrid::kGl})
    {
        const int32_t nT = grid == SampleGrid::kLobara ? L + 2 : L + 1, nP = 2 * L + 2;
        const std::vector<double> aValues = GeodesySum(aTerms, L, GridThetas(grid, nT), nP);
        const Field field = AnalyzeGrid(aValues.data(), grid, nT, nP, L, geodesy, 1);
        ASSERT_EQ(field.aTerms.size(), aTerms.size());
        for (size_t k = 0; k < aTerms.size(); ++k)
        {
            EXPECT_EQ(field.aTerms[k].l, aTerms[k].l);
            EXPECT_EQ(field.aTerms[k].m, aTerms[k].m);
            EXPECT_NEAR(field.aTerms[k].c, aTerms[k].c, 1e-13) << SampleGridName(grid);
        }
    }
}

// Against GSL's tabulated rules (its rules for other sizes are computed less precisely). The
// weights, from Pbar_(n-1) at the nodes, carry the recurrence's rounding: up to a few 1e-13 by the poles.
TEST(IndependentAnalysis, GaussLegendreNodesAndWeightsAreGsls)
{
    for (int32_t n : {1, 2, 7, 100, 1024})
    {
        const GaussLegendre rule = MakeGaussLegendre(n);
        gsl_integration_glfixed_table* pTable = gsl_integration_glfixed_table_alloc(static_cast<size_t>(n));
        for (int32_t i = 0; i < (n + 1) / 2; ++i)  // the northern half: the rule is symmetric by construction
        {
            double x = 0.0, w = 0.0;
            // GSL's nodes run from -1 upwards, the rule's from the north pole (x = 1) down.
            gsl_integration_glfixed_point(-1.0, 1.0, static_cast<size_t>(n - 1 - i), &x, &w, pTable);
            EXPECT_NEAR(std::cos(rule.aTheta[static_cast<size_t>(i)]), x, 4e-16) << n << " " << i;
            EXPECT_NEAR(rule.aWeight[static_cast<size_t>(i)], w, 5e-13 * w) << n << " " << i;
        }
        gsl_integration_glfixed_table_free(pTable);
    }
}
