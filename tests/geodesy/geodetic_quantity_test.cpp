// Quantities at geodetic places against formulas written out by hand: the deflections of the
// vertical and the horizontal gravity of a J2-only and of a sectorial (C22) disturbing potential,
// the seven magnetic elements of a tilted dipole and their secular variation, and V with its
// gradient of a random model against direct sums of GSL's Legendre functions and derivatives.
#include "geodesy/geodetic_quantity.h"

#include <gsl/gsl_sf_legendre.h>
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "geodesy/normal_gravity.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kGm = 3.986004415e14;
constexpr double kRadius = 6378136.3;
constexpr double kArcseconds = 180.0 / kPi * 3600.0;
const Convention kFull{Normalization::k4Pi, false, SineSign::kStandard};
const Convention kSchmidt{Normalization::kSchmidt, false, SineSign::kStandard};

const std::vector<GeodeticPlace> kPlaces = {
    {0.0, 0.0, 0.0},       {90.0, 25.0, 0.0},   {-90.0, 300.0, 1000.0}, {45.0, 10.0, 0.0},
    {-33.3, 151.2, 250.0}, {60.0, -120.0, 4e5}, {1e-6, 89.0, -100.0},   {-89.9, 12.0, 0.0},
};

double Value(const GeodeticModel& model, const char* pszName, const GeodeticPlace& place, bool bRate = false)
{
    return QuantityAtPlaces(model, *FindQuantity(pszName), bRate, {place})[0];
}

TEST(GeodeticQuantityTest, DeflectionsOfZonalAndSectorialFieldsByHand)
{
    // T = GM/R q^3 (C20 Pbar20(cos theta) + C22 Pbar22(cos theta) cos 2 lambda), Pbar20 = sqrt(5) (3 t^2 - 1)
    // / 2 and Pbar22 = sqrt(15) / 2 sin^2 theta, fully normalised; the geocentric north is -d/(r dtheta), the
    // geodetic north and up that and the radius turned by psi.
    const ReferenceEllipsoid& grs80 = *FindReferenceEllipsoid("GRS80");
    const CSomigliana somigliana(grs80);
    for (const double c22 : {0.0, 2.4e-6})
    {
        const double c20 = -4.8e-7;
        const GeodeticModel model{
            PotentialModel{Field{{{2, 0, c20}, {2, 2, c22}}, kFull}, kRadius, kGm / kRadius}, std::nullopt,
            &grs80};
        for (const GeodeticPlace& place : kPlaces)
        {
            const GeocentricPlace at = ToGeocentric(grs80, place);
            const double q = kRadius / at.r, t = std::cos(at.dTheta), s = std::sin(at.dTheta);
            const double k = kGm / kRadius * q * q * q;
            const double dCos2 = std::cos(2.0 * at.dLambda), dSin2 = std::sin(2.0 * at.dLambda);
            const double dT = k * (c20 * std::sqrt(5.0) * (3.0 * t * t - 1.0) / 2.0 +
                                   c22 * std::sqrt(15.0) / 2.0 * s * s * dCos2);
            const double dRadial = -3.0 * dT / at.r;
            const double dTheta =
                k * (c20 * std::sqrt(5.0) * -3.0 * t * s + c22 * std::sqrt(15.0) * s * t * dCos2);
            // (1 / (r sin theta)) dT/dlambda, sin theta taken out of Pbar22.
            const double dEast = k * c22 * std::sqrt(15.0) / 2.0 * s * -2.0 * dSin2 / at.r;
            const double dNorthCentric = -dTheta / at.r;
            const double dNorth = std::cos(at.dPsi) * dNorthCentric - std::sin(at.dPsi) * dRadial;
            const double dUp = std::cos(at.dPsi) * dRadial + std::sin(at.dPsi) * dNorthCentric;
            const double dGamma = somigliana.At(place.dLatitude, place.dHeight);
            // 1e-12 of the largest deflection of such a field, 1e-6 arcsec near the poles.
            EXPECT_NEAR(Value(model, "deflection-north", place), -kArcseconds * dNorth / dGamma, 1e-9)
                << place.dLatitude;
            EXPECT_NEAR(Value(model, "deflection-east", place), -kArcseconds * dEast / dGamma, 1e-9)
                << place.dLatitude;
            EXPECT_NEAR(Value(model, "gravity-north", place), 1e5 * dNorth, 1e-10) << place.dLatitude;
            EXPECT_NEAR(Value(model, "gravity-east", place), 1e5 * dEast, 1e-10) << place.dLatitude;
            EXPECT_NEAR(Value(model, "gravity-disturbance", place), -1e5 * dUp, 1e-10) << place.dLatitude;
            EXPECT_NEAR(Value(model, "gravity-anomaly", place), -1e5 * (dUp + 2.0 * dT / at.r), 1e-10);
            EXPECT_NEAR(Value(model, "height-anomaly", place), dT / dGamma, 1e-12) << place.dLatitude;
        }
    }
}

TEST(GeodeticQuantityTest, TiltedDipoleElementsByHand)
{
    // V = R q^2 (g10 cos theta + (g11 cos lambda + h11 sin lambda) sin theta), Schmidt; B = -grad V.
    // In the geocentric frame X' = -B_theta, Y' = B_lambda, Z' = -B_r; the geodetic X and Z are X' and Z'
    // turned by psi (the World Magnetic Model's report, eq. 17): X = X' cos psi + Z' sin psi,
    // Z = -X' sin psi + Z' cos psi. The rates are those of the rates' dipole.
    const ReferenceEllipsoid& wgs84 = *FindReferenceEllipsoid("WGS84");
    const double r0 = 6371200.0;
    const double g10 = -29404.5, g11 = -1450.7, h11 = 4652.9, dg10 = 6.7, dg11 = 7.7, dh11 = -25.1;
    const auto dipole = [&](double a, double b, double c) {
        return PotentialModel{Field{{{1, 0, a}, {1, 1, b}, {1, -1, c}}, kSchmidt}, r0, r0};
    };
    const GeodeticModel model{dipole(g10, g11, h11), dipole(dg10, dg11, dh11), &wgs84};
    const auto elements = [&](double a, double b, double c, const GeocentricPlace& at) {
        const double q3 = std::pow(r0 / at.r, 3), t = std::cos(at.dTheta), s = std::sin(at.dTheta);
        const double dAzimuth = b * std::cos(at.dLambda) + c * std::sin(at.dLambda);
        const double br = 2.0 * q3 * (a * t + dAzimuth * s);
        const double bTheta = q3 * (-a * s + dAzimuth * t) * -1.0;
        const double bLambda = -q3 * (-b * std::sin(at.dLambda) + c * std::cos(at.dLambda));
        const double x = -bTheta, z = -br;
        return std::array<double, 3>{x * std::cos(at.dPsi) + z * std::sin(at.dPsi), bLambda,
                                     -x * std::sin(at.dPsi) + z * std::cos(at.dPsi)};
    };
    for (const GeodeticPlace& place : kPlaces)
    {
        const GeocentricPlace at = ToGeocentric(wgs84, place);
        const std::array<double, 3> b = elements(g10, g11, h11, at), rate = elements(dg10, dg11, dh11, at);
        const double h = std::hypot(b[0], b[1]), f = std::hypot(h, b[2]);
        const double dh = (b[0] * rate[0] + b[1] * rate[1]) / h;
        const double tolerance = 1e-9;  // nT, of some 6e4
        EXPECT_NEAR(Value(model, "X", place), b[0], tolerance) << place.dLatitude;
        EXPECT_NEAR(Value(model, "Y", place), b[1], tolerance) << place.dLatitude;
        EXPECT_NEAR(Value(model, "Z", place), b[2], tolerance) << place.dLatitude;
        EXPECT_NEAR(Value(model, "H", place), h, tolerance);
        EXPECT_NEAR(Value(model, "F", place), f, tolerance);
        EXPECT_NEAR(Value(model, "D", place), std::atan2(b[1], b[0]) * 180.0 / kPi, 1e-12);
        EXPECT_NEAR(Value(model, "I", place), std::atan2(b[2], h) * 180.0 / kPi, 1e-12);
        EXPECT_NEAR(Value(model, "X", place, true), rate[0], 1e-12) << place.dLatitude;
        EXPECT_NEAR(Value(model, "Y", place, true), rate[1], 1e-12);
        EXPECT_NEAR(Value(model, "Z", place, true), rate[2], 1e-12);
        EXPECT_NEAR(Value(model, "H", place, true), dh, 1e-12);
        EXPECT_NEAR(Value(model, "F", place, true), (b[0] * rate[0] + b[1] * rate[1] + b[2] * rate[2]) / f,
                    1e-12);
        EXPECT_NEAR(Value(model, "D", place, true), (b[0] * rate[1] - b[1] * rate[0]) / (h * h) * 180.0 / kPi,
                    1e-14);
        EXPECT_NEAR(Value(model, "I", place, true), (h * rate[2] - b[2] * dh) / (f * f) * 180.0 / kPi, 1e-14);
        EXPECT_NEAR(Value(model, "Br", place), -b[2] * std::cos(at.dPsi) - b[0] * std::sin(at.dPsi),
                    tolerance);
        EXPECT_NEAR(Value(model, "intensity", place), f, tolerance);
    }
    // Without rates there is no secular variation, and the gravity quantities have none at all.
    const GeodeticModel still{dipole(g10, g11, h11), std::nullopt, &wgs84};
    EXPECT_THROW(Value(still, "X", kPlaces[0], true), std::runtime_error);
    EXPECT_THROW(Value(model, "Br", kPlaces[0], true), std::runtime_error);
}

TEST(GeodeticQuantityTest, PotentialAndRadialGravityMatchDirectSums)
{
    // A random model to degree 9 in 4pi: V and dV/dr at the places' geocentric r and theta, summed
    // with GSL's functions (Schmidt times sqrt(2l + 1)).
    constexpr int kMax = 9;
    std::mt19937 random(11);
    std::uniform_real_distribution<double> uniform(-1.0, 1.0);
    std::vector<Term> aTerms = {{0, 0, 1.0}};
    double c[kMax + 1][kMax + 1] = {}, s[kMax + 1][kMax + 1] = {};
    c[0][0] = 1.0;
    for (int l = 1; l <= kMax; ++l)
        for (int m = 0; m <= l; ++m)
        {
            c[l][m] = 1e-5 / (l * l) * uniform(random);
            aTerms.push_back({l, m, c[l][m]});
            if (m > 0)
            {
                s[l][m] = 1e-5 / (l * l) * uniform(random);
                aTerms.push_back({l, -m, s[l][m]});
            }
        }
    const ReferenceEllipsoid& grs80 = *FindReferenceEllipsoid("GRS80");
    const GeodeticModel model{PotentialModel{Field{aTerms, kFull}, kRadius, kGm / kRadius}, std::nullopt,
                              &grs80};
    for (const GeodeticPlace& place : kPlaces)
    {
        const GeocentricPlace at = ToGeocentric(grs80, place);
        std::vector<double> aP(gsl_sf_legendre_array_n(kMax));
        gsl_sf_legendre_array_e(GSL_SF_LEGENDRE_SCHMIDT, kMax, std::cos(at.dTheta), 1.0, aP.data());
        double dV = 0.0, dRadial = 0.0;
        for (int l = 0; l <= kMax; ++l)
            for (int m = 0; m <= l; ++m)
            {
                const double dTerm =
                    std::pow(kRadius / at.r, l + 1) * std::sqrt(2.0 * l + 1.0) *
                    aP[gsl_sf_legendre_array_index(l, m)] *
                    (c[l][m] * std::cos(m * at.dLambda) + s[l][m] * std::sin(m * at.dLambda));
                dV += kGm / kRadius * dTerm;
                dRadial -= kGm / kRadius * (l + 1) / at.r * dTerm;
            }
        EXPECT_NEAR(Value(model, "potential", place), dV, 1e-13 * std::fabs(dV)) << place.dLatitude;
        EXPECT_NEAR(Value(model, "radial-gravity", place), 1e5 * dRadial, 1e-12 * std::fabs(1e5 * dRadial));
    }
}

TEST(GeodeticQuantityTest, GridRowsAreThePlaces)
{
    const ReferenceEllipsoid& grs80 = *FindReferenceEllipsoid("GRS80");
    const GeodeticModel model{
        PotentialModel{Field{{{2, 0, -4.8e-7}, {3, 1, 2e-6}, {3, -2, 1e-6}}, kFull}, kRadius, kGm / kRadius},
        std::nullopt, &grs80};
    const std::vector<double> aLatitudes = {90.0, 10.0, -45.0}, aLongitudes = {-10.0, 0.0, 170.0, 355.5};
    int32_t nLast = 0;
    const std::vector<double> aGrid = QuantityOnGrid(
        model, *FindQuantity("deflection-east"), false, aLatitudes, aLongitudes, 300.0,
        [&](int32_t nDone, int32_t nRows) {
            EXPECT_EQ(nRows, 3);
            nLast = std::max(nLast, nDone);
        },
        2);
    EXPECT_EQ(nLast, 3);
    ASSERT_EQ(aGrid.size(), 12u);
    for (size_t i = 0; i < 3; ++i)
        for (size_t j = 0; j < 4; ++j)
            EXPECT_EQ(aGrid[i * 4 + j],
                      Value(model, "deflection-east", {aLatitudes[i], aLongitudes[j], 300.0}));
}

}  // namespace
