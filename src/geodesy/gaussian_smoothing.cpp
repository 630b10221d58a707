#include "geodesy/gaussian_smoothing.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "sht/angles.h"

namespace {

constexpr double kMetresPerKm = 1000.0;
constexpr double kLeastRadiusKm = 1.0;
// Beyond this the downward run is rescaled, so that it never overflows.
constexpr double kRescaleAbove = 1e200;

// 1 - cos(x) without its cancellation: 2 sin^2(x / 2).
double OneLessCosine(double x)
{
    const double s = std::sin(0.5 * x);
    return 2.0 * s * s;
}

}  // namespace

std::string SmoothingRadiusError(double dRadiusKm, double a)
{
    const double dMostKm = kPi * a / kMetresPerKm;
    if (dRadiusKm >= kLeastRadiusKm && dRadiusKm <= dMostKm)
        return "";
    char szText[160];
    std::snprintf(szText, sizeof szText, "the smoothing radius %.10g km is not from 1 km to %.10g km",
                  dRadiusKm, dMostKm);
    return szText;
}

std::vector<double> GaussianWeights(double dRadiusKm, double a, int32_t nMaxDegree)
{
    const double b = std::log(2.0) / OneLessCosine(dRadiusKm * kMetresPerKm / a);
    const double L = std::max(nMaxDegree, 1);
    // W_l falls as exp(-l^2 / 2b) while l is below b and faster beyond: from N, W_N / W_L is below
    // exp(-20), and the downward run's error, which falls as (W_N / W_L)^2, below 1e-17.
    const auto nStart = static_cast<int64_t>(std::ceil(std::sqrt(L * L + 80.0 * b))) + 32;
    std::vector<double> aWeights(static_cast<size_t>(nMaxDegree) + 1, 0.0);
    double dAbove = 0.0, dHere = 1e-300;  // W_(l+1) and W_l, up to a common factor
    for (int64_t l = nStart; l >= 1; --l)
    {
        const double dBelow = dAbove + (2.0 * static_cast<double>(l) + 1.0) / b * dHere;
        dAbove = dHere;
        dHere = dBelow;
        if (l - 1 <= nMaxDegree)
            aWeights[static_cast<size_t>(l - 1)] = dHere;
        if (std::fabs(dHere) > kRescaleAbove)
        {
            for (int64_t k = l - 1; k <= std::min<int64_t>(nMaxDegree, nStart); ++k)
                aWeights[static_cast<size_t>(k)] /= kRescaleAbove;
            dAbove /= kRescaleAbove;
            dHere /= kRescaleAbove;
        }
    }
    const double dFirst = aWeights[0];
    for (double& dWeight : aWeights)
        dWeight /= dFirst;
    return aWeights;
}

void SmoothTerms(std::vector<Term>& aTerms, double dRadiusKm, double a)
{
    int32_t nMaxDegree = 0;
    for (const Term& term : aTerms)
        nMaxDegree = std::max(nMaxDegree, term.l);
    const std::vector<double> aWeights = GaussianWeights(dRadiusKm, a, nMaxDegree);
    for (Term& term : aTerms)
        if (term.l >= 0)
            term.c *= aWeights[static_cast<size_t>(term.l)];
}
