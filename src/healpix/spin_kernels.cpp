#include "healpix/spin_kernels.h"

#include <cstring>
#include <type_traits>

#include "sht/legendre_scaling.h"

namespace {

using legendre_scaling::kInverseChunk;
using legendre_scaling::kQuiet;
using legendre_scaling::kStepsPerCheck;

constexpr int W = LOBARA_KERNEL_LANES;
// W doubles side by side, one vector register; and as many 64-bit integers, the lanes a comparison
// picks.
typedef double Vec __attribute__((vector_size(8 * W)));
typedef int64_t Mask __attribute__((vector_size(8 * W)));

// Vectors of points the adjoint runs side by side: each degree's four sums gather the vectors'
// products in registers, between one load and one store of the degree's lanes in memory. The sums
// keep their sixteen running sums of one vector in registers, which fill AVX2's sixteen and half
// AVX-512's. Three, each vector's sixteen weights read by the multiply-adds from memory, ran a tenth
// faster at Nside 1024 than two or four with eight weights a vector shared by both parities of l
// (two held them in registers).
constexpr int kAdjointVectors = 3;

// Past this a value below the range is scaled up by a chunk: in kStepsPerCheck steps it grows by
// less than 2^272, far from overflow.
constexpr double kRescale = 0x1p256;

__attribute__((always_inline)) inline Vec Broadcast(double x)
{
    Vec v;
    for (int b = 0; b < W; ++b)
        v[b] = x;
    return v;
}

// Whether any lane of a comparison's mask is set.
__attribute__((always_inline)) inline bool AnyLane(Mask mask)
{
    for (int b = 1; b < W; ++b)
        mask[0] |= mask[b];
    return mask[0] != 0;
}

// One vector of points: t, each recurrence's last two values and its chunks below the range, and
// whether its value is in range (1) or below it (0: it adds nothing).
struct Lanes
{
    Vec t, aPrevious[2], aCurrent[2], aLive[2];
    Mask aChunks[2];
};

// The points nFirst .. nFirst + nIn into lanes; the lanes past them hold 0 in range, which stays 0
// and adds nothing.
Lanes LoadLanes(const SpinPoints& points, int32_t nFirst, int32_t nIn)
{
    Lanes lanes{};
    for (int r = 0; r < 2; ++r)
        for (int32_t j = 0; j < nIn; ++j)
        {
            lanes.aPrevious[r][j] = points.pPrevious[r][nFirst + j];
            lanes.aCurrent[r][j] = points.pCurrent[r][nFirst + j];
            lanes.aChunks[r][j] = points.pChunks[r][nFirst + j];
        }
    for (int32_t j = 0; j < nIn; ++j)
        lanes.t[j] = points.pT[nFirst + j];
    return lanes;
}

// Values below the range that have grown past kRescale scaled up a chunk; which are in range.
// Returns whether every value is.
__attribute__((always_inline)) inline bool Rescale(Lanes& lanes)
{
    const Vec rescale = Broadcast(kRescale);
    Mask below = {};
    for (int r = 0; r < 2; ++r)
    {
        const Vec value = lanes.aCurrent[r];
        const Mask past = (lanes.aChunks[r] < 0) & ((value > rescale) | (-value > rescale));
        lanes.aPrevious[r] = past ? lanes.aPrevious[r] * kInverseChunk : lanes.aPrevious[r];
        lanes.aCurrent[r] = past ? value * kInverseChunk : value;
        lanes.aChunks[r] -= past;  // a set lane is -1
        lanes.aLive[r] = lanes.aChunks[r] == 0 ? Broadcast(1.0) : Broadcast(0.0);
        below |= lanes.aChunks[r] != 0;
    }
    return !AnyLane(below);
}

// The step from degree l - 1 to l of both recurrences, table row k = l - nStart - 1.
__attribute__((always_inline)) inline void Step(const SpinTables& tables, int32_t k, Lanes& lanes)
{
    for (int r = 0; r < 2; ++r)
    {
        const Vec next = (tables.pA[k] * lanes.t + tables.pB[r][k]) * lanes.aCurrent[r] - lanes.aPrevious[r];
        lanes.aPrevious[r] = lanes.aCurrent[r];
        lanes.aCurrent[r] = next;
    }
}

// Whether every value of the lanes, the last two of each recurrence, lies below kQuiet: below the
// range, or in it and less. As the functions, with their norms and scales (at most 2^8), such values
// are below 2^-88 (3e-27).
template <int K>
__attribute__((always_inline)) inline bool Quiet(const Lanes (&lanes)[K])
{
    const Vec quiet = Broadcast(kQuiet);
    Mask loud = {};
    for (int g = 0; g < K; ++g)
        for (int r = 0; r < 2; ++r)
        {
            const Vec a = lanes[g].aCurrent[r], b = lanes[g].aPrevious[r];
            loud |=
                (lanes[g].aChunks[r] == 0) & ((a >= quiet) | (-a >= quiet) | (b >= quiet) | (-b >= quiet));
        }
    return !AnyLane(loud);
}

// The leading degrees that weigh nothing, stepped alone: whole blocks of kStepsPerCheck steps from
// nStart, each kept while it ends with every value Quiet (the functions grow with the degree until
// far above kQuiet, so that every value between was below it too), the first that does not undone.
// Returns the degree the lanes were left at, its values not yet weighed. A function of its own, so
// that the weighing loop of RunDegrees compiles as it would without it.
template <int K>
__attribute__((noinline)) int32_t QuietLead(const SpinTables& tables, Lanes (&lanesGiven)[K])
{
    // The lanes as locals, kept in registers: through the reference, each step's loads from the
    // tables might alias them.
    Lanes lanes[K], aStart[K];
    for (int g = 0; g < K; ++g)
        lanes[g] = lanesGiven[g];
    const int32_t nStart = tables.nStart;
    int32_t l = nStart;
    if (!Quiet(lanes))
        return l;
    bool bUndo = false;
    for (; l + kStepsPerCheck <= tables.nLmax; l += kStepsPerCheck)
    {
        for (int g = 0; g < K; ++g)
            aStart[g] = lanes[g];
        for (int32_t k = l + 1; k <= l + kStepsPerCheck; ++k)
            for (int g = 0; g < K; ++g)
                Step(tables, k - nStart - 1, lanes[g]);
        if (!Quiet(lanes))
        {
            bUndo = true;
            break;
        }
        for (int g = 0; g < K; ++g)
            Rescale(lanes[g]);
    }
    for (int g = 0; g < K; ++g)
        lanesGiven[g] = bUndo ? aStart[g] : lanes[g];
    return l;
}

// L+ and L- of the current degree, without their norm: d0 + d1 and d0 - d1 of the values in range
// (all of them where bAllLive).
template <bool bAllLive>
__attribute__((always_inline)) inline void PlusMinus(const Lanes& lanes, Vec& plus, Vec& minus)
{
    Vec d0 = lanes.aCurrent[0], d1 = lanes.aCurrent[1];
    if constexpr (!bAllLive)
    {
        d0 *= lanes.aLive[0];
        d1 *= lanes.aLive[1];
    }
    plus = d0 + d1;
    minus = d0 - d1;
}

// Runs K vectors of lanes through the degrees nStart .. nLmax together, calling weigh(live, parity, l)
// after each degree's values are made, from the first past QuietLead's: parity = l % 2 and live
// whether every lane is in range, each as a type's constant. The values are checked every
// kStepsPerCheck steps, after that degree's weighing; once every lane is in range, the weighing
// takes no more factors of it.
template <int K, typename Weigh>
__attribute__((always_inline)) inline void RunDegrees(const SpinTables& tables, Lanes (&lanes)[K],
                                                      const Weigh& weigh)
{
    using Even = std::integral_constant<int, 0>;
    using Odd = std::integral_constant<int, 1>;
    const auto check = [&]() __attribute__((always_inline))
    {
        bool bAll = true;
        for (int g = 0; g < K; ++g)
            bAll = Rescale(lanes[g]) && bAll;
        return bAll;
    };
    const int32_t nStart = tables.nStart;
    if (nStart > tables.nLmax)
        return;
    bool bAllLive = check();
    const int32_t nFirst = QuietLead(tables, lanes);
    if (nFirst > nStart)
        bAllLive = check();
    const auto degree = [&](auto live, auto parity, int32_t l) __attribute__((always_inline))
    {
        if (l > nFirst)
            for (int g = 0; g < K; ++g)
                Step(tables, l - nStart - 1, lanes[g]);
        weigh(live, parity, l);
    };
    // nPairs pairs of degrees from l, the first of parity P.
    const auto pairs = [&](auto live, auto parity, int32_t l, int32_t nPairs) __attribute__((always_inline))
    {
        constexpr int P = decltype(parity)::value;
        for (int32_t i = 0; i < nPairs; ++i, l += 2)
        {
            degree(live, std::integral_constant<int, P>{}, l);
            degree(live, std::integral_constant<int, 1 - P>{}, l + 1);
        }
    };
    const auto run = [&](int32_t l, int32_t nPairs) __attribute__((always_inline))
    {
        if (bAllLive)
            l % 2 == 0 ? pairs(std::true_type{}, Even{}, l, nPairs)
                       : pairs(std::true_type{}, Odd{}, l, nPairs);
        else
            l % 2 == 0 ? pairs(std::false_type{}, Even{}, l, nPairs)
                       : pairs(std::false_type{}, Odd{}, l, nPairs);
    };
    const auto single = [&](int32_t l) __attribute__((always_inline))
    {
        if (bAllLive)
            l % 2 == 0 ? degree(std::true_type{}, Even{}, l) : degree(std::true_type{}, Odd{}, l);
        else
            l % 2 == 0 ? degree(std::false_type{}, Even{}, l) : degree(std::false_type{}, Odd{}, l);
    };
    // The first degree alone, then blocks of kStepsPerCheck steps each followed by a check, then
    // the pairs left and the last degree alone.
    single(nFirst);
    static_assert(kStepsPerCheck % 2 == 0, "whole pairs of degrees between the checks");
    int32_t l = nFirst + 1;
    for (; l + kStepsPerCheck - 1 <= tables.nLmax; l += kStepsPerCheck)
    {
        run(l, kStepsPerCheck / 2);
        if (!bAllLive)
            bAllLive = check();
    }
    const int32_t nPairs = (tables.nLmax - l + 1) / 2;
    run(l, nPairs);
    l += 2 * nPairs;
    if (l <= tables.nLmax)
        single(l);
}

void Sums(const SpinTables& tables, SpinPoints& points, int32_t nCount, int32_t nOrder, const double* pE,
          const double* pB, double* const* pParts, double* pScratch)
{
    // Each degree's four weights, the norm taken in: E re, E im, B re, B im.
    const int32_t nStart = tables.nStart;
    double* pWeights = pScratch;
    for (int32_t l = nStart; l <= tables.nLmax; ++l)
    {
        const double dNorm = tables.pNorm[l];
        double* w = pWeights + 4 * static_cast<size_t>(l - nStart);
        for (int c = 0; c < 2; ++c)
        {
            w[c] = dNorm * pE[2 * (l - nOrder) + c];
            w[2 + c] = dNorm * pB[2 * (l - nOrder) + c];
        }
    }
    for (int32_t nFirst = 0; nFirst < nCount; nFirst += W)
    {
        const int32_t nIn = nCount - nFirst < W ? nCount - nFirst : W;
        Lanes lanes[1] = {LoadLanes(points, nFirst, nIn)};
        // The sums of coefficient times L+ and L- of each parity of l: [Q re, Q im, U re, U im]
        // [L+, L-][parity of l].
        Vec aSums[4][2][2] = {};
        RunDegrees(
            tables, lanes, [&](auto live, auto parity, int32_t l) __attribute__((always_inline)) {
                constexpr int p = decltype(parity)::value;
                Vec plus, minus;
                PlusMinus<decltype(live)::value>(lanes[0], plus, minus);
                const double* w = pWeights + 4 * static_cast<size_t>(l - nStart);
                const double er = w[0], ei = w[1], br = w[2], bi = w[3];
                // Q += -E L+ - i B L-, U += -B L+ + i E L-.
                aSums[0][0][p] -= er * plus;
                aSums[1][0][p] -= ei * plus;
                aSums[0][1][p] += bi * minus;
                aSums[1][1][p] -= br * minus;
                aSums[2][0][p] -= br * plus;
                aSums[3][0][p] -= bi * plus;
                aSums[2][1][p] -= ei * minus;
                aSums[3][1][p] += er * minus;
            });
        // L+ of even l + m + s is even under the mirror, L- odd: the even parts are L+ of l of the
        // parity of m + s and L- of the other.
        const int32_t pEven = tables.nParity, pOdd = 1 - pEven;
        for (int q = 0; q < 4; ++q)
        {
            const Vec even = aSums[q][0][pEven] + aSums[q][1][pOdd],
                      odd = aSums[q][0][pOdd] + aSums[q][1][pEven];
            for (int32_t j = 0; j < nIn; ++j)
            {
                pParts[(q / 2) * 4 + q % 2][nFirst + j] = even[j];
                pParts[(q / 2) * 4 + 2 + q % 2][nFirst + j] = odd[j];
            }
        }
    }
}

// The adjoint for K vectors of points from nFirst (nIn of them), into each degree's four lanes' sums.
template <int K>
void AccumulatePass(const SpinTables& tables, const SpinPoints& points, int32_t nFirst, int32_t nIn,
                    const double* const* pParts, double* __restrict pLanes)
{
    Lanes lanes[K];
    // A degree's sums E re, E im, B re, B im are L+ Q re - L- U im, L+ Q im + L- U re, L+ U re + L- Q im
    // and L+ U im - L- Q re, where L+ takes the parts of Q and U of its parity under the mirror and L-
    // the other's (L+ of even l + m + s is even under the mirror, L- odd). With L+- = d0 +- d1, each
    // is d0 x + d1 y: aWeights[g][l % 2] holds x and y of each sum, from vector g's parts.
    Vec aWeights[K][2][8] = {};
    const int32_t nEven = tables.nParity;
    for (int g = 0; g < K; ++g)
    {
        const int32_t nFrom = nFirst + W * g;
        const int32_t nLeft = nIn - W * g;
        const int32_t nLanes = nLeft < 0 ? 0 : nLeft < W ? nLeft : W;
        lanes[g] = LoadLanes(points, nFrom, nLanes);
        // [Q re, Q im, U re, U im] [the parts L+ takes at even l, at odd l].
        Vec aParts[4][2] = {};
        for (int q = 0; q < 4; ++q)
            for (int32_t j = 0; j < nLanes; ++j)
            {
                aParts[q][nEven][j] = pParts[(q / 2) * 4 + q % 2][nFrom + j];
                aParts[q][1 - nEven][j] = pParts[(q / 2) * 4 + 2 + q % 2][nFrom + j];
            }
        for (int p = 0; p < 2; ++p)
        {
            const Vec qReP = aParts[0][p], qImP = aParts[1][p], uReP = aParts[2][p], uImP = aParts[3][p];
            const Vec qReM = aParts[0][1 - p], qImM = aParts[1][1 - p], uReM = aParts[2][1 - p],
                      uImM = aParts[3][1 - p];
            Vec* w = aWeights[g][p];
            w[0] = qReP - uImM;
            w[1] = qReP + uImM;
            w[2] = qImP + uReM;
            w[3] = qImP - uReM;
            w[4] = uReP + qImM;
            w[5] = uReP - qImM;
            w[6] = uImP - qReM;
            w[7] = uImP + qReM;
        }
    }
    const int32_t nStart = tables.nStart;
    RunDegrees(
        tables, lanes, [&](auto live, auto parity, int32_t l) __attribute__((always_inline)) {
            constexpr int p = decltype(parity)::value;
            // The degree's lanes, each vector's products added in turn.
            double* pSums = pLanes + static_cast<size_t>(l - nStart) * 4 * W;
            Vec aTotals[4];
            for (int q = 0; q < 4; ++q)
                std::memcpy(&aTotals[q], pSums + q * W, sizeof(Vec));
            for (int g = 0; g < K; ++g)
            {
                Vec d0 = lanes[g].aCurrent[0], d1 = lanes[g].aCurrent[1];
                if constexpr (!decltype(live)::value)
                {
                    d0 *= lanes[g].aLive[0];
                    d1 *= lanes[g].aLive[1];
                }
                for (int q = 0; q < 4; ++q)
                {
                    aTotals[q] += d0 * aWeights[g][p][2 * q];
                    aTotals[q] += d1 * aWeights[g][p][2 * q + 1];
                }
            }
            for (int q = 0; q < 4; ++q)
                std::memcpy(pSums + q * W, &aTotals[q], sizeof(Vec));
        });
}

void Accumulate(const SpinTables& tables, SpinPoints& points, int32_t nCount, int32_t nOrder,
                const double* const* pParts, double dWeight, double* pE, double* pB, double* pScratch)
{
    // Each degree's four sums in W partial sums, one for each lane, added up at the end.
    static_assert(4 * W <= 32, "the scratch holds the sums");
    const int32_t nDegreeCount = tables.nLmax - tables.nStart + 1;
    if (nDegreeCount <= 0)
        return;
    const auto nDegrees = static_cast<size_t>(nDegreeCount);
    double* aLanes = pScratch;
    for (size_t i = 0; i < nDegrees * 4 * W; ++i)
        aLanes[i] = 0.0;
    for (int32_t nFirst = 0; nFirst < nCount; nFirst += kAdjointVectors * W)
    {
        const int32_t nIn = nCount - nFirst;
        static_assert(kAdjointVectors == 3, "a pass for each count of vectors");
        if (nIn > 2 * W)
            AccumulatePass<3>(tables, points, nFirst, nIn, pParts, aLanes);
        else if (nIn > W)
            AccumulatePass<2>(tables, points, nFirst, nIn, pParts, aLanes);
        else
            AccumulatePass<1>(tables, points, nFirst, nIn, pParts, aLanes);
    }
    for (int32_t l = tables.nStart; l <= tables.nLmax; ++l)
    {
        const double* pLanes = &aLanes[static_cast<size_t>(l - tables.nStart) * 4 * W];
        const double dScale = dWeight * tables.pNorm[l];
        double aTotal[4];
        for (int q = 0; q < 4; ++q)
        {
            aTotal[q] = 0.0;
            for (int32_t j = 0; j < W; ++j)
                aTotal[q] += pLanes[q * W + j];
        }
        // E -= w (L+ Q + i L- U), B -= w (L+ U - i L- Q).
        double* pELm = pE + 2 * (l - nOrder);
        double* pBLm = pB + 2 * (l - nOrder);
        pELm[0] -= dScale * aTotal[0];
        pELm[1] -= dScale * aTotal[1];
        pBLm[0] -= dScale * aTotal[2];
        pBLm[1] -= dScale * aTotal[3];
    }
}

}  // namespace

namespace LOBARA_KERNEL_NAMESPACE {
extern const SpinKernels kSpinKernels;
const SpinKernels kSpinKernels = {Sums, Accumulate};
}  // namespace LOBARA_KERNEL_NAMESPACE
