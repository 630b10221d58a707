#include "sht/quarter_turn.h"

#include <algorithm>
#include <cmath>

#include "sht/quarter_turn_kernels.h"

LOBARA_KERNEL_TABLES(QuarterTurnKernels, kQuarterTurnKernels, QuarterTurnKernelsFor)

CQuarterTurn::CQuarterTurn(int32_t nMaxDegree)
{
    const size_t n = static_cast<size_t>(std::max(nMaxDegree, 0)) + 1;
    m_aC1.resize(n);
    m_aC2.resize(n);
    m_aScale.resize(n);
    m_aStart.resize(n);
    m_aStartExponent.resize(n);
    for (std::vector<double>& aIn : m_aIn)
        aIn.resize(n);
    m_aCos.resize(n);
    m_aSin.resize(n);
}

void CQuarterTurn::MakeStarts(int32_t l)
{
    // Delta_lm^2 = 4^-l C(2l, l + m): for m = 0 the product of (2i - 1) / (2i) for i = 1 .. l,
    // then times (l - m + 1) / (l + m) for each m, carried as a mantissa and an exponent.
    double dSquare = 1.0;
    for (int64_t i = 1; i <= l; ++i)
        dSquare *= static_cast<double>(2 * i - 1) / static_cast<double>(2 * i);
    int nExponent = 0;
    for (int64_t m = 0; m <= l; ++m)
    {
        if (m > 0)
        {
            dSquare *= static_cast<double>(l - m + 1) / static_cast<double>(l + m);
            int nShift = 0;
            dSquare = std::frexp(dSquare, &nShift);
            nExponent += nShift;
        }
        // sqrt(dSquare 2^nExponent) = sqrt(dMantissa) 2^nHalf.
        const bool bOdd = (nExponent & 1) != 0;
        const double dRoot = std::sqrt(bOdd ? 2.0 * dSquare : dSquare);
        const int64_t nHalf = (nExponent - (bOdd ? 1 : 0)) / 2;
        const double dSign = (l - m) % 2 == 0 ? 1.0 : -1.0;
        // Far below range: scaled by a multiple of 2^kScaleBits into (2^-2kScaleBits, 2^-kScaleBits].
        const int64_t nScale =
            nHalf > -2 * kTurnScaleBits ? 0 : -kTurnScaleBits * ((-nHalf - kTurnScaleBits) / kTurnScaleBits);
        m_aStart[static_cast<size_t>(m)] = dSign * std::ldexp(dRoot, static_cast<int>(nHalf - nScale));
        m_aStartExponent[static_cast<size_t>(m)] = nScale;
    }
}

void CQuarterTurn::Turn(int32_t l, double* a, double* b, bool bBack)
{
    if (l == 0)
        return;
    const size_t n = static_cast<size_t>(l) + 1;
    for (int64_t k = 1; k <= l; ++k)
    {
        const double dUp = static_cast<double>((l - k) * (l + k + 1));
        const double dDown = static_cast<double>((l + k) * (l - k + 1));
        m_aC1[static_cast<size_t>(k)] = 2.0 / std::sqrt(dDown);
        m_aC2[static_cast<size_t>(k)] = std::sqrt(dUp / dDown);
    }
    // The columns scaled by g_k, g_l = g_(l-1) = 1 and g_(k-1) = g_(k+1) / c2_k, take the
    // recurrence with 1 for c2_k and c1_k g_(k-1) / g_k for c1_k, two multiply-adds a step, and the
    // coefficients divided by g_k. g_k stays between 1 and (pi l)^(1/4).
    m_aScale[static_cast<size_t>(l)] = m_aScale[static_cast<size_t>(l) - 1] = 1.0;
    for (size_t k = static_cast<size_t>(l) - 1; k >= 1; --k)
        m_aScale[k - 1] = m_aScale[k + 1] / m_aC2[k];
    for (size_t k = 1; k < n; ++k)
        m_aC1[k] *= m_aScale[k - 1] / m_aScale[k];
    MakeStarts(l);
    // A column m of parity p weighs Delta_km with a_k / sqrt(2)^(k = 0) where l + k + m is even,
    // with b_k where it is odd.
    b[0] = 0.0;
    for (size_t p = 0; p < 2; ++p)
        for (size_t k = 0; k < n; ++k)
            m_aIn[p][k] =
                ((l + k + p) % 2 == 0 ? (k == 0 ? a[0] * std::sqrt(0.5) : a[k]) : b[k]) / m_aScale[k];
    const QuarterTurnKernels& kernels = QuarterTurnKernelsFor(ActiveKernelPath());
    for (int32_t p = 0; p < 2; ++p)
        kernels.sumColumns(l, p, m_aC1.data(), m_aIn[p].data(), m_aStart.data(), m_aStartExponent.data(),
                           m_aCos.data(), m_aSin.data());
    // The column sums, scaled: 2, and 1 / sqrt(2) more for a_0; backwards, the transposes,
    // which are the same sums with the signs (-1)^l on the cosines and -(-1)^l on the sines.
    const double dCosSign = bBack && l % 2 != 0 ? -1.0 : 1.0;
    const double dSinSign = bBack ? -dCosSign : 1.0;
    a[0] = dCosSign * std::sqrt(2.0) * m_aCos[0];
    b[0] = 0.0;
    for (size_t m = 1; m < n; ++m)
    {
        a[m] = dCosSign * 2.0 * m_aCos[m];
        b[m] = dSinSign * 2.0 * m_aSin[m];
    }
}
