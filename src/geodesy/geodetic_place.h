#pragma once

#include <array>
#include <string>

#include "geodesy/reference_ellipsoid.h"

// A place by its geodetic coordinates on an ellipsoid: latitude and longitude in degrees (the
// latitude from -90 to 90, the angle of the ellipsoid's normal with the equator) and the
// ellipsoidal height in metres, along that normal.
struct GeodeticPlace
{
    double dLatitude;
    double dLongitude;
    double dHeight;
};

// The same place in the spherical coordinates of a model: the distance from the centre r (m), the
// geocentric colatitude theta from the north pole (radians, 0 to pi), the longitude lambda
// (radians, as given), and psi = geodetic latitude - geocentric latitude (radians), the angle
// that turns the model's geocentric north and radial directions into the ellipsoid's north and up.
struct GeocentricPlace
{
    double r;
    double dTheta;
    double dLambda;
    double dPsi;
};

// With N = a / sqrt(1 - e^2 sin^2(phi)) the radius of curvature in the prime vertical:
//   X = (N + h) cos(phi) cos(lambda), Y = (N + h) cos(phi) sin(lambda), Z = (N (1 - e^2) + h) sin(phi),
// then r, theta and the geocentric latitude from X, Y and Z. The poles (|phi| = 90) lie on the axis.
GeocentricPlace ToGeocentric(const ReferenceEllipsoid& ellipsoid, const GeodeticPlace& place);

// The unit vectors of the ellipsoid's north, east and up at a place of geodetic latitude phi and
// longitude lambda, in the Earth-fixed frame of the model (x towards the equator at lambda = 0, z
// towards the north pole):
//   north = (-sin phi cos lambda, -sin phi sin lambda, cos phi), east = (-sin lambda, cos lambda, 0),
//   up = (cos phi cos lambda, cos phi sin lambda, sin phi).
// At a pole north points away from the meridian of lambda, as a compass there would be held.
struct LocalFrame
{
    std::array<double, 3> north;
    std::array<double, 3> east;
    std::array<double, 3> up;
};
LocalFrame LocalFrameAt(const GeodeticPlace& place);

// One-line refusal of a place whose numbers are not a place: a latitude outside [-90, 90], a
// longitude or height that is not finite, a longitude beyond +-1e6 degrees; empty when it is one.
std::string GeodeticPlaceError(const GeodeticPlace& place);
