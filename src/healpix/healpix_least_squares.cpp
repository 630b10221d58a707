#include "healpix/healpix_least_squares.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "healpix/healpix_rings.h"
#include "sht/angles.h"

namespace {

using Coefficients = std::vector<std::complex<double>>;

// Sum over the pixels of every map of their squares.
double MapNorm2(const std::vector<double>& aMaps)
{
    double dSum = 0.0;
    for (const double x : aMaps)
        dSum += x * x;
    return dSum;
}

}  // namespace

CHealpixLeastSquares::CHealpixLeastSquares(int64_t nSide, int32_t nLmax, int32_t nMmax, unsigned nThreads,
                                           int32_t nSpin)
    : m_transform(nSide, nLmax, nMmax, nThreads, nSpin), m_nLmax(nLmax), m_nComponents(nSpin == 0 ? 1 : 2)
{}

LeastSquaresReport CHealpixLeastSquares::Solve(const double* pMap, double dTolerance, int32_t nMostSteps,
                                               std::complex<double>* pAlm) const
{
    const double* apMaps[2] = {pMap, nullptr};
    std::complex<double>* apAlms[2] = {pAlm, nullptr};
    return Run(apMaps, dTolerance, nMostSteps, apAlms);
}

LeastSquaresReport CHealpixLeastSquares::SolveSpin(const double* pQ, const double* pU, double dTolerance,
                                                   int32_t nMostSteps, std::complex<double>* pE,
                                                   std::complex<double>* pB) const
{
    const double* apMaps[2] = {pQ, pU};
    std::complex<double>* apAlms[2] = {pE, pB};
    return Run(apMaps, dTolerance, nMostSteps, apAlms);
}

double CHealpixLeastSquares::Residual(const double* pMap, const std::complex<double>* pAlm, const double* pU,
                                      const std::complex<double>* pB) const
{
    const auto nPixels = static_cast<size_t>(m_transform.Pixels());
    std::vector<double> aMade(static_cast<size_t>(m_nComponents) * nPixels);
    if (m_nComponents == 1)
        m_transform.Synthesize(pAlm, aMade.data());
    else
        m_transform.SynthesizeSpin(pAlm, pB, aMade.data(), aMade.data() + nPixels);
    double dLeft = 0.0, dGiven = 0.0;
    for (int k = 0; k < m_nComponents; ++k)
    {
        const double* pGiven = k == 0 ? pMap : pU;
        for (size_t p = 0; p < nPixels; ++p)
        {
            const double d = pGiven[p] - aMade[static_cast<size_t>(k) * nPixels + p];
            dLeft += d * d;
            dGiven += pGiven[p] * pGiven[p];
        }
    }
    return dGiven > 0.0 ? std::sqrt(dLeft / dGiven) : 0.0;
}

LeastSquaresReport CHealpixLeastSquares::Run(const double* const* pMaps, double dTolerance,
                                             int32_t nMostSteps, std::complex<double>* const* pAlms) const
{
    if (!(dTolerance >= 0.0) || !std::isfinite(dTolerance))
        throw std::invalid_argument("the tolerance needs a finite number from 0, not " +
                                    std::to_string(dTolerance));
    if (nMostSteps < 0)
        throw std::invalid_argument("the steps need a count from 0, not " + std::to_string(nMostSteps));
    const auto nPixels = static_cast<size_t>(m_transform.Pixels());
    const size_t nCount = m_transform.Coefficients();
    const auto nComponents = static_cast<size_t>(m_nComponents);
    const double dWeight = kFourPi / static_cast<double>(nPixels);
    // The orders m > 0 start after the L + 1 degrees of m = 0.
    const size_t nOrderZero = static_cast<size_t>(m_nLmax) + 1;
    const auto dot = [&](const Coefficients& a, const Coefficients& b) {
        double dSum = 0.0;
        for (size_t k = 0; k < nComponents; ++k)
            for (size_t i = 0; i < nCount; ++i)
            {
                const size_t n = k * nCount + i;
                const double d = a[n].real() * b[n].real() + a[n].imag() * b[n].imag();
                dSum += i < nOrderZero ? d : 2.0 * d;
            }
        return dSum;
    };
    const auto synthesize = [&](const Coefficients& a, std::vector<double>& aMaps) {
        if (nComponents == 1)
            m_transform.Synthesize(a.data(), aMaps.data());
        else
            m_transform.SynthesizeSpin(a.data(), a.data() + nCount, aMaps.data(), aMaps.data() + nPixels);
    };
    // w Y* of the maps.
    const auto adjoint = [&](const std::vector<double>& aMaps, Coefficients& a) {
        if (nComponents == 1)
            m_transform.Adjoint(aMaps.data(), dWeight, a.data(), false);
        else
            m_transform.AdjointSpin(aMaps.data(), aMaps.data() + nPixels, dWeight, a.data(),
                                    a.data() + nCount, false);
    };

    std::vector<double> aGiven(nComponents * nPixels), aLeft(nComponents * nPixels), aMade(aLeft.size());
    for (size_t k = 0; k < 2 && k < nComponents; ++k)
        std::copy(pMaps[k], pMaps[k] + nPixels, aGiven.begin() + static_cast<ptrdiff_t>(k * nPixels));
    Coefficients aX(nComponents * nCount), aGradient(aX.size()), aDirection(aX.size());
    LeastSquaresReport report;
    const double dGiven2 = MapNorm2(aGiven);
    adjoint(aGiven, aX);
    const double dStart2 = dot(aX, aX);
    if (dGiven2 > 0.0 && dStart2 > 0.0)
    {
        synthesize(aX, aMade);
        for (size_t p = 0; p < aLeft.size(); ++p)
            aLeft[p] = aGiven[p] - aMade[p];
        adjoint(aLeft, aGradient);
        aDirection = aGradient;
        double dGamma = dot(aGradient, aGradient);
        const double dStop2 = dTolerance * dTolerance * dStart2;
        while (dGamma > dStop2 && report.nSteps < nMostSteps)
        {
            synthesize(aDirection, aMade);
            const double dMade2 = MapNorm2(aMade);
            if (!(dMade2 > 0.0))
                break;
            const double dAlpha = dGamma / (dWeight * dMade2);
            for (size_t n = 0; n < aX.size(); ++n)
                aX[n] += dAlpha * aDirection[n];
            for (size_t p = 0; p < aLeft.size(); ++p)
                aLeft[p] -= dAlpha * aMade[p];
            adjoint(aLeft, aGradient);
            const double dNext = dot(aGradient, aGradient);
            const double dBeta = dNext / dGamma;
            for (size_t n = 0; n < aX.size(); ++n)
                aDirection[n] = aGradient[n] + dBeta * aDirection[n];
            dGamma = dNext;
            ++report.nSteps;
        }
        report.bConverged = dGamma <= dStop2;
    }
    else
        report.bConverged = true;
    for (size_t k = 0; k < 2 && k < nComponents; ++k)
        std::copy(aX.begin() + static_cast<ptrdiff_t>(k * nCount),
                  aX.begin() + static_cast<ptrdiff_t>((k + 1) * nCount), pAlms[k]);
    report.dResidual = Residual(pMaps[0], pAlms[0], nComponents > 1 ? pMaps[1] : nullptr,
                                nComponents > 1 ? pAlms[1] : nullptr);
    return report;
}
