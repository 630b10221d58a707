// The power of each degree against the mean square of single harmonics worked out by hand:
// 1 for a 4pi harmonic, 1/(2l + 1) for a Schmidt one, 1/(4 pi) for an ortho one, and for the
// unnormalised P_2^1(cos theta) cos(phi) = 3 sin(theta) cos(theta) cos(phi) the mean of
// 9 sin^2 cos^2 cos^2(phi) over the sphere, 9 (2/15) (1/2) = 0.6.
#include "sht/degree_power.h"

#include <gtest/gtest.h>

#include "sht/degree_band.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

double PowerOfSingle(int32_t l, int32_t m, Normalization normalization, double c)
{
    const std::vector<DegreePower> aRows =
        PowerSpectrum(Field{{Term{l, m, c}}, Convention{normalization, true, SineSign::kLobara}});
    EXPECT_EQ(aRows.size(), static_cast<size_t>(l) + 1);
    return aRows.back().dPower;
}

TEST(PowerSpectrum, SingleHarmonicsHaveTheirMeanSquare)
{
    EXPECT_EQ(PowerOfSingle(3, -2, Normalization::k4Pi, 1.0), 1.0);
    EXPECT_EQ(PowerOfSingle(3, 2, Normalization::kN3d, -2.0), 4.0);
    EXPECT_NEAR(PowerOfSingle(5, 4, Normalization::kSchmidt, 1.0), 1.0 / 11.0, 1e-16);
    EXPECT_NEAR(PowerOfSingle(4, 0, Normalization::kOrtho, 1.0), 1.0 / (4.0 * kPi), 1e-16);
    EXPECT_NEAR(PowerOfSingle(2, 1, Normalization::kUnnormalized, 1.0), 0.6, 1e-15);
}

TEST(PowerSpectrum, RowsGiveEachDegreeItsMeanPerCoefficientAndTheSumSoFar)
{
    const Field field{{Term{1, 0, 3.0}, Term{3, -1, 1.0}, Term{3, 2, 2.0}, Term{1, 1, 4.0}},
                      Convention{Normalization::k4Pi, false, SineSign::kStandard}};
    const std::vector<DegreePower> aRows = PowerSpectrum(field);
    ASSERT_EQ(aRows.size(), 4u);
    const double adPower[] = {0.0, 25.0, 0.0, 5.0};
    const double adCumulative[] = {0.0, 25.0, 25.0, 30.0};
    for (int32_t l = 0; l < 4; ++l)
    {
        EXPECT_EQ(aRows[l].l, l);
        EXPECT_EQ(aRows[l].dPower, adPower[l]);
        EXPECT_EQ(aRows[l].dPerCoefficient, adPower[l] / (2 * l + 1));
        EXPECT_EQ(aRows[l].dCumulative, adCumulative[l]);
    }
    EXPECT_TRUE(PowerSpectrum(Field{{Term{2, 0, 0.0}}, field.convention}).empty());

    // The band of degrees 2 and 3 keeps only the power of degree 3; up to 2, none.
    EXPECT_EQ(PowerSpectrum(DegreeBand(field, 2, -1)).back().dCumulative, 5.0);
    EXPECT_TRUE(PowerSpectrum(DegreeBand(field, 2, 2)).empty());
    EXPECT_EQ(DegreeBand(field, 0, 1).aTerms.size(), 2u);
}

}  // namespace
