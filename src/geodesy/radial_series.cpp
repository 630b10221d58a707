#include "geodesy/radial_series.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "sht/angles.h"

CRadialSeries::CRadialSeries(const Field& field)
{
    // Each order's highest degree, then the weights of Pbar in cos(m phi) and sin(m phi) as the
    // synthesis takes them: the program's own Y(l, m) is Pbar for m = 0, sqrt(2) Pbar cos(m phi)
    // and -sqrt(2) Pbar sin(|m| phi).
    std::vector<int32_t> aTop;
    for (const Term& term : field.aTerms)
        if (!IsZeroTerm(term))
        {
            const auto m = static_cast<size_t>(std::abs(term.m));
            if (aTop.size() <= m)
                aTop.resize(m + 1, -1);
            aTop[m] = std::max(aTop[m], term.l);
            m_nMaxDegree = std::max(m_nMaxDegree, term.l);
        }
    std::vector<size_t> aIndex(aTop.size());
    for (size_t m = 0; m < aTop.size(); ++m)
        if (aTop[m] >= 0)
        {
            aIndex[m] = m_aOrders.size();
            const auto nPairs = static_cast<size_t>(aTop[m]) - m + 1;
            m_aOrders.push_back(
                Order{static_cast<int32_t>(m), aTop[m], std::vector<double>(2 * nPairs, 0.0)});
        }
    for (const Term& term : field.aTerms)
    {
        if (IsZeroTerm(term))
            continue;
        const double dWeight =
            OwnAzimuthFactor(term.m) * (term.c * FiniteConventionFactor(term.l, term.m, field.convention));
        Order& order = m_aOrders[aIndex[static_cast<size_t>(std::abs(term.m))]];
        order.aPairs[2 * static_cast<size_t>(term.l - order.m) + (term.m >= 0 ? 0 : 1)] += dWeight;
    }
}

void CRadialSeries::OrderSums(double dTheta, const std::vector<double>& aPower, Scratch& scratch,
                              std::vector<double>& aCos, std::vector<double>& aSin) const
{
    const size_t nOrders = static_cast<size_t>(MaxOrder()) + 1;
    aCos.assign(nOrders, 0.0);
    aSin.assign(nOrders, 0.0);
    // The northern twin of the parallel; south of the equator the odd degrees change sign.
    const bool bSouth = dTheta > 0.5 * kPi;
    const double t = CosineLessOne(bSouth ? kPi - dTheta : dTheta);
    const double u = std::fabs(std::sin(dTheta));
    const double dParity = bSouth ? -1.0 : 1.0;
    double adSums[4];
    for (const Order& order : m_aOrders)
    {
        scratch.aWeights.resize(order.aPairs.size());
        for (int32_t l = order.m; l <= order.nTop; ++l)
        {
            const auto k = 2 * static_cast<size_t>(l - order.m);
            const double dPower = aPower[static_cast<size_t>(l)];
            scratch.aWeights[k] = order.aPairs[k] * dPower;
            scratch.aWeights[k + 1] = order.aPairs[k + 1] * dPower;
        }
        scratch.legendre.Remake(order.nTop, order.m);
        scratch.legendre.PrepareWeights(scratch.aWeights.data(), scratch.aReady);
        scratch.legendre.EvaluateSums(&t, &u, 1, scratch.aReady, adSums);
        aCos[static_cast<size_t>(order.m)] = adSums[0] + dParity * adSums[1];
        aSin[static_cast<size_t>(order.m)] = adSums[2] + dParity * adSums[3];
    }
}

std::vector<double> RadialPowers(double q, int32_t nMaxDegree)
{
    std::vector<double> aPower(static_cast<size_t>(std::max(nMaxDegree + 1, 0)));
    for (size_t l = 0; l < aPower.size(); ++l)
        aPower[l] = std::pow(q, static_cast<double>(l) + 1.0);
    return aPower;
}

double SumAlongParallel(const std::vector<double>& aCos, const std::vector<double>& aSin, double dLambda)
{
    const double dCosStep = std::cos(dLambda), dSinStep = std::sin(dLambda);
    double dCos = 1.0, dSin = 0.0, dSum = 0.0;
    for (size_t m = 0; m < aCos.size(); ++m)
    {
        dSum += aCos[m] * dCos + aSin[m] * dSin;
        const double dNextCos = dCos * dCosStep - dSin * dSinStep;
        dSin = dSin * dCosStep + dCos * dSinStep;
        dCos = dNextCos;
    }
    return dSum;
}
