#include "sht/convention.h"

#include <gtest/gtest.h>

#include <cmath>

#include "closed_form_harmonic.h"

namespace {

// Every normalisation, each with and without the Condon-Shortley phase and with both sines.
class ConventionFactorTest : public testing::TestWithParam<Normalization>
{
};

// The factor is Y(l, m) of the convention over the program's own (ortho, no phase, sine sign -1),
// both written out from their definitions, one (l, m) at a time and a degree's row at once; odd
// negative orders with the phase are where a dropped (-1)^m or sine sign shows.
TEST_P(ConventionFactorTest, IsTheRatioOfTheClosedForms)
{
    const Convention own{};
    for (const bool bCondonShortley : {false, true})
        for (const SineSign sine : {SineSign::kLobara, SineSign::kStandard})
        {
            const Convention convention{GetParam(), bCondonShortley, sine};
            for (int l = 0; l <= 9; ++l)
            {
                double aRow[19];
                DegreeConventionFactors(l, convention, aRow);
                for (int m = -l; m <= l; ++m)
                {
                    const double dExpected = ClosedFormScale(l, m, convention) / ClosedFormScale(l, m, own);
                    for (const double dFactor : {ConventionFactor(l, m, convention), aRow[l + m]})
                        EXPECT_NEAR(dFactor, dExpected, 1e-13 * std::fabs(dExpected))
                            << NormalizationName(GetParam()) << (bCondonShortley ? " --cs" : "") << " "
                            << SineSignName(sine) << " l " << l << " m " << m;
                }
            }
        }
}

TEST_P(ConventionFactorTest, OddNegativeOrdersWithThePhaseInTheCommonSine)
{
    // With the phase and the common sine, Y(l, -|m|) for odd |m| is -n P sin: the own harmonic
    // is -sqrt(2) P-bar sin, so the factor is +n / (sqrt(2) ortho's), positive.
    const Convention convention{GetParam(), true, SineSign::kStandard};
    for (int l = 1; l <= 7; ++l)
        for (int m = -1; m >= -l; m -= 2)
            EXPECT_GT(ConventionFactor(l, m, convention), 0.0) << "l " << l << " m " << m;
}

INSTANTIATE_TEST_SUITE_P(EveryNormalization, ConventionFactorTest,
                         testing::Values(Normalization::kOrtho, Normalization::k4Pi, Normalization::kSchmidt,
                                         Normalization::kUnnormalized, Normalization::kSn3d,
                                         Normalization::kN3d),
                         [](const testing::TestParamInfo<Normalization>& param) {
                             const std::string strName = NormalizationName(param.param);
                             return strName == "4pi" ? std::string("fourpi") : strName;
                         });

}  // namespace
