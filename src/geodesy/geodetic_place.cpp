#include "geodesy/geodetic_place.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "sht/angles.h"

namespace {

constexpr double kRadiansPerDegree = kPi / 180.0;
// Beyond this, a longitude is no longer a place to the nearest millimetre.
constexpr double kMostLongitude = 1.0e6;

// sin and cos of a latitude in degrees, exact at the poles and the equator.
void LatitudeSineCosine(double dDegrees, double& dSin, double& dCos)
{
    if (std::fabs(dDegrees) == 90.0)
    {
        dSin = dDegrees > 0.0 ? 1.0 : -1.0;
        dCos = 0.0;
        return;
    }
    dSin = std::sin(dDegrees * kRadiansPerDegree);
    dCos = std::cos(dDegrees * kRadiansPerDegree);
}

std::string Number(double d)
{
    char szText[32];
    std::snprintf(szText, sizeof szText, "%.10g", d);
    return szText;
}

}  // namespace

GeocentricPlace ToGeocentric(const ReferenceEllipsoid& ellipsoid, const GeodeticPlace& place)
{
    const double dE2 = EccentricitySquared(ellipsoid);
    double dSin = 0.0, dCos = 0.0;
    LatitudeSineCosine(place.dLatitude, dSin, dCos);
    const double n = ellipsoid.dA / std::sqrt(1.0 - dE2 * dSin * dSin);
    // The distance from the axis and the height above the equator's plane.
    const double p = (n + place.dHeight) * dCos;
    const double z = (n * (1.0 - dE2) + place.dHeight) * dSin;
    GeocentricPlace geocentric;
    geocentric.r = std::hypot(p, z);
    geocentric.dTheta = std::atan2(p, z);
    geocentric.dLambda = place.dLongitude * kRadiansPerDegree;
    geocentric.dPsi = place.dLatitude * kRadiansPerDegree - (0.5 * kPi - geocentric.dTheta);
    return geocentric;
}

LocalFrame LocalFrameAt(const GeodeticPlace& place)
{
    double dSinPhi = 0.0, dCosPhi = 0.0;
    LatitudeSineCosine(place.dLatitude, dSinPhi, dCosPhi);
    const double dLambda = place.dLongitude * kRadiansPerDegree;
    const double dSinLambda = std::sin(dLambda), dCosLambda = std::cos(dLambda);
    return LocalFrame{{-dSinPhi * dCosLambda, -dSinPhi * dSinLambda, dCosPhi},
                      {-dSinLambda, dCosLambda, 0.0},
                      {dCosPhi * dCosLambda, dCosPhi * dSinLambda, dSinPhi}};
}

std::string GeodeticPlaceError(const GeodeticPlace& place)
{
    if (!(std::fabs(place.dLatitude) <= 90.0))
        return "the latitude " + Number(place.dLatitude) + " is not from -90 to 90 degrees";
    if (!(std::fabs(place.dLongitude) <= kMostLongitude))
        return "the longitude " + Number(place.dLongitude) +
               " is not a finite number of degrees within +-1e6";
    if (!std::isfinite(place.dHeight))
        return "the height " + Number(place.dHeight) + " is not a finite number of metres";
    return "";
}
