#include "healpix/spin_legendre.h"

#include <algorithm>
#include <cmath>

#include "sht/angles.h"
#include "sht/legendre_kernels.h"
#include "sht/legendre_scaling.h"
#include "sht/normalized_legendre.h"

namespace {

using legendre_scaling::kChunkBits;
using legendre_scaling::kStartLanes;

// x^n for a whole n, |n| up to the largest spin, by binary powering (x = cos^2(theta / 2) >= 1/2
// here, so that no power leaves the range).
double WholePower(double x, int64_t n)
{
    double dPower = 1.0, dSquare = x;
    for (int64_t k = n < 0 ? -n : n; k > 0; k >>= 1)
    {
        if ((k & 1) != 0)
            dPower *= dSquare;
        dSquare *= dSquare;
    }
    return n < 0 ? 1.0 / dPower : dPower;
}

}  // namespace

LOBARA_KERNEL_TABLES(SpinKernels, kSpinKernels, SpinKernelsFor)

const SpinKernels& ActiveSpinKernels()
{
    return SpinKernelsFor(ActiveKernelPath());
}

CSpinLegendre::CSpinLegendre(int32_t nLmax, int32_t nSpin) : m_nLmax(nLmax), m_nSpin(nSpin)
{
    for (int32_t l = 0; l <= nLmax; ++l)
        m_aNorm.push_back(0.5 * std::sqrt((2.0 * l + 1.0) / kFourPi));
    m_aScratch.resize(32 * (static_cast<size_t>(nLmax) + 1));
    for (int64_t k = 0; k <= 2 * int64_t{nLmax} + 2 * nSpin + 2; ++k)
    {
        m_aRoot.push_back(std::sqrt(static_cast<double>(k)));
        m_aInverseRoot.push_back(k == 0 ? 0.0 : 1.0 / m_aRoot.back());
    }
}

void CSpinLegendre::MakeStart(int32_t a, Recurrence& recurrence) const
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
    // sqrt(C(2j, k)) as a mantissa in [1/2, 1) and a binary exponent, its product renormalised
    // every kFactorsPerNorm factors, each in [1, 2^17): a product of them stays far inside the range,
    // and taking out a power of two changes no bit of the products after it.
    constexpr int64_t kFactorsPerNorm = 32;
    const int64_t k = std::min(j + p, j - p);
    double dMantissa = 1.0;
    int nExponent = 0;
    for (int64_t i = 1; i <= k; ++i)
    {
        dMantissa *= static_cast<double>(2 * j - k + i) / static_cast<double>(i);
        if (i % kFactorsPerNorm == 0 || i == k)
        {
            int nStep = 0;
            dMantissa = std::frexp(dMantissa, &nStep);
            nExponent += nStep;
        }
    }
    if (nExponent % 2 != 0)
    {
        dMantissa *= 2.0;
        --nExponent;
    }
    int nRoot = 0;
    recurrence.dFactor = std::frexp(std::sqrt(dMantissa), &nRoot);
    recurrence.nExponent = nExponent / 2 + nRoot;
}

void CSpinLegendre::MakeSteps()
{
    // j sqrt(((j+1)^2 - m^2)((j+1)^2 - a^2)) d^(j+1) = (2j+1)(j(j+1) cos - m a) d^j
    //   - (j+1) sqrt((j^2 - m^2)(j^2 - a^2)) d^(j-1), with cos = t + 1, for the values divided by
    // their degree's scale (see Remake). a = -s and a = s share the factor of d^(j+1), and with it A.
    const int64_t j0 = m_nStart, m = m_nOrder, s = m_nSpin;
    const auto nSteps = static_cast<size_t>(std::max<int64_t>(0, m_nLmax - j0));
    m_aA.resize(nSteps);
    for (std::vector<double>& aB : m_aB)
        aB.resize(nSteps);
    const double dMs = static_cast<double>(m * s);
    // Step k goes from j = j0 + k to j + 1; the roots of j + 1 +- m, j + 1 +- s from the tables.
    const double* __restrict pInverseLess = m_aInverseRoot.data() + (j0 + 1 - m);
    const double* __restrict pInverseMore = m_aInverseRoot.data() + (j0 + 1 + m);
    const double* __restrict pInverseLessS = m_aInverseRoot.data() + (j0 + 1 - s);
    const double* __restrict pInverseMoreS = m_aInverseRoot.data() + (j0 + 1 + s);
    const double* __restrict pScale = m_aScale.data();
    double* __restrict pA = m_aA.data();
    double* __restrict pMinus = m_aB[0].data();  // B of a = -s
    double* __restrict pPlus = m_aB[1].data();   // and of a = s
    for (size_t k = 0; k < nSteps; ++k)
    {
        const double dJ = static_cast<double>(j0) + static_cast<double>(k);
        const double dScale = pInverseLess[k] * pInverseMore[k] * pInverseLessS[k] * pInverseMoreS[k] *
                              pScale[k] / (dJ * pScale[k + 1]);
        const double dFactor = (2.0 * dJ + 1.0) * dScale, dSquare = dJ * (dJ + 1.0);
        pA[k] = dFactor * dSquare;
        pMinus[k] = dFactor * (dSquare + dMs);
        pPlus[k] = dFactor * (dSquare - dMs);
    }
}

void CSpinLegendre::Remake(int32_t m)
{
    m_nOrder = m;
    m_nStart = std::max(m, m_nSpin);
    // The factor C_l of d^(l-2), alike for both recurrences, is taken out of the steps: the values
    // are carried divided by S_l, S_l = C_l S_(l-2) from S = 1 at the first two degrees (S stays
    // within 1/100 and 1), and S_l goes into the degree's norm.
    const int64_t j = m_nStart, s = m_nSpin;
    m_aScale.assign(static_cast<size_t>(std::max<int64_t>(0, m_nLmax - j + 1)), 1.0);
    m_aScaledNorm.assign(m_aNorm.size(), 0.0);
    const double* pRoot = m_aRoot.data();
    const double* pInverseRoot = m_aInverseRoot.data();
    for (int64_t l = j; l <= m_nLmax; ++l)
    {
        const auto k = static_cast<size_t>(l - j);
        if (l >= j + 2)
        {
            const int64_t n = l - 1;
            const double dC = static_cast<double>(l) * pRoot[n - m] * pRoot[n + m] * pRoot[n - s] *
                              pRoot[n + s] * pInverseRoot[l - m] * pInverseRoot[l + m] * pInverseRoot[l - s] *
                              pInverseRoot[l + s] / static_cast<double>(n);
            m_aScale[k] = dC * m_aScale[k - 2];
        }
        m_aScaledNorm[static_cast<size_t>(l)] = m_aNorm[static_cast<size_t>(l)] * m_aScale[k];
    }
    MakeSteps();
    MakeStart(-m_nSpin, m_recurrences[0]);
    MakeStart(m_nSpin, m_recurrences[1]);
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
    // Products by powers of two, which round as ldexp does, subnormal results included.
    const double dRest = std::ldexp(1.0, nRest - kChunkBits), dChunk = std::ldexp(1.0, kChunkBits);
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
            const double dCosine = WholePower(1.0 + 0.5 * pT[b + i], recurrence.nHalfPower);
            double dValue = recurrence.dSign * dCosine * (aQ[i] * dRest);
            int64_t nChunks = aChunks[i] + nWhole + 1;
            for (; nChunks > 0; --nChunks)
                dValue *= dChunk;
            pValue[b + i] = dValue;
            pChunks[b + i] = nChunks;
        }
    }
}

int32_t CSpinLegendre::Prepare(const double* pT, const double* pU, int32_t nCount)
{
    // Points where every function of the order up to L stays negligible, as NormalizedLegendre
    // finds them, by the order less the spin: from the pole to where m - s > L sin(theta) + margin.
    const double dLmax = std::max(1.0, static_cast<double>(m_nLmax));
    const double dLimit =
        (static_cast<double>(m_nOrder - m_nSpin) - NormalizedLegendre::kNegligibleMargin * std::cbrt(dLmax)) /
        dLmax;
    int32_t nSkip = 0;
    while (nSkip < nCount && pU[nSkip] < dLimit)
        ++nSkip;
    const auto nPoints = static_cast<size_t>(nCount - nSkip);
    for (int r = 0; r < 2; ++r)
    {
        m_aPrevious[r].assign(nPoints, 0.0);
        m_aCurrent[r].resize(nPoints);
        m_aChunks[r].resize(nPoints);
        Start(m_recurrences[r], pT + nSkip, pU + nSkip, nCount - nSkip, m_aCurrent[r].data(),
              m_aChunks[r].data());
    }
    m_aParts.assign(8 * nPoints, 0.0);
    return nSkip;
}

SpinTables CSpinLegendre::Tables() const
{
    return SpinTables{m_nStart,
                      m_nLmax,
                      (m_nOrder + m_nSpin) % 2,
                      m_aA.data(),
                      {m_aB[0].data(), m_aB[1].data()},
                      m_aScaledNorm.data()};
}

SpinPoints CSpinLegendre::Points(const double* pT)
{
    return SpinPoints{pT,
                      {m_aPrevious[0].data(), m_aPrevious[1].data()},
                      {m_aCurrent[0].data(), m_aCurrent[1].data()},
                      {m_aChunks[0].data(), m_aChunks[1].data()}};
}

void CSpinLegendre::Sums(const double* pT, const double* pU, int32_t nCount, const std::complex<double>* pE,
                         const std::complex<double>* pB, std::complex<double>* pOrders)
{
    const int32_t nSkip = Prepare(pT, pU, nCount);
    const auto nPoints = static_cast<size_t>(nCount - nSkip);
    double* apParts[8];
    for (size_t q = 0; q < 8; ++q)
        apParts[q] = m_aParts.data() + q * nPoints;
    SpinPoints points = Points(pT + nSkip);
    const SpinTables tables = Tables();
    ActiveSpinKernels().sums(tables, points, nCount - nSkip, m_nOrder, reinterpret_cast<const double*>(pE),
                             reinterpret_cast<const double*>(pB), apParts, m_aScratch.data());
    std::fill(pOrders, pOrders + 4 * nSkip, std::complex<double>(0.0, 0.0));
    for (size_t i = 0; i < nPoints; ++i)
    {
        const std::complex<double> qEven(apParts[0][i], apParts[1][i]), qOdd(apParts[2][i], apParts[3][i]);
        const std::complex<double> uEven(apParts[4][i], apParts[5][i]), uOdd(apParts[6][i], apParts[7][i]);
        std::complex<double>* pPoint = pOrders + 4 * (static_cast<size_t>(nSkip) + i);
        pPoint[0] = qEven + qOdd;
        pPoint[1] = qEven - qOdd;
        pPoint[2] = uEven + uOdd;
        pPoint[3] = uEven - uOdd;
    }
}

void CSpinLegendre::Accumulate(const double* pT, const double* pU, int32_t nCount,
                               const std::complex<double>* pOrders, double dWeight, std::complex<double>* pE,
                               std::complex<double>* pB)
{
    // No degree of the order reaches the spin: nothing to add.
    if (m_nStart > m_nLmax)
        return;
    const int32_t nSkip = Prepare(pT, pU, nCount);
    const auto nPoints = static_cast<size_t>(nCount - nSkip);
    double* apParts[8];
    for (size_t q = 0; q < 8; ++q)
        apParts[q] = m_aParts.data() + q * nPoints;
    // Q and U at each point plus at its mirror, and minus.
    for (size_t i = 0; i < nPoints; ++i)
    {
        const std::complex<double>* pPoint = pOrders + 4 * (static_cast<size_t>(nSkip) + i);
        const std::complex<double> aParts[4] = {pPoint[0] + pPoint[1], pPoint[0] - pPoint[1],
                                                pPoint[2] + pPoint[3], pPoint[2] - pPoint[3]};
        for (size_t q = 0; q < 4; ++q)
        {
            apParts[2 * q][i] = aParts[q].real();
            apParts[2 * q + 1][i] = aParts[q].imag();
        }
    }
    SpinPoints points = Points(pT + nSkip);
    const SpinTables tables = Tables();
    ActiveSpinKernels().accumulate(tables, points, nCount - nSkip, m_nOrder, apParts, dWeight,
                                   reinterpret_cast<double*>(pE), reinterpret_cast<double*>(pB),
                                   m_aScratch.data());
}
