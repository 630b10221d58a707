#include "sht/quarter_turn.h"

#include <algorithm>
#include <cmath>

#include "infra/vector_kernel.h"

namespace {

// Columns of one parity made side by side: m0, m0 + 2, ..., enough independent chains to
// hide the latency of each step.
constexpr int kLanes = 16;

// A column still below the double range is scaled by 2^kScaleBits, checked every
// kStepsPerCheck steps: one step multiplies by at most 2m / sqrt(2l) + 1 <= sqrt(2l) + 1 < 2^9
// (l <= 32768), so in between it grows by less than 2^144.
constexpr int kScaleBits = 256;
constexpr int kStepsPerCheck = 16;
const double kScaleDown = std::ldexp(1.0, -kScaleBits);

// One group of columns: lane b is column m = aM[b], with Delta_km = aQ[b] 2^aExponent[b] and
// Delta_(k+1)m = aNext[b] 2^aExponent[b]; its values weighted by the coefficients are summed,
// scaled alike, into aSums[k & 1][b].
struct Lanes
{
    double aM[kLanes];
    double aQ[kLanes];
    double aNext[kLanes];
    double aSums[2][kLanes];
    int64_t aExponent[kLanes];
};

// nPairs pairs of steps from Delta_km down to Delta_(k-2n)m. pAccA takes the sums of k - 1,
// pAccB those of k - 2.
LOBARA_VECTOR_KERNEL
void RunPairs(const double* __restrict pC1, const double* __restrict pC2, const double* __restrict pIn,
              int64_t k, int64_t nPairs, const double* __restrict pM, double* __restrict pQ,
              double* __restrict pNext, double* __restrict pAccA, double* __restrict pAccB)
{
    double q[kLanes], next[kLanes], accA[kLanes], accB[kLanes];
    for (int b = 0; b < kLanes; ++b)
    {
        q[b] = pQ[b];
        next[b] = pNext[b];
        accA[b] = pAccA[b];
        accB[b] = pAccB[b];
    }
    for (int64_t s = 0; s < nPairs; ++s, k -= 2)
    {
        const double c1a = pC1[k], c2a = pC2[k], xa = pIn[k - 1];
        const double c1b = pC1[k - 1], c2b = pC2[k - 1], xb = pIn[k - 2];
        for (int b = 0; b < kLanes; ++b)
        {
            const double d1 = (pM[b] * c1a) * q[b] - c2a * next[b];
            accA[b] += d1 * xa;
            const double d2 = (pM[b] * c1b) * d1 - c2b * q[b];
            accB[b] += d2 * xb;
            next[b] = d1;
            q[b] = d2;
        }
    }
    for (int b = 0; b < kLanes; ++b)
    {
        pQ[b] = q[b];
        pNext[b] = next[b];
        pAccA[b] = accA[b];
        pAccB[b] = accB[b];
    }
}

// The lanes still scaled down whose values have passed 1 brought one step nearer to range.
// Returns whether any lane is still scaled.
bool Rescale(Lanes& lanes)
{
    bool bScaled = false;
    for (int b = 0; b < kLanes; ++b)
    {
        if (lanes.aExponent[b] == 0)
            continue;
        if (std::fabs(lanes.aQ[b]) > 1.0 || std::fabs(lanes.aNext[b]) > 1.0)
        {
            lanes.aQ[b] *= kScaleDown;
            lanes.aNext[b] *= kScaleDown;
            lanes.aSums[0][b] *= kScaleDown;
            lanes.aSums[1][b] *= kScaleDown;
            lanes.aExponent[b] += kScaleBits;
        }
        bScaled = bScaled || lanes.aExponent[b] != 0;
    }
    return bScaled;
}

}  // namespace

CQuarterTurn::CQuarterTurn(int32_t nMaxDegree)
{
    const size_t n = static_cast<size_t>(std::max(nMaxDegree, 0)) + 1;
    m_aC1.resize(n);
    m_aC2.resize(n);
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
            nHalf > -2 * kScaleBits ? 0 : -kScaleBits * ((-nHalf - kScaleBits) / kScaleBits);
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
    MakeStarts(l);
    // A column m of parity p weighs Delta_km with a_k / sqrt(2)^(k = 0) where l + k + m is even,
    // with b_k where it is odd.
    b[0] = 0.0;
    for (size_t p = 0; p < 2; ++p)
        for (size_t k = 0; k < n; ++k)
            m_aIn[p][k] = (l + k + p) % 2 == 0 ? (k == 0 ? a[0] * std::sqrt(0.5) : a[k]) : b[k];
    for (size_t p = 0; p < 2; ++p)
        for (size_t m0 = p; m0 < n; m0 += 2 * kLanes)
        {
            Lanes lanes;
            const double* pIn = m_aIn[p].data();
            for (int j = 0; j < kLanes; ++j)
            {
                const size_t m = m0 + 2 * static_cast<size_t>(j);
                const bool bColumn = m < n;
                lanes.aM[j] = bColumn ? static_cast<double>(m) : 0.0;
                lanes.aQ[j] = bColumn ? m_aStart[m] : 0.0;
                lanes.aExponent[j] = bColumn ? m_aStartExponent[m] : 0;
                lanes.aNext[j] = 0.0;
                lanes.aSums[l & 1][j] = lanes.aQ[j] * pIn[l];
                lanes.aSums[1 - (l & 1)][j] = 0.0;
            }
            // Pairs of steps from k = l; the sums of k - 1 have the parity opposite to l's.
            double* pAccA = lanes.aSums[1 - (l & 1)];
            double* pAccB = lanes.aSums[l & 1];
            int64_t k = l;
            bool bScaled = true;
            while (k >= 2)
            {
                bScaled = bScaled && Rescale(lanes);
                const int64_t nPairs = bScaled ? std::min<int64_t>(kStepsPerCheck / 2, k / 2) : k / 2;
                RunPairs(m_aC1.data(), m_aC2.data(), pIn, k, nPairs, lanes.aM, lanes.aQ, lanes.aNext, pAccA,
                         pAccB);
                k -= 2 * nPairs;
            }
            if (k == 1)
                for (int j = 0; j < kLanes; ++j)
                {
                    const double d = (lanes.aM[j] * m_aC1[1]) * lanes.aQ[j] - m_aC2[1] * lanes.aNext[j];
                    lanes.aSums[0][j] += d * pIn[0];
                }
            // Column m's cosine sum is over k of l + m's parity.
            for (int j = 0; j < kLanes; ++j)
            {
                const size_t m = m0 + 2 * static_cast<size_t>(j);
                if (m >= n)
                    break;
                const int nExponent = static_cast<int>(lanes.aExponent[j]);
                const size_t nCosParity = (static_cast<size_t>(l) + m) & 1;
                m_aCos[m] = std::ldexp(lanes.aSums[nCosParity][j], nExponent);
                m_aSin[m] = std::ldexp(lanes.aSums[1 - nCosParity][j], nExponent);
            }
        }
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
