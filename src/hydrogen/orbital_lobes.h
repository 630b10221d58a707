#pragma once

#include <functional>
#include <vector>

#include "hydrogen/orbital.h"
#include "sht/normalized_legendre.h"

// The lobes of the two factors of |psi| = |R(r)| |Y(theta, phi)|. Each factor solves a
// Sturm-Liouville equation, so that between two of its zeros its modulus rises to one peak and
// falls again, never dipping on the way: where it turned back it would have to be curving away
// from 0, which the equation allows only where it cannot peak. Each lobe is then found by the
// zeros of its polynomial (hydrogen/recurrence_zeros.h) and its peak by golden-section search,
// and within it, the points where the modulus takes a value lie one on each side of the peak.

// One lobe of a modulus |f| >= 0: from dStart (a zero of f, or where the domain begins) it rises
// to its peak dHeight at dPeak and falls to dEnd (a zero, or the domain's end; HUGE_VAL: towards
// infinity, where it falls to 0).
struct Lobe
{
    double dStart = 0.0;
    double dPeak = 0.0;
    double dEnd = 0.0;
    double dHeight = 0.0;
};

// The point on the lobe's rising side (bRising) or falling side where |f| (absolute) takes the
// value dValue, below the peak: the side's end when |f| is above dValue there already, and so on
// the whole side. Regula falsi with the Illinois rule, to adjacent doubles.
double LobeCrossing(const std::function<double(double)>& absolute, const Lobe& lobe, double dValue,
                    bool bRising);

// The lobes of |R| from r = 0 out, between its nodes; the last one falls towards infinity.
// Throws std::bad_alloc.
std::vector<Lobe> RadialLobes(const CRadialFunction& radial);

// The angular part's modulus as a function of theta, at its largest over phi: |Y| itself for a
// real orbital of m = 0 and for a complex one (whose modulus does not depend on phi), and for a
// real orbital of m != 0, |Y| = g(theta) |cos m phi| (or |sin m phi|) with g = sqrt2 |Pbar|.
// Unlike a function of cos theta, g is analytic in theta up to the poles, whatever m.
class CAngularProfile
{
public:
    explicit CAngularProfile(const HydrogenOrbital& orbital);

    // g(theta), 0 <= theta <= pi.
    double operator()(double dTheta) const;
    // The lobes of g from theta = 0 to pi, between the zeros of P_l^|m| inside (-1, 1).
    const std::vector<Lobe>& Lobes() const { return m_aLobes; }
    // The largest |Y|.
    double Peak() const { return m_dPeak; }
    // The integral over phi of Y^2 / g^2 where |Y| > u g, 0 <= u < 1: 2 pi where |Y| does
    // not depend on phi, else that of cos^2 m phi where |cos m phi| > u, 2a + sin 2a with
    // a = arccos u.
    double AroundAxis(double u) const;

private:
    NormalizedLegendre m_legendre;
    double m_dFactor;  // sqrt2 for a real orbital of m != 0, else 1
    bool m_bAroundAxis;
    std::vector<Lobe> m_aLobes;
    double m_dPeak = 0.0;
};

// The largest |psi|: the highest radial peak times the largest |Y|.
double OrbitalPeak(const std::vector<Lobe>& aRadialLobes, const CAngularProfile& angular);
