#pragma once

// The real harmonic of any convention written out from its definition: GSL's associated Legendre
// function, the normalisation's factor from factorials, the Condon-Shortley phase and the sine's
// sign, as the conventions are defined in sht/convention.h. The oracle of the transform's tests.

#include <gsl/gsl_sf_legendre.h>

#include <cmath>
#include <cstdlib>

#include "sht/convention.h"

// P_l^|m|(x) without the Condon-Shortley phase (GSL's carries it).
inline double PlainLegendre(int l, int m, double x)
{
    const int nAbsM = std::abs(m);
    return (nAbsM % 2 == 0 ? 1.0 : -1.0) * gsl_sf_legendre_Plm(l, nAbsM, x);
}

// The normalisation's factor n(l, |m|), with (l - |m|)! / (l + |m|)! from log-gamma.
inline double ClosedFormFactor(int l, int m, Normalization normalization)
{
    const int nAbsM = std::abs(m);
    const double dK = std::exp(std::lgamma(l - nAbsM + 1.0) - std::lgamma(l + nAbsM + 1.0));
    const double dTwoMinusDelta = nAbsM == 0 ? 1.0 : 2.0;
    const double dPi = 3.14159265358979323846;
    switch (normalization)
    {
        case Normalization::kOrtho:
            return std::sqrt(dTwoMinusDelta * (2.0 * l + 1.0) / (4.0 * dPi) * dK);
        case Normalization::k4Pi:
        case Normalization::kN3d:
            return std::sqrt(dTwoMinusDelta * (2.0 * l + 1.0) * dK);
        case Normalization::kSchmidt:
        case Normalization::kSn3d:
            return std::sqrt(dTwoMinusDelta * dK);
        case Normalization::kUnnormalized:
            break;
    }
    return 1.0;
}

// Everything of Y(l, m) but P_l^|m|: the factor, the phase and the sign of the sine.
inline double ClosedFormScale(int l, int m, const Convention& convention)
{
    double dScale = ClosedFormFactor(l, m, convention.normalization);
    if (convention.bCondonShortley && std::abs(m) % 2 == 1)
        dScale = -dScale;
    if (m < 0 && convention.sine == SineSign::kLobara)
        dScale = -dScale;
    return dScale;
}

inline double ClosedFormHarmonic(int l, int m, const Convention& convention, double dTheta, double dPhi)
{
    const double dAzimuth = m == 0 ? 1.0 : m > 0 ? std::cos(m * dPhi) : std::sin(-m * dPhi);
    return ClosedFormScale(l, m, convention) * PlainLegendre(l, m, std::cos(dTheta)) * dAzimuth;
}
