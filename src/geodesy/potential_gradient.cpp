#include "geodesy/potential_gradient.h"

#include <algorithm>
#include <cmath>

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
