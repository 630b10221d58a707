#include "hydrogen/orbital_values.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>

#include "infra/thread_sharing.h"
#include "sht/convention.h"

namespace {

// Points per block of work: enough for the Legendre recurrence's lanes, few enough that the
// calling thread tells its progress a few times a second at most a few hundred ns a point.
constexpr size_t kBlockPoints = 4096;

// The probability that the box of cube files and the square of slices hold within their sphere.
constexpr double kHeldProbability = 0.999;

}  // namespace

COrbitalFunction::COrbitalFunction(const HydrogenOrbital& orbital)
    : m_radial(orbital.numbers.n, orbital.numbers.l, orbital.numbers.dCharge),
      m_pLegendre(std::make_shared<const NormalizedLegendre>(orbital.numbers.l, std::abs(orbital.numbers.m))),
      m_m(orbital.numbers.m),
      m_bComplex(orbital.bComplex)
{
    const double dSign = orbital.bNegative ? -1.0 : 1.0;
    // The complex parts of the real harmonic (sht/complex_field.h): the Condon-Shortley phase of
    // the convention at odd m > 0, and no sqrt2.
    if (m_bComplex)
        m_dFactor = orbital.convention.bCondonShortley && m_m > 0 && m_m % 2 != 0 ? -dSign : dSign;
    else
        m_dFactor = SignedConventionFactor(dSign, m_m, orbital.convention) * OwnAzimuthFactor(m_m);
}

std::array<double, 2> COrbitalFunction::FromLegendre(double dLegendre, double dPhi) const
{
    const double d = m_dFactor * dLegendre;
    if (m_bComplex)
        return {d * std::cos(m_m * dPhi), d * std::sin(m_m * dPhi)};
    return {m_m > 0 ? d * std::cos(m_m * dPhi) : m_m < 0 ? d * std::sin(-m_m * dPhi) : d, 0.0};
}

std::array<double, 2> COrbitalFunction::Angular(double dTheta, double dPhi) const
{
    const double x = std::cos(dTheta), u = std::sin(dTheta);
    double dLegendre = 0.0;
    m_pLegendre->Evaluate(&x, &u, 1, &dLegendre);
    return FromLegendre(dLegendre, dPhi);
}

void COrbitalFunction::Evaluate(const std::array<double, 3>* pPoints, size_t nCount, double* pRe,
                                double* pIm) const
{
    std::vector<double> aX(nCount), aU(nCount), aLegendre(nCount);
    for (size_t k = 0; k < nCount; ++k)
    {
        const std::array<double, 3>& p = pPoints[k];
        const double dAxis = std::hypot(p[0], p[1]), r = std::hypot(dAxis, p[2]);
        aX[k] = r > 0.0 ? p[2] / r : 1.0;
        aU[k] = r > 0.0 ? dAxis / r : 0.0;
    }
    m_pLegendre->Evaluate(aX.data(), aU.data(), static_cast<int32_t>(nCount), aLegendre.data());
    for (size_t k = 0; k < nCount; ++k)
    {
        const std::array<double, 3>& p = pPoints[k];
        const double R = m_radial(std::hypot(std::hypot(p[0], p[1]), p[2]));
        const std::array<double, 2> y = FromLegendre(aLegendre[k], std::atan2(p[1], p[0]));
        pRe[k] = R * y[0];
        if (m_bComplex)
            pIm[k] = R * y[1];
    }
}

OrbitalSamples SampleOrbitalAt(const HydrogenOrbital& orbital, size_t nPoints,
                               const std::function<std::array<double, 3>(size_t)>& point,
                               OrbitalQuantity quantity, unsigned nThreads, const PointProgress& onBlocks)
{
    const COrbitalFunction psi(orbital);
    const bool bImaginary = psi.IsComplex() && quantity == OrbitalQuantity::kPsi;
    OrbitalSamples samples;
    samples.aRe.resize(nPoints);
    if (bImaginary)
        samples.aIm.resize(nPoints);
    const size_t nBlocks = (nPoints + kBlockPoints - 1) / kBlockPoints;
    std::atomic<size_t> nDone{0};
    ShareAmongThreads(nBlocks, ThreadsFor(nThreads), [&](size_t nBlock, unsigned t) {
        const size_t nFirst = nBlock * kBlockPoints, nCount = std::min(kBlockPoints, nPoints - nFirst);
        std::vector<std::array<double, 3>> aPoints(nCount);
        std::vector<double> aRe(nCount), aIm(nCount);
        for (size_t k = 0; k < nCount; ++k)
            aPoints[k] = point(nFirst + k);
        psi.Evaluate(aPoints.data(), nCount, aRe.data(), aIm.data());
        for (size_t k = 0; k < nCount; ++k)
        {
            const double dIm = psi.IsComplex() ? aIm[k] : 0.0;
            if (quantity == OrbitalQuantity::kDensity)
                samples.aRe[nFirst + k] = aRe[k] * aRe[k] + dIm * dIm;
            else
                samples.aRe[nFirst + k] = aRe[k];
            if (bImaginary)
                samples.aIm[nFirst + k] = dIm;
        }
        const size_t nNow = nDone += nCount;
        if (t == 0 && onBlocks)
            onBlocks(nNow, nPoints);
    });
    if (onBlocks)
        onBlocks(nPoints, nPoints);
    return samples;
}

std::vector<std::array<double, 2>> EvaluateOrbital(const HydrogenOrbital& orbital,
                                                   const std::vector<std::array<double, 3>>& aPoints,
                                                   unsigned nThreads, const PointProgress& onBlocks)
{
    const OrbitalSamples samples = SampleOrbitalAt(
        orbital, aPoints.size(), [&aPoints](size_t k) { return aPoints[k]; }, OrbitalQuantity::kPsi, nThreads,
        onBlocks);
    std::vector<std::array<double, 2>> aValues(aPoints.size());
    for (size_t k = 0; k < aValues.size(); ++k)
        aValues[k] = {samples.aRe[k], samples.aIm.empty() ? 0.0 : samples.aIm[k]};
    return aValues;
}

double HoldingRadius(const HydrogenOrbital& orbital)
{
    return RadiusHolding(CRadialFunction(orbital.numbers.n, orbital.numbers.l, orbital.numbers.dCharge),
                         kHeldProbability);
}

OrbitalBox OrbitalBoxOf(const HydrogenOrbital& orbital, int32_t nSide)
{
    return OrbitalBox{nSide, HoldingRadius(orbital)};
}

OrbitalSamples SampleOrbitalBox(const HydrogenOrbital& orbital, const OrbitalBox& box,
                                OrbitalQuantity quantity, unsigned nThreads, const PointProgress& onBlocks)
{
    const auto nSide = static_cast<size_t>(box.nSide);
    return SampleOrbitalAt(
        orbital, nSide * nSide * nSide,
        [&box, nSide](size_t k) {
            return std::array<double, 3>{box.Coordinate(static_cast<int32_t>(k / (nSide * nSide))),
                                         box.Coordinate(static_cast<int32_t>(k / nSide % nSide)),
                                         box.Coordinate(static_cast<int32_t>(k % nSide))};
        },
        quantity, nThreads, onBlocks);
}
