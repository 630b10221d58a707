// Equivalent water height and Gaussian smoothing: the load Love numbers against Wahr et al.
// (1998) Table 1 at its degrees and interpolated by hand between them, the factor of degree l by
// hand, and the Gaussian weights against ratios of GSL's modified spherical Bessel functions,
// W_l = i_l(b) / i_0(b), which no recursion of ours computes.
#include <gsl/gsl_errno.h>
#include <gsl/gsl_sf_bessel.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "geodesy/gaussian_smoothing.h"
#include "geodesy/load_love_numbers.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kRadius = 6378136.3;

TEST(WaterHeightTest, LoveNumbersAndFactors)
{
    EXPECT_EQ(LoadLoveNumber(0), 0.0);
    EXPECT_EQ(LoadLoveNumber(1), 0.027);
    EXPECT_EQ(LoadLoveNumber(2), -0.303);
    EXPECT_EQ(LoadLoveNumber(10), -0.069);
    EXPECT_NEAR(LoadLoveNumber(11), (-0.069 - 0.064) / 2.0, 1e-17);
    EXPECT_NEAR(LoadLoveNumber(13), -0.064 + (-0.058 + 0.064) / 3.0, 1e-17);
    EXPECT_NEAR(LoadLoveNumber(120), -0.014 + (-0.010 + 0.014) * 20.0 / 50.0, 1e-17);
    EXPECT_EQ(LoadLoveNumber(200), -0.007);
    EXPECT_NEAR(LoadLoveNumber(400), -0.0035, 1e-17);
    // a rho_e / (3 rho_w) (2l + 1) / (1 + k_l): 11729 km of water for a C(2, m) of 1.
    EXPECT_NEAR(WaterHeightFactor(2, kRadius), kRadius * 5517.0 / 3000.0 * 5.0 / 0.697, 1e-6);
    EXPECT_NEAR(WaterHeightFactor(0, kRadius), kRadius * 5517.0 / 3000.0, 1e-6);
}

TEST(WaterHeightTest, GaussianWeightsAreRatiosOfModifiedBesselFunctions)
{
    gsl_set_error_handler_off();
    for (const double dRadiusKm : {100.0, 300.0, 500.0, 2000.0, 20000.0})
    {
        const double b = std::log(2.0) / (1.0 - std::cos(dRadiusKm * 1000.0 / kRadius));
        for (const int nMax : {0, 1, 60, 400})
        {
            const std::vector<double> aWeights = GaussianWeights(dRadiusKm, kRadius, nMax);
            ASSERT_EQ(aWeights.size(), static_cast<size_t>(nMax + 1));
            for (int l = 0; l <= nMax; ++l)
            {
                // e^-b i_l(b), 0 where it underflows.
                gsl_sf_result bessel, first;
                const double dScaled = gsl_sf_bessel_il_scaled_e(l, b, &bessel) == 0 ? bessel.val : 0.0;
                ASSERT_EQ(gsl_sf_bessel_il_scaled_e(0, b, &first), 0);
                const double dExpected = dScaled / first.val;
                EXPECT_NEAR(aWeights[static_cast<size_t>(l)], dExpected, 1e-14 + 1e-11 * dExpected)
                    << dRadiusKm << " km, degree " << l;
            }
        }
    }
    // Where b is far beyond l^2 (a radius of 1 km), W_l = exp(-l (l + 1) / 2b) (1 + O(l^2 / b^2)).
    const double b = std::log(2.0) / (1.0 - std::cos(1000.0 / kRadius));
    const std::vector<double> aWeights = GaussianWeights(1.0, kRadius, 2000);
    for (const int l : {1, 10, 500, 2000})
        EXPECT_NEAR(aWeights[static_cast<size_t>(l)], std::exp(-l * (l + 1.0) / (2.0 * b)),
                    1e-14 + l * l / (b * b))
            << l;
    // Jekeli's first weight in closed form.
    const double b300 = std::log(2.0) / (1.0 - std::cos(300e3 / kRadius));
    EXPECT_NEAR(GaussianWeights(300.0, kRadius, 1)[1],
                (1.0 + std::exp(-2.0 * b300)) / (1.0 - std::exp(-2.0 * b300)) - 1.0 / b300, 1e-15);
    EXPECT_EQ(SmoothingRadiusError(300.0, kRadius), "");
    EXPECT_EQ(SmoothingRadiusError(0.5, kRadius),
              "the smoothing radius 0.5 km is not from 1 km to 20037.50614 km");
    EXPECT_NE(SmoothingRadiusError(NAN, kRadius), "");
    EXPECT_NE(SmoothingRadiusError(kPi * kRadius, kRadius), "");
}

}  // namespace
