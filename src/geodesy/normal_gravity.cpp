#include "geodesy/normal_gravity.h"

#include <cmath>

#include "sht/angles.h"

CSomigliana::CSomigliana(const ReferenceEllipsoid& ellipsoid)
{
    const NormalGravity gravity = ComputeNormalGravity(ellipsoid);
    m_dA = ellipsoid.dA;
    m_dB = m_dA * std::sqrt(1.0 - EccentricitySquared(ellipsoid));
    m_dFlattening = (m_dA - m_dB) / m_dA;
    m_dRotation = ellipsoid.dOmega * ellipsoid.dOmega * m_dA * m_dA * m_dB / ellipsoid.dGravityConstant;
    m_dEquator = gravity.dEquator;
    m_dPole = gravity.dPole;
}

double CSomigliana::At(double dLatitude, double dHeight) const
{
    const double a = m_dA, b = m_dB;
    const double dSine = std::sin(dLatitude * (kPi / 180.0));
    const double dSin2 = std::fabs(dLatitude) == 90.0 ? 1.0 : dSine * dSine;
    const double dCos2 = 1.0 - dSin2;
    const double dSurface =
        (a * m_dEquator * dCos2 + b * m_dPole * dSin2) / std::sqrt(a * a * dCos2 + b * b * dSin2);
    return dSurface *
           (1.0 - 2.0 / a * (1.0 + m_dFlattening + m_dRotation - 2.0 * m_dFlattening * dSin2) * dHeight +
            3.0 * dHeight * dHeight / (a * a));
}
