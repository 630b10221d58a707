#include "hydrogen/enclosed_probability.h"

#include <cmath>
#include <utility>
#include <vector>

#include "hydrogen/sign_change.h"
#include "infra/thread_sharing.h"
#include "sht/angles.h"
#include "sht/gauss_legendre.h"

CEnclosedProbability::CEnclosedProbability(const HydrogenOrbital& orbital, unsigned nThreads)
    : m_nThreads(nThreads),
      m_radial(orbital.numbers.n, orbital.numbers.l, orbital.numbers.dCharge),
      m_aRadialLobes(::RadialLobes(m_radial)),
      m_angular(orbital),
      m_dPeak(OrbitalPeak(m_aRadialLobes, m_angular))
{
    const GaussLegendre rule = MakeGaussLegendre(kProbabilityNodes);
    for (size_t q = 0; q < rule.aTheta.size(); ++q)
    {
        // The node's t on [0, 1] and its weight there.
        const double t = 0.5 * (1.0 + std::cos(rule.aTheta[q])), w = 0.5 * rule.aWeight[q];
        m_aPlace.push_back(0.5 * (1.0 - std::cos(kPi * t)));
        m_aWeight.push_back(w * 0.5 * kPi * std::sin(kPi * t));
    }
}

namespace {

// The pieces a range [a, b] of a lobe is integrated in: split at the lobe's peak where that lies
// inside, so that each piece's integrand rises or falls over it, however narrow the peak is.
std::vector<std::pair<double, double>> Pieces(double a, double b, double dPeak)
{
    if (dPeak > a && dPeak < b)
        return {{a, dPeak}, {dPeak, b}};
    return {{a, b}};
}

}  // namespace

double CEnclosedProbability::operator()(double c) const
{
    // Each pair of lobes on a thread of its own, the sums then added in order, so that the
    // probability does not depend on the threads.
    const std::vector<Lobe>& aAngularLobes = m_angular.Lobes();
    std::vector<double> aPairs(m_aRadialLobes.size() * aAngularLobes.size(), 0.0);
    ShareAmongThreads(aPairs.size(), ThreadsFor(m_nThreads), [&](size_t nPair, unsigned) {
        aPairs[nPair] = PairProbability(m_aRadialLobes[nPair / aAngularLobes.size()],
                                        aAngularLobes[nPair % aAngularLobes.size()], c);
    });
    double dSum = 0.0;
    for (const double d : aPairs)
        dSum += d;
    return dSum;
}

double CEnclosedProbability::PairProbability(const Lobe& radialLobe, const Lobe& angularLobe, double c) const
{
    if (!(radialLobe.dHeight * angularLobe.dHeight > c))
        return 0.0;
    const std::function<double(double)> radial = [this](double r) { return std::fabs(m_radial(r)); };
    const std::function<double(double)> angular = [this](double dTheta) { return m_angular(dTheta); };
    const double dLeast = c / radialLobe.dHeight;
    const double dFirst = LobeCrossing(angular, angularLobe, dLeast, true);
    const double dLast = LobeCrossing(angular, angularLobe, dLeast, false);
    double dSum = 0.0;
    for (const auto& [dTheta0, dTheta1] : Pieces(dFirst, dLast, angularLobe.dPeak))
        for (size_t q = 0; q < m_aPlace.size(); ++q)
        {
            const double dTheta = dTheta0 + (dTheta1 - dTheta0) * m_aPlace[q];
            const double g = m_angular(dTheta);
            if (!(g * radialLobe.dHeight > c))
                continue;
            const double dInside = LobeCrossing(radial, radialLobe, c / g, true);
            const double dOutside = LobeCrossing(radial, radialLobe, c / g, false);
            double dInner = 0.0;
            for (const auto& [r0, r1] : Pieces(dInside, dOutside, radialLobe.dPeak))
                for (size_t p = 0; p < m_aPlace.size(); ++p)
                {
                    const double r = r0 + (r1 - r0) * m_aPlace[p];
                    const double R = m_radial(r);
                    const double u = c / (std::fabs(R) * g);
                    if (u < 1.0)
                        dInner += (r1 - r0) * m_aWeight[p] * R * R * r * r * m_angular.AroundAxis(u);
                }
            dSum += m_aWeight[q] * (dTheta1 - dTheta0) * std::sin(dTheta) * g * g * dInner;
        }
    return dSum;
}

double CEnclosedProbability::LevelEnclosing(double P, const std::function<void()>& onStep) const
{
    const auto excess = [&](double dLog) {
        const double d = (*this)(std::exp(dLog)) - P;
        if (onStep)
            onStep();
        return d;
    };
    // A bracket on log c: nothing lies above the peak, and everything as c falls to 0.
    double b = std::log(m_dPeak), hb = -P;
    double a = b - std::log(1e3), ha = excess(a);
    for (int n = 0; n < 100 && ha < 0.0; ++n)
    {
        b = a;
        hb = ha;
        a -= std::log(1e3);
        ha = excess(a);
    }
    const SignChange level = NarrowSignChange(excess, SignChange{a, ha, b, hb}, 200, 1e-15);
    return std::exp(0.5 * (level.a + level.b));
}
