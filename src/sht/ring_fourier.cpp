#include "sht/ring_fourier.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>
#include <new>

#include "infra/vector_kernel.h"
#include "sht/angles.h"

#if defined(__x86_64__)
#include <emmintrin.h>
#endif

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

// Multiplies complex values side by side into their conjugates.
const Lanes4 kConjugate = {1.0, -1.0, 1.0, -1.0};

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

// The real and imaginary parts of each of two complex values swapped; the first halves of two
// vectors, and their second halves, side by side (written out, which compilers turn into
// shuffles).
__attribute__((always_inline)) inline void SwapParts(const Lanes4& z, Lanes4& result)
{
    const double aParts[4] = {z[1], z[0], z[3], z[2]};
    std::memcpy(&result, aParts, sizeof result);
}

__attribute__((always_inline)) inline void FirstHalves(const Lanes4& a, const Lanes4& b, Lanes4& result)
{
    const double aHalves[4] = {a[0], a[1], b[0], b[1]};
    std::memcpy(&result, aHalves, sizeof result);
}

__attribute__((always_inline)) inline void SecondHalves(const Lanes4& a, const Lanes4& b, Lanes4& result)
{
    const double aHalves[4] = {a[2], a[3], b[2], b[3]};
    std::memcpy(&result, aHalves, sizeof result);
}

// -i z of complex values z side by side: real and imaginary parts swapped, the new imaginary parts
// negated.
__attribute__((always_inline)) inline void TimesMinusI(const Lanes4& z, Lanes4& result)
{
    SwapParts(z, result);
    result *= kConjugate;
}

// The split transforms two rings at once as the real and imaginary parts of one complex sequence,
// which FFTW takes twice as fast as the two real ones: ring 2p and ring 2p + 1 as pair p.
constexpr size_t kPairs = kLanes / 2, kPairDoubles = 2 * kPairs;

// A block's values of one frequency k from a pair's transform at k (pZ) and at -k (pW), kPairs
// complex values each: ring 2p's is (Z_p + conj W_p) / 2 and ring 2p + 1's (Z_p - conj W_p) / 2i.
__attribute__((always_inline)) inline void LoadSeparated(const double* pZ, const double* pW,
                                                         Lanes4 (&value)[kBlockVectors])
{
    for (size_t h = 0; h < kBlockVectors / 2; ++h)
    {
        Lanes4 z, w;
        std::memcpy(&z, pZ + 4 * h, sizeof z);
        std::memcpy(&w, pW + 4 * h, sizeof w);
        // Those of two pairs: the even rings', then the odd rings'.
        const Lanes4 even = 0.5 * (z + w * kConjugate);
        Lanes4 zSwapped, wSwapped;
        SwapParts(z, zSwapped);
        SwapParts(w, wSwapped);
        const Lanes4 odd = 0.5 * (zSwapped * kConjugate + wSwapped);
        FirstHalves(even, odd, value[2 * h]);
        SecondHalves(even, odd, value[2 * h + 1]);
    }
}

// The other way: a block's values of frequency k (of a sequence whose conjugate is at -k) as the
// pairs' Z_p = Y_2p + i Y_(2p+1) to pZ and, unless -k is k itself, their values at -k,
// conj Y_2p + i conj Y_(2p+1), to pW. Where -k is k, the values are real but for rounding, and
// only their real parts are taken.
__attribute__((always_inline)) inline void StorePaired(const Lanes4 (&value)[kBlockVectors], bool bOwnMirror,
                                                       double* pZ, double* pW)
{
    for (size_t h = 0; h < kBlockVectors / 2; ++h)
    {
        Lanes4 even, odd, swapped;
        FirstHalves(value[2 * h], value[2 * h + 1], even);
        SecondHalves(value[2 * h], value[2 * h + 1], odd);
        SwapParts(odd, swapped);
        const Lanes4 z = even - swapped * kConjugate, w = even * kConjugate + swapped;
        if (bOwnMirror)
        {
            const Lanes4 real = 0.5 * (z + w);
            std::memcpy(pZ + 4 * h, &real, sizeof real);
            continue;
        }
        std::memcpy(pZ + 4 * h, &z, sizeof z);
        std::memcpy(pW + 4 * h, &w, sizeof w);
    }
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

// U = sum_j c_j A_j and V = sum_j s_j B_j over the nHalf pairs of blocks A_j, B_j in pParts, with
// c_j, s_j in turn at pCosSin, added into u and w.
__attribute__((always_inline)) inline void SumParts(const double* __restrict pParts,
                                                    const double* __restrict pCosSin, size_t nHalf,
                                                    Lanes4 (&u)[kBlockVectors], Lanes4 (&w)[kBlockVectors])
{
    for (size_t j = 0; j < nHalf; ++j, pParts += 2 * kBlockDoubles, pCosSin += 2)
    {
        const double c = pCosSin[0], s = pCosSin[1];
        for (size_t v = 0; v < kBlockVectors; ++v)
        {
            Lanes4 a, b;
            std::memcpy(&a, pParts + 4 * v, sizeof a);
            std::memcpy(&b, pParts + kBlockDoubles + 4 * v, sizeof b);
            u[v] += c * a;
            w[v] += s * b;
        }
    }
}

// A_j = x + mirror and B_j = x - mirror as pair j >= 1 of pParts (blocks 2j - 2 and 2j - 1), A_j also
// added into sum.
__attribute__((always_inline)) inline void StoreParts(const Lanes4 (&x)[kBlockVectors],
                                                      const Lanes4 (&mirror)[kBlockVectors], size_t j,
                                                      double* pParts, Lanes4 (&sum)[kBlockVectors])
{
    Lanes4 a[kBlockVectors], b[kBlockVectors];
    for (size_t v = 0; v < kBlockVectors; ++v)
    {
        a[v] = x[v] + mirror[v];
        b[v] = x[v] - mirror[v];
        sum[v] += a[v];
    }
    StoreBlock(a, pParts + (2 * j - 2) * kBlockDoubles);
    StoreBlock(b, pParts + (2 * j - 1) * kBlockDoubles);
}

// first + U - i V and first + U + i V, from the sums U and V of SumParts.
__attribute__((always_inline)) inline void CombineSums(const Lanes4 (&first)[kBlockVectors],
                                                       const Lanes4 (&u)[kBlockVectors],
                                                       const Lanes4 (&w)[kBlockVectors],
                                                       Lanes4 (&minus)[kBlockVectors],
                                                       Lanes4 (&plus)[kBlockVectors])
{
    for (size_t v = 0; v < kBlockVectors; ++v)
    {
        Lanes4 minusIV;
        TimesMinusI(w[v], minusIV);
        minus[v] = first[v] + u[v] + minusIV;
        plus[v] = first[v] + u[v] - minusIV;
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

// Orders the streamed stores before any that follow, which another thread may take as the sign that
// they are done.
inline void FinishStreaming()
{
#if defined(__x86_64__)
    _mm_sfence();
#endif
}

// A block's values to where they are read only much later: past the cache, where they fill whole
// lines, which spares reading each line first.
__attribute__((always_inline)) inline void StreamBlock(const Lanes4 (&value)[kBlockVectors], double* p)
{
#if defined(__x86_64__)
    if (reinterpret_cast<uintptr_t>(p) % 64 == 0)
    {
        for (size_t v = 0; v < kBlockVectors; ++v)
        {
            _mm_stream_pd(p + 4 * v, __m128d{value[v][0], value[v][1]});
            _mm_stream_pd(p + 4 * v + 2, __m128d{value[v][2], value[v][3]});
        }
        return;
    }
#endif
    StoreBlock(value, p);
}

// n values from pFrom, nFromStride apart, to pTo, streamed past the cache where pTo is aligned for it.
void StreamValues(const double* pFrom, size_t nFromStride, size_t n, double* pTo)
{
    size_t i = 0;
#if defined(__x86_64__)
    if (reinterpret_cast<uintptr_t>(pTo) % 16 == 0)
        for (; i + 2 <= n; i += 2)
            _mm_stream_pd(pTo + i, __m128d{pFrom[i * nFromStride], pFrom[(i + 1) * nFromStride]});
#endif
    for (; i < n; ++i)
        pTo[i] = pFrom[i * nFromStride];
}

// A block's values for nRings of its rings to p: streamed for a whole block.
__attribute__((always_inline)) inline void PutBlock(const Lanes4 (&value)[kBlockVectors], size_t nRings,
                                                    double* p)
{
    if (nRings == kLanes)
        StreamBlock(value, p);
    else
        std::memcpy(p, value, 2 * nRings * sizeof(double));
}

__attribute__((always_inline)) inline void PutFrequency(const Lanes4 (&value)[kBlockVectors], size_t k2,
                                                        const FrequencyOutput& output)
{
    const size_t k = output.nFirst + output.nStep * k2, nMirror = output.nP - k;
    if (k < output.nOrders)
        PutBlock(value, output.nRings, output.pOrders + 2 * k * output.nStride);
    if (output.bMirrored && nMirror < output.nOrders)
    {
        Lanes4 mirror[kBlockVectors];
        for (size_t v = 0; v < kBlockVectors; ++v)
            mirror[v] = value[v] * kConjugate;
        PutBlock(mirror, output.nRings, output.pOrders + 2 * nMirror * output.nStride);
    }
}

// For one frequency k1 of the short transforms, the block's values Y(n2) (for each n2 < P, from the
// pairs' transforms at k1, pZ, and at -k1, pW) and the twiddles e^(-2 pi i n2 k1 / nP) (pTwiddle, cosine and
// sine): X(k1 + S k2) for k2 < P, scaled by dScale, to output. pParts is room for P - 1 blocks.
LOBARA_FUSED_KERNEL
void PrimeTransform(const double* __restrict pZ, const double* __restrict pW,
                    const double* __restrict pTwiddle, const double* __restrict pTrig, size_t nPrime,
                    double dScale, double* __restrict pParts, const FrequencyOutput& output)
{
    static_assert(kBlockVectors == 4, "a block fills four vectors");
    const size_t nHalf = nPrime / 2;
    // T(0), then A_j = T(j) + T(P - j) and B_j = T(j) - T(P - j); X(k1) = T(0) + sum_j A_j.
    Lanes4 first[kBlockVectors], zero[kBlockVectors];
    LoadSeparated(pZ, pW, first);
    for (size_t v = 0; v < kBlockVectors; ++v)
    {
        first[v] *= dScale;
        zero[v] = first[v];
    }
    for (size_t j = 1; j <= nHalf; ++j)
    {
        const size_t nMirror = nPrime - j;
        Lanes4 t[kBlockVectors], mirror[kBlockVectors];
        LoadSeparated(pZ + j * kPairDoubles, pW + j * kPairDoubles, t);
        LoadSeparated(pZ + nMirror * kPairDoubles, pW + nMirror * kPairDoubles, mirror);
        Twiddle(t, dScale * pTwiddle[2 * j], dScale * pTwiddle[2 * j + 1]);
        Twiddle(mirror, dScale * pTwiddle[2 * nMirror], dScale * pTwiddle[2 * nMirror + 1]);
        StoreParts(t, mirror, j, pParts, zero);
    }
    PutFrequency(zero, 0, output);
    // U = sum_j cos(2 pi j k2 / P) A_j and V = sum_j sin(2 pi j k2 / P) B_j: X(k1 + S k2) = T(0) + U - i V
    // and X(k1 + S (P - k2)) = T(0) + U + i V.
    for (size_t k2 = 1; k2 <= nHalf; ++k2)
    {
        Lanes4 u[kBlockVectors] = {}, w[kBlockVectors] = {}, minus[kBlockVectors], plus[kBlockVectors];
        SumParts(pParts, pTrig + 2 * (k2 - 1) * nHalf, nHalf, u, w);
        CombineSums(first, u, w, minus, plus);
        PutFrequency(minus, k2, output);
        PutFrequency(plus, nPrime - k2, output);
    }
}

// The inverse for one frequency k1 <= S / 2 of the short transforms: from the block's half
// spectrum (pHalf, a block for each k <= nP / 2), X'(k2) = X(k1 + S k2) for k2 < P, and
// Z(n2) = e^(2 pi i n2 k1 / nP) sum over k2 of e^(2 pi i n2 k2 / P) X'(k2) for n2 < P, as the pairs' at
// k1 (pZ) and at -k1 (pW) for each n2. pParts is room for P - 1 blocks.
LOBARA_FUSED_KERNEL
void PrimeInverse(const double* __restrict pHalf, size_t k1, size_t nShort, size_t nP,
                  const double* __restrict pTwiddle, const double* __restrict pTrig, size_t nPrime,
                  double* __restrict pParts, double* __restrict pZ, double* __restrict pW)
{
    const bool bOwnMirror = k1 == 0 || 2 * k1 == nShort;
    const size_t nHalf = nPrime / 2;
    // X(k), or for k above nP / 2 the conjugate of X(nP - k).
    const auto load = [&](size_t k2, Lanes4(&value)[kBlockVectors]) __attribute__((always_inline))
    {
        const size_t k = k1 + nShort * k2;
        if (2 * k <= nP)
            LoadBlock(pHalf + k * kBlockDoubles, value);
        else
        {
            LoadBlock(pHalf + (nP - k) * kBlockDoubles, value);
            for (Lanes4& z : value)
                z *= kConjugate;
        }
    };
    // X'(0), then A_j = X'(j) + X'(P - j) and B_j = X'(j) - X'(P - j); the sum at n2 = 0 is
    // X'(0) + sum_j A_j.
    Lanes4 first[kBlockVectors], zero[kBlockVectors];
    load(0, first);
    for (size_t v = 0; v < kBlockVectors; ++v)
        zero[v] = first[v];
    for (size_t j = 1; j <= nHalf; ++j)
    {
        Lanes4 x[kBlockVectors], mirror[kBlockVectors];
        load(j, x);
        load(nPrime - j, mirror);
        StoreParts(x, mirror, j, pParts, zero);
    }
    StorePaired(zero, bOwnMirror, pZ, pW);
    // U = sum_j cos(2 pi j n2 / P) A_j and V = sum_j sin(2 pi j n2 / P) B_j: the sum is U + i V at n2
    // and U - i V at P - n2, each then turned by its twiddle.
    for (size_t n2 = 1; n2 <= nHalf; ++n2)
    {
        Lanes4 u[kBlockVectors] = {}, w[kBlockVectors] = {}, minus[kBlockVectors], plus[kBlockVectors];
        SumParts(pParts, pTrig + 2 * (n2 - 1) * nHalf, nHalf, u, w);
        CombineSums(first, u, w, minus, plus);
        const size_t nMirror = nPrime - n2;
        Twiddle(plus, pTwiddle[2 * n2], -pTwiddle[2 * n2 + 1]);
        Twiddle(minus, pTwiddle[2 * nMirror], -pTwiddle[2 * nMirror + 1]);
        StorePaired(plus, bOwnMirror, pZ + n2 * kPairDoubles, pW + n2 * kPairDoubles);
        StorePaired(minus, bOwnMirror, pZ + nMirror * kPairDoubles, pW + nMirror * kPairDoubles);
    }
}

}  // namespace

CRingFourier::CRingFourier(int32_t nP, int32_t nOrders, Direction direction) : m_nP(nP), m_nOrders(nOrders)
{
    const int32_t nLargest = LargestPrimeFactor(nP);
    if (nLargest >= kLeastSplitPrime && nLargest <= kMostSplitPrime)
    {
        m_nPrime = nLargest;
        m_nShort = nP / nLargest;
    }
    const Workspace workspace = MakeWorkspace();
    const auto nLanes = static_cast<int>(kLanes);
    const bool bForward = direction == Direction::kForward;
    {
        const std::lock_guard<std::recursive_mutex> lock(FftwPlannerLock());
        const unsigned nFlags = FFTW_ESTIMATE | FFTW_DESTROY_INPUT;
        if (m_nPrime == 1)
        {
            // Whole: the rings to or from the half spectrum, ring by ring.
            const int nHalf = nP / 2 + 1;
            m_plan.reset(bForward
                             ? fftw_plan_many_dft_r2c(1, &m_nP, nLanes, workspace.pRings.get(), nullptr, 1,
                                                      nP, workspace.pHalf.get(), nullptr, 1, nHalf, nFlags)
                             : fftw_plan_many_dft_c2r(1, &m_nP, nLanes, workspace.pHalf.get(), nullptr, 1,
                                                      nHalf, workspace.pRings.get(), nullptr, 1, nP, nFlags));
        }
        else
        {
            // Split: pair p's values n = P n1 + n2 along n1, to or from frequency k1 at
            // pSplit[(k1 * P + n2) * kPairs + p].
            const auto nPairs = static_cast<int>(kPairs);
            auto* pPairs = reinterpret_cast<fftw_complex*>(workspace.pRings.get());
            const fftw_iodim length{m_nShort, m_nPrime, m_nPrime * nPairs};
            const fftw_iodim aMany[2] = {{m_nPrime, 1, nPairs}, {nPairs, nP, 1}};
            const fftw_iodim inverseLength{m_nShort, m_nPrime * nPairs, m_nPrime};
            const fftw_iodim aInverseMany[2] = {{m_nPrime, nPairs, 1}, {nPairs, 1, nP}};
            m_plan.reset(bForward
                             ? fftw_plan_guru_dft(1, &length, 2, aMany, pPairs, workspace.pSplit.get(),
                                                  FFTW_FORWARD, nFlags)
                             : fftw_plan_guru_dft(1, &inverseLength, 2, aInverseMany, workspace.pSplit.get(),
                                                  pPairs, FFTW_BACKWARD, nFlags));
        }
    }
    if (!m_plan)
        throw std::bad_alloc();
    if (m_nPrime == 1)
        return;
    const size_t nFrequencies = static_cast<size_t>(m_nShort) / 2 + 1, nPrime = static_cast<size_t>(m_nPrime);
    m_aTwiddles.resize(2 * nFrequencies * nPrime);
    for (size_t k1 = 0; k1 < nFrequencies; ++k1)
        for (size_t n2 = 0; n2 < nPrime; ++n2)
            PutTurn(static_cast<int64_t>(n2 * k1), nP, &m_aTwiddles[2 * (k1 * nPrime + n2)]);
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

CRingFourier::HalfLayout CRingFourier::Layout() const
{
    return m_nPrime == 1 ? HalfLayout{1, static_cast<size_t>(m_nP) / 2 + 1} : HalfLayout{kLanes, 1};
}

CRingFourier::Workspace CRingFourier::MakeWorkspace() const
{
    const size_t nP = static_cast<size_t>(m_nP);
    return Workspace{AllocateFftwReals(kLanes * nP), AllocateFftwComplexes(kLanes * (nP / 2 + 1)),
                     m_nPrime == 1 ? nullptr : AllocateFftwComplexes(kPairs * nP)};
}

void CRingFourier::Forward(const double* pRings, size_t nCount, double dScale, std::complex<double>* pOrders,
                           size_t nOrderStride, Workspace& workspace) const
{
    const size_t nP = static_cast<size_t>(m_nP), nOrders = static_cast<size_t>(m_nOrders);
    // A block short of rings is filled up with zeros, whose transforms are left unwritten.
    if (m_nPrime == 1)
    {
        std::copy(pRings, pRings + nCount * nP, workspace.pRings.get());
        std::fill(workspace.pRings.get() + nCount * nP, workspace.pRings.get() + kLanes * nP, 0.0);
        fftw_execute_dft_r2c(m_plan.get(), workspace.pRings.get(), workspace.pHalf.get());
        const auto* pHalf = reinterpret_cast<const double*>(workspace.pHalf.get());
        const size_t nHalf = nP / 2 + 1;
        for (size_t m = 0; m < nOrders; ++m)
        {
            alignas(32) double aBlock[kBlockDoubles];
            for (size_t r = 0; r < kLanes; ++r)
            {
                aBlock[2 * r] = dScale * pHalf[2 * (r * nHalf + m)];
                aBlock[2 * r + 1] = dScale * pHalf[2 * (r * nHalf + m) + 1];
            }
            Lanes4 value[kBlockVectors];
            LoadBlock(aBlock, value);
            PutBlock(value, nCount, reinterpret_cast<double*>(pOrders + m * nOrderStride));
        }
        FinishStreaming();
        return;
    }
    for (size_t p = 0; p < kPairs; ++p)
    {
        double* pPair = workspace.pRings.get() + 2 * p * nP;
        const size_t nEven = 2 * p, nOdd = 2 * p + 1;
        if (nOdd < nCount)
        {
            const double *pEven = pRings + nEven * nP, *pOdd = pRings + nOdd * nP;
            for (size_t n = 0; n < nP; ++n)
            {
                pPair[2 * n] = pEven[n];
                pPair[2 * n + 1] = pOdd[n];
            }
        }
        else
            for (size_t n = 0; n < nP; ++n)
            {
                pPair[2 * n] = nEven < nCount ? pRings[nEven * nP + n] : 0.0;
                pPair[2 * n + 1] = 0.0;
            }
    }
    auto* pPairs = reinterpret_cast<fftw_complex*>(workspace.pRings.get());
    fftw_execute_dft(m_plan.get(), pPairs, workspace.pSplit.get());
    // X(k1 + S k2) = sum over n2 of e^(-2 pi i n2 k2 / P) T(n2), where T(n2) = e^(-2 pi i n2 k1 / nP)
    // Y(n2, k1) and Y(n2, .) is the short transform of the values P n1 + n2. Frequencies k1 above
    // S / 2 are those of nP - k, the conjugates.
    const size_t nPrime = static_cast<size_t>(m_nPrime), nShort = static_cast<size_t>(m_nShort);
    alignas(32) double aParts[2 * (kMostSplitPrime / 2) * kBlockDoubles];
    const auto* pSplit = reinterpret_cast<const double*>(workspace.pSplit.get());
    for (size_t k1 = 0; k1 <= nShort / 2; ++k1)
    {
        const FrequencyOutput output{
            reinterpret_cast<double*>(pOrders), nOrderStride, nCount, k1, nShort, nP, nOrders,
            k1 != 0 && 2 * k1 != nShort};
        PrimeTransform(pSplit + k1 * nPrime * kPairDoubles,
                       pSplit + (nShort - k1) % nShort * nPrime * kPairDoubles, &m_aTwiddles[2 * k1 * nPrime],
                       m_aPrimeTrig.data(), nPrime, dScale, aParts, output);
    }
    FinishStreaming();
}

void CRingFourier::Inverse(size_t nCount, double* pFirstRing, ptrdiff_t nRingStep, Workspace& workspace) const
{
    const size_t nP = static_cast<size_t>(m_nP);
    if (m_nPrime == 1)
        fftw_execute_dft_c2r(m_plan.get(), workspace.pHalf.get(), workspace.pRings.get());
    else
    {
        // x(P n1 + n2) = sum over k1 < S of e^(2 pi i n1 k1 / S) Z(k1, n2), Z(S - k1, .) the conjugate
        // of Z(k1, .): the short transforms back from the frequencies k1 <= S / 2.
        const size_t nPrime = static_cast<size_t>(m_nPrime), nShort = static_cast<size_t>(m_nShort);
        alignas(32) double aParts[2 * (kMostSplitPrime / 2) * kBlockDoubles];
        const auto* pHalf = reinterpret_cast<const double*>(workspace.pHalf.get());
        auto* pSplit = reinterpret_cast<double*>(workspace.pSplit.get());
        for (size_t k1 = 0; k1 <= nShort / 2; ++k1)
            PrimeInverse(pHalf, k1, nShort, nP, &m_aTwiddles[2 * k1 * nPrime], m_aPrimeTrig.data(), nPrime,
                         aParts, pSplit + k1 * nPrime * kPairDoubles,
                         pSplit + (nShort - k1) % nShort * nPrime * kPairDoubles);
        fftw_execute_dft(m_plan.get(), workspace.pSplit.get(),
                         reinterpret_cast<fftw_complex*>(workspace.pRings.get()));
    }
    // The whole transform's rings one after another, the split's as the real and imaginary parts of pairs.
    for (size_t r = 0; r < nCount; ++r)
    {
        double* pRing = pFirstRing + static_cast<ptrdiff_t>(r) * nRingStep;
        if (m_nPrime == 1)
            StreamValues(workspace.pRings.get() + r * nP, 1, nP, pRing);
        else
            StreamValues(workspace.pRings.get() + 2 * (r / 2) * nP + r % 2, 2, nP, pRing);
    }
    FinishStreaming();
}
