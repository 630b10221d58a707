#include "sht/meridian_circle.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <new>

#include "sht/angles.h"

namespace {

// FFTW's complex numbers are laid out as std::complex<double>.
std::complex<double>* Values(fftw_complex* p)
{
    return reinterpret_cast<std::complex<double>*>(p);
}

}  // namespace

FftwPlan PlanComplexTransform(int32_t nSize, int nSign)
{
    const FftwArray<fftw_complex> pIn = AllocateFftwComplexes(static_cast<size_t>(nSize));
    const FftwArray<fftw_complex> pOut = AllocateFftwComplexes(static_cast<size_t>(nSize));
    const std::lock_guard<std::recursive_mutex> lock(FftwPlannerLock());
    FftwPlan plan(fftw_plan_dft_1d(nSize, pIn.get(), pOut.get(), nSign, FFTW_ESTIMATE));
    if (!plan)
        throw std::bad_alloc();
    return plan;
}

int64_t FftFriendlyCircle(int64_t n)
{
    constexpr int64_t kLongestPowerOfTwo = 4096, kMostTwos = 64;
    for (int64_t nLength = std::max<int64_t>(n, 2) + n % 2;; nLength += 2)
    {
        int64_t nRest = nLength, nTwos = 1;
        for (; nRest % 2 == 0; nRest /= 2)
            nTwos *= 2;
        for (const int64_t nPrime : {3, 5, 7})
            while (nRest % nPrime == 0)
                nRest /= nPrime;
        if (nRest == 1 && (nLength <= kLongestPowerOfTwo || nTwos <= kMostTwos))
            return nLength;
    }
}

double TransformCost(int64_t n)
{
    constexpr double kUnfriendly = 4.5;
    const auto dN = static_cast<double>(n);
    int64_t nRest = n;
    for (const int64_t nPrime : {2, 3, 5, 7})
        while (nRest > 1 && nRest % nPrime == 0)
            nRest /= nPrime;
    return dN * std::log2(std::max(dN, 2.0)) * (nRest == 1 ? 1.0 : kUnfriendly);
}

double MovingCost(int64_t nFromSize, int64_t nToSize)
{
    constexpr double kPasses = 3.0;
    return TransformCost(nFromSize) + TransformCost(nToSize) +
           kPasses * static_cast<double>(nFromSize + nToSize);
}

bool MovingPays(double dDegreeTerms, int32_t nRings, int32_t nFewerRings, double dMovingCost)
{
    const double dPairsSaved = 0.5 * static_cast<double>(nRings - nFewerRings);
    return dDegreeTerms * dPairsSaved * kRecurrenceStepCost > dMovingCost;
}

// g_n = -(-1)^n (g_0 + 2 sum_(i = 1 .. n - 1) (-1)^i g_i), which makes the sum of the circle's
// values times (-1)^q, its Nyquist mode, 0.
std::complex<double> NyquistFreeSouthPole(int32_t nEvenOrder, const std::complex<double>* pEven, int32_t n)
{
    if (nEvenOrder != 0 || pEven == nullptr)
        return 0.0;
    std::complex<double> sum = pEven[0];
    for (int32_t i = 1; i < n; ++i)
        sum += (i % 2 == 0 ? 2.0 : -2.0) * pEven[i];
    return (n % 2 == 0 ? -1.0 : 1.0) * sum;
}

CMeridianCircle::CMeridianCircle(Rings rings, int32_t nRings)
    : m_rings(rings),
      m_nRings(nRings),
      m_nSize(rings == Rings::kBothPoles ? 2 * (nRings - 1) : 2 * nRings),
      m_forward(PlanComplexTransform(m_nSize, FFTW_FORWARD)),
      m_backward(PlanComplexTransform(m_nSize, FFTW_BACKWARD))
{
    if (rings != Rings::kCells)
        return;
    m_aShift.resize(static_cast<size_t>(m_nSize));
    for (int32_t b = 0; b < m_nSize; ++b)
    {
        const int32_t k = b < m_nSize / 2 ? b : b - m_nSize;
        const double dAngle = -kPi * (static_cast<double>(k) / m_nSize);
        m_aShift[static_cast<size_t>(b)] = std::complex<double>(std::cos(dAngle), std::sin(dAngle));
    }
}

void CMeridianCircle::ToSpectrum(int32_t nEvenOrder, const std::complex<double>* pEven,
                                 const std::complex<double>* pOdd, fftw_complex* pValues,
                                 fftw_complex* pSpectrum) const
{
    // The rings from the north pole southwards, then round the other side back up: point q of the
    // far side lies at -theta of ring Size() - q (Size() - 1 - q for the cells).
    std::complex<double>* pCircle = Values(pValues);
    const auto even = [pEven](int32_t r) { return pEven != nullptr ? pEven[r] : 0.0; };
    const auto odd = [pOdd](int32_t r) { return pOdd != nullptr ? pOdd[r] : 0.0; };
    for (int32_t q = 0; q < m_nRings; ++q)
        pCircle[q] = even(q) + odd(q);
    int32_t q = m_nRings;
    if (m_rings == Rings::kNorthPole)
        pCircle[q++] = NyquistFreeSouthPole(nEvenOrder, pEven, m_nRings);
    for (; q < m_nSize; ++q)
    {
        const int32_t r = m_rings == Rings::kCells ? m_nSize - 1 - q : m_nSize - q;
        pCircle[q] = even(r) - odd(r);
    }
    fftw_execute_dft(m_forward.get(), pValues, pSpectrum);
    if (m_rings == Rings::kCells)
        for (int32_t b = 0; b < m_nSize; ++b)
            Values(pSpectrum)[b] *= m_aShift[static_cast<size_t>(b)];
}

void CMeridianCircle::FromSpectrum(fftw_complex* pSpectrum, fftw_complex* pValues, double dScale, bool bFold,
                                   std::complex<double>* pEven, std::complex<double>* pOdd) const
{
    if (m_rings == Rings::kCells)
        for (int32_t b = 0; b < m_nSize; ++b)
            Values(pSpectrum)[b] *= std::conj(m_aShift[static_cast<size_t>(b)]);
    fftw_execute_dft(m_backward.get(), pSpectrum, pValues);
    const std::complex<double>* pCircle = Values(pValues);
    const double dHalf = 0.5 * dScale;
    for (int32_t r = 0; r < m_nRings; ++r)
    {
        const int32_t nMirror = m_rings == Rings::kCells ? m_nSize - 1 - r : (m_nSize - r) % m_nSize;
        const std::complex<double> value = pCircle[r], mirror = pCircle[nMirror];
        const double dPart = bFold && nMirror != r ? dScale : dHalf;
        pEven[r] = dPart * (value + mirror);
        if (pOdd != nullptr)
            pOdd[r] = dPart * (value - mirror);
    }
}

void CopyModes(const fftw_complex* pFrom, int32_t nFromSize, fftw_complex* pTo, int32_t nToSize,
               int32_t nTopMode)
{
    const auto* pFromModes = reinterpret_cast<const std::complex<double>*>(pFrom);
    std::complex<double>* pToModes = Values(pTo);
    std::copy(pFromModes, pFromModes + nTopMode + 1, pToModes);
    std::fill(pToModes + nTopMode + 1, pToModes + nToSize - nTopMode, 0.0);
    std::copy(pFromModes + nFromSize - nTopMode, pFromModes + nFromSize, pToModes + nToSize - nTopMode);
}
