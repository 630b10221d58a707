#include "healpix/spin_kernels.h"

#include <algorithm>
#include <cmath>

#include "sht/legendre_scaling.h"

namespace {

using legendre_scaling::kInverseChunk;
using legendre_scaling::kStepsPerCheck;

// Past this a value below the range is scaled up by a chunk: in kStepsPerCheck steps it grows by
// less than 2^272, far from overflow.
constexpr double kRescale = 0x1p256;

// A block of this many points runs through all the degrees in registers.
constexpr int32_t kBlock = LOBARA_KERNEL_LANES;

// One block's state: each recurrence's last two values, whether they are in range, and per
// point the sums of coefficient times L+ and L- of each parity of l: [Q re, Q im, U re, U im]
// [L+, L-][parity of l].
struct Block
{
    double aPrevious[2][kBlock], aCurrent[2][kBlock], aLive[2][kBlock], aT[kBlock];
    int64_t aChunks[2][kBlock];
    double aSums[4][2][2][kBlock];
};

void LoadBlock(const SpinPoints& points, int32_t nFirst, int32_t nIn, Block& block)
{
    for (int r = 0; r < 2; ++r)
        for (int32_t j = 0; j < kBlock; ++j)
        {
            const bool bIn = j < nIn;
            block.aPrevious[r][j] = bIn ? points.pPrevious[r][nFirst + j] : 0.0;
            block.aCurrent[r][j] = bIn ? points.pCurrent[r][nFirst + j] : 0.0;
            block.aChunks[r][j] = bIn ? points.pChunks[r][nFirst + j] : -1;
            block.aT[j] = bIn ? points.pT[nFirst + j] : 0.0;
        }
}

// Values below the range that have grown past kRescale scaled up a chunk; which are in range.
void Rescale(Block& block)
{
    for (int r = 0; r < 2; ++r)
        for (int32_t j = 0; j < kBlock; ++j)
        {
            if (block.aChunks[r][j] < 0 && std::fabs(block.aCurrent[r][j]) > kRescale)
            {
                block.aPrevious[r][j] *= kInverseChunk;
                block.aCurrent[r][j] *= kInverseChunk;
                ++block.aChunks[r][j];
            }
            block.aLive[r][j] = block.aChunks[r][j] == 0 ? 1.0 : 0.0;
        }
}

// Runs a block through the degrees, calling weigh(l, plus, minus) with L+ and L- of degree l.
template <typename Weigh>
__attribute__((always_inline)) inline void RunBlock(const SpinTables& tables, Block& block,
                                                    const Weigh& weigh)
{
    Rescale(block);
    for (int32_t l = tables.nStart; l <= tables.nLmax; ++l)
    {
        const int32_t k = l - tables.nStart - 1;
        if (k >= 0)
        {
            for (int r = 0; r < 2; ++r)
            {
                const double a = tables.pA[r][k], b = tables.pB[r][k], c = tables.pC[r][k];
                for (int32_t j = 0; j < kBlock; ++j)
                {
                    const double dNext =
                        (a * block.aT[j] + b) * block.aCurrent[r][j] - c * block.aPrevious[r][j];
                    block.aPrevious[r][j] = block.aCurrent[r][j];
                    block.aCurrent[r][j] = dNext;
                }
            }
            if ((k + 1) % kStepsPerCheck == 0)
                Rescale(block);
        }
        const double dNorm = tables.pNorm[l];
        double aPlus[kBlock], aMinus[kBlock];
        for (int32_t j = 0; j < kBlock; ++j)
        {
            const double d0 = block.aLive[0][j] * block.aCurrent[0][j],
                         d1 = block.aLive[1][j] * block.aCurrent[1][j];
            aPlus[j] = dNorm * (d0 + d1);
            aMinus[j] = dNorm * (d0 - d1);
        }
        weigh(l, aPlus, aMinus);
    }
}

void Sums(const SpinTables& tables, SpinPoints& points, int32_t nCount, int32_t nOrder, const double* pE,
          const double* pB, double* const* pParts)
{
    for (int32_t nFirst = 0; nFirst < nCount; nFirst += kBlock)
    {
        const int32_t nIn = std::min(kBlock, nCount - nFirst);
        Block block;
        LoadBlock(points, nFirst, nIn, block);
        for (auto& aQuantity : block.aSums)
            for (auto& aSign : aQuantity)
                for (auto& aParity : aSign)
                    std::fill(aParity, aParity + kBlock, 0.0);
        RunBlock(tables, block, [&](int32_t l, const double* aPlus, const double* aMinus) {
            const int32_t p = l % 2;
            const double er = pE[2 * (l - nOrder)], ei = pE[2 * (l - nOrder) + 1];
            const double br = pB[2 * (l - nOrder)], bi = pB[2 * (l - nOrder) + 1];
            // Q += -E L+ - i B L-, U += -B L+ + i E L-.
            for (int32_t j = 0; j < kBlock; ++j)
            {
                block.aSums[0][0][p][j] -= er * aPlus[j];
                block.aSums[1][0][p][j] -= ei * aPlus[j];
                block.aSums[0][1][p][j] += bi * aMinus[j];
                block.aSums[1][1][p][j] -= br * aMinus[j];
                block.aSums[2][0][p][j] -= br * aPlus[j];
                block.aSums[3][0][p][j] -= bi * aPlus[j];
                block.aSums[2][1][p][j] -= ei * aMinus[j];
                block.aSums[3][1][p][j] += er * aMinus[j];
            }
        });
        // L+ of even l + m + s is even under the mirror, L- odd: the even parts are L+ of l of the
        // parity of m + s and L- of the other.
        const int32_t pEven = tables.nParity, pOdd = 1 - pEven;
        for (int q = 0; q < 4; ++q)
            for (int32_t j = 0; j < nIn; ++j)
            {
                pParts[(q / 2) * 4 + q % 2][nFirst + j] =
                    block.aSums[q][0][pEven][j] + block.aSums[q][1][pOdd][j];
                pParts[(q / 2) * 4 + 2 + q % 2][nFirst + j] =
                    block.aSums[q][0][pOdd][j] + block.aSums[q][1][pEven][j];
            }
    }
}

void Accumulate(const SpinTables& tables, SpinPoints& points, int32_t nCount, int32_t nOrder,
                const double* const* pParts, double dWeight, double* pE, double* pB, double* pScratch)
{
    // Each degree's eight sums in kBlock partial sums, one for each lane, added up at the end:
    // [L+ Q re, L+ Q im, L+ U re, L+ U im, L- Q re, L- Q im, L- U re, L- U im].
    static_assert(8 * kBlock <= 64, "the scratch holds the sums");
    const int32_t nDegreeCount = tables.nLmax - tables.nStart + 1;
    const auto nDegrees = static_cast<size_t>(nDegreeCount);
    double* aLanes = pScratch;
    std::fill(aLanes, aLanes + nDegrees * 8 * kBlock, 0.0);
    for (int32_t nFirst = 0; nFirst < nCount; nFirst += kBlock)
    {
        const int32_t nIn = std::min(kBlock, nCount - nFirst);
        Block block;
        LoadBlock(points, nFirst, nIn, block);
        // The block's Q and U, even and odd under the mirror: [Q re, Q im, U re, U im][even, odd].
        double aParts[4][2][kBlock] = {};
        for (int q = 0; q < 4; ++q)
            for (int32_t j = 0; j < nIn; ++j)
            {
                aParts[q][0][j] = pParts[(q / 2) * 4 + q % 2][nFirst + j];
                aParts[q][1][j] = pParts[(q / 2) * 4 + 2 + q % 2][nFirst + j];
            }
        RunBlock(tables, block, [&](int32_t l, const double* aPlus, const double* aMinus) {
            // L+ takes the parts of its parity under the mirror, L- the other.
            const int32_t nPlus = (l + tables.nParity) % 2, nMinus = 1 - nPlus;
            double* __restrict pLanes = &aLanes[static_cast<size_t>(l - tables.nStart) * 8 * kBlock];
            for (int q = 0; q < 4; ++q)
                for (int32_t j = 0; j < kBlock; ++j)
                {
                    pLanes[q * kBlock + j] += aPlus[j] * aParts[q][nPlus][j];
                    pLanes[(4 + q) * kBlock + j] += aMinus[j] * aParts[q][nMinus][j];
                }
        });
    }
    for (int32_t l = tables.nStart; l <= tables.nLmax; ++l)
    {
        const double* pLanes = &aLanes[static_cast<size_t>(l - tables.nStart) * 8 * kBlock];
        double aTotal[8];
        for (int q = 0; q < 8; ++q)
        {
            aTotal[q] = 0.0;
            for (int32_t j = 0; j < kBlock; ++j)
                aTotal[q] += pLanes[q * kBlock + j];
        }
        // E -= w (L+ Q + i L- U), B -= w (L+ U - i L- Q).
        double* pELm = pE + 2 * (l - nOrder);
        double* pBLm = pB + 2 * (l - nOrder);
        pELm[0] -= dWeight * (aTotal[0] - aTotal[7]);
        pELm[1] -= dWeight * (aTotal[1] + aTotal[6]);
        pBLm[0] -= dWeight * (aTotal[2] + aTotal[5]);
        pBLm[1] -= dWeight * (aTotal[3] - aTotal[4]);
    }
}

}  // namespace

namespace LOBARA_KERNEL_NAMESPACE {
extern const SpinKernels kSpinKernels;
const SpinKernels kSpinKernels = {Sums, Accumulate};
}  // namespace LOBARA_KERNEL_NAMESPACE
