#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "geodesy/radial_series.h"
#include "sht/field.h"

// A potential outside the sphere of radius R, V = K sum over l of (R/r)^(l+1) sum over m of
// c Y(l, m): a gravity model's with K = GM / R (V in m^2/s^2), a magnetic model's Schmidt-
// normalised Gauss coefficients with K = R (V in nT m, so that B = -grad V is in nT).
struct PotentialModel
{
    Field field;
    double dRadius;
    double dScale;
};

// V and its gradient at places: the gradient as three series of one degree more, its Cartesian
// components in the Earth-fixed frame (x towards the equator at lambda = 0, z towards the north
// pole) by the gradients of the solid harmonics (geodesy/magnetic_components.h), which hold at the
// poles as anywhere.
class CPotentialGradient
{
public:
    // Without bGradient, the potential alone. Throws std::runtime_error for a coefficient beyond
    // the double range.
    CPotentialGradient(const PotentialModel& model, bool bGradient);

    struct Value
    {
        double dPotential;
        std::array<double, 3> gradient;  // dV/dx, dV/dy, dV/dz; 0 without bGradient
    };

    // What one thread evaluates with.
    struct Scratch
    {
        CRadialSeries::Scratch series;
        std::vector<double> aCos, aSin;
    };

    // The values at nCount places on one parallel: colatitude theta, distance r from the centre
    // (r > 0) and the longitudes pLambda (radians).
    void OnParallel(double dTheta, double r, const double* pLambda, size_t nCount, Value* pValues,
                    Scratch& scratch) const;

private:
    double m_dRadius;
    double m_dPotentialScale;              // K
    double m_dGradientScale;               // -K / R
    std::vector<CRadialSeries> m_aSeries;  // V, then dV/dx, dV/dy, dV/dz with bGradient
};
