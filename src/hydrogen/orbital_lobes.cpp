#include "hydrogen/orbital_lobes.h"

#include <algorithm>
#include <cmath>

#include "hydrogen/recurrence_zeros.h"
#include "hydrogen/sign_change.h"
#include "sht/angles.h"

namespace {

// The peak of a lobe's modulus on [a, b], where it rises and then falls (either part may be
// empty): golden-section search down to adjacent doubles.
double GoldenPeak(const std::function<double(double)>& absolute, double a, double b)
{
    const double dRatio = 0.5 * (std::sqrt(5.0) - 1.0);
    double x1 = b - dRatio * (b - a), x2 = a + dRatio * (b - a);
    double f1 = absolute(x1), f2 = absolute(x2);
    for (int n = 0; n < 200 && x1 > a && x2 < b && x1 < x2; ++n)
        if (f1 < f2)
        {
            a = x1;
            x1 = x2;
            f1 = f2;
            x2 = a + dRatio * (b - a);
            f2 = absolute(x2);
        }
        else
        {
            b = x2;
            x2 = x1;
            f2 = f1;
            x1 = b - dRatio * (b - a);
            f1 = absolute(x1);
        }
    // The ends themselves, where the peak lies at one of them.
    double dBest = f1 >= f2 ? x1 : x2, dHeight = std::max(f1, f2);
    for (const double x : {a, b})
        if (absolute(x) > dHeight)
        {
            dBest = x;
            dHeight = absolute(x);
        }
    return dBest;
}

// The lobes of |f| between consecutive points of aBounds, each with its peak.
std::vector<Lobe> LobesBetween(const std::function<double(double)>& absolute,
                               const std::vector<double>& aBounds)
{
    std::vector<Lobe> aLobes;
    for (size_t k = 0; k + 1 < aBounds.size(); ++k)
    {
        Lobe lobe;
        lobe.dStart = aBounds[k];
        lobe.dEnd = aBounds[k + 1];
        lobe.dPeak = GoldenPeak(absolute, lobe.dStart, lobe.dEnd);
        lobe.dHeight = absolute(lobe.dPeak);
        aLobes.push_back(lobe);
    }
    return aLobes;
}

}  // namespace

double LobeCrossing(const std::function<double(double)>& absolute, const Lobe& lobe, double dValue,
                    bool bRising)
{
    double a = lobe.dPeak, b = bRising ? lobe.dStart : lobe.dEnd;
    if (!bRising && std::isinf(b))
    {
        // Out from the peak until the modulus has fallen to the value.
        double dStep = std::max(lobe.dPeak - lobe.dStart, 1e-300);
        for (b = lobe.dPeak + dStep; absolute(b) > dValue && std::isfinite(b); dStep *= 2.0)
            b = lobe.dPeak + dStep;
    }
    double hb = absolute(b) - dValue;
    if (hb > 0.0)
        return b;
    // The last point above the value, so that the crossing is never beyond the lobe's part above it.
    return NarrowSignChange([&](double x) { return absolute(x) - dValue; },
                            SignChange{a, lobe.dHeight - dValue, b, hb}, 400)
        .a;
}

std::vector<Lobe> RadialLobes(const CRadialFunction& radial)
{
    std::vector<double> aBounds = radial.Nodes();
    aBounds.insert(aBounds.begin(), 0.0);
    // The outermost peak lies inside the classical turning point, below 2 n^2 / Z.
    aBounds.push_back(std::max(2.0 * radial.Scale(), 2.0 * aBounds.back()));
    const auto absolute = [&radial](double r) { return std::fabs(radial(r)); };
    std::vector<Lobe> aLobes = LobesBetween(absolute, aBounds);
    aLobes.back().dEnd = HUGE_VAL;
    return aLobes;
}

CAngularProfile::CAngularProfile(const HydrogenOrbital& orbital)
    : m_legendre(orbital.numbers.l, std::abs(orbital.numbers.m)),
      m_dFactor(!orbital.bComplex && orbital.numbers.m != 0 ? std::sqrt(2.0) : 1.0),
      m_bAroundAxis(orbital.bComplex || orbital.numbers.m == 0)
{
    const int32_t m = std::abs(orbital.numbers.m);
    // The zeros in cos theta, descending, are the zeros in theta ascending.
    std::vector<double> aBounds{0.0};
    const std::vector<double> aZeros = GegenbauerZeros(orbital.numbers.l - m, m + 0.5);
    for (auto x = aZeros.rbegin(); x != aZeros.rend(); ++x)
        aBounds.push_back(std::acos(*x));
    aBounds.push_back(kPi);
    m_aLobes = LobesBetween([this](double dTheta) { return (*this)(dTheta); }, aBounds);
    for (const Lobe& lobe : m_aLobes)
        m_dPeak = std::max(m_dPeak, lobe.dHeight);
}

double CAngularProfile::operator()(double dTheta) const
{
    const double x = std::cos(dTheta), u = std::sin(dTheta);
    double dValue = 0.0;
    m_legendre.Evaluate(&x, &u, 1, &dValue);
    return m_dFactor * std::fabs(dValue);
}

double CAngularProfile::AroundAxis(double u) const
{
    if (m_bAroundAxis)
        return kTwoPi;
    // sin 2a = 2 sin a cos a.
    return 2.0 * std::acos(u) + 2.0 * u * std::sqrt((1.0 - u) * (1.0 + u));
}

double OrbitalPeak(const std::vector<Lobe>& aRadialLobes, const CAngularProfile& angular)
{
    double dRadial = 0.0;
    for (const Lobe& lobe : aRadialLobes)
        dRadial = std::max(dRadial, lobe.dHeight);
    return dRadial * angular.Peak();
}
