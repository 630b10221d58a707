// The Legendre recurrences' kernels (see NormalizedLegendre and legendre_kernels.h), compiled once
// for each instruction set with vectors of LOBARA_KERNEL_LANES doubles. Everything but the table at
// the end has internal linkage and no template of the standard library is instantiated, so that no
// copy's code can stand in for another's.
#include "sht/legendre_kernels.h"

#include <cmath>
#include <cstring>

#include "sht/legendre_scaling.h"

namespace {

constexpr int W = LOBARA_KERNEL_LANES;
// W doubles side by side, one vector register; and as many 64-bit integers, the lanes a comparison
// picks.
typedef double Vec __attribute__((vector_size(8 * W)));
typedef int64_t Mask __attribute__((vector_size(8 * W)));

// Vectors of lanes the sums and the adjoint run side by side. In the sums each vector carries seven
// running values (s, q, d and four sums) beside the step's seven coefficients: three vectors fill
// AVX-512's thirty-two registers, two AVX2's sixteen. The adjoint's values of each lane are read from
// memory as the products need them, so four fit, whose steps overlap enough to hide each step's two
// multiply-adds waiting for each other.
constexpr int kSumVectors = W == 8 ? 3 : 2;
constexpr int kAdjointVectors = 4;

using namespace legendre_scaling;

constexpr int Least(int a, int b)
{
    return a < b ? a : b;
}

__attribute__((always_inline)) inline Vec Broadcast(double x)
{
    Vec v;
    for (int b = 0; b < W; ++b)
        v[b] = x;
    return v;
}

__attribute__((always_inline)) inline void Load(const double* p, Vec& v)
{
    std::memcpy(&v, p, sizeof v);
}

__attribute__((always_inline)) inline void Store(const Vec& v, double* p)
{
    std::memcpy(p, &v, sizeof v);
}

// Whether any lane of a comparison's mask is set: the halves folded together in the vector, so that
// one lane is read out (read lane by lane, with the spills around them, the checks took a twentieth
// of the sums).
__attribute__((always_inline)) inline bool AnyLane(Mask mask)
{
#if LOBARA_KERNEL_LANES == 8
    mask |= __builtin_shufflevector(mask, mask, 4, 5, 6, 7, 0, 1, 2, 3);
    mask |= __builtin_shufflevector(mask, mask, 2, 3, 0, 1, 6, 7, 4, 5);
    mask |= __builtin_shufflevector(mask, mask, 1, 0, 3, 2, 5, 4, 7, 6);
#elif LOBARA_KERNEL_LANES == 4
    mask |= __builtin_shufflevector(mask, mask, 2, 3, 0, 1);
    mask |= __builtin_shufflevector(mask, mask, 1, 0, 3, 2);
#elif LOBARA_KERNEL_LANES == 2
    mask |= __builtin_shufflevector(mask, mask, 1, 0);
#else
#error "vectors of 2, 4 or 8 doubles"
#endif
    return mask[0] != 0;
}

// Numbers in (0, 2^-256) lifted into [2^-256, 1] by factors 2^256, each counted in the exponent:
// one for a product of two numbers in [2^-256, 1]; four for any double.
__attribute__((always_inline)) inline void Lift(Vec& d, Mask& exponent)
{
    const Mask bLift = (d > 0.0) & (d < Broadcast(kSmall));
    d = bLift ? d * kLift : d;
    exponent -= bLift & kLiftBits;
}

// dFactor * u^n as q * 2^(kChunkBits * nChunks), 0 <= q < 2^kChunkBits, for V vectors of points
// with 0 <= pU[b] <= 1 and 2^-256 <= dFactor <= 1, by binary powering with every product lifted back
// into range. All lanes share n, so the vectors run in step, so that their chains of products
// overlap. Products alone, so that every copy has the same bits.
template <int V>
__attribute__((always_inline)) inline void ScaledPowers(const double* pU, int64_t n, double dFactor,
                                                        double* __restrict pQ, int64_t* __restrict pChunks)
{
    Vec square[V], result[V];
    for (int g = 0; g < V; ++g)
    {
        Load(pU + W * g, square[g]);
        result[g] = Broadcast(dFactor);
    }
    // Where the power keeps to [2^-256, 1], nothing is ever lifted (the squares and the partial
    // products lie between it and 1), so that plain powering gives the same bits. That is so for
    // the lanes near the equator, about a third of them, at two multiplies a bit instead of about
    // seven.
    {
        Vec plainSquare[V], plain[V];
        for (int g = 0; g < V; ++g)
        {
            plainSquare[g] = square[g];
            plain[g] = result[g];
        }
        for (int64_t nLeft = n; nLeft > 0; nLeft >>= 1)
        {
            if ((nLeft & 1) != 0)
                for (int g = 0; g < V; ++g)
                    plain[g] *= plainSquare[g];
            if (nLeft > 1)
                for (int g = 0; g < V; ++g)
                    plainSquare[g] *= plainSquare[g];
        }
        Mask bBelow = plain[0] < Broadcast(kSmall);
        for (int g = 1; g < V; ++g)
            bBelow |= plain[g] < Broadcast(kSmall);
        if (!AnyLane(bBelow))
        {
            for (int g = 0; g < V; ++g)
                Store(plain[g], pQ + W * g);
            std::memset(pChunks, 0, sizeof(int64_t) * V * W);
            return;
        }
    }
    // u^(2^j) = square * 2^squareExponent; the result alike.
    Mask squareExponent[V] = {}, exponent[V] = {};
    for (int g = 0; g < V; ++g)
        for (int i = 0; i < 4; ++i)
            Lift(square[g], squareExponent[g]);
    for (int64_t nLeft = n; nLeft > 0; nLeft >>= 1)
    {
        if ((nLeft & 1) != 0)
            for (int g = 0; g < V; ++g)
            {
                result[g] *= square[g];
                exponent[g] += squareExponent[g];
                Lift(result[g], exponent[g]);
            }
        if (nLeft > 1)
            for (int g = 0; g < V; ++g)
            {
                square[g] *= square[g];
                squareExponent[g] += squareExponent[g];
                Lift(square[g], squareExponent[g]);
            }
    }
    // exponent = kChunkBits * nChunks + nRemainder with 0 <= nRemainder < kChunkBits, and
    // result * 2^nRemainder exact (both normal doubles) by the bits of 2^nRemainder.
    static_assert(kChunkBits == 512, "the split below shifts by log2(kChunkBits)");
    for (int g = 0; g < V; ++g)
    {
        const Mask chunks = exponent[g] >> 9;
        const Mask powerBits = ((exponent[g] & (kChunkBits - 1)) + 1023) << 52;
        Vec power;
        std::memcpy(&power, &powerBits, sizeof power);
        std::memcpy(pChunks + W * g, &chunks, sizeof chunks);
        Store(result[g] * power, pQ + W * g);
    }
}

void StartValues(const double* pU, int64_t n, double dFactor, double* pQ, int64_t* pChunks)
{
    static_assert(kStartLanes % W == 0, "whole vectors of points");
    ScaledPowers<kStartLanes / W>(pU, n, dFactor, pQ, pChunks);
}

// The lanes of q with |q| >= 2^kChunkBits.
__attribute__((always_inline)) inline Mask PastChunk(const Vec& q)
{
    const Vec chunk = Broadcast(kChunk);
    return (q >= chunk) | (-q >= chunk);
}

// Whether any lane of K vectors has |q| >= 2^kChunkBits.
template <int K>
__attribute__((always_inline)) inline bool AnyPastChunk(const Vec (&q)[K])
{
    Mask past = PastChunk(q[0]);
    for (int j = 1; j < K; ++j)
        past |= PastChunk(q[j]);
    return AnyLane(past);
}

// A vector's counts of chunks at pChunks, those of the lanes in past raised by one.
__attribute__((always_inline)) inline Mask RaiseChunks(int64_t* pChunks, const Mask& past)
{
    Mask chunks;
    std::memcpy(&chunks, pChunks, sizeof chunks);
    chunks -= past;  // a set lane is -1
    std::memcpy(pChunks, &chunks, sizeof chunks);
    return chunks;
}

// The factors that scale lanes' contributions back from their q, by their counts of chunks: a lane
// one chunk down adds 2^-kChunkBits of its products, two or more down nothing a double could hold
// beside the sums of lanes in range.
__attribute__((always_inline)) inline Vec ChunkFactors(const Mask& chunks)
{
    return chunks == 0 ? Broadcast(1.0) : chunks == -1 ? Broadcast(kInverseChunk) : Broadcast(0.0);
}

// The three recurrences the sums run (see LegendreRecurrence): the paired one in its difference
// form, one step an iteration on s = -u^2, D_k = (A s + G) Q_(k-1) + D_(k-1), then Q_k = B Q_(k-1) + D_k;
// the paired one plain, one step an iteration on s, Q_k = (a s + b) Q_(k-1) - Q_(k-2); and the per-degree
// one, two steps an iteration on t = x - 1, Q_k = (A'_k t + A'_k) Q_(k-1) - Q_(k-2): the multiply-add
// makes A'_k x from t as it is, to one rounding (x itself would round t). Each of the plain ones waits
// for one multiply-add of the step before.
constexpr bool IsPaired(LegendreRecurrence r)
{
    return r != LegendreRecurrence::kDegree;
}

template <LegendreRecurrence R>
constexpr int StepsPerIteration()
{
    return IsPaired(R) ? 1 : 2;
}

template <LegendreRecurrence R>
constexpr int StepSize()
{
    return R == LegendreRecurrence::kPaired ? 3 : 2;
}

// The recurrence for K vectors of lanes from their first Q, in iterations of S steps, handing each
// new Q to take(k, i) after step i of iteration k (k from 1; for an odd number of per-degree steps
// the last one alone is iteration nSteps / S + 1, step 0). Every kStepsPerCheck steps the lanes that
// have grown past 2^kChunkBits are scaled down, vector j's handed to rescale(j, past) as the mask
// past to scale what they carry: whole vectors, which stay in registers. The lanes
// carry s (as the recurrence takes it), Q_(k-1) in q and D_(k-1) in d, or for the per-degree
// recurrence Q_(k-2) in d.
//
// While quiet(q, d) says that every lane's last two values lie below kQuiet (see Quiet), whole
// checks' worth of steps run without handing their Q to take, as long as they end so too (the
// functions grow with the degree until they are far above it, so that every value between was
// below it as well); a block that does not is run again from its start with them: returns how many
// leading iterations were left out.
template <int K, LegendreRecurrence R, typename Take, typename Rescale, typename Quiet>
__attribute__((always_inline)) inline size_t RunIterations(const double* __restrict pStep, size_t nSteps,
                                                           const Vec (&s)[K], Vec (&q)[K], Vec (&d)[K],
                                                           const Take& take, const Rescale& rescale,
                                                           const Quiet& quiet)
{
    constexpr int S = StepsPerIteration<R>();
    constexpr size_t Z = StepSize<R>();
    const auto step = [&](const double* p) __attribute__((always_inline))
    {
        if constexpr (R == LegendreRecurrence::kPaired)
        {
            for (int j = 0; j < K; ++j)
            {
                d[j] = (p[0] * s[j] + p[1]) * q[j] + d[j];
                q[j] = p[2] * q[j] + d[j];
            }
        }
        else
            for (int j = 0; j < K; ++j)
            {
                const Vec next = (p[0] * s[j] + p[R == LegendreRecurrence::kPlain ? 1 : 0]) * q[j] - d[j];
                d[j] = q[j];
                q[j] = next;
            }
    };
    // Values in range never reach 2^kChunkBits, so only scaled lanes are ever rescaled.
    const auto check = [&]() __attribute__((always_inline))
    {
        if (!AnyPastChunk(q))
            return;
        for (int j = 0; j < K; ++j)
        {
            const Mask past = PastChunk(q[j]);
            q[j] = past ? q[j] * kInverseChunk : q[j];
            d[j] = past ? d[j] * kInverseChunk : d[j];
            rescale(j, past);
        }
    };
    static_assert(kStepsPerCheck % S == 0, "whole steps between the checks");
    constexpr size_t kBlock = kStepsPerCheck / S;
    const size_t nIterations = nSteps / S;
    size_t nBlock = 0;
    while (nBlock + kBlock <= nIterations && quiet(q, d))
    {
        alignas(64) double aStart[2 * K * W];
        for (int j = 0; j < K; ++j)
        {
            Store(q[j], aStart + W * j);
            Store(d[j], aStart + W * (K + j));
        }
        for (size_t n = 0; n < kStepsPerCheck; ++n)
            step(pStep + Z * (S * nBlock + n));
        if (!quiet(q, d))
        {
            for (int j = 0; j < K; ++j)
            {
                Load(aStart + W * j, q[j]);
                Load(aStart + W * (K + j), d[j]);
            }
            break;
        }
        check();
        nBlock += kBlock;
    }
    const size_t nSilent = nBlock;
    for (; nBlock < nIterations; nBlock += kBlock)
    {
        const size_t nEnd = nIterations < nBlock + kBlock ? nIterations : nBlock + kBlock;
        for (size_t k = nBlock; k < nEnd; ++k)
            for (int i = 0; i < S; ++i)
            {
                step(pStep + Z * (S * k + static_cast<size_t>(i)));
                take(k + 1, i);
            }
        check();
    }
    if (nSteps % S != 0)
    {
        step(pStep + Z * (nSteps - 1));
        take(nIterations + 1, 0);
    }
    return nSilent;
}

// A recurrence's table of steps.
inline const double* StepsOf(const LegendreTables& tables, LegendreRecurrence r)
{
    return r == LegendreRecurrence::kPaired  ? tables.pPairSteps
           : r == LegendreRecurrence::kPlain ? tables.pPlainSteps
                                             : tables.pSteps;
}

// A lane's s for the recurrence from its t = x - 1 and u.
inline double LaneInput(LegendreRecurrence r, double t, double u)
{
    return IsPaired(r) ? -u * u : t;
}

// The leading lanes of a pass that started at 0 (a pole, for m > 0) or stayed two chunks down or
// more (the scaled q below 2^-512) at every step (the count of chunks only grows): those whose sums
// are 0 or nearly and whose adjoint adds 0.
int32_t VanishedLanes(const double* pStart, const int64_t* pChunks, int32_t nFrom, int32_t nCount)
{
    int32_t n = nFrom;
    while (n < nCount && (pStart[n] == 0.0 || pChunks[n] <= -2))
        ++n;
    return n;
}

// The lanes of a pass in use (b from nFirst to nCount), as 1 and the others 0.
template <int K>
__attribute__((always_inline)) inline void UsedLanes(int32_t nFirst, int32_t nCount, Vec (&used)[K])
{
    alignas(64) double aUsed[K * W];
    for (int b = 0; b < K * W; ++b)
        aUsed[b] = b >= nFirst && b < nCount ? 1.0 : 0.0;
    for (int j = 0; j < K; ++j)
        Load(aUsed + W * j, used[j]);
}

// Whether every lane in use has its values q and d, scaled back by its chunks (at pChunks), below
// kQuiet: those two chunks down or more count as 0.
// As Pbar_k, or its even and odd degrees in the paired recurrences, such values are at most 2^16
// times as large (the scales of the recurrences' Q), so below 2^-80 (1e-24). A sum's first terms,
// where the functions rise from far below the range, are thus left out, a tenth of the terms at
// degree 2048 on HEALPix rings.
template <int K>
__attribute__((always_inline)) inline bool Quiet(const Vec (&q)[K], const Vec (&d)[K], const int64_t* pChunks,
                                                 const Vec (&used)[K])
{
    const Vec quiet = Broadcast(kQuiet);
    Mask loud = {};
    for (int j = 0; j < K; ++j)
    {
        Mask chunks;
        std::memcpy(&chunks, pChunks + W * j, sizeof chunks);
        const Vec f = ChunkFactors(chunks) * used[j];
        const Vec a = q[j] * f, b = d[j] * f;
        loud |= (a >= quiet) | (-a >= quiet) | (b >= quiet) | (-b >= quiet);
    }
    return !AnyLane(loud);
}

// The leading lanes of the passes in turn, as long as every lane before them vanished.
struct LeadingLanes
{
    int32_t nCount = 0;
    bool bAll = true;

    void Add(int32_t nVanished, int32_t nPass)
    {
        if (!bAll)
            return;
        nCount += nVanished;
        bAll = nVanished == nPass;
    }
};

// The lanes' sums scaled back from their chunks, one chunk down (the most common) by the product;
// two or more down, where the lane vanished, 0, as when the lane is left out.
inline double Unscaled(double dSum, int64_t nChunks)
{
    return nChunks == 0 ? dSum : nChunks == -1 ? dSum * kInverseChunk : 0.0;
}

// The sums for K vectors of points (up to W K of them, nCount): the whole recurrence, each new Q
// adding to the lane's four sums (even cosine and sine, odd cosine and sine) four weights times it
// (four to an iteration): the paired recurrence's R_k into all four, the per-degree one's odd degree,
// then its even one. A lane scaled down takes its sums with it and counts a chunk. Lanes past nCount
// run on a harmless point (x = 0) and are dropped. Returns the leading points that vanished.
template <int K, LegendreRecurrence R>
int32_t SumPass(const LegendreTables& tables, const double* pT, const double* pU, int32_t nCount,
                const double* __restrict pWeights, double* __restrict pSums)
{
    constexpr int N = W * K, S = StepsPerIteration<R>();
    alignas(64) double aS[N], aU[N], aQ[N];
    int64_t aChunks[N];
    for (int b = 0; b < N; ++b)
    {
        const bool bUsed = b < nCount;
        aU[b] = bUsed ? pU[b] : 1.0;
        aS[b] = LaneInput(R, bUsed ? pT[b] : -1.0, aU[b]);
    }
    ScaledPowers<K>(aU, tables.nOrder, IsPaired(R) ? tables.dPairStart : tables.dStart, aQ, aChunks);

    Vec s[K], q[K], d[K], ec[K], es[K], oc[K], os[K];
    for (int j = 0; j < K; ++j)
    {
        Load(aS + W * j, s[j]);
        Load(aQ + W * j, q[j]);
        d[j] = Vec{};
        ec[j] = pWeights[0] * q[j];
        es[j] = pWeights[1] * q[j];
        oc[j] = pWeights[2] * q[j];
        os[j] = pWeights[3] * q[j];
    }
    const double* pStepWeights = pWeights + 4;
    const auto add = [&](Vec(&aSums)[K], double w) __attribute__((always_inline))
    {
        for (int j = 0; j < K; ++j)
            aSums[j] += w * q[j];
    };
    const auto take = [&](size_t k, int i) __attribute__((always_inline))
    {
        const double* w = pStepWeights + 4 * (k - 1);
        if (S == 1 || i == 1)
        {
            add(ec, w[2 * (S - 1)]);
            add(es, w[2 * (S - 1) + 1]);
        }
        if (S == 1 || i == 0)
        {
            add(oc, w[2 * (2 - S)]);
            add(os, w[2 * (2 - S) + 1]);
        }
    };
    // What a lane adds while two chunks down or more is dropped as it rises to one chunk down (nothing a
    // double holds beside it), so that whether it was added does not matter.
    const auto rescale = [&](int j, const Mask& past) __attribute__((always_inline))
    {
        const Mask chunks = RaiseChunks(aChunks + W * j, past);
        const Vec factor = past ? (chunks == -1 ? Broadcast(0.0) : Broadcast(kInverseChunk)) : Broadcast(1.0);
        ec[j] *= factor;
        es[j] *= factor;
        oc[j] *= factor;
        os[j] *= factor;
    };
    Vec used[K];
    UsedLanes<K>(0, nCount, used);
    const auto quiet = [&](const Vec(&qNow)[K], const Vec(&dNow)[K]) __attribute__((always_inline))
    {
        return Quiet<K>(qNow, dNow, aChunks, used);
    };
    const size_t nSteps = IsPaired(R) ? tables.nPairSteps : tables.nSteps;
    RunIterations<K, R>(StepsOf(tables, R), nSteps, s, q, d, take, rescale, quiet);

    for (int b = 0; b < nCount; ++b)
    {
        // The paired recurrence's odd degrees are x R_k.
        const double dOdd = IsPaired(R) ? 1.0 + pT[b] : 1.0;
        const int j = b / W, i = b % W;
        pSums[4 * b] = Unscaled(ec[j][i], aChunks[b]);
        pSums[4 * b + 1] = dOdd * Unscaled(oc[j][i], aChunks[b]);
        pSums[4 * b + 2] = Unscaled(es[j][i], aChunks[b]);
        pSums[4 * b + 3] = dOdd * Unscaled(os[j][i], aChunks[b]);
    }
    return VanishedLanes(aQ, aChunks, 0, nCount);
}

// A number of vectors and a recurrence as types' constants, for the passes' templates.
template <int K>
struct Vectors
{
    static constexpr int value = K;
};

template <LegendreRecurrence R>
struct Recurrence
{
    static constexpr LegendreRecurrence value = R;
};

// The points in passes of up to kVectors vectors, each of as many vectors as its points fill; pass(k,
// nFirst, nPass) runs the k vectors of points from nFirst, nPass of them. Returns the leading points
// that vanished.
template <int kVectors, typename Pass>
int32_t RunPasses(int32_t nCount, const Pass& pass)
{
    LeadingLanes vanished;
    for (int32_t i = 0; i < nCount; i += W * kVectors)
    {
        const int32_t nPass = Least(W * kVectors, nCount - i);
        const int nVectors = (nPass + W - 1) / W;
        int32_t nVanished = 0;
        switch (nVectors)
        {
            case 1:
                nVanished = pass(Vectors<1>{}, i, nPass);
                break;
            case 2:
                nVanished = pass(Vectors<Least(2, kVectors)>{}, i, nPass);
                break;
            case 3:
                nVanished = pass(Vectors<Least(3, kVectors)>{}, i, nPass);
                break;
            default:
                nVanished = pass(Vectors<kVectors>{}, i, nPass);
                break;
        }
        vanished.Add(nVanished, nPass);
    }
    return vanished.nCount;
}

int32_t SumRows(const LegendreTables& tables, LegendreRecurrence r, const double* pT, const double* pU,
                int32_t nCount, const double* pWeights, double* pSums)
{
    return RunPasses<kSumVectors>(nCount, [&](auto k, int32_t i, int32_t nPass) {
        constexpr int K = decltype(k)::value;
        const double* pPassT = pT + i;
        const double* pPassU = pU + i;
        double* pPassSums = pSums + 4 * i;
        switch (r)
        {
            case LegendreRecurrence::kPaired:
                return SumPass<K, LegendreRecurrence::kPaired>(tables, pPassT, pPassU, nPass, pWeights,
                                                               pPassSums);
            case LegendreRecurrence::kPlain:
                return SumPass<K, LegendreRecurrence::kPlain>(tables, pPassT, pPassU, nPass, pWeights,
                                                              pPassSums);
            case LegendreRecurrence::kDegree:
                break;
        }
        return SumPass<K, LegendreRecurrence::kDegree>(tables, pPassT, pPassU, nPass, pWeights, pPassSums);
    });
}

// The products of the lanes' values and q added into the W partial sums of the cosine,
// pFold[0 .. W), and of the sine, pFold[W .. 2 W): lane b into partial sum b mod W, the vectors in
// turn, so that each partial sum takes its points in their order. Where bFirst, they are the
// first, written over whatever the partial sums held.
template <int K, bool bFirst>
__attribute__((always_inline)) inline void FoldProducts(const Vec (&aCos)[K], const Vec (&aSin)[K],
                                                        const Vec (&q)[K], double* __restrict pFold)
{
    Vec c = Vec{}, s = Vec{};
    if constexpr (!bFirst)
    {
        Load(pFold, c);
        Load(pFold + W, s);
    }
    for (int j = 0; j < K; ++j)
    {
        c += aCos[j] * q[j];
        s += aSin[j] * q[j];
    }
    Store(c, pFold);
    Store(s, pFold + W);
}

// The adjoint of SumPass: the same recurrence for K vectors of points, each Q of each lane times the
// lane's four values (the paired recurrence's odd ones taken times x) folded into 4 W partial sums
// for each iteration from pFolded, in the order of the weights of SumPass: the first Q's even and odd
// sums (for the per-degree recurrence the odd ones left alone), then each iteration's. A lane scaled
// down takes a chunk's factor more on its values. Lanes past nCount run on a harmless point with
// values 0. The first pass of points (bFirst) writes the partial sums, 0 where it adds nothing,
// which those after it add to.
template <int K, LegendreRecurrence R, bool bFirst>
int32_t AdjointPass(const LegendreTables& tables, const double* pT, const double* pU, int32_t nCount,
                    int32_t nZero, const double* __restrict pValues, double* __restrict pFolded)
{
    constexpr int N = W * K, S = StepsPerIteration<R>();
    alignas(64) double aS[N], aU[N], aQ[N], aFactor[N], aParts[4][N];
    int64_t aChunks[N];
    for (int b = 0; b < N; ++b)
    {
        const bool bUsed = b >= nZero && b < nCount;
        aU[b] = bUsed ? pU[b] : 1.0;
        aS[b] = LaneInput(R, bUsed ? pT[b] : -1.0, aU[b]);
        const double dOdd = bUsed ? (IsPaired(R) ? 1.0 + pT[b] : 1.0) : 0.0;
        aParts[0][b] = bUsed ? pValues[4 * b] : 0.0;
        aParts[1][b] = bUsed ? pValues[4 * b + 2] : 0.0;
        aParts[2][b] = dOdd * (bUsed ? pValues[4 * b + 1] : 0.0);
        aParts[3][b] = dOdd * (bUsed ? pValues[4 * b + 3] : 0.0);
    }
    ScaledPowers<K>(aU, tables.nOrder, IsPaired(R) ? tables.dPairStart : tables.dStart, aQ, aChunks);
    for (int j = 0; j < K; ++j)
    {
        Mask chunks;
        std::memcpy(&chunks, aChunks + W * j, sizeof chunks);
        Store(ChunkFactors(chunks), aFactor + W * j);
    }

    Vec s[K], q[K], d[K], ec[K], es[K], oc[K], os[K];
    const auto scaleValues = [&](int j) __attribute__((always_inline))
    {
        Vec f;
        Load(aFactor + W * j, f);
        const auto scaled = [&](const double* pLaneValues, Vec& v) {
            Load(pLaneValues, v);
            v *= f;
        };
        scaled(aParts[0] + W * j, ec[j]);
        scaled(aParts[1] + W * j, es[j]);
        scaled(aParts[2] + W * j, oc[j]);
        scaled(aParts[3] + W * j, os[j]);
    };
    for (int j = 0; j < K; ++j)
    {
        Load(aS + W * j, s[j]);
        Load(aQ + W * j, q[j]);
        d[j] = Vec{};
        scaleValues(j);
    }
    Vec used[K];
    UsedLanes<K>(nZero, nCount, used);
    const auto quiet = [&](const Vec(&qNow)[K], const Vec(&dNow)[K]) __attribute__((always_inline))
    {
        return Quiet<K>(qNow, dNow, aChunks, used);
    };
    if (!quiet(q, d))
    {
        FoldProducts<K, bFirst>(ec, es, q, pFolded);
        if constexpr (S == 1)
            FoldProducts<K, bFirst>(oc, os, q, pFolded + 2 * W);
    }
    else if constexpr (bFirst)
        std::memset(pFolded, 0, sizeof(double) * 4 * W);
    const auto take = [&](size_t k, int i) __attribute__((always_inline))
    {
        double* pFold = pFolded + 4 * W * k;
        if (S == 1 || i == 1)
            FoldProducts<K, bFirst>(ec, es, q, pFold + 2 * W * (S - 1));
        if (S == 1 || i == 0)
            FoldProducts<K, bFirst>(oc, os, q, pFold + 2 * W * (2 - S));
    };
    const auto rescale = [&](int j, const Mask& past) __attribute__((always_inline))
    {
        Store(ChunkFactors(RaiseChunks(aChunks + W * j, past)), aFactor + W * j);
        scaleValues(j);
    };
    const size_t nSteps = IsPaired(R) ? tables.nPairSteps : tables.nSteps;
    const size_t nSilent = RunIterations<K, R>(StepsOf(tables, R), nSteps, s, q, d, take, rescale, quiet);
    if constexpr (bFirst)
        std::memset(pFolded + 4 * W, 0, sizeof(double) * 4 * W * nSilent);
    return VanishedLanes(aQ, aChunks, nZero < nCount ? nZero : nCount, nCount);
}

int32_t AccumulateRows(const LegendreTables& tables, LegendreRecurrence r, const double* pT, const double* pU,
                       int32_t nCount, int32_t nZero, const double* pValues, double* pFolded)
{
    return RunPasses<kAdjointVectors>(nCount, [&](auto k, int32_t i, int32_t nPass) {
        constexpr int K = decltype(k)::value;
        const int32_t nPassZero = nZero > i ? nZero - i : 0;
        const double* pPassT = pT + i;
        const double* pPassU = pU + i;
        const double* pPassValues = pValues + 4 * i;
        const auto pass = [&](auto recurrence) {
            constexpr LegendreRecurrence R = decltype(recurrence)::value;
            return i == 0 ? AdjointPass<K, R, true>(tables, pPassT, pPassU, nPass, nPassZero, pPassValues,
                                                    pFolded)
                          : AdjointPass<K, R, false>(tables, pPassT, pPassU, nPass, nPassZero, pPassValues,
                                                     pFolded);
        };
        switch (r)
        {
            case LegendreRecurrence::kPaired:
                return pass(Recurrence<LegendreRecurrence::kPaired>{});
            case LegendreRecurrence::kPlain:
                return pass(Recurrence<LegendreRecurrence::kPlain>{});
            case LegendreRecurrence::kDegree:
                break;
        }
        return pass(Recurrence<LegendreRecurrence::kDegree>{});
    });
}

}  // namespace

namespace LOBARA_KERNEL_NAMESPACE {
extern const LegendreKernels kLegendreKernels;
const LegendreKernels kLegendreKernels = {W, StartValues, SumRows, AccumulateRows};
}  // namespace LOBARA_KERNEL_NAMESPACE
