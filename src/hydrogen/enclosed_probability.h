#pragma once

#include <functional>
#include <vector>

#include "hydrogen/orbital_lobes.h"

// The probability that |psi| > c, computed from the orbital's lobes, not from samples. With g
// the angular profile and A its integral over phi (CAngularProfile), it is the sum over each
// radial lobe i (peak F_i) and angular lobe j of
//     the integral over the theta of lobe j where g(theta) F_i > c of sin theta times
//     the integral over the r of lobe i where |R(r)| g(theta) > c of  R^2 r^2 g^2 A(c / (|R| g)).
// The ends of each range are found on the sides of their lobes (LobeCrossing), so that the
// integrands are analytic inside the ranges and vanish at most as a square root at their ends.
// Each range is split at its lobe's peak, and on each piece the substitution
// x = a + (b - a) (1 - cos pi t) / 2 makes the integrand analytic in t, where the rule of
// Gauss-Legendre of kProbabilityNodes points converges fast: for the orbitals up to n = 30 tried,
// from c at the peak down to c a millionth of it, the probability is within 1e-9 of the rule of
// 128 points (within 2e-14 with 32 points), and of GSL's adaptive quadrature and closed forms
// (see the tests).
class CEnclosedProbability
{
public:
    // The pairs of lobes are shared among nThreads threads (0: one per core). Throws std::bad_alloc.
    explicit CEnclosedProbability(const HydrogenOrbital& orbital, unsigned nThreads = 0);

    // P(|psi| > c) for c > 0, the same on any number of threads.
    double operator()(double c) const;

    // The largest |psi|.
    double Peak() const { return m_dPeak; }

    // The level c whose inside holds the probability P (0 < P < 1), to the last bits of c or of
    // P: regula falsi on log c with the Illinois rule. onStep, when given, is called after each
    // probability worked out, and may throw to stop the search.
    double LevelEnclosing(double P, const std::function<void()>& onStep = nullptr) const;

    const CRadialFunction& Radial() const { return m_radial; }
    const std::vector<Lobe>& RadialLobes() const { return m_aRadialLobes; }
    const CAngularProfile& Angular() const { return m_angular; }

private:
    // The part of P(c) from one radial and one angular lobe.
    double PairProbability(const Lobe& radialLobe, const Lobe& angularLobe, double c) const;

    unsigned m_nThreads;
    CRadialFunction m_radial;
    std::vector<Lobe> m_aRadialLobes;
    CAngularProfile m_angular;
    double m_dPeak;
    // The rule's points on [0, 1] after the substitution: s = (1 - cos pi t) / 2 of each node t,
    // and its weight times ds / dt.
    std::vector<double> m_aPlace;
    std::vector<double> m_aWeight;
};

// The points of the rule on each piece of a range.
constexpr int kProbabilityNodes = 24;
