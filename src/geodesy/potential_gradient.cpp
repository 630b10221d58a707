#include "geodesy/potential_gradient.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <stdexcept>

#include "geodesy/magnetic_components.h"
#include "sht/coefficient_conversion.h"

namespace {

const Convention kSchmidt{Normalization::kSchmidt, false, SineSign::kStandard};

}  // namespace

CPotentialGradient::CPotentialGradient(const PotentialModel& model, bool bGradient)
    : m_dRadius(model.dRadius),
      m_dPotentialScale(model.dScale),
      m_dGradientScale(-model.dScale / model.dRadius)
{
    m_aSeries.emplace_back(model.field);
    if (!bGradient)
        return;
    // The components of -grad V / (K / R) are those of the field of Schmidt-normalised Gauss
    // coefficients, whatever the model's convention.
    const Field schmidt = InConvention(model.field, kSchmidt);
    for (std::vector<Term>& aComponent : MagneticComponentTerms(schmidt.aTerms, 1.0))
        m_aSeries.emplace_back(Field{std::move(aComponent), kSchmidt});
}

void CPotentialGradient::OnParallel(double dTheta, double r, const double* pLambda, size_t nCount,
                                    Value* pValues, Scratch& scratch) const
{
    const double q = m_dRadius / r;
    int32_t nMaxDegree = -1;
    for (const CRadialSeries& series : m_aSeries)
        nMaxDegree = std::max(nMaxDegree, series.MaxDegree());
    const std::vector<double> aPower = RadialPowers(q, nMaxDegree);
    std::fill(pValues, pValues + nCount, Value{0.0, {0.0, 0.0, 0.0}});
    for (size_t k = 0; k < m_aSeries.size(); ++k)
    {
        m_aSeries[k].OrderSums(dTheta, aPower, scratch.series, scratch.aCos, scratch.aSin);
        const double dScale = k == 0 ? m_dPotentialScale : m_dGradientScale;
        for (size_t i = 0; i < nCount; ++i)
        {
            const double dValue = dScale * SumAlongParallel(scratch.aCos, scratch.aSin, pLambda[i]);
            (k == 0 ? pValues[i].dPotential : pValues[i].gradient[k - 1]) = dValue;
        }
    }
}

std::vector<CPotentialGradient::Value> EvaluateAtPlaces(const CPotentialGradient& gradient,
                                                        const std::vector<GeocentricPlace>& aPlaces)
{
    // The places sorted by parallel, each parallel's longitudes gathered.
    std::vector<size_t> aOrder(aPlaces.size());
    std::iota(aOrder.begin(), aOrder.end(), size_t{0});
    std::sort(aOrder.begin(), aOrder.end(), [&](size_t a, size_t b) {
        return aPlaces[a].r != aPlaces[b].r ? aPlaces[a].r < aPlaces[b].r
                                            : aPlaces[a].dTheta < aPlaces[b].dTheta;
    });
    std::vector<CPotentialGradient::Value> aValues(aPlaces.size());
    CPotentialGradient::Scratch scratch;
    std::vector<double> aLambda;
    std::vector<CPotentialGradient::Value> aParallel;
    for (size_t i = 0; i < aOrder.size();)
    {
        const GeocentricPlace& first = aPlaces[aOrder[i]];
        if (!(first.r > 0.0))
            throw std::runtime_error("a place at or below the centre has no value of the model");
        size_t nEnd = i;
        aLambda.clear();
        while (nEnd < aOrder.size() && aPlaces[aOrder[nEnd]].r == first.r &&
               aPlaces[aOrder[nEnd]].dTheta == first.dTheta)
            aLambda.push_back(aPlaces[aOrder[nEnd++]].dLambda);
        aParallel.resize(aLambda.size());
        gradient.OnParallel(first.dTheta, first.r, aLambda.data(), aLambda.size(), aParallel.data(), scratch);
        for (size_t k = i; k < nEnd; ++k)
            aValues[aOrder[k]] = aParallel[k - i];
        i = nEnd;
    }
    for (const CPotentialGradient::Value& value : aValues)
        if (!std::isfinite(value.dPotential) || !std::isfinite(value.gradient[0]) ||
            !std::isfinite(value.gradient[1]) || !std::isfinite(value.gradient[2]))
            throw std::runtime_error(
                "the model's value at a place is beyond the range of doubles: the place lies too deep "
                "inside the model's sphere for its degrees");
    return aValues;
}
