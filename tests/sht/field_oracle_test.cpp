// Fields, sums of harmonics in any convention, against GSL's normalised Legendre functions
// summed directly, and each convention against its defining formula.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "gsl_sums.h"
#include "mesh/surface_builder.h"
#include "sht/angles.h"
#include "sht/field_synthesis.h"

namespace {

// Every coefficient up to nMax, falling as 1 / (1 + l).
std::vector<Term> DecayingTerms(int nMax, unsigned nSeed)
{
    std::vector<Term> aTerms = RandomTerms(nMax, nSeed);
    for (Term& term : aTerms)
        term.c /= 1.0 + term.l;
    return aTerms;
}

}  // namespace

// Dense sums (every order: the transform over phi, orders beyond the grid folded onto it) and a
// sparse one (a direct sum), with repeated terms, on grids with and without an equator row.
TEST(FieldOracle, SumsAgreeWithGslTo1e13OfTheLargestValue)
{
    struct Case
    {
        std::vector<Term> aTerms;
        int nMax, nT, nP;
    };
    const std::vector<Case> aCases = {
        {DecayingTerms(60, 1), 60, 41, 128},
        {DecayingTerms(300, 2), 300, 30, 64},
        {{{3, -2, 0.5}, {5, 4, -2.0}, {3, -2, 0.25}, {0, 0, 1.0}, {7, 9, 5.0}}, 7, 17, 23},
    };
    for (const Case& c : aCases)
    {
        SurfaceMesh mesh;
        BuildSurfaceMesh(Field{c.aTerms, Convention{}}, c.nT, c.nP, mesh);
        std::vector<double> aExpected;
        double dMax = 0.0;
        for (int i = 0; i < c.nT; ++i)
            for (int j = 0; j < c.nP; ++j)
            {
                aExpected.push_back(GslSum(c.aTerms, c.nMax, i * kPi / (c.nT - 1), j * kTwoPi / c.nP));
                dMax = std::max(dMax, std::fabs(aExpected.back()));
            }
        ASSERT_EQ(mesh.m_aValue.GetSize(), c.nT * c.nP);
        for (int32_t k = 0; k < mesh.m_aValue.GetSize(); ++k)
            ASSERT_NEAR(mesh.m_aValue[k], aExpected[static_cast<size_t>(k)], 1e-13 * dMax)
                << "L=" << c.nMax << " sample " << k;
    }
}

// The functions of order 532 up to degree 532 vanish at theta = 3 pi / 26 (sin^532 is 3e-240
// there), so that its row is left out of the higher orders of no higher degree; order 533 reaches
// degree 1600, where its functions are back on that row (sin(theta) > 533 / 1600).
TEST(FieldOracle, RowsWhereAnOrderVanishesComeBackAtAHigherDegree)
{
    const std::vector<Term> aTerms = {{532, 532, 1.0}, {1600, -533, 1.0}};
    const int nT = 27, nP = 4, i = 3;
    std::vector<double> aValues(nT * nP);
    CFieldSynthesis(Field{aTerms, Convention{}}, nT, nP, 1).Run(aValues.data());
    double dLargest = 0.0;
    for (int j = 0; j < nP; ++j)
    {
        const double dExpected = GslSum(aTerms, 1600, i * kPi / (nT - 1), j * kTwoPi / nP);
        dLargest = std::max(dLargest, std::fabs(dExpected));
        EXPECT_NEAR(aValues[i * nP + j], dExpected, 1e-12) << "column " << j;
    }
    EXPECT_GT(dLargest, 0.01);
}

// Each normalisation, phase and sine sign against n(l, |m|) P_l^|m|(cos theta) trig(m phi), with
// P_3^2(x) = 15 x (1 - x^2) and P_2^1(x) = 3 x sqrt(1 - x^2) written out (no Condon-Shortley phase).
TEST(FieldOracle, ConventionsFollowTheirDefiningFormulas)
{
    const int nT = 7, nP = 5;
    const int i = 2, j = 1;  // theta = pi / 3, phi = 2 pi / 5
    const double x = std::cos(i * kPi / (nT - 1)), phi = j * kTwoPi / nP;
    const double p32 = 15.0 * x * (1.0 - x * x), p21 = 3.0 * x * std::sqrt(1.0 - x * x);
    const double k32 = 1.0 / 120.0, k21 = 1.0 / 6.0;  // (l - m)! / (l + m)!
    struct Case
    {
        Normalization normalization;
        double n32, n21;  // n(3, 2) and n(2, 1)
    };
    const Case aCases[] = {
        {Normalization::kOrtho, std::sqrt(2 * 7 / (4 * kPi) * k32), std::sqrt(2 * 5 / (4 * kPi) * k21)},
        {Normalization::k4Pi, std::sqrt(2 * 7 * k32), std::sqrt(2 * 5 * k21)},
        {Normalization::kN3d, std::sqrt(2 * 7 * k32), std::sqrt(2 * 5 * k21)},
        {Normalization::kSchmidt, std::sqrt(2 * k32), std::sqrt(2 * k21)},
        {Normalization::kSn3d, std::sqrt(2 * k32), std::sqrt(2 * k21)},
        {Normalization::kUnnormalized, 1.0, 1.0},
    };
    for (const Case& c : aCases)
        for (bool bCs : {false, true})
            for (SineSign sine : {SineSign::kLobara, SineSign::kStandard})
            {
                const Convention convention{c.normalization, bCs, sine};
                const double dSine = sine == SineSign::kLobara ? -1.0 : 1.0;
                // Y(3, -2) (even order: no phase) and Y(2, 1) (odd: the phase flips it).
                for (const auto& [m, dExpected] :
                     {std::pair<int, double>{-2, c.n32 * p32 * dSine * std::sin(2 * phi)},
                      {1, (bCs ? -1.0 : 1.0) * c.n21 * p21 * std::cos(phi)}})
                {
                    SurfaceMesh mesh;
                    BuildSurfaceMesh(Field{{Term{m == -2 ? 3 : 2, m, 1.0}}, convention}, nT, nP, mesh);
                    EXPECT_NEAR(mesh.m_aValue[i * nP + j], dExpected, 1e-14 * std::fabs(dExpected))
                        << NormalizationName(c.normalization) << " cs=" << bCs << " m=" << m;
                }
            }
}
