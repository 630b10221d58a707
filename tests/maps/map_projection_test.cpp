#include "maps/map_projection.h"

#include <gtest/gtest.h>

#include <cmath>

#include "sht/angles.h"

namespace {

// Mollweide's forward formula for latitude lat and longitude lon: the auxiliary angle a solves
// 2a + sin 2a = pi sin lat (Newton's method), and the point is x = 2 sqrt2 / pi lon cos a,
// y = sqrt2 sin a on the ellipse of half-axes 2 sqrt2 and sqrt2, here scaled to the unit box.
void MollweideForward(double dLatitude, double dLongitude, double& u, double& v)
{
    double a = dLatitude;
    for (int n = 0; n < 100 && std::cos(a) > 1e-9; ++n)
        a -= (2.0 * a + std::sin(2.0 * a) - kPi * std::sin(dLatitude)) / (2.0 + 2.0 * std::cos(2.0 * a));
    u = (2.0 * std::sqrt(2.0) / kPi * dLongitude * std::cos(a)) / (2.0 * std::sqrt(2.0));
    v = std::sqrt(2.0) * std::sin(a) / std::sqrt(2.0);
}

TEST(Mollweide, ShowsTheDirectionOfTheForwardFormula)
{
    for (int nLat = -85; nLat <= 85; nLat += 5)
        for (int nLon = -175; nLon <= 175; nLon += 10)
        {
            const double dLatitude = nLat * kPi / 180.0, dLongitude = nLon * kPi / 180.0;
            double u = 0.0, v = 0.0, dTheta = 0.0, dPhi = 0.0;
            MollweideForward(dLatitude, dLongitude, u, v);
            ASSERT_TRUE(MapDirection(MapProjection::kMollweide, u, v, dTheta, dPhi)) << nLat << ", " << nLon;
            EXPECT_NEAR(dTheta, kPi / 2.0 - dLatitude, 1e-9) << "latitude " << nLat << ", longitude " << nLon;
            EXPECT_NEAR(dPhi, dLongitude, 1e-9) << "latitude " << nLat << ", longitude " << nLon;
        }
}

TEST(Mollweide, HasNorthUpEastRightAndNothingOutsideTheEllipse)
{
    double dTheta = 0.0, dPhi = 0.0;
    ASSERT_TRUE(MapDirection(MapProjection::kMollweide, 0.5, 0.0, dTheta, dPhi));
    EXPECT_NEAR(dPhi, kPi / 2.0, 1e-12);  // halfway to the right edge of the equator: 90 degrees east
    EXPECT_NEAR(dTheta, kPi / 2.0, 1e-12);
    ASSERT_TRUE(MapDirection(MapProjection::kMollweide, -0.25, 0.0, dTheta, dPhi));
    EXPECT_NEAR(dPhi, -kPi / 4.0, 1e-12);
    ASSERT_TRUE(MapDirection(MapProjection::kMollweide, 0.0, 1.0, dTheta, dPhi));
    EXPECT_NEAR(dTheta, 0.0, 1e-7);  // the top is the north pole
    ASSERT_TRUE(MapDirection(MapProjection::kMollweide, 0.0, -1.0, dTheta, dPhi));
    EXPECT_NEAR(dTheta, kPi, 1e-7);
    EXPECT_FALSE(MapDirection(MapProjection::kMollweide, 0.8, 0.7, dTheta, dPhi));
    EXPECT_FALSE(MapDirection(MapProjection::kMollweide, 1.001, 0.0, dTheta, dPhi));
}

// Equal area: the share of the ellipse's cells whose directions lie in a region is the share of
// the sphere's area that the region covers. The regions are zones between two latitudes, and a
// zone cut to a range of longitudes east of the centre.
TEST(Mollweide, IsEqualArea)
{
    constexpr int kCells = 1200;  // across the width; half as many down
    struct Region
    {
        double dThetaLow, dThetaHigh, dPhiLow, dPhiHigh;
        int nCount = 0;
    };
    Region aRegions[] = {
        {0.0, kPi / 6.0, -kPi, kPi},
        {kPi / 6.0, kPi / 3.0, -kPi, kPi},
        {kPi / 3.0, kPi / 2.0, -kPi, kPi},
        {kPi / 2.0, 2.0 * kPi / 3.0, -kPi, kPi},
        {0.3, 1.2, 0.5, 2.0},
        {2.0, 2.9, -3.0, -1.0},
    };
    int nInside = 0;
    for (int i = 0; i < kCells / 2; ++i)
        for (int j = 0; j < kCells; ++j)
        {
            const double u = (j + 0.5) / kCells * 2.0 - 1.0, v = (i + 0.5) / (kCells / 2) * 2.0 - 1.0;
            double dTheta = 0.0, dPhi = 0.0;
            if (!MapDirection(MapProjection::kMollweide, u, v, dTheta, dPhi))
                continue;
            ++nInside;
            for (Region& region : aRegions)
                if (dTheta >= region.dThetaLow && dTheta < region.dThetaHigh && dPhi >= region.dPhiLow &&
                    dPhi < region.dPhiHigh)
                    ++region.nCount;
        }
    for (const Region& region : aRegions)
    {
        const double dShare = (std::cos(region.dThetaLow) - std::cos(region.dThetaHigh)) / 2.0 *
                              (region.dPhiHigh - region.dPhiLow) / kTwoPi;
        EXPECT_NEAR(static_cast<double>(region.nCount) / nInside, dShare, 2e-3)
            << "theta " << region.dThetaLow << " to " << region.dThetaHigh;
    }
}

}  // namespace
