#include "sht/gauss_legendre.h"

#include <cmath>
#include <cstdlib>

#include "sht/angles.h"
#include "sht/normalized_legendre.h"

namespace {

constexpr int kMaxNewtonSteps = 12;

// Pbar_n and Pbar_(n-1) of order 0 at points theta in [0, pi / 2], in one run of the recurrence:
// the one as its cosine sum, the other as its sine sum.
class CTopDegrees
{
public:
    explicit CTopDegrees(int32_t n)
        : m_legendre(n, 0), m_aWeights(m_legendre.PrepareWeights(TopWeights(n).data()))
    {}

    void Values(const std::vector<double>& aTheta, std::vector<double>& aTop,
                std::vector<double>& aBelow) const
    {
        const size_t n = aTheta.size();
        std::vector<double> aT(n), aU(n), aSums(4 * n);
        for (size_t i = 0; i < n; ++i)
        {
            aT[i] = CosineLessOne(aTheta[i]);
            aU[i] = std::sin(aTheta[i]);
        }
        m_legendre.EvaluateSums(aT.data(), aU.data(), static_cast<int32_t>(n), m_aWeights, aSums.data());
        aTop.resize(n);
        aBelow.resize(n);
        for (size_t i = 0; i < n; ++i)
        {
            aTop[i] = aSums[4 * i] + aSums[4 * i + 1];
            aBelow[i] = aSums[4 * i + 2] + aSums[4 * i + 3];
        }
    }

private:
    // Pbar_n as the cosine sum, Pbar_(n-1) as the sine sum.
    static std::vector<double> TopWeights(int32_t n)
    {
        std::vector<double> aWeights(2 * static_cast<size_t>(n) + 2);
        aWeights[2 * static_cast<size_t>(n)] = 1.0;
        aWeights[2 * static_cast<size_t>(n) - 1] = 1.0;
        return aWeights;
    }

    NormalizedLegendre m_legendre;
    NormalizedLegendre::SumWeights m_aWeights;
};

}  // namespace

GaussLegendre MakeGaussLegendre(int32_t n)
{
    // With P_n = c_n Pbar_n, c_k = sqrt(4 pi / (2k + 1)): dP_n(cos theta) / dtheta =
    // n (x P_n - P_(n-1)) / sin theta, and the weight at a zero is 2 sin^2 theta / (n P_(n-1))^2.
    const CTopDegrees degrees(n);
    const double dTopScale = std::sqrt(4.0 * kPi / (2.0 * n + 1.0));
    const double dBelowScale = std::sqrt(4.0 * kPi / (2.0 * n - 1.0));
    const int32_t nNorth = n / 2;  // the zeros with cos theta > 0; for odd n the equator is one more
    std::vector<double> aTheta(static_cast<size_t>(nNorth)), aTop, aBelow;
    for (int32_t k = 0; k < nNorth; ++k)
        aTheta[static_cast<size_t>(k)] =
            (4.0 * (k + 1) - 1.0) / (4.0 * n + 2.0) * kPi;  // Tricomi's first term
    for (int nStep = 0; nStep < kMaxNewtonSteps; ++nStep)
    {
        degrees.Values(aTheta, aTop, aBelow);
        double dLargest = 0.0;
        for (size_t k = 0; k < aTheta.size(); ++k)
        {
            const double x = std::cos(aTheta[k]), u = std::sin(aTheta[k]);
            const double p = dTopScale * aTop[k], pBelow = dBelowScale * aBelow[k];
            const double dStep = p * u / (n * (x * p - pBelow));
            aTheta[k] -= dStep;
            dLargest = std::max(dLargest, std::fabs(dStep));
        }
        if (dLargest < 1e-15)
            break;
    }
    degrees.Values(aTheta, aTop, aBelow);
    GaussLegendre rule{std::vector<double>(static_cast<size_t>(n)),
                       std::vector<double>(static_cast<size_t>(n))};
    // The weights from the northern nodes, where sin theta is exact, for the southern ones too.
    const auto place = [&](int32_t i, double dTheta, double dBelow) {
        const double u = std::sin(dTheta), p = n * dBelowScale * dBelow;
        rule.aTheta[static_cast<size_t>(i)] = dTheta;
        rule.aWeight[static_cast<size_t>(i)] = 2.0 * u * u / (p * p);
        rule.aTheta[static_cast<size_t>(n - 1 - i)] = kPi - dTheta;
        rule.aWeight[static_cast<size_t>(n - 1 - i)] = rule.aWeight[static_cast<size_t>(i)];
    };
    for (int32_t k = 0; k < nNorth; ++k)
        place(k, aTheta[static_cast<size_t>(k)], aBelow[static_cast<size_t>(k)]);
    if (n % 2 != 0)
    {
        const std::vector<double> aEquator = {0.5 * kPi};
        degrees.Values(aEquator, aTop, aBelow);
        place(nNorth, aEquator[0], aBelow[0]);
    }
    return rule;
}
