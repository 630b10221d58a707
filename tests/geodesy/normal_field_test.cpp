// The normal field of GRS80 and WGS84 from their defining constants, against the published
// derived constants: Moritz's GRS80 (e^2, J4, J6, J8, normal gravity) and the fully normalised
// zonal coefficients of WGS84 to degree 10 (NIMA TR8350.2).
#include "geodesy/normal_field.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(NormalFieldTest, Grs80AndWgs84MatchTheirPublishedDerivedConstants)
{
    const ReferenceEllipsoid& grs80 = *FindReferenceEllipsoid("GRS80");
    EXPECT_NEAR(EccentricitySquared(grs80), 0.00669438002290, 1e-14);
    EXPECT_EQ(EvenZonal(grs80, 1), 0.00108263);
    EXPECT_NEAR(EvenZonal(grs80, 2), -0.00000237091222, 0.5e-14);
    EXPECT_NEAR(EvenZonal(grs80, 3), 0.00000000608347, 0.5e-14);
    EXPECT_NEAR(EvenZonal(grs80, 4), -0.00000000001427, 0.5e-14);
    const NormalGravity grs80Gravity = ComputeNormalGravity(grs80);
    EXPECT_NEAR(grs80Gravity.dEquator, 9.7803267715, 0.5e-10);
    EXPECT_NEAR(grs80Gravity.dPole, 9.8321863685, 0.5e-10);
    EXPECT_NEAR(grs80Gravity.dMean, 9.7976446561, 2e-10);

    const ReferenceEllipsoid& wgs84 = *FindReferenceEllipsoid("WGS84");
    const double adPublished[] = {-0.484166774985e-3, 0.790303733511e-6, -0.168724961151e-8,
                                  0.346052468394e-11, -0.265002225747e-14};
    const Convention fullyNormalized{Normalization::k4Pi, false, SineSign::kStandard};
    const std::vector<Term> aNormal =
        NormalFieldTerms(wgs84, wgs84.dGravityConstant, wgs84.dA, fullyNormalized, 10);
    ASSERT_EQ(aNormal.size(), 6u);
    EXPECT_EQ(aNormal[0].c, 1.0);
    for (int n = 1; n <= 5; ++n)
    {
        EXPECT_EQ(aNormal[n].l, 2 * n);
        EXPECT_NEAR(aNormal[n].c, adPublished[n - 1], std::fabs(adPublished[n - 1]) * 1e-10) << 2 * n;
    }
    const NormalGravity wgs84Gravity = ComputeNormalGravity(wgs84);
    EXPECT_NEAR(wgs84Gravity.dEquator, 9.7803253359, 0.5e-10);
    EXPECT_NEAR(wgs84Gravity.dPole, 9.8321849378, 1e-10);
    EXPECT_NEAR(wgs84Gravity.dMean, 9.7976432222, 2e-10);
    EXPECT_EQ(FindReferenceEllipsoid("grs80"), nullptr);
}

TEST(NormalFieldTest, RescalesToTheModelAndItsConventionAndIsSubtracted)
{
    // Unnormalised, C(2n, 0) is -J_2n itself (J2 exactly GRS80's defining value); a model of twice the GM and
    // half the radius takes C(0, 0) = 1/2 and (a / R)^2n = 4^n.
    const ReferenceEllipsoid& grs80 = *FindReferenceEllipsoid("GRS80");
    const Convention unnormalized{Normalization::kUnnormalized, false, SineSign::kStandard};
    const std::vector<Term> aNormal =
        NormalFieldTerms(grs80, 2.0 * grs80.dGravityConstant, grs80.dA / 2.0, unnormalized, 5);
    ASSERT_EQ(aNormal.size(), 3u);
    EXPECT_NEAR(aNormal[0].c, 0.5, 1e-16);
    EXPECT_NEAR(aNormal[1].c, -0.00108263 * 0.5 * 4.0, 1e-17);
    EXPECT_NEAR(aNormal[2].c, -EvenZonal(grs80, 2) * 0.5 * 16.0, 1e-19);

    std::vector<Term> aTerms = {{0, 0, 1.0}, {2, -1, 3.0}, {2, 0, 7.0}, {3, 0, 5.0}};
    RemoveNormalField(aTerms, aNormal);
    ASSERT_EQ(aTerms.size(), 5u);
    EXPECT_EQ(aTerms[0].c, 1.0 - aNormal[0].c);
    EXPECT_EQ(aTerms[2].c, 7.0 - aNormal[1].c);
    EXPECT_EQ(aTerms[4].l, 4);
    EXPECT_EQ(aTerms[4].c, -aNormal[2].c);
}

}  // namespace
