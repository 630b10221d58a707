#pragma once

#include <string_view>

// A level ellipsoid of a geodetic reference system by its defining constants: the equatorial
// radius a (m), GM (m^3/s^2), the angular velocity omega (rad/s), and either the dynamical form
// factor J2 (GRS80) or the flattening f (WGS84); the other is derived.
struct ReferenceEllipsoid
{
    const char* pszName;
    double dA;
    double dGravityConstant;
    double dOmega;
    double dJ2;                 // 0 where f defines the ellipsoid
    double dInverseFlattening;  // 0 where J2 defines it
};

// GRS80 and WGS84 by name (as options spell them); nullptr for another.
const ReferenceEllipsoid* FindReferenceEllipsoid(std::string_view strName);

// The square of the first eccentricity: of WGS84 from f, of GRS80 from J2 by the fixed point
// e^2 = 3 J2 + (4/15) (omega^2 a^3 / GM) e^3 / (2 q0).
double EccentricitySquared(const ReferenceEllipsoid& ellipsoid);

// J_2n of the normal gravitational potential, n >= 1, by the closed formula
// J_2n = (-1)^(n+1) 3 e^2n / ((2n + 1)(2n + 3)) (1 - n + 5n J2 / e^2).
double EvenZonal(const ReferenceEllipsoid& ellipsoid, int n);

// Normal gravity on the ellipsoid at the equator and at the poles (m/s^2), from the closed
// formulas of the level ellipsoid, and its mean over the ellipsoid's surface (Somigliana's
// formula integrated over the area).
struct NormalGravity
{
    double dEquator;
    double dPole;
    double dMean;
};
NormalGravity ComputeNormalGravity(const ReferenceEllipsoid& ellipsoid);
