#include "sht/ring_fourier.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>
#include <new>

#include "sht/angles.h"
#include "sht/vector_kernel.h"

namespace {

constexpr size_t kLanes = CRingFourier::kBlockRings;

// The largest prime factor of n >= 1 (1 for n = 1).
int32_t LargestPrimeFactor(int32_t n)
{
    int32_t nLargest = 1;
    for (int32_t p = 2; int64_t{p} * p <= n; ++p)
        while (n % p == 0)
        {
            nLargest = p;
            n /= p;
        }
    return n > 1 ? n : nLargest;
}

// cos and sin of -2 pi nTurn / nPeriod, for 0 <= nTurn < nPeriod.
void PutTurn(int64_t nTurn, int64_t nPeriod, double* pCosSin)
{
    const double dAngle = -kTwoPi * static_cast<double>(nTurn) / static_cast<double>(nPeriod);
    pCosSin[0] = std::cos(dAngle);
    pCosSin[1] = std::sin(dAngle);
}

typedef double Lanes4 __attribute__((vector_size(32)));
typedef int64_t Mask4 __attribute__((vector_size(32)));

// A block's values of one frequency: kLanes complex values, as real and imaginary parts side by
// side, fill kBlockVectors vectors.
constexpr size_t kBlockVectors = 2 * kLanes / 4, kBlockDoubles = 2 * kLanes;

__attribute__((always_inline)) inline void LoadBlock(const double* p, Lanes4 (&value)[kBlockVectors])
{
    for (size_t v = 0; v < kBlockVectors; ++v)
        std::memcpy(&value[v], p + 4 * v, sizeof(Lanes4));
}

__attribute__((always_inline)) inline void StoreBlock(const Lanes4 (&value)[kBlockVectors], double* p)
{
    for (size_t v = 0; v < kBlockVectors; ++v)
        std::memcpy(p + 4 * v, &value[v], sizeof(Lanes4));
}

// -i z of complex values z side by side: real and imaginary parts swapped, the new imaginary parts
// negated.
__attribute__((always_inline)) inline void TimesMinusI(const Lanes4& z, Lanes4& result)
{
    const Lanes4 flip = {1.0, -1.0, 1.0, -1.0};
    result = __builtin_shuffle(z, Mask4{1, 0, 3, 2}) * flip;
}

// z times (c + i s), scaled: c z - s (-i z).
__attribute__((always_inline)) inline void Twiddle(Lanes4 (&value)[kBlockVectors], double c, double s)
{
    for (Lanes4& z : value)
    {
        Lanes4 minusIZ;
        TimesMinusI(z, minusIZ);
        z = c * z - s * minusIZ;
    }
}

// Where the transforms of one frequency k1 of the short ones go: X(k) of ring r to
// pOrders[2 (k nStride + r)] for the orders k asked for; the conjugate goes to nP - k where that is one
// and no other frequency k1 gives it.
struct FrequencyOutput
{
    double* pOrders;
    size_t nStride;
    size_t nRings;  // of the block's kLanes, those to write
    size_t nFirst;  // k1
    size_t nStep;   // S, from one k2 to the next
    size_t nP;
    size_t nOrders;
    bool bMirrored;
};

__attribute__((always_inline)) inline void PutFrequency(const Lanes4 (&value)[kBlockVectors], size_t k2,
                                                        const FrequencyOutput& output)
{
    const size_t k = output.nFirst + output.nStep * k2, nMirror = output.nP - k;
    const size_t nDoubles = 2 * output.nRings;
    if (k < output.nOrders)
    {
        double* p = output.pOrders + 2 * k * output.nStride;
        if (output.nRings == kLanes)
            StoreBlock(value, p);
        else
            std::memcpy(p, value, nDoubles * sizeof(double));
    }
    if (output.bMirrored && nMirror < output.nOrders)
    {
        const Lanes4 conjugate = {1.0, -1.0, 1.0, -1.0};
        Lanes4 mirror[kBlockVectors];
        for (size_t v = 0; v < kBlockVectors; ++v)
            mirror[v] = value[v] * conjugate;
        double* p = output.pOrders + 2 * nMirror * output.nStride;
        if (output.nRings == kLanes)
            StoreBlock(mirror, p);
        else
            std::memcpy(p, mirror, nDoubles * sizeof(double));
    }
}

// For one frequency k1 of the short transforms, the block's values Y(n2) (pY, a block for each
// n2 < P) and the twiddles e^(-2 pi i n2 k1 / nP) (pTwiddle, cosine and sine): X(k1 + S k2) for
// k2 < P, scaled by dScale, to output. pParts is room for P - 1 blocks.
LOBARA_FUSED_KERNEL
void PrimeTransform(const double* __restrict pY, const double* __restrict pTwiddle,
                    const double* __restrict pTrig, size_t nPrime, double dScale, double* __restrict pParts,
                    const FrequencyOutput& output)
{
    static_assert(kBlockVectors == 4, "a block fills four vectors");
    const size_t nHalf = nPrime / 2;
    // T(0), then A_j = T(j) + T(P - j) and B_j = T(j) - T(P - j); X(k1) = T(0) + sum_j A_j.
    Lanes4 first[kBlockVectors], zero[kBlockVectors];
    LoadBlock(pY, first);
    for (size_t v = 0; v < kBlockVectors; ++v)
    {
        first[v] *= dScale;
        zero[v] = first[v];
    }
    for (size_t j = 1; j <= nHalf; ++j)
    {
        const size_t nMirror = nPrime - j;
        Lanes4 t[kBlockVectors], mirror[kBlockVectors];
        LoadBlock(pY + j * kBlockDoubles, t);
        LoadBlock(pY + nMirror * kBlockDoubles, mirror);
        Twiddle(t, dScale * pTwiddle[2 * j], dScale * pTwiddle[2 * j + 1]);
        Twiddle(mirror, dScale * pTwiddle[2 * nMirror], dScale * pTwiddle[2 * nMirror + 1]);
        for (size_t v = 0; v < kBlockVectors; ++v)
        {
            const Lanes4 sum = t[v] + mirror[v];
            mirror[v] = t[v] - mirror[v];
            t[v] = sum;
            zero[v] += sum;
        }
        StoreBlock(t, pParts + (2 * j - 2) * kBlockDoubles);
        StoreBlock(mirror, pParts + (2 * j - 1) * kBlockDoubles);
    }
    PutFrequency(zero, 0, output);
    // U = sum_j cos(2 pi j k2 / P) A_j and V = sum_j sin(2 pi j k2 / P) B_j: X(k1 + S k2) = T(0) + U - i V
    // and X(k1 + S (P - k2)) = T(0) + U + i V.
    for (size_t k2 = 1; k2 <= nHalf; ++k2)
    {
        Lanes4 u[kBlockVectors] = {}, w[kBlockVectors] = {};
        const double* pPart = pParts;
        const double* pCosSin = pTrig + 2 * (k2 - 1) * nHalf;
        for (size_t j = 0; j < nHalf; ++j, pPart += 2 * kBlockDoubles, pCosSin += 2)
        {
            const double c = pCosSin[0], s = pCosSin[1];
            for (size_t v = 0; v < kBlockVectors; ++v)
            {
                Lanes4 a, b;
                std::memcpy(&a, pPart + 4 * v, sizeof a);
                std::memcpy(&b, pPart + kBlockDoubles + 4 * v, sizeof b);
                u[v] += c * a;
                w[v] += s * b;
            }
        }
        for (size_t v = 0; v < kBlockVectors; ++v)
        {
            Lanes4 minusIV;
            TimesMinusI(w[v], minusIV);
            w[v] = first[v] + u[v] - minusIV;
            u[v] = first[v] + u[v] + minusIV;
        }
        PutFrequency(u, k2, output);
        PutFrequency(w, nPrime - k2, output);
    }
}

}  // namespace

CRingFourier::CRingFourier(int32_t nP, int32_t nOrders) : m_nP(nP), m_nOrders(nOrders)
{
    const int32_t nLargest = LargestPrimeFactor(nP);
    if (nLargest >= kLeastSplitPrime && nLargest <= kMostSplitPrime)
    {
        m_nPrime = nLargest;
        m_nShort = nP / nLargest;
    }
    const Workspace workspace = MakeWorkspace();
    const std::lock_guard<std::mutex> lock(FftwPlannerLock());
    const auto nLanes = static_cast<int>(kLanes);
    if (m_nPrime == 1)
        m_plan.reset(fftw_plan_many_dft_r2c(1, &m_nP, nLanes, workspace.pRings.get(), nullptr, 1, nP,
                                            workspace.pSpectra.get(), nullptr, 1, nP / 2 + 1,
                                            FFTW_ESTIMATE | FFTW_DESTROY_INPUT));
    else
    {
        // Ring r's values n = P n1 + n2 transformed along n1 into frequency k1, to
        // spectra[(k1 * P + n2) * kLanes + r].
        const fftw_iodim length{m_nShort, m_nPrime, m_nPrime * nLanes};
        const fftw_iodim aMany[2] = {{m_nPrime, 1, nLanes}, {nLanes, nP, 1}};
        m_plan.reset(fftw_plan_guru_dft_r2c(1, &length, 2, aMany, workspace.pRings.get(),
                                            workspace.pSpectra.get(), FFTW_ESTIMATE | FFTW_DESTROY_INPUT));
    }
    if (!m_plan)
        throw std::bad_alloc();
    if (m_nPrime == 1)
        return;
    const size_t nFrequencies = static_cast<size_t>(m_nShort) / 2 + 1, nPrime = static_cast<size_t>(m_nPrime);
    m_aTwiddles.resize(2 * nFrequencies * nPrime);
    for (size_t k1 = 0; k1 < nFrequencies; ++k1)
        for (size_t n2 = 0; n2 < nPrime; ++n2)
            PutTurn(static_cast<int64_t>(n2 * k1 % static_cast<size_t>(nP)), nP,
                    &m_aTwiddles[2 * (k1 * nPrime + n2)]);
    const size_t nHalf = nPrime / 2;
    m_aPrimeTrig.resize(2 * nHalf * nHalf);
    for (size_t k2 = 1; k2 <= nHalf; ++k2)
        for (size_t j = 1; j <= nHalf; ++j)
        {
            double* pCosSin = &m_aPrimeTrig[2 * ((k2 - 1) * nHalf + j - 1)];
            PutTurn(static_cast<int64_t>(j * k2 % nPrime), m_nPrime, pCosSin);
            pCosSin[1] = -pCosSin[1];
        }
}

CRingFourier::Workspace CRingFourier::MakeWorkspace() const
{
    const size_t nSpectrum = m_nPrime == 1
                                 ? static_cast<size_t>(m_nP) / 2 + 1
                                 : (static_cast<size_t>(m_nShort) / 2 + 1) * static_cast<size_t>(m_nPrime);
    return Workspace{AllocateFftwReals(kLanes * static_cast<size_t>(m_nP)),
                     AllocateFftwComplexes(kLanes * nSpectrum)};
}

void CRingFourier::Forward(const double* pRings, size_t nCount, double dScale, std::complex<double>* pOrders,
                           size_t nOrderStride, Workspace& workspace) const
{
    const size_t nP = static_cast<size_t>(m_nP);
    // A block short of rings is filled up with zeros, whose transforms are left unwritten.
    std::copy(pRings, pRings + nCount * nP, workspace.pRings.get());
    std::fill(workspace.pRings.get() + nCount * nP, workspace.pRings.get() + kLanes * nP, 0.0);
    fftw_execute_dft_r2c(m_plan.get(), workspace.pRings.get(), workspace.pSpectra.get());
    if (m_nPrime != 1)
    {
        SplitForward(dScale, pOrders, nCount, nOrderStride, workspace);
        return;
    }
    const auto* pSpectra = reinterpret_cast<const std::complex<double>*>(workspace.pSpectra.get());
    const size_t nOut = nP / 2 + 1;
    for (size_t m = 0; m < static_cast<size_t>(m_nOrders); ++m)
        for (size_t r = 0; r < nCount; ++r)
            pOrders[m * nOrderStride + r] = pSpectra[r * nOut + m] * dScale;
}

void CRingFourier::SplitForward(double dScale, std::complex<double>* pOrders, size_t nCount,
                                size_t nOrderStride, const Workspace& workspace) const
{
    // X(k1 + S k2) = sum over n2 of e^(-2 pi i n2 k2 / P) T(n2), where T(n2) = e^(-2 pi i n2 k1 / nP)
    // Y(n2, k1) and Y(n2, .) is the short transform of the values P n1 + n2. Frequencies k1 above
    // S / 2 are those of nP - k, the conjugates.
    const size_t nPrime = static_cast<size_t>(m_nPrime), nShort = static_cast<size_t>(m_nShort);
    const size_t nP = static_cast<size_t>(m_nP), nOrders = static_cast<size_t>(m_nOrders);
    alignas(32) double aParts[2 * (kMostSplitPrime / 2) * kBlockDoubles];
    const auto* pSpectra = reinterpret_cast<const double*>(workspace.pSpectra.get());
    for (size_t k1 = 0; k1 <= nShort / 2; ++k1)
    {
        const FrequencyOutput output{
            reinterpret_cast<double*>(pOrders), nOrderStride, nCount, k1, nShort, nP, nOrders,
            k1 != 0 && 2 * k1 != nShort};
        PrimeTransform(pSpectra + k1 * nPrime * kBlockDoubles, &m_aTwiddles[2 * k1 * nPrime],
                       m_aPrimeTrig.data(), nPrime, dScale, aParts, output);
    }
}
