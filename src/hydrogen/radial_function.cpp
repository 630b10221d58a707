#include "hydrogen/radial_function.h"

#include <cmath>
#include <cstdlib>

std::string OrbitalNumbersError(const OrbitalNumbers& orbital)
{
    const std::string strNumbers = "N, L, M = " + std::to_string(orbital.n) + ", " +
                                   std::to_string(orbital.l) + ", " + std::to_string(orbital.m);
    if (orbital.n < 1 || orbital.n > kMaxPrincipal)
        return "N must be from 1 to " + std::to_string(kMaxPrincipal) + ": " + strNumbers;
    if (orbital.l < 0 || orbital.l >= orbital.n)
        return "L must be from 0 to N - 1: " + strNumbers;
    if (std::llabs(int64_t{orbital.m}) > orbital.l)
        return "|M| must not exceed L: " + strNumbers;
    if (!(orbital.dCharge >= kMinCharge && orbital.dCharge <= kMaxCharge))
        return "the charge Z must be a number from 0.001 to 1000";
    return {};
}

CRadialFunction::CRadialFunction(int32_t n, int32_t l, double dCharge)
    : m_n(n), m_l(l), m_dRhoPerRadius(2.0 * dCharge / n), m_dScale(static_cast<double>(n) * n / dCharge)
{
    // (n - l - 1)! / (n + l)! is one over the product of n - l ... n + l.
    double dProduct = 1.0;
    for (int32_t k = n - l; k <= n + l; ++k)
        dProduct *= k;
    const double dRho3 = m_dRhoPerRadius * m_dRhoPerRadius * m_dRhoPerRadius;
    m_dNorm = std::sqrt(dRho3 / (2.0 * n * dProduct));
}

double CRadialFunction::operator()(double r) const
{
    const double dRho = m_dRhoPerRadius * r;
    const double dDecay = std::exp(-0.5 * dRho);
    if (dDecay == 0.0)
        return 0.0;
    // L_k^a by its recurrence in k: (k + 1) L_(k+1) = (2k + 1 + a - rho) L_k - (k + a) L_(k-1).
    const int32_t nDegree = m_n - m_l - 1;
    const double a = 2.0 * m_l + 1.0;
    double dPrevious = 1.0;
    double dLaguerre = nDegree == 0 ? 1.0 : 1.0 + a - dRho;
    for (int32_t k = 1; k < nDegree; ++k)
    {
        const double dNext = ((2.0 * k + 1.0 + a - dRho) * dLaguerre - (k + a) * dPrevious) / (k + 1.0);
        dPrevious = dLaguerre;
        dLaguerre = dNext;
    }
    return m_dNorm * std::pow(dRho, m_l) * dDecay * dLaguerre;
}
