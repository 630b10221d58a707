// Geodetic places in a model's spherical coordinates, against the ellipse's own closed forms: the
// meridian ellipse r(phi_c) = a b / sqrt(b^2 cos^2 phi_c + a^2 sin^2 phi_c), its normal from the
// gradient of x^2/a^2 + z^2/b^2, and the place at a height along that normal; and Somigliana's
// normal gravity against the GRS80 report's series and, at heights, against the gradient of the
// level ellipsoid's closed-form potential on the axis and in the equator (Heiskanen and Moritz
// 2-61 and 2-126).
#include "geodesy/geodetic_place.h"

#include <gtest/gtest.h>
#include <quadmath.h>

#include <cmath>

#include "geodesy/normal_gravity.h"

namespace {

constexpr double kPi = 3.141592653589793;

TEST(GeodeticPlaceTest, LiesOnTheEllipseAndAlongItsNormal)
{
    for (const char* pszName : {"GRS80", "WGS84"})
    {
        const ReferenceEllipsoid& ellipsoid = *FindReferenceEllipsoid(pszName);
        const double a = ellipsoid.dA, b = a * std::sqrt(1.0 - EccentricitySquared(ellipsoid));
        for (const double dGeocentric : {-89.0, -60.0, -12.5, 0.0, 1e-3, 33.0, 45.0, 77.7, 90.0})
        {
            // The point of the meridian ellipse at that geocentric latitude, and its normal.
            const double c = dGeocentric * kPi / 180.0;
            const double r0 = a * b / std::hypot(b * std::cos(c), a * std::sin(c));
            const double x0 = r0 * std::cos(c), z0 = r0 * std::sin(c);
            const double dNormalX = x0 / (a * a), dNormalZ = z0 / (b * b);
            const double dLength = std::hypot(dNormalX, dNormalZ);
            const double dLatitude = std::atan2(dNormalZ, dNormalX) * 180.0 / kPi;
            for (const double h : {0.0, 1234.5, -400.0, 35786e3})
            {
                const double x = x0 + h * dNormalX / dLength, z = z0 + h * dNormalZ / dLength;
                const GeocentricPlace place = ToGeocentric(ellipsoid, GeodeticPlace{dLatitude, 200.0, h});
                EXPECT_NEAR(place.r, std::hypot(x, z), 1e-9 * std::hypot(x, z))
                    << pszName << dGeocentric << h;
                EXPECT_NEAR(place.dTheta, std::atan2(x, z), 2e-15) << pszName << dGeocentric << h;
                EXPECT_NEAR(place.dPsi, dLatitude * kPi / 180.0 - std::atan2(z, x), 2e-15);
                EXPECT_DOUBLE_EQ(place.dLambda, 200.0 * kPi / 180.0);
            }
        }
        // The poles lie on the axis, the equator in its plane.
        const GeocentricPlace pole = ToGeocentric(ellipsoid, GeodeticPlace{-90.0, 10.0, 5.0});
        EXPECT_EQ(pole.dTheta, kPi);
        EXPECT_NEAR(pole.r, b + 5.0, 1e-9);
        EXPECT_EQ(pole.dPsi, 0.0);
        const GeocentricPlace equator = ToGeocentric(ellipsoid, GeodeticPlace{0.0, 10.0, 5.0});
        EXPECT_EQ(equator.r, a + 5.0);
        EXPECT_EQ(equator.dTheta, kPi / 2.0);
    }
    EXPECT_EQ(GeodeticPlaceError(GeodeticPlace{90.0, -180.0, -1e4}), "");
    EXPECT_EQ(GeodeticPlaceError(GeodeticPlace{90.5, 0.0, 0.0}),
              "the latitude 90.5 is not from -90 to 90 degrees");
    EXPECT_EQ(GeodeticPlaceError(GeodeticPlace{0.0, NAN, 0.0}),
              "the longitude nan is not a finite number of degrees within +-1e6");
    EXPECT_EQ(GeodeticPlaceError(GeodeticPlace{0.0, 0.0, INFINITY}),
              "the height inf is not a finite number of metres");
}

TEST(GeodeticPlaceTest, LocalFrameIsTheEllipsoidsNorthEastAndUp)
{
    const LocalFrame frame = LocalFrameAt(GeodeticPlace{30.0, 90.0, 0.0});
    // At 90 degrees east: north leans to -y as the latitude rises, east is -x, up (0, cos, sin).
    EXPECT_NEAR(frame.north[0], 0.0, 1e-16);
    EXPECT_NEAR(frame.north[1], -0.5, 1e-15);
    EXPECT_NEAR(frame.north[2], std::sqrt(0.75), 1e-15);
    EXPECT_NEAR(frame.east[0], -1.0, 1e-15);
    EXPECT_NEAR(frame.up[1], std::sqrt(0.75), 1e-15);
    EXPECT_NEAR(frame.up[2], 0.5, 1e-15);
}

// The level ellipsoid's potential (gravitational and centrifugal) at distance r on the axis
// (beta = 90 degrees, u = r) and in the equator (beta = 0, u^2 = r^2 - E^2), in quadruple
// precision, whose 34 digits outlast the cancellation in q and in the difference quotient:
//   U = GM / E atan(E / u) + omega^2 a^2 / 2 (q / q0) (sin^2 beta - 1/3) + omega^2 (u^2 + E^2) cos^2 beta /
//   2, q(u) = ((1 + 3 u^2 / E^2) atan(E / u) - 3 u / E) / 2, q0 = q(b).
using Quad = __float128;

__float128 LevelPotential(const ReferenceEllipsoid& ellipsoid, __float128 r, bool bAxis)
{
    const __float128 a = ellipsoid.dA;
    const __float128 b = a * sqrtq(Quad(1.0) - EccentricitySquared(ellipsoid));
    const __float128 e = sqrtq(a * a - b * b);
    const __float128 omega = ellipsoid.dOmega, gm = ellipsoid.dGravityConstant;
    const auto q = [&](__float128 u) {
        return ((Quad(1.0) + Quad(3.0) * u * u / (e * e)) * atanq(e / u) - Quad(3.0) * u / e) / Quad(2.0);
    };
    const __float128 u = bAxis ? r : sqrtq(r * r - e * e);
    const __float128 dSin2 = bAxis ? Quad(1.0) : Quad(0.0);
    return gm / e * atanq(e / u) +
           omega * omega * a * a / Quad(2.0) * q(u) / q(b) * (dSin2 - Quad(1.0) / Quad(3.0)) +
           (bAxis ? Quad(0.0) : omega * omega * r * r / Quad(2.0));
}

TEST(NormalGravityTest, MatchesTheSeriesOnTheEllipsoidAndTheClosedPotentialAbove)
{
    const ReferenceEllipsoid& grs80 = *FindReferenceEllipsoid("GRS80");
    const CSomigliana somigliana(grs80);
    // Moritz, Geodetic Reference System 1980: gamma = gamma_e (1 + 0.0052790414 s^2 + 0.0000232718 s^4
    // + 0.0000001262 s^6 + 0.0000000007 s^8), s = sin(phi).
    for (const double dLatitude : {0.0, 17.0, 45.0, -60.0, 90.0})
    {
        const double s2 = std::pow(std::sin(dLatitude * kPi / 180.0), 2);
        const double dSeries =
            9.7803267715 *
            (1.0 + s2 * (0.0052790414 + s2 * (0.0000232718 + s2 * (0.0000001262 + s2 * 0.0000000007))));
        EXPECT_NEAR(somigliana.At(dLatitude, 0.0), dSeries, 2e-10) << dLatitude;
    }
    // Above the pole and the equator normal gravity is -dU/dr of the closed form; the formula drops
    // terms of order f^2 of its linear term (1.1e-10 m/s^2 a metre) and its third-order term (about
    // 2e-9 (h / 1 km)^3 m/s^2).
    const double a = grs80.dA, b = a * std::sqrt(1.0 - EccentricitySquared(grs80));
    for (const double h : {0.0, 100.0, 1000.0, 10000.0})
        for (const bool bAxis : {true, false})
        {
            const __float128 r = (bAxis ? b : a) + h, step = Quad(0.01);
            const __float128 dGamma =
                -(LevelPotential(grs80, r + step, bAxis) - LevelPotential(grs80, r - step, bAxis)) /
                (Quad(2.0) * step);
            const double dCubic = 1.1e-10 * h + 2e-9 * std::pow(h / 1000.0, 3) + 1e-12;
            EXPECT_NEAR(somigliana.At(bAxis ? 90.0 : 0.0, h), static_cast<double>(dGamma), dCubic)
                << h << (bAxis ? " above the pole" : " above the equator");
        }
}

}  // namespace
