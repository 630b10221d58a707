#include "sht/normalized_legendre.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <type_traits>

#include "infra/vector_kernel.h"
#include "sht/build_limits.h"

namespace {

constexpr int kLanes = NormalizedLegendre::kLanes;
constexpr int kSumLanes = NormalizedLegendre::kSumLanes;

// Values too small for a double are carried as q * 2^(kChunkBits * nChunks), nChunks < 0.
// q is rescaled once it passes 2^kChunkBits, checked every kStepsPerCheck steps: one step
// multiplies by less than 2^17 (by at most alpha_k + beta_k <= sqrt(2 |m| + 1) + 1 in the plain
// form, about four times that in the scaled form of the sums), so in between q grows by less
// than 2^272 and stays far below overflow.
constexpr int kChunkBits = 512;
constexpr int kStepsPerCheck = 16;
const double kChunk = std::ldexp(1.0, kChunkBits);
const double kInverseChunk = std::ldexp(1.0, -kChunkBits);

// Products of numbers in [2^-256, 1] are lifted back into that range, exactly, by 2^256.
constexpr int kLiftBits = 256;
const double kSmall = std::ldexp(1.0, -kLiftBits);
const double kLift = std::ldexp(1.0, kLiftBits);

// nSteps steps of the recurrence for kLanes points at once: lane b holds t = |x| - 1, q_(k-1)
// and d_(k-1).
LOBARA_VECTOR_KERNEL
void RunSteps(const double* __restrict pStep, size_t nSteps, const double* __restrict t, double* __restrict q,
              double* __restrict d)
{
    for (size_t k = 0; k < nSteps; ++k, pStep += 3)
    {
        const double dAlpha = pStep[0];
        const double dBeta = pStep[1];
        const double dGamma = pStep[2];
        for (int b = 0; b < kLanes; ++b)
        {
            d[b] = (dAlpha * t[b] + dGamma) * q[b] + dBeta * d[b];
            q[b] = q[b] + d[b];
        }
    }
}

// Four lanes side by side, written out as vectors so that a group's lanes stay in registers
// across the steps: one AVX2 register, or two of the baseline's. In the sums, each vector of lanes
// carries six running vectors (q, d and four sums). With the steps' coefficients, two such vectors
// fill AVX2's sixteen registers; four spilled to the stack at every step and took half as long
// again. But two leave each step waiting on the one before (its two multiply-adds in turn), and
// AVX-512's thirty-two registers hold four, which makes the whole synthesis a tenth faster. The
// lanes do not mix, so the sums have the same bits either way. The adjoint's values stay as they
// are, so they are read from memory as the products need them, and four vectors fit: each step's
// two multiply-adds wait for each other (eight cycles), which two vectors could not hide; four take
// a tenth less time for the whole analysis.
constexpr int kSumVectors = 2, kWideSumVectors = 4;
constexpr int kAdjointVectors = 4;

__attribute__((always_inline)) inline void LoadLanes(const double* p, Lanes4& v)
{
    std::memcpy(&v, p, sizeof v);
}

__attribute__((always_inline)) inline void StoreLanes(const Lanes4& v, double* p)
{
    std::memcpy(p, &v, sizeof v);
}

// kSmall in every lane.
const Lanes4 kSmallLanes = {kSmall, kSmall, kSmall, kSmall};

// Binary exponents beside four lanes' values, and the lanes a comparison picks.
typedef int64_t Exponents4 __attribute__((vector_size(32)));

// Numbers in (0, 2^-256) lifted into [2^-256, 1] by factors 2^256, each counted in the exponent:
// one for a product of two numbers in [2^-256, 1]; four for any double.
__attribute__((always_inline)) inline void Lift(Lanes4& d, Exponents4& exponent)
{
    const Exponents4 bLift = (d > 0.0) & (d < kSmallLanes);
    d = bLift ? d * kLift : d;
    exponent -= bLift & kLiftBits;
}

// dFactor * u^n as q * 2^(kChunkBits * nChunks), 0 <= q < 2^kChunkBits, for N points with
// 0 <= pU[b] <= 1 and 2^-256 <= dFactor <= 1, by binary powering with every product lifted back
// into range. All lanes share n, so the lanes run side by side, four to a vector, and the vectors
// in step, so that their chains of products overlap.
template <int N>
__attribute__((always_inline)) inline void ScaledPowers(const double* pU, int64_t n, double dFactor,
                                                        double* __restrict pQ, int64_t* __restrict pChunks)
{
    static_assert(N % 4 == 0, "whole vectors of lanes");
    constexpr int V = N / 4;
    Lanes4 square[V], result[V];
    for (int g = 0; g < V; ++g)
    {
        LoadLanes(pU + 4 * g, square[g]);
        result[g] = Lanes4{dFactor, dFactor, dFactor, dFactor};
    }
    // Where the power keeps to [2^-256, 1], nothing is ever lifted (the squares and the partial
    // products lie between it and 1), so that plain powering gives the same bits. That is so for
    // the lanes near the equator, about a third of them, at two multiplies a bit instead of about
    // seven.
    {
        Lanes4 plainSquare[V], plain[V];
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
        Exponents4 bInRange = plain[0] >= kSmallLanes;
        for (int g = 1; g < V; ++g)
            bInRange &= plain[g] >= kSmallLanes;
        if ((bInRange[0] & bInRange[1] & bInRange[2] & bInRange[3]) != 0)
        {
            for (int g = 0; g < V; ++g)
                StoreLanes(plain[g], pQ + 4 * g);
            std::memset(pChunks, 0, N * sizeof(int64_t));
            return;
        }
    }
    // u^(2^j) = square * 2^squareExponent; the result alike.
    Exponents4 squareExponent[V] = {}, exponent[V] = {};
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
        const Exponents4 chunks = exponent[g] >> 9;
        const Exponents4 powerBits = ((exponent[g] & (kChunkBits - 1)) + 1023) << 52;
        Lanes4 power;
        std::memcpy(&power, &powerBits, sizeof power);
        std::memcpy(pChunks + 4 * g, &chunks, sizeof chunks);
        StoreLanes(result[g] * power, pQ + 4 * g);
    }
}

// One step of the paired recurrence of the sums (MakePairSteps) for a vector of lanes,
// p = A, G, B: D_k = (A t + G) Q_(k-1) + D_(k-1), then Q_k = B Q_(k-1) + D_k. The second waits
// for the first, which the other vectors' steps fill in part (see kAdjointVectors); a third
// multiply-add to keep them apart would not leave room in the registers for the sums.
__attribute__((always_inline)) inline void Step(const double* p, const Lanes4& t, Lanes4& q, Lanes4& d)
{
    d = (p[0] * t + p[1]) * q + d;
    q = p[2] * q + d;
}

// Whether any lane of K vectors has |q| >= 2^kChunkBits, compared as vectors.
template <int K>
__attribute__((always_inline)) inline bool AnyPastChunk(const Lanes4 (&q)[K])
{
    typedef int64_t Mask4 __attribute__((vector_size(32)));
    const Lanes4 chunk = {kChunk, kChunk, kChunk, kChunk};
    Mask4 past = (q[0] >= chunk) | (-q[0] >= chunk);
    for (int j = 1; j < K; ++j)
        past |= (q[j] >= chunk) | (-q[j] >= chunk);
    return (past[0] | past[1] | past[2] | past[3]) != 0;
}

// A full group of points, and a narrow one for the few rows left over, which would waste
// most of a full group's work.
constexpr int kNarrowLanes = 8;

// The factor that scales a lane's contributions back from its q: a lane one chunk down adds
// 2^-kChunkBits of its products, two or more down nothing a double could hold beside the sums of
// lanes in range.
inline double ChunkFactor(int64_t nChunks)
{
    return nChunks == 0 ? 1.0 : nChunks == -1 ? kInverseChunk : 0.0;
}

constexpr int kFold = NormalizedLegendre::kFold;

static_assert(kFold == 4, "each partial sum of a degree is one of four lanes");

// The products of the lanes' values and q added into the kFold partial sums of the cosine,
// pFold[0 .. kFold), and of the sine, pFold[kFold .. 2 kFold): lane b into partial sum b mod kFold.
template <int K>
__attribute__((always_inline)) inline void FoldProducts(const Lanes4 (&aCos)[K], const Lanes4 (&aSin)[K],
                                                        const Lanes4 (&q)[K], double* __restrict pFold)
{
    Lanes4 c = aCos[0] * q[0], s = aSin[0] * q[0];
    for (int j = 1; j < K; ++j)
    {
        c += aCos[j] * q[j];
        s += aSin[j] * q[j];
    }
    Lanes4 fc, fs;
    LoadLanes(pFold, fc);
    LoadLanes(pFold + kFold, fs);
    StoreLanes(fc + c, pFold);
    StoreLanes(fs + s, pFold + kFold);
}

// The two recurrences the sums run: the paired one (MakePairSteps), one step an iteration on
// s = -u^2, and the per-degree one (MakeSumSteps), two steps an iteration on t = x - 1,
// Q_k = (A'_k t + A'_k) Q_(k-1) - Q_(k-2): the multiply-add makes A'_k x from t as it is, to one
// rounding (x itself would round t), and is ready a step ahead, so that each step waits for one
// multiply-add of the step before.
enum class Recurrence
{
    kPaired,
    kDegree
};

constexpr int StepsPerIteration(Recurrence recurrence)
{
    return recurrence == Recurrence::kPaired ? 1 : 2;
}

// The numbers each step of a recurrence takes from its table.
constexpr size_t StepSize(Recurrence recurrence)
{
    return recurrence == Recurrence::kPaired ? NormalizedLegendre::kPairStepSize
                                             : NormalizedLegendre::kDegreeStepSize;
}

// run(r) with the recurrence as a constant of its type, r's value, for the kernels' templates.
template <typename Run>
__attribute__((always_inline)) inline void WithRecurrence(Recurrence recurrence, const Run& run)
{
    switch (recurrence)
    {
        case Recurrence::kPaired:
            run(std::integral_constant<Recurrence, Recurrence::kPaired>{});
            break;
        case Recurrence::kDegree:
            run(std::integral_constant<Recurrence, Recurrence::kDegree>{});
            break;
    }
}

// The recurrence for K vectors of lanes from their first Q, in iterations of S steps (the
// paired recurrence one step an iteration, the per-degree one two), handing each new Q to
// take(k, i) after step i of iteration k (k from 1; for an odd number of per-degree steps the
// last one alone is iteration nSteps / S + 1, step 0). Every kStepsPerCheck steps a lane that has
// grown past 2^kChunkBits is scaled down and handed to rescale(b) to scale what it carries.
// The lanes carry s (as the recurrence takes it), Q_(k-1) in q and D_(k-1) in d, or for the
// per-degree recurrence Q_(k-2) in d.
template <int K, Recurrence R, typename Take, typename Rescale>
__attribute__((always_inline)) inline void RunIterations(const double* __restrict pStep, size_t nSteps,
                                                         const Lanes4 (&s)[K], Lanes4 (&q)[K], Lanes4 (&d)[K],
                                                         const Take& take, const Rescale& rescale)
{
    constexpr int S = StepsPerIteration(R);
    constexpr size_t Z = StepSize(R);
    const auto step = [&](const double* p) {
        if constexpr (R == Recurrence::kDegree)
        {
            for (int j = 0; j < K; ++j)
            {
                const Lanes4 next = (p[0] * s[j] + p[0]) * q[j] - d[j];
                d[j] = q[j];
                q[j] = next;
            }
        }
        else
            for (int j = 0; j < K; ++j)
                Step(p, s[j], q[j], d[j]);
    };
    static_assert(kStepsPerCheck % S == 0, "whole steps between the checks");
    const size_t nIterations = nSteps / S;
    for (size_t nBlock = 0; nBlock < nIterations; nBlock += kStepsPerCheck / S)
    {
        const size_t nEnd = std::min(nIterations, nBlock + kStepsPerCheck / S);
        for (size_t k = nBlock; k < nEnd; ++k)
            for (int i = 0; i < S; ++i)
            {
                step(pStep + Z * (S * k + static_cast<size_t>(i)));
                take(k + 1, i);
            }
        // Values in range never reach 2^kChunkBits, so only scaled lanes are ever rescaled.
        if (!AnyPastChunk(q))
            continue;
        for (int b = 0; b < 4 * K; ++b)
            if (std::fabs(q[b / 4][b % 4]) >= kChunk)
            {
                q[b / 4][b % 4] *= kInverseChunk;
                d[b / 4][b % 4] *= kInverseChunk;
                rescale(b);
            }
    }
    if (nSteps % S != 0)
    {
        step(pStep + Z * (nSteps - 1));
        take(nIterations + 1, 0);
    }
}

// The whole recurrence of the sums for K vectors of points (RunIterations), each new Q adding
// to the lane's four sums (even cosine and sine, odd cosine and sine) four weights times it
// (pWeight from the second Q, four to an iteration): the paired recurrence's R_k into all four;
// the per-degree one's odd degree, then its even one. A lane scaled down takes its sums with it
// and counts a chunk. The sums come in with those of the first Q.
template <int K, Recurrence R>
__attribute__((always_inline)) inline void SumVectorSteps(const double* __restrict pStep,
                                                          const double* __restrict pWeight, size_t nSteps,
                                                          const double* __restrict pS, double* __restrict pQ,
                                                          int64_t* __restrict pChunks,
                                                          double* const (&pSums)[4])
{
    constexpr int S = StepsPerIteration(R);
    Lanes4 s[K], q[K], d[K], ec[K], es[K], oc[K], os[K];
    for (int j = 0; j < K; ++j)
    {
        LoadLanes(pS + 4 * j, s[j]);
        LoadLanes(pQ + 4 * j, q[j]);
        LoadLanes(pSums[0] + 4 * j, ec[j]);
        LoadLanes(pSums[1] + 4 * j, es[j]);
        LoadLanes(pSums[2] + 4 * j, oc[j]);
        LoadLanes(pSums[3] + 4 * j, os[j]);
        d[j] = Lanes4{};
    }
    const auto add = [&](Lanes4(&aSums)[K], double w) {
        for (int j = 0; j < K; ++j)
            aSums[j] += w * q[j];
    };
    const auto take = [&](size_t k, int i) {
        const double* w = pWeight + 4 * (k - 1);
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
    const auto rescale = [&](int b) {
        for (Lanes4* pLanes : {ec, es, oc, os})
            pLanes[b / 4][b % 4] *= kInverseChunk;
        ++pChunks[b];
    };
    RunIterations<K, R>(pStep, nSteps, s, q, d, take, rescale);
    for (int j = 0; j < K; ++j)
    {
        StoreLanes(ec[j], pSums[0] + 4 * j);
        StoreLanes(es[j], pSums[1] + 4 * j);
        StoreLanes(oc[j], pSums[2] + 4 * j);
        StoreLanes(os[j], pSums[3] + 4 * j);
    }
}

// Four numbers for each lane, in the order of a step's weights: the sums, or in the adjoint the
// values that the paired recurrence's products take.
template <int N>
struct LaneParts
{
    double aEvenCos[N];
    double aEvenSin[N];
    double aOddCos[N];
    double aOddSin[N];
};

// N points in groups of at most V vectors.
template <int N, Recurrence R, int V>
__attribute__((always_inline)) inline void SumSteps(const double* __restrict pStep,
                                                    const double* __restrict pWeight, size_t nSteps,
                                                    const double* __restrict pS, double* __restrict pQ,
                                                    int64_t* __restrict pChunks, LaneParts<N>& sums)
{
    constexpr int kGroup = 4 * std::min(V, N / 4);
    static_assert(N % kGroup == 0, "whole groups of vectors");
    for (int g = 0; g < N; g += kGroup)
    {
        double* const pSums[4] = {sums.aEvenCos + g, sums.aEvenSin + g, sums.aOddCos + g, sums.aOddSin + g};
        SumVectorSteps<kGroup / 4, R>(pStep, pWeight, nSteps, pS + g, pQ + g, pChunks + g, pSums);
    }
}

// The sums of a group of each width on one of the recurrences.
LOBARA_FUSED_KERNEL
void RunSumSteps(Recurrence recurrence, const double* __restrict pStep, const double* __restrict pWeight,
                 size_t nSteps, const double* __restrict pS, double* __restrict pQ,
                 int64_t* __restrict pChunks, LaneParts<kSumLanes>& sums)
{
    WithRecurrence(
        recurrence, [&](auto r) __attribute__((always_inline)) {
            if (HasWideRegisterFile())
                SumSteps<kSumLanes, decltype(r)::value, kWideSumVectors>(pStep, pWeight, nSteps, pS, pQ,
                                                                         pChunks, sums);
            else
                SumSteps<kSumLanes, decltype(r)::value, kSumVectors>(pStep, pWeight, nSteps, pS, pQ, pChunks,
                                                                     sums);
        });
}

LOBARA_FUSED_KERNEL
void RunSumSteps(Recurrence recurrence, const double* __restrict pStep, const double* __restrict pWeight,
                 size_t nSteps, const double* __restrict pS, double* __restrict pQ,
                 int64_t* __restrict pChunks, LaneParts<kNarrowLanes>& sums)
{
    WithRecurrence(
        recurrence, [&](auto r) __attribute__((always_inline)) {
            // Two vectors, the narrow group's whole width, fit any processor's registers.
            SumSteps<kNarrowLanes, decltype(r)::value, kSumVectors>(pStep, pWeight, nSteps, pS, pQ, pChunks,
                                                                    sums);
        });
}

// The adjoint of SumVectorSteps: the same recurrence for K vectors of points, each Q of each lane
// times the lane's four values (pValues: the four parts of LaneParts, each from the group's first
// lane; the paired recurrence's odd ones already times x) folded into 4 kFold partial sums for
// each iteration from pFolded, in the order of the weights of SumVectorSteps: the first Q's even
// and odd sums (for the per-degree recurrence the odd ones left alone), then each iteration's. A
// lane scaled down takes a chunk's factor more on its values.
template <int K, Recurrence R>
__attribute__((always_inline)) inline void AdjointVectorSteps(
    const double* __restrict pStep, size_t nSteps, const double* __restrict pS, const double* __restrict pQ,
    int64_t* __restrict pChunks, const double* const (&pValues)[4], double* __restrict pFolded)
{
    constexpr int N = 4 * K, S = StepsPerIteration(R);
    double aFactor[N];
    for (int b = 0; b < N; ++b)
        aFactor[b] = ChunkFactor(pChunks[b]);
    Lanes4 s[K], q[K], d[K], ec[K], es[K], oc[K], os[K];
    const auto scaleValues = [&](int j) {
        Lanes4 f;
        LoadLanes(aFactor + 4 * j, f);
        const auto scaled = [&f](const double* pLaneValues, Lanes4& v) {
            LoadLanes(pLaneValues, v);
            v *= f;
        };
        scaled(pValues[0] + 4 * j, ec[j]);
        scaled(pValues[1] + 4 * j, es[j]);
        scaled(pValues[2] + 4 * j, oc[j]);
        scaled(pValues[3] + 4 * j, os[j]);
    };
    for (int j = 0; j < K; ++j)
    {
        LoadLanes(pS + 4 * j, s[j]);
        LoadLanes(pQ + 4 * j, q[j]);
        d[j] = Lanes4{};
        scaleValues(j);
    }
    FoldProducts<K>(ec, es, q, pFolded);
    if constexpr (S == 1)
        FoldProducts<K>(oc, os, q, pFolded + 2 * kFold);
    const auto take = [&](size_t k, int i) {
        double* pFold = pFolded + 4 * kFold * k;
        if (S == 1 || i == 1)
            FoldProducts<K>(ec, es, q, pFold + 2 * kFold * (S - 1));
        if (S == 1 || i == 0)
            FoldProducts<K>(oc, os, q, pFold + 2 * kFold * (2 - S));
    };
    const auto rescale = [&](int b) {
        aFactor[b] = ChunkFactor(++pChunks[b]);
        scaleValues(b / 4);
    };
    RunIterations<K, R>(pStep, nSteps, s, q, d, take, rescale);
}

// N points in groups of at most kAdjointVectors vectors.
template <int N, Recurrence R>
__attribute__((always_inline)) inline void AdjointSteps(
    const double* __restrict pStep, size_t nSteps, const double* __restrict pS, const double* __restrict pQ,
    int64_t* __restrict pChunks, const LaneParts<N>& values, double* __restrict pFolded)
{
    constexpr int kGroup = 4 * std::min(kAdjointVectors, N / 4);
    static_assert(N % kGroup == 0, "whole groups of vectors");
    for (int g = 0; g < N; g += kGroup)
    {
        const double* const pValues[4] = {values.aEvenCos + g, values.aEvenSin + g, values.aOddCos + g,
                                          values.aOddSin + g};
        AdjointVectorSteps<kGroup / 4, R>(pStep, nSteps, pS + g, pQ + g, pChunks + g, pValues, pFolded);
    }
}

// The adjoint of a group of each width on one of the recurrences.
LOBARA_FUSED_KERNEL
void RunAdjointSteps(Recurrence recurrence, const double* __restrict pStep, size_t nSteps,
                     const double* __restrict pS, const double* __restrict pQ, int64_t* __restrict pChunks,
                     const LaneParts<kLanes>& values, double* __restrict pFolded)
{
    WithRecurrence(
        recurrence, [&](auto r) __attribute__((always_inline)) {
            AdjointSteps<kLanes, decltype(r)::value>(pStep, nSteps, pS, pQ, pChunks, values, pFolded);
        });
}

LOBARA_FUSED_KERNEL
void RunAdjointSteps(Recurrence recurrence, const double* __restrict pStep, size_t nSteps,
                     const double* __restrict pS, const double* __restrict pQ, int64_t* __restrict pChunks,
                     const LaneParts<kNarrowLanes>& values, double* __restrict pFolded)
{
    WithRecurrence(
        recurrence, [&](auto r) __attribute__((always_inline)) {
            AdjointSteps<kNarrowLanes, decltype(r)::value>(pStep, nSteps, pS, pQ, pChunks, values, pFolded);
        });
}

// s_k = sqrt(k^2 - m^2), the root the plain steps are made of.
inline double DegreeRoot(double dK, double dM)
{
    return std::sqrt((dK - dM) * (dK + dM));
}

// From the table of roots p (below): s_k = sqrt(k - m) sqrt(k + m) of k = m + n, and V_j = s_j s_(j-1)
// of j = m + n; from the table of inverse roots, their inverses.
inline double RootOfDegree(const double* p, size_t m, size_t n)
{
    return p[n] * p[2 * m + n];
}

inline double RootOfPair(const double* p, size_t m, size_t n)
{
    return RootOfDegree(p, m, n) * RootOfDegree(p, m, n - 1);
}

// The numbers every order's coefficients are made of, worked out once: sqrt(n) and 1 / sqrt(n),
// each to within an ulp, for n up to 2 kMaxDegree + 8, so that a root of a product of integers is
// a product of roots and a division by it a product of inverses, which vectorise (square roots
// and divisions at each degree of each order took a third of a synthesis's preparation); and
// q_mm's constant prod_(k=1..m) (2k - 1) / (2k) for m up to kMaxDegree, in the order the product
// was taken for each order alone.
struct Constants
{
    std::vector<double> aRoot, aInverseRoot, aStartProduct;
};

const Constants& RecurrenceConstants()
{
    static const Constants constants = [] {
        constexpr size_t nRoots = 2 * static_cast<size_t>(kMaxDegree) + 9;
        Constants made;
        made.aRoot.resize(nRoots);
        made.aInverseRoot.resize(nRoots);
        for (size_t n = 0; n < nRoots; ++n)
        {
            made.aRoot[n] = std::sqrt(static_cast<double>(n));
            made.aInverseRoot[n] = n == 0 ? 0.0 : 1.0 / made.aRoot[n];
        }
        made.aStartProduct.resize(static_cast<size_t>(kMaxDegree) + 1);
        made.aStartProduct[0] = 1.0;
        for (size_t k = 1; k < made.aStartProduct.size(); ++k)
            made.aStartProduct[k] =
                made.aStartProduct[k - 1] * (static_cast<double>(2 * k - 1) / static_cast<double>(2 * k));
        return made;
    }();
    return constants;
}

// The recurrence's coefficients for degrees k = m + 1 .. m + nSteps. With s_k = sqrt(k^2 - m^2):
// alpha_k = (2k - 1) / s_k, beta_k = s_(k-1) / s_k, and gamma_k = (k - s_k + (k - 1) - s_(k-1)) / s_k,
// its two differences taken as m^2 / (k + s_k) and m^2 / (k - 1 + s_(k-1)) so that nothing
// cancels. At k = m + 1, beta is 0; for m = 0, gamma is 0 at every step. s_(k-1) is worked out
// afresh at each step (from integers, so to the same bits) to keep the steps independent.
LOBARA_VECTOR_KERNEL
void MakeSteps(double dM, int32_t nSteps, double* __restrict pSteps)
{
    const double dM2 = dM * dM;
    for (int32_t i = 0; i < nSteps; ++i)
    {
        const double dK = dM + 1.0 + static_cast<double>(i);
        const double dS = DegreeRoot(dK, dM);
        const double dPrevS = DegreeRoot(dK - 1.0, dM);
        pSteps[3 * i] = (2.0 * dK - 1.0) / dS;
        pSteps[3 * i + 1] = dPrevS / dS;
        pSteps[3 * i + 2] = dM == 0.0 ? 0.0 : (dM2 / (dK + dS) + dM2 / (dK - 1.0 + dPrevS)) / dS;
    }
}

// A_k = (2k - 1) / s_(k-1) and B_k = s_k / s_(k-1) for k = m + 1 .. m + nSteps, where
// s_k = sqrt(k^2 - m^2) = sqrt(k - m) sqrt(k + m) (A = (2m + 1) / s_(m+1) and B = 1 at k = m + 1),
// as each step's two numbers.
LOBARA_VECTOR_KERNEL
void MakeSumCoefficients(size_t m, int32_t nSteps, const double* __restrict pRoot,
                         const double* __restrict pInverseRoot, double* __restrict pSteps)
{
    if (nSteps == 0)
        return;
    pSteps[0] = pRoot[2 * m + 1];
    pSteps[1] = 1.0;
    for (int32_t i = 1; i < nSteps; ++i)
    {
        // k = m + 1 + i: k - 1 - m = i and k - 1 + m = 2m + i.
        const auto n = static_cast<size_t>(i);
        const double dInverseS = RootOfDegree(pInverseRoot, m, n);
        pSteps[2 * n] = static_cast<double>(2 * (m + n) + 1) * dInverseS;
        pSteps[2 * n + 1] = RootOfDegree(pRoot, m, n + 1) * dInverseS;
    }
}

// The sums run the recurrence on Q_k = q_k s_k / (s_(m+1) mu_k) (Q_m = q_m), where with
// B_k = s_k / s_(k-1) (1 at k = m + 1), the plain recurrence in that scaling,
// Q_k = A_k x Q_(k-1) - B_(k-1) Q_(k-2) with A_k = (2k - 1) / s_(k-1), loses its second
// coefficient to mu_k = B_(k-1) mu_(k-2) (mu_m = mu_(m+1) = 1):
//   Q_k = A'_k x Q_(k-1) - Q_(k-2),  A'_k = A_k mu_(k-1) / mu_k.
// The steps hold A'_k and mu_k, which ScaleWeights takes as they are, so that the rounding of
// mu_k perturbs no more than one step's coefficients. mu_k lies between 1 and about sqrt(k), and
// A'_k is largest at the first step, sqrt(2m + 1), as in the plain form. Near the poles the
// recurrence loses digits in proportion to l^2, so the sums take it only within the equator's
// band (see kEquatorBand).
void MakeSumSteps(size_t m, int32_t nSteps, const Constants& constants, double* __restrict pSteps)
{
    MakeSumCoefficients(m, nSteps, constants.aRoot.data(), constants.aInverseRoot.data(), pSteps);
    double dMuTwoBelow = 1.0, dMuBelow = 1.0, dBelow = 1.0;  // mu_(k-2), mu_(k-1), B_(k-1)
    for (int32_t i = 0; i < nSteps; ++i)
    {
        double* p = pSteps + 2 * i;
        const double dB = p[1];
        const double dMu = i == 0 ? 1.0 : dBelow * dMuTwoBelow;
        p[0] *= dMuBelow / dMu;
        p[1] = dMu;
        dMuTwoBelow = dMuBelow;
        dMuBelow = dMu;
        dBelow = dB;
    }
}

// The paired recurrence runs on R_k = Pbar_j / x for the odd degrees j = m + 2k + 1 (j - m odd),
// functions of y = x^2 alone: from x Pbar_j = e_(j+1) Pbar_(j+1) + e_j Pbar_(j-1) with
// e_j = sqrt((j^2 - m^2) / (4 j^2 - 1)), taken at j and at its even neighbours,
//   e_(j+1) e_(j+2) R_(k+1) = (y - e_(j+1)^2 - e_j^2) R_k - e_j e_(j-1) R_(k-1),
// and each even degree is Pbar_(m+2k) = e_(m+2k+1) R_k + e_(m+2k) R_(k-1), R_0 = sqrt(2m + 3) Pbar_m.
// One step of it gives two degrees, the odd sums are taken times x at the end. On
// r_k = R_k / sqrt(2j + 1), written as MakeSteps has the per-degree one, for its step
// d_k = r_k - r_(k-1) = (alpha_k s + gamma_k) r_(k-1) + beta_k d_(k-1) with y - 1 = s = -sin^2(theta),
// which near the poles keeps its precision, and scaled to Q_k = r_k lambda_k, D_k = d_k lambda_k
// (lambda_0 = lambda_1 = 1, lambda_(k+1) = lambda_k / beta_k), which takes beta_k out as Step has
// it, D_k = (A s + G) Q_(k-1) + D_(k-1), Q_k = B Q_(k-1) + D_k, the step from k to k + 1 is
//   A = (2j + 1) (2j - 1) / V,  G = N / ((2j + 3) V),  B = (2j - 1) W / ((2j + 3) V),
// and at k = 0 (where beta is 0) A = (2j + 1) (2j + 3) / W, G = N / ((2j - 1) W), B = 1, with
//   V = sqrt((j^2 - m^2) ((j - 1)^2 - m^2)),  W = sqrt(((j + 1)^2 - m^2) ((j + 2)^2 - m^2)),
//   N = m^2 (2 (2j + 1) + (2j - 1) ((j + 1)^2 + (j + 2)^2 - m^2) / ((j + 1) (j + 2) + W)
//            + (2j + 3) (j^2 + (j - 1)^2 - m^2) / (j (j - 1) + V)),
// N / ((2j - 1) W) being gamma = alpha (1 - e_(j+1)^2 - e_j^2) - 1 - beta with its differences of
// square roots taken as quotients, so that nothing cancels (it is 0 for m = 0).
LOBARA_VECTOR_KERNEL
void MakePairSteps(size_t m, int32_t nSteps, const double* __restrict pRoot,
                   const double* __restrict pInverseRoot, double* __restrict pSteps)
{
    const auto dM = static_cast<double>(m);
    const double dM2 = dM * dM;
    // V = V_j and W = V_(j+2) of j = m + 2k + 1, and N of them; N's quotients are finite from k = 1 on.
    const auto numerator = [dM2](double j, double dV, double dW) {
        return dM2 * (2.0 * (2.0 * j + 1.0) +
                      (2.0 * j - 1.0) * ((j + 1.0) * (j + 1.0) + (j + 2.0) * (j + 2.0) - dM2) /
                          ((j + 1.0) * (j + 2.0) + dW) +
                      (2.0 * j + 3.0) * (j * j + (j - 1.0) * (j - 1.0) - dM2) / (j * (j - 1.0) + dV));
    };
    if (nSteps == 0)
        return;
    const double dFirst = dM + 1.0;
    const double dW = RootOfPair(pRoot, m, 3);
    pSteps[0] = (2.0 * dFirst + 1.0) * (2.0 * dFirst + 3.0) / dW;
    pSteps[1] = m == 0 ? 0.0 : numerator(dFirst, 0.0, dW) / ((2.0 * dFirst - 1.0) * dW);
    pSteps[2] = 1.0;
    // The steps after the first in one loop without branches, which runs on vectors.
    for (int32_t k = 1; k < nSteps; ++k)
    {
        const auto n = 2 * static_cast<size_t>(k) + 1;  // j - m
        const double j = dM + static_cast<double>(n);
        const double dStepV = RootOfPair(pRoot, m, n), dStepW = RootOfPair(pRoot, m, n + 2);
        const double dInverseV = RootOfPair(pInverseRoot, m, n), dOver = dInverseV / (2.0 * j + 3.0);
        double* p = pSteps + 3 * k;
        p[0] = (2.0 * j + 1.0) * (2.0 * j - 1.0) * dInverseV;
        p[1] = numerator(j, dStepV, dStepW) * dOver;
        p[2] = (2.0 * j - 1.0) * dStepW * dOver;
    }
}

// For k = nBegin .. nEnd - 1 the factors that turn the paired recurrence's Q_k into R_k,
// sqrt(2j + 1) / lambda_k with lambda_k = (2m + 5) V_k / ((2j - 1) V_1) for k >= 1, and e_j and
// e_(j+1), j = m + 2k + 1, the factors of R_k in the even degrees beside it.
struct PairFactors
{
    double dScale, dBelow, dAbove;
};

LOBARA_VECTOR_KERNEL
void MakePairFactors(size_t m, int32_t nBegin, int32_t nEnd, const double* __restrict pRoot,
                     const double* __restrict pInverseRoot, PairFactors* __restrict pFactors)
{
    // e_j with j - m = n: sqrt(j - m) sqrt(j + m) / (sqrt(2j - 1) sqrt(2j + 1)).
    const auto e = [&](size_t n) {
        return RootOfDegree(pRoot, m, n) * (pInverseRoot[2 * (m + n) - 1] * pInverseRoot[2 * (m + n) + 1]);
    };
    if (nBegin >= nEnd)
        return;
    const auto dM = static_cast<double>(m);
    if (nBegin == 0)
        pFactors[0] = {pRoot[2 * m + 3], e(1), e(2)};
    // The factors after the first in one loop without branches, which runs on vectors: 1 / V_j from
    // the inverse roots as in MakePairSteps.
    const double dFirstV = std::sqrt(12.0 * (2.0 * dM + 3.0) * (dM + 1.0)) / (2.0 * dM + 5.0);
    for (int32_t k = std::max(nBegin, 1); k < nEnd; ++k)
    {
        const auto n = 2 * static_cast<size_t>(k) + 1;  // j - m
        const double j = dM + static_cast<double>(n);
        const double dInverseV = RootOfPair(pInverseRoot, m, n);
        pFactors[k - nBegin] = {pRoot[2 * (m + n) + 1] * (2.0 * j - 1.0) * dFirstV * dInverseV, e(n),
                                e(n + 1)};
    }
}

// Each pair of weights of degree k = m + i times Pbar_k / Q_k: sqrt(2m + 1) at k = m, and
// sqrt((2k + 1) (2m + 1) / (k^2 - m^2)) mu_k above, for i below nDegrees, with mu_k from the
// steps of MakeSumSteps: the pair of degree m from pFrom into pFirst, those above it into pAbove
// on from its first pair. Each pair is read before it is written, so the three may overlap as
// one array does in place.
LOBARA_VECTOR_KERNEL
void ScaleWeights(size_t m, int32_t nDegrees, const double* __restrict pSteps, const double* __restrict pRoot,
                  const double* __restrict pInverseRoot, const double* pFrom, double* pFirst, double* pAbove)
{
    if (nDegrees == 0)
        return;
    const double dFirstRoot = pRoot[2 * m + 1];
    pFirst[0] = pFrom[0] * dFirstRoot;
    pFirst[1] = pFrom[1] * dFirstRoot;
    for (int32_t i = 1; i < nDegrees; ++i)
    {
        // k = m + i: sqrt(2k + 1) sqrt(2m + 1) / (sqrt(k - m) sqrt(k + m)).
        const auto n = static_cast<size_t>(i);
        const double dRoot = pRoot[2 * (m + n) + 1] * dFirstRoot * RootOfDegree(pInverseRoot, m, n);
        const double dScale = dRoot * pSteps[2 * (n - 1) + 1];
        pAbove[2 * (n - 1)] = pFrom[2 * n] * dScale;
        pAbove[2 * (n - 1) + 1] = pFrom[2 * n + 1] * dScale;
    }
}

// The start values q_mm of a group of points, in each width the groups come in.
LOBARA_VECTOR_KERNEL
void StartValues(const double (&aU)[kSumLanes], int64_t n, double dFactor, double (&aQ)[kSumLanes],
                 int64_t (&aChunks)[kSumLanes])
{
    ScaledPowers<kSumLanes>(aU, n, dFactor, aQ, aChunks);
}

LOBARA_VECTOR_KERNEL
void StartValues(const double (&aU)[kNarrowLanes], int64_t n, double dFactor, double (&aQ)[kNarrowLanes],
                 int64_t (&aChunks)[kNarrowLanes])
{
    ScaledPowers<kNarrowLanes>(aU, n, dFactor, aQ, aChunks);
}

LOBARA_VECTOR_KERNEL
void StartValues(const double (&aU)[kLanes], int64_t n, double dFactor, double (&aQ)[kLanes],
                 int64_t (&aChunks)[kLanes])
{
    ScaledPowers<kLanes>(aU, n, dFactor, aQ, aChunks);
}

// The leading lanes of a group that started at 0 (a pole, for m > 0) or stayed two chunks down or
// more (the scaled q below 2^-512) at every step (the count of chunks only grows): those whose sums are 0 or
// nearly and whose adjoint adds 0.
template <int N>
int32_t VanishedLanes(const double (&aStart)[N], const int64_t (&aChunks)[N], int32_t nCount)
{
    int32_t n = 0;
    while (n < nCount && (aStart[n] == 0.0 || aChunks[n] <= -2))
        ++n;
    return n;
}

// The leading lanes of the groups in turn, as long as every lane before them vanished.
struct LeadingLanes
{
    int32_t nCount = 0;
    bool bAll = true;

    void Add(int32_t nVanished, int32_t nGroup)
    {
        if (!bAll)
            return;
        nCount += nVanished;
        bAll = nVanished == nGroup;
    }
};

}  // namespace

NormalizedLegendre::NormalizedLegendre(int32_t l, int32_t m)
{
    Remake(l, m);
}

void NormalizedLegendre::Remake(int32_t l, int32_t m)
{
    const int64_t nDegree = l;
    m_nOrder = std::llabs(int64_t{m});
    m_bOddUnderReflection = false;
    m_dStart = m_dFinish = m_dPairStart = 0.0;
    m_aSteps.clear();
    m_aPairSteps.clear();
    if (nDegree < m_nOrder)
        return;
    CheckDegree(nDegree);
    m_bOddUnderReflection = (nDegree - m_nOrder) % 2 != 0;

    // q_mm = u^m sqrt(prod_(k=1..m) (2k - 1) / (2k)) / sqrt(4 pi).
    const Constants& constants = RecurrenceConstants();
    const auto nOrder = static_cast<size_t>(m_nOrder);
    m_dStart = std::sqrt(constants.aStartProduct[nOrder]) / std::sqrt(12.566370614359172);
    m_dFinish = std::sqrt(static_cast<double>(2 * nDegree + 1));

    const size_t nSteps = static_cast<size_t>(nDegree - m_nOrder);
    m_aSteps.resize(kDegreeStepSize * nSteps);
    MakeSumSteps(nOrder, static_cast<int32_t>(nSteps), constants, m_aSteps.data());
    // R_0 = sqrt(2m + 3) Pbar_m, and r_0 = R_0 / sqrt(2m + 3).
    m_dPairStart = m_dStart * std::sqrt(static_cast<double>(2 * m_nOrder + 1));
    m_aPairSteps.resize(kPairStepSize * (nSteps / 2));
    MakePairSteps(nOrder, static_cast<int32_t>(nSteps / 2), constants.aRoot.data(),
                  constants.aInverseRoot.data(), m_aPairSteps.data());
}

void NormalizedLegendre::Evaluate(const double* pX, const double* pU, int32_t nCount, double* pValue) const
{
    // The plain steps, kept for the values alone: the sums' scaled ones round differently.
    const size_t nSteps = m_aSteps.size() / kDegreeStepSize;
    std::vector<double> aSteps(3 * nSteps);
    MakeSteps(static_cast<double>(m_nOrder), static_cast<int32_t>(nSteps), aSteps.data());
    for (int32_t i = 0; i < nCount; i += kLanes)
        EvaluateLanes(aSteps.data(), pX + i, pU + i, std::min(kLanes, nCount - i), pValue + i);
}

void NormalizedLegendre::EvaluateLanes(const double* pSteps, const double* pX, const double* pU,
                                       int32_t nCount, double* pValue) const
{
    if (m_dStart == 0.0)
    {
        std::fill(pValue, pValue + nCount, 0.0);
        return;
    }

    // Lanes past nCount run on a harmless point and are dropped.
    double t[kLanes];  // |x| - 1, exact for |x| >= 0.5, where it matters
    double q[kLanes];  // q_(k-1), scaled by 2^(-kChunkBits * nChunks)
    double d[kLanes];  // d_(k-1), scaled alike
    int64_t nChunks[kLanes];
    double u[kLanes];
    for (int b = 0; b < kLanes; ++b)
    {
        const bool bUsed = b < nCount;
        t[b] = bUsed ? std::fabs(pX[b]) - 1.0 : -1.0;
        u[b] = bUsed ? pU[b] : 1.0;
        d[b] = 0.0;
    }
    StartValues(u, m_nOrder, m_dStart, q, nChunks);

    const size_t nSteps = m_aSteps.size() / kDegreeStepSize;
    for (size_t k = 0; k < nSteps; k += kStepsPerCheck)
    {
        RunSteps(pSteps + 3 * k, std::min<size_t>(kStepsPerCheck, nSteps - k), t, q, d);
        // Values in range never reach 2^kChunkBits, so only scaled lanes are rescaled.
        for (int b = 0; b < kLanes; ++b)
        {
            if (std::fabs(q[b]) >= kChunk)
            {
                q[b] *= kInverseChunk;
                d[b] *= kInverseChunk;
                ++nChunks[b];
            }
        }
    }

    for (int b = 0; b < nCount; ++b)
    {
        // Three chunks down is beyond any double, however large q.
        const double dValue =
            nChunks[b] < -2 ? 0.0 : std::ldexp(q[b] * m_dFinish, static_cast<int>(nChunks[b] * kChunkBits));
        const bool bNegate = pX[b] < 0.0 && m_bOddUnderReflection;
        pValue[b] = bNegate ? -dValue : dValue;
    }
}

void NormalizedLegendre::PrepareWeights(const double* pWeights, SumWeights& aReady) const
{
    // Four weights for each Q of each recurrence (see SumVectorSteps), scaled to it: the
    // per-degree one's (MakeSumSteps), then the paired one's (MakePairSteps), whose R_k takes the
    // even degrees beside it and the odd one above. Every one is written once, nothing cleared first.
    const size_t nDegrees = DegreeCount(), nPairs = PairCount();
    const auto weight = [&](size_t nDegree, size_t nPart) {
        return nDegree < nDegrees ? pWeights[2 * nDegree + nPart] : 0.0;
    };
    const Constants& constants = RecurrenceConstants();
    const auto m = static_cast<size_t>(m_nOrder);
    aReady.resize(SumWeightCount());
    // Degree |m| leads, its pair in the even sums (the odd ones' pair 0); then the odd and the
    // even degree of each step, which are the degrees from |m| + 1 on, in turn, and a last step's
    // missing even degree 0.
    if (nDegrees > 0)
    {
        ScaleWeights(m, static_cast<int32_t>(nDegrees), m_aSteps.data(), constants.aRoot.data(),
                     constants.aInverseRoot.data(), pWeights, aReady.data(), aReady.data() + 4);
        aReady[2] = aReady[3] = 0.0;
        std::fill(aReady.begin() + static_cast<std::ptrdiff_t>(2 * nDegrees + 2),
                  aReady.begin() + static_cast<std::ptrdiff_t>(DegreeWeightCount()), 0.0);
    }
    // The pairs' factors a stretch at a time, so that nothing is allocated.
    constexpr size_t kStretch = 128;
    PairFactors aFactors[kStretch];
    double* pPairs = aReady.data() + DegreeWeightCount();
    for (size_t nFirst = 0; nFirst < nPairs; nFirst += kStretch)
    {
        const size_t nEnd = std::min(nPairs, nFirst + kStretch);
        MakePairFactors(m, static_cast<int32_t>(nFirst), static_cast<int32_t>(nEnd), constants.aRoot.data(),
                        constants.aInverseRoot.data(), aFactors);
        for (size_t k = nFirst; k < nEnd; ++k)
        {
            const PairFactors& f = aFactors[k - nFirst];
            for (size_t nPart = 0; nPart < 2; ++nPart)
            {
                pPairs[4 * k + nPart] =
                    f.dScale * (f.dBelow * weight(2 * k, nPart) + f.dAbove * weight(2 * k + 2, nPart));
                pPairs[4 * k + 2 + nPart] = f.dScale * weight(2 * k + 1, nPart);
            }
        }
    }
}

int32_t NormalizedLegendre::PairedPoints(const double* pT, int32_t nCount)
{
    int32_t n = 0;
    while (n < nCount && 1.0 + pT[n] >= kEquatorBand)
        ++n;
    return n;
}

int32_t NormalizedLegendre::EvaluateSums(const double* pT, const double* pU, int32_t nCount,
                                         const SumWeights& aWeights, double* pSums) const
{
    if (m_dStart == 0.0)
    {
        std::fill(pSums, pSums + 4 * nCount, 0.0);
        return 0;
    }
    // Full groups while more than two narrow ones are left; a narrow group costs about a third of a full one.
    LeadingLanes vanished;
    const auto run = [&](int32_t nFirst, int32_t nEnd, bool bPaired) {
        for (int32_t i = nFirst; i < nEnd;)
        {
            const int32_t nLeft = nEnd - i;
            if (nLeft > 2 * kNarrowLanes)
            {
                const int32_t nGroup = std::min(kSumLanes, nLeft);
                vanished.Add(SumLanes<kSumLanes>(pT + i, pU + i, nGroup, aWeights, bPaired, pSums + 4 * i),
                             nGroup);
                i += kSumLanes;
            }
            else
            {
                const int32_t nGroup = std::min(kNarrowLanes, nLeft);
                vanished.Add(SumLanes<kNarrowLanes>(pT + i, pU + i, nGroup, aWeights, bPaired, pSums + 4 * i),
                             nGroup);
                i += kNarrowLanes;
            }
        }
    };
    const int32_t nPaired = PairedPoints(pT, nCount);
    run(0, nPaired, true);
    run(nPaired, nCount, false);
    return vanished.nCount;
}

namespace {

// The lanes' sums, or 0 past three chunks down, scaled back from their chunks; one chunk down,
// the most common, by the product, which rounds as ldexp does.
inline double Unscaled(double dSum, int64_t nChunks)
{
    return nChunks == 0    ? dSum
           : nChunks == -1 ? dSum * kInverseChunk
           : nChunks < -2  ? 0.0
                           : std::ldexp(dSum, static_cast<int>(nChunks * kChunkBits));
}

// A lane's s for the recurrence from its t = x - 1 and u: see Recurrence.
inline double LaneInput(Recurrence recurrence, double t, double u)
{
    return recurrence == Recurrence::kPaired ? -u * u : t;
}

}  // namespace

template <int N>
int32_t NormalizedLegendre::SumLanes(const double* pT, const double* pU, int32_t nCount,
                                     const SumWeights& aWeights, bool bPaired, double* pSums) const
{
    // Lanes past nCount run on a harmless point (x = 0) and are dropped.
    const Recurrence recurrence = bPaired ? Recurrence::kPaired : Recurrence::kDegree;
    double s[N], q[N], u[N];
    int64_t nChunks[N];
    LaneParts<N> sums;
    for (int b = 0; b < N; ++b)
    {
        const bool bUsed = b < nCount;
        u[b] = bUsed ? pU[b] : 1.0;
        s[b] = LaneInput(recurrence, bUsed ? pT[b] : -1.0, u[b]);
    }
    StartValues(u, m_nOrder, bPaired ? m_dPairStart : m_dStart, q, nChunks);
    const auto& aSteps = bPaired ? m_aPairSteps : m_aSteps;
    const double* pWeights = aWeights.data() + (bPaired ? DegreeWeightCount() : 0);
    for (int b = 0; b < N; ++b)
    {
        sums.aEvenCos[b] = pWeights[0] * q[b];
        sums.aEvenSin[b] = pWeights[1] * q[b];
        sums.aOddCos[b] = pWeights[2] * q[b];
        sums.aOddSin[b] = pWeights[3] * q[b];
    }
    RunSumSteps(recurrence, aSteps.data(), pWeights + 4, aSteps.size() / StepSize(recurrence), s, q, nChunks,
                sums);

    for (int b = 0; b < nCount; ++b)
    {
        // The paired recurrence's odd degrees are x R_k.
        const double dOdd = bPaired ? 1.0 + pT[b] : 1.0;
        pSums[4 * b] = Unscaled(sums.aEvenCos[b], nChunks[b]);
        pSums[4 * b + 1] = dOdd * Unscaled(sums.aOddCos[b], nChunks[b]);
        pSums[4 * b + 2] = Unscaled(sums.aEvenSin[b], nChunks[b]);
        pSums[4 * b + 3] = dOdd * Unscaled(sums.aOddSin[b], nChunks[b]);
    }
    return VanishedLanes(q, nChunks, nCount);
}

int32_t NormalizedLegendre::AccumulateSums(const double* pT, const double* pU, int32_t nCount,
                                           const double* pValues, double* pFolded) const
{
    if (m_dStart == 0.0)
        return 0;
    LeadingLanes vanished;
    const auto run = [&](int32_t nFirst, int32_t nEnd, bool bPaired) {
        double* pStepFolded = pFolded + (bPaired ? kFold * DegreeWeightCount() : 0);
        for (int32_t i = nFirst; i < nEnd;)
        {
            const int32_t nLeft = nEnd - i;
            if (nLeft > 2 * kNarrowLanes)
            {
                const int32_t nGroup = std::min(kLanes, nLeft);
                vanished.Add(
                    AccumulateLanes<kLanes>(pT + i, pU + i, nGroup, pValues + 4 * i, bPaired, pStepFolded),
                    nGroup);
                i += kLanes;
            }
            else
            {
                const int32_t nGroup = std::min(kNarrowLanes, nLeft);
                vanished.Add(AccumulateLanes<kNarrowLanes>(pT + i, pU + i, nGroup, pValues + 4 * i, bPaired,
                                                           pStepFolded),
                             nGroup);
                i += kNarrowLanes;
            }
        }
    };
    const int32_t nPaired = PairedPoints(pT, nCount);
    run(0, nPaired, true);
    run(nPaired, nCount, false);
    return vanished.nCount;
}

template <int N>
int32_t NormalizedLegendre::AccumulateLanes(const double* pT, const double* pU, int32_t nCount,
                                            const double* pValues, bool bPaired, double* pFolded) const
{
    // As in SumLanes; lanes past nCount run on a harmless point with values 0, and the paired
    // recurrence's odd values are taken times x.
    const Recurrence recurrence = bPaired ? Recurrence::kPaired : Recurrence::kDegree;
    double s[N], q[N], u[N];
    int64_t nChunks[N];
    LaneParts<N> values;
    for (int b = 0; b < N; ++b)
    {
        const bool bUsed = b < nCount;
        u[b] = bUsed ? pU[b] : 1.0;
        s[b] = LaneInput(recurrence, bUsed ? pT[b] : -1.0, u[b]);
        const double dOdd = bUsed ? (bPaired ? 1.0 + pT[b] : 1.0) : 0.0;
        values.aEvenCos[b] = bUsed ? pValues[4 * b] : 0.0;
        values.aOddCos[b] = dOdd * (bUsed ? pValues[4 * b + 1] : 0.0);
        values.aEvenSin[b] = bUsed ? pValues[4 * b + 2] : 0.0;
        values.aOddSin[b] = dOdd * (bUsed ? pValues[4 * b + 3] : 0.0);
    }
    StartValues(u, m_nOrder, bPaired ? m_dPairStart : m_dStart, q, nChunks);
    const auto& aSteps = bPaired ? m_aPairSteps : m_aSteps;
    RunAdjointSteps(recurrence, aSteps.data(), aSteps.size() / StepSize(recurrence), s, q, nChunks, values,
                    pFolded);
    return VanishedLanes(q, nChunks, nCount);
}

void NormalizedLegendre::FinishSums(const double* pFolded, std::vector<double>& aSums) const
{
    // Each part's partial sums added: four parts for each Q, as its weights in EvaluateSums.
    const auto part = [&](const double* pStepFolded, size_t nSlot) {
        double dSum = 0.0;
        for (size_t f = 0; f < static_cast<size_t>(kFold); ++f)
            dSum += pStepFolded[kFold * nSlot + f];
        return dSum;
    };
    // The per-degree recurrence's, laid out as its weights (see PrepareWeights): degree |m|, the first
    // Q's odd pair, which is 0, then the degrees from |m| + 1 on; scaled back from their Q_k.
    const Constants& constants = RecurrenceConstants();
    const auto m = static_cast<size_t>(m_nOrder);
    const size_t nDegrees = DegreeCount();
    aSums.resize(2 * nDegrees);
    for (size_t i = 0; i < 2 * nDegrees; ++i)
        aSums[i] = part(pFolded, i < 2 ? i : i + 2);
    ScaleWeights(m, static_cast<int32_t>(nDegrees), m_aSteps.data(), constants.aRoot.data(),
                 constants.aInverseRoot.data(), aSums.data(), aSums.data(), aSums.data() + 2);

    // The paired recurrence's, by R_k, into the degrees around it.
    const size_t nPairs = PairCount();
    const double* pPairFolded = pFolded + kFold * DegreeWeightCount();
    std::vector<PairFactors, UninitializedAllocator<PairFactors>> aFactors(nPairs);
    MakePairFactors(m, 0, static_cast<int32_t>(nPairs), constants.aRoot.data(), constants.aInverseRoot.data(),
                    aFactors.data());
    for (size_t k = 0; k < nPairs; ++k)
    {
        const PairFactors& f = aFactors[k];
        for (size_t nPart = 0; nPart < 2; ++nPart)
        {
            const double dEven = f.dScale * part(pPairFolded, 4 * k + nPart);
            const double dOdd = f.dScale * part(pPairFolded, 4 * k + 2 + nPart);
            aSums[2 * (2 * k) + nPart] += f.dBelow * dEven;
            if (2 * k + 2 < nDegrees)
                aSums[2 * (2 * k + 2) + nPart] += f.dAbove * dEven;
            if (2 * k + 1 < nDegrees)
                aSums[2 * (2 * k + 1) + nPart] += dOdd;
        }
    }
}
