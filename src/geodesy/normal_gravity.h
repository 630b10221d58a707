#pragma once

#include "geodesy/reference_ellipsoid.h"

// Normal gravity (m/s^2) at geodetic latitude phi (degrees) and ellipsoidal height h (m):
// Somigliana's closed formula on the ellipsoid,
//   gamma_0 = (a gamma_e cos^2 phi + b gamma_p sin^2 phi) / sqrt(a^2 cos^2 phi + b^2 sin^2 phi),
// and its expansion in the height to the second order (Heiskanen and Moritz 2-215, the GRS80
// report's formula for normal gravity above the ellipsoid),
//   gamma_h = gamma_0 (1 - 2/a (1 + f + m - 2 f sin^2 phi) h + 3 h^2 / a^2),  m = omega^2 a^2 b / GM,
// which leaves out terms of order f^2 of the linear term (1e-10 m/s^2 a metre: 0.01 mGal at 1 km)
// and of the third order in h (2e-9 m/s^2 at 1 km, 0.2 mGal at 50 km).
class CSomigliana
{
public:
    // The ellipsoid's constants, once.
    explicit CSomigliana(const ReferenceEllipsoid& ellipsoid);

    double At(double dLatitude, double dHeight) const;

private:
    double m_dA;
    double m_dB;
    double m_dFlattening;
    double m_dRotation;  // m
    double m_dEquator;   // gamma_e
    double m_dPole;      // gamma_p
};
