#include "hydrogen/radial_function.h"

#include <cmath>
#include <cstdlib>

#include "hydrogen/recurrence_zeros.h"

namespace {

// 8-point Gauss-Legendre on [-1, 1]: the positive nodes and their weights.
constexpr double kGaussNode[4] = {0.1834346424956498, 0.5255324099163290, 0.7966664774136267,
                                  0.9602898564975363};
constexpr double kGaussWeight[4] = {0.3626837833783620, 0.3137066458778873, 0.2223810344533745,
                                    0.1012285362903763};

}  // namespace

std::string OrbitalName(const OrbitalNumbers& numbers)
{
    return "psi(" + std::to_string(numbers.n) + "," + std::to_string(numbers.l) + "," +
           std::to_string(numbers.m) + ")";
}

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
    : m_n(n),
      m_l(l),
      m_dRhoPerRadius(2.0 * dCharge / n),
      m_dScale(static_cast<double>(n) * n / dCharge),
      m_aSteps()
{
    // (n - l - 1)! / (n + l)! is one over the product of n - l ... n + l.
    double dProduct = 1.0;
    for (int32_t k = n - l; k <= n + l; ++k)
        dProduct *= k;
    const double dRho3 = m_dRhoPerRadius * m_dRhoPerRadius * m_dRhoPerRadius;
    m_dNorm = std::sqrt(dRho3 / (2.0 * n * dProduct));
    // (k + 1) L_(k+1) = (2k + 1 + a - rho) L_k - (k + a) L_(k-1), a = 2l + 1.
    const double a = 2.0 * l + 1.0;
    for (int32_t k = 1; k + 1 < n - l; ++k)
        m_aSteps[k] = Step{(2.0 * k + 1.0 + a) / (k + 1.0), 1.0 / (k + 1.0), (k + a) / (k + 1.0)};
}

double CRadialFunction::operator()(double r) const
{
    const double dRho = m_dRhoPerRadius * r;
    const double dDecay = std::exp(-0.5 * dRho);
    if (dDecay == 0.0)
        return 0.0;
    const int32_t nDegree = m_n - m_l - 1;
    double dPrevious = 1.0;
    double dLaguerre = nDegree == 0 ? 1.0 : 2.0 * m_l + 2.0 - dRho;
    for (int32_t k = 1; k < nDegree; ++k)
    {
        const Step& step = m_aSteps[k];
        const double dNext = (step.a - step.b * dRho) * dLaguerre - step.c * dPrevious;
        dPrevious = dLaguerre;
        dLaguerre = dNext;
    }
    // rho^l by squaring.
    double dPower = 1.0, dBase = dRho;
    for (int32_t e = m_l; e > 0; e >>= 1)
    {
        if (e & 1)
            dPower *= dBase;
        dBase *= dBase;
    }
    return m_dNorm * dPower * dDecay * dLaguerre;
}

std::vector<double> CRadialFunction::Nodes() const
{
    std::vector<double> aNodes = LaguerreZeros(m_n - m_l - 1, 2.0 * m_l + 1.0);
    for (double& r : aNodes)
        r /= m_dRhoPerRadius;
    return aNodes;
}

double RadiusHolding(const CRadialFunction& radial, double dProbability)
{
    const double dStep = radial.Scale() / 64.0;
    double dInside = 0.0, r = 0.0;
    while (dInside < dProbability && r < 4096.0 * radial.Scale())
    {
        const double dMid = r + 0.5 * dStep, dHalf = 0.5 * dStep;
        for (int q = 0; q < 4; ++q)
            for (const double x : {dMid - dHalf * kGaussNode[q], dMid + dHalf * kGaussNode[q]})
            {
                const double R = radial(x);
                dInside += kGaussWeight[q] * dHalf * R * R * x * x;
            }
        r += dStep;
    }
    return r;
}
