#include "healpix/spin_legendre.h"

#include <algorithm>
#include <cmath>

#include "sht/angles.h"
#include "sht/legendre_kernels.h"
#include "sht/legendre_scaling.h"

namespace {

using legendre_scaling::kChunkBits;
using legendre_scaling::kInverseChunk;
using legendre_scaling::kStartLanes;

// Past this a value below the range is scaled up by a chunk: the steps stay far from overflow.
constexpr double kRescale = 0x1p256;

}  // namespace

CSpinLegendre::CSpinLegendre(int32_t nLmax, int32_t nSpin) : m_nLmax(nLmax), m_nSpin(nSpin)
{
    for (int32_t l = 0; l <= nLmax; ++l)
        m_aNorm.push_back(0.5 * std::sqrt((2.0 * l + 1.0) / kFourPi));
}

void CSpinLegendre::MakeRecurrence(int32_t a, Recurrence& recurrence) const
{
    // d^j_(j,p) = (-1)^(j-p) sqrt(C(2j, j+p)) cos^(j+p)(theta/2) sin^(j-p)(theta/2) starts order m >= s
    // (j = m, p = a); below, j = s: d^s_(m,s) = sqrt(C(2s, s+m)) cos^(s+m) sin^(s-m) and
    // d^s_(m,-s) = (-1)^(s+m) sqrt(C(2s, s-m)) cos^(s-m) sin^(s+m). cos^(j+p) sin^(j-p) is
    // cos^(2p) (sin(theta) / 2)^(j-p).
    const int32_t m = m_nOrder, s = m_nSpin;
    int64_t j = m, p = a;
    recurrence.dSign = (m - a) % 2 == 0 ? 1.0 : -1.0;
    if (m < s)
    {
        j = s;
        p = a > 0 ? m : -m;
        recurrence.dSign = a > 0 || (s + m) % 2 == 0 ? 1.0 : -1.0;
    }
    recurrence.nHalfPower = p;
    recurrence.nPower = j - p;
    // sqrt(C(2j, k)) as a mantissa in [1/2, 1) and a binary exponent, its product renormalised at
    // each factor.
    const int64_t k = std::min(j + p, j - p);
    double dMantissa = 1.0;
    int nExponent = 0;
    for (int64_t i = 1; i <= k; ++i)
    {
        int nStep = 0;
        dMantissa =
            std::frexp(dMantissa * (static_cast<double>(2 * j - k + i) / static_cast<double>(i)), &nStep);
        nExponent += nStep;
    }
    if (nExponent % 2 != 0)
    {
        dMantissa *= 2.0;
        --nExponent;
    }
    int nRoot = 0;
    recurrence.dFactor = std::frexp(std::sqrt(dMantissa), &nRoot);
    recurrence.nExponent = nExponent / 2 + nRoot;
    // j sqrt(((j+1)^2 - m^2)((j+1)^2 - a^2)) d^(j+1) = (2j+1)(j(j+1) cos - m a) d^j
    //   - (j+1) sqrt((j^2 - m^2)(j^2 - a^2)) d^(j-1), with cos = t + 1.
    recurrence.aA.clear();
    recurrence.aB.clear();
    recurrence.aC.clear();
    const auto dM = static_cast<double>(m), dA = static_cast<double>(a);
    for (int64_t l = j + 1; l <= m_nLmax; ++l)
    {
        const auto dJ = static_cast<double>(l - 1);
        const double dNext = dJ + 1.0;
        const double dScale = 1.0 / (dJ * std::sqrt((dNext * dNext - dM * dM) * (dNext * dNext - dA * dA)));
        recurrence.aA.push_back((2.0 * dJ + 1.0) * dJ * dNext * dScale);
        recurrence.aB.push_back((2.0 * dJ + 1.0) * (dJ * dNext - dM * dA) * dScale);
        recurrence.aC.push_back(dNext * std::sqrt((dJ * dJ - dM * dM) * (dJ * dJ - dA * dA)) * dScale);
    }
}

void CSpinLegendre::Remake(int32_t m)
{
    m_nOrder = m;
    m_nStart = std::max(m, m_nSpin);
    MakeRecurrence(-m_nSpin, m_recurrences[0]);
    MakeRecurrence(m_nSpin, m_recurrences[1]);
    // sLambda_lm = (-1)^s sqrt((2l + 1) / 4 pi) d^l_(m,-s).
    if (m_nSpin % 2 != 0)
        m_recurrences[0].dSign = -m_recurrences[0].dSign;
}

void CSpinLegendre::Start(const Recurrence& recurrence, const double* pT, const double* pU, int32_t nCount,
                          double* pValue, int64_t* pChunks)
{
    // 2^nExponent = 2^(kChunkBits (k + 1)) 2^(r - kChunkBits), 0 <= r < kChunkBits.
    const int64_t nWhole = recurrence.nExponent >= 0
                               ? recurrence.nExponent / kChunkBits
                               : -((-recurrence.nExponent + kChunkBits - 1) / kChunkBits);
    const auto nRest = static_cast<int>(recurrence.nExponent - nWhole * kChunkBits);
    const LegendreKernels& kernels = ActiveLegendreKernels();
    double aHalf[kStartLanes], aQ[kStartLanes];
    int64_t aChunks[kStartLanes];
    for (int32_t b = 0; b < nCount; b += kStartLanes)
    {
        const int32_t nLanes = std::min<int32_t>(kStartLanes, nCount - b);
        std::fill(aHalf, aHalf + kStartLanes, 0.0);
        for (int32_t i = 0; i < nLanes; ++i)
            aHalf[i] = 0.5 * pU[b + i];
        kernels.startValues(aHalf, recurrence.nPower, recurrence.dFactor, aQ, aChunks);
        for (int32_t i = 0; i < nLanes; ++i)
        {
            const double dCosine =
                std::pow(1.0 + 0.5 * pT[b + i], static_cast<double>(recurrence.nHalfPower));
            double dValue = recurrence.dSign * dCosine * std::ldexp(aQ[i], nRest - kChunkBits);
            int64_t nChunks = aChunks[i] + nWhole + 1;
            for (; nChunks > 0; --nChunks)
                dValue = std::ldexp(dValue, kChunkBits);
            pValue[b + i] = dValue;
            pChunks[b + i] = nChunks;
        }
    }
}

template <typename Step>
void CSpinLegendre::Run(const double* pT, const double* pU, int32_t nCount, const Step& step)
{
    const auto nPoints = static_cast<size_t>(nCount);
    m_aPlus.resize(nPoints);
    m_aMinus.resize(nPoints);
    for (int r = 0; r < 2; ++r)
    {
        m_aValues[r][0].assign(nPoints, 0.0);
        m_aValues[r][1].resize(nPoints);
        m_aChunks[r].resize(nPoints);
        Start(m_recurrences[r], pT, pU, nCount, m_aValues[r][1].data(), m_aChunks[r].data());
    }
    for (int32_t l = m_nStart; l <= m_nLmax; ++l)
    {
        if (l > m_nStart)
            for (int r = 0; r < 2; ++r)
            {
                const Recurrence& recurrence = m_recurrences[r];
                const auto k = static_cast<size_t>(l - m_nStart - 1);
                const double a = recurrence.aA[k], b = recurrence.aB[k], c = recurrence.aC[k];
                double* pPrevious = m_aValues[r][0].data();
                double* pCurrent = m_aValues[r][1].data();
                int64_t* pChunks = m_aChunks[r].data();
                for (size_t i = 0; i < nPoints; ++i)
                {
                    const double dNext = (a * pT[i] + b) * pCurrent[i] - c * pPrevious[i];
                    pPrevious[i] = pCurrent[i];
                    pCurrent[i] = dNext;
                    if (pChunks[i] < 0 && std::fabs(dNext) > kRescale)
                    {
                        pPrevious[i] *= kInverseChunk;
                        pCurrent[i] *= kInverseChunk;
                        ++pChunks[i];
                    }
                }
            }
        const double dNorm = m_aNorm[static_cast<size_t>(l)];
        for (size_t i = 0; i < nPoints; ++i)
        {
            const double d0 = m_aChunks[0][i] == 0 ? m_aValues[0][1][i] : 0.0;
            const double d1 = m_aChunks[1][i] == 0 ? m_aValues[1][1][i] : 0.0;
            m_aPlus[i] = dNorm * (d0 + d1);
            m_aMinus[i] = dNorm * (d0 - d1);
        }
        step(l);
    }
}

void CSpinLegendre::Sums(const double* pT, const double* pU, int32_t nCount, const std::complex<double>* pE,
                         const std::complex<double>* pB, std::complex<double>* pOrders)
{
    // Per point the parts of Q and U even and odd under the mirror: qs, qa, us, ua.
    std::vector<std::complex<double>> aParts(4 * static_cast<size_t>(nCount));
    const std::complex<double> i(0.0, 1.0);
    const int32_t m = m_nOrder;
    Run(pT, pU, nCount, [&](int32_t l) {
        const std::complex<double> e = pE[l - m], b = pB[l - m];
        // L+ of even l + m is even under the mirror, L- odd; the other way for odd l + m.
        const size_t nPlus = (l + m + m_nSpin) % 2 == 0 ? 0 : 1, nMinus = 1 - nPlus;
        const std::complex<double> qPlus = -e, qMinus = -i * b, uPlus = -b, uMinus = i * e;
        for (size_t p = 0; p < static_cast<size_t>(nCount); ++p)
        {
            std::complex<double>* pPart = &aParts[4 * p];
            pPart[nPlus] += qPlus * m_aPlus[p];
            pPart[nMinus] += qMinus * m_aMinus[p];
            pPart[2 + nPlus] += uPlus * m_aPlus[p];
            pPart[2 + nMinus] += uMinus * m_aMinus[p];
        }
    });
    for (size_t p = 0; p < static_cast<size_t>(nCount); ++p)
    {
        const std::complex<double>* pPart = &aParts[4 * p];
        pOrders[4 * p + 0] = pPart[0] + pPart[1];
        pOrders[4 * p + 1] = pPart[0] - pPart[1];
        pOrders[4 * p + 2] = pPart[2] + pPart[3];
        pOrders[4 * p + 3] = pPart[2] - pPart[3];
    }
}

void CSpinLegendre::Accumulate(const double* pT, const double* pU, int32_t nCount,
                               const std::complex<double>* pOrders, double dWeight, std::complex<double>* pE,
                               std::complex<double>* pB)
{
    // Per point Q and U at it plus at its mirror, and minus.
    std::vector<std::complex<double>> aParts(4 * static_cast<size_t>(nCount));
    for (size_t p = 0; p < static_cast<size_t>(nCount); ++p)
    {
        const std::complex<double>* pOrder = &pOrders[4 * p];
        aParts[4 * p + 0] = pOrder[0] + pOrder[1];
        aParts[4 * p + 1] = pOrder[0] - pOrder[1];
        aParts[4 * p + 2] = pOrder[2] + pOrder[3];
        aParts[4 * p + 3] = pOrder[2] - pOrder[3];
    }
    const std::complex<double> i(0.0, 1.0);
    const int32_t m = m_nOrder;
    Run(pT, pU, nCount, [&](int32_t l) {
        const size_t nPlus = (l + m + m_nSpin) % 2 == 0 ? 0 : 1, nMinus = 1 - nPlus;
        std::complex<double> qPlus, qMinus, uPlus, uMinus;
        for (size_t p = 0; p < static_cast<size_t>(nCount); ++p)
        {
            const std::complex<double>* pPart = &aParts[4 * p];
            qPlus += m_aPlus[p] * pPart[nPlus];
            uPlus += m_aPlus[p] * pPart[2 + nPlus];
            qMinus += m_aMinus[p] * pPart[nMinus];
            uMinus += m_aMinus[p] * pPart[2 + nMinus];
        }
        pE[l - m] -= dWeight * (qPlus + i * uMinus);
        pB[l - m] -= dWeight * (uPlus - i * qMinus);
    });
}
