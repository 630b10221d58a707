#include "healpix/healpix_transform.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "healpix/healpix_ring_fourier.h"
#include "healpix/healpix_rings.h"
#include "healpix/spin_legendre.h"
#include "infra/growable_array.h"
#include "infra/large_blocks.h"
#include "infra/streaming_store.h"
#include "infra/thread_sharing.h"
#include "sht/angles.h"
#include "sht/normalized_legendre.h"

namespace {

// The orders' sums of a chunk of rings take about this much memory: in the synthesis little beside
// the map it makes (and the part of it yet to be written, see SynthesisChunkRings), in the analysis
// more, which its tables, remade for each chunk, take less time.
constexpr size_t kSynthesisChunkBytes = size_t{8} << 20, kAdjointChunkBytes = size_t{256} << 20;

// The orders lie in blocks of this many at each ring slot, one cache line of their values (see
// OrderLine).
constexpr int32_t kOrderBlock = 4;

// One thread's arrays.
struct Workspace
{
    NormalizedLegendre legendre{-1, 0};
    std::optional<CSpinLegendre> spin;
    std::vector<double> aWeights, aSums, aFinished;
    NormalizedLegendre::Folded aFolded;
    std::vector<std::complex<double>> aSpinOrders;
    // A ring's F_m and its mirror's side by side, for the ring transforms, as many as the lines hold.
    std::vector<std::complex<double>> aRow, aMirrorRow;
    NormalizedLegendre::SumWeights aReady;
    CHealpixRingFourier::Workspace ring;
};

}  // namespace

struct CHealpixTransform::Implementation
{
    Implementation(int64_t nSide, int32_t nLmax, int32_t nMmax, unsigned nThreads, int32_t nSpin);

    // The chunk of nCount northern rings from nFirst on: the orders' sums of each component, then
    // the rings; or the rings' orders, then the sums.
    void SynthesizeChunk(const std::complex<double>* const* pAlm, int32_t nFirst, int32_t nCount,
                         double* const* pMap) const;
    void AdjointChunk(const double* const* pMap, double dWeight, int32_t nFirst, int32_t nCount,
                      std::complex<double>* const* pAlm) const;
    void Synthesize(const std::complex<double>* const* pAlm, double* const* pMap) const;
    void Adjoint(const double* const* pMap, double dWeight, std::complex<double>* const* pAlm,
                 bool bAdd) const;
    void Analyze(const double* const* pMap, int32_t nIter, std::complex<double>* const* pAlm) const;
    void SpinOrders(int32_t m, const std::complex<double>* const* pAlm, int32_t nFirst, int32_t nCount,
                    int32_t nSlots, Workspace& workspace) const;
    // The values of orders mFirst .. mFirst + nOrders - 1 at each of the chunk's nCount rings, into
    // the workspace as the adjoint's Legendre sums take them: order j's from 4 j times the most rings
    // on, for each ring the sum and difference of its orders and its mirror's (a_lm of even and odd
    // l - m), or for a spin pair the orders of Q and U at the ring and at its mirror.
    void GatherOrders(int32_t mFirst, int32_t nOrders, int32_t nCount, int32_t nSlots,
                      Workspace& workspace) const;
    // Whether every function of order m up to degree L is negligible at the chunk's rings (as
    // NormalizedLegendre::NegligiblePoints finds them, by m less the spin): the rings run from the
    // pole, so it is so at all of them when it is at the last.
    bool Negligible(int32_t m, int32_t nFirst, int32_t nCount) const
    {
        const double dL = std::max(1.0, static_cast<double>(nLmax));
        const double dU = aU[static_cast<size_t>(nFirst) + static_cast<size_t>(nCount) - 1];
        return static_cast<double>(m - nSpin) >
               dL * dU + NormalizedLegendre::kNegligibleMargin * std::cbrt(dL);
    }
    // The southern ring of a northern one.
    HealpixRing Mirror(const HealpixRing& ring) const;
    // work(k, c, ring, mirror, bMirror, workspace) for each component k and each northern ring c of
    // the chunk of nCount from nFirst, shared among the threads: bMirror where its mirror is another
    // ring (not the equator's own).
    template <typename Work>
    void ForEachRing(int32_t nFirst, int32_t nCount, const Work& work) const
    {
        const int32_t nSlots = Slots(nFirst, nCount);
        ShareAmongThreads(static_cast<size_t>(nCount) * static_cast<size_t>(nComponents), nThreads,
                          [&](size_t nItem, unsigned t) {
                              const auto c = static_cast<int32_t>(nItem) / nComponents,
                                         k = static_cast<int32_t>(nItem) % nComponents;
                              const HealpixRing& ring =
                                  aNorth[static_cast<size_t>(nFirst) + static_cast<size_t>(c)];
                              work(k, c, ring, Mirror(ring), 2 * c + 1 < nSlots, aWorkspaces[t]);
                          });
    }
    // How many ring slots a chunk has, each northern ring's then its mirror's: the equator's ring
    // is its own mirror.
    int32_t Slots(int32_t nFirst, int32_t nCount) const;
    // Component k's F_m of ring slot s for the block of orders nBlock kOrderBlock .. + kOrderBlock - 1,
    // one cache line. A block's lines follow each other, slot after slot, so that the adjoint, which
    // takes a block of orders at every slot, reads them in a row (as rows of a slot's orders, each
    // line a row apart, they came from memory a line at a time, a tenth of an analysis).
    std::complex<double>* OrderLine(int k, int32_t s, int32_t nBlock) const
    {
        // As complex values: std::complex<double> is laid out as two doubles.
        return reinterpret_cast<std::complex<double>*>(aOrders.data()) +
               ((static_cast<size_t>(k) * static_cast<size_t>(nOrderBlocks) + static_cast<size_t>(nBlock)) *
                    2 * static_cast<size_t>(nChunk) +
                static_cast<size_t>(s)) *
                   kOrderBlock;
    }
    std::complex<double>& Order(int k, int32_t s, int32_t m) const
    {
        return OrderLine(k, s, m / kOrderBlock)[m % kOrderBlock];
    }
    // Slot s's orders of component k from their lines into pRow, and back with the stores straight
    // to memory (the adjoint reads them back after all the slots' transforms).
    void ReadSlot(int k, int32_t s, std::complex<double>* pRow) const;
    void WriteSlot(int k, int32_t s, const std::complex<double>* pRow) const;

    int64_t nSide;
    int32_t nLmax, nMmax, nSpin, nComponents;
    // The blocks of kOrderBlock orders that hold orders 0 .. M.
    int32_t nOrderBlocks;
    unsigned nThreads;
    std::vector<HealpixRing> aNorth;
    std::vector<double> aT, aU;
    CHealpixRingFourier fourier;
    // The bytes of a northern ring's orders and its mirror's, all components.
    size_t SlotBytes() const
    {
        return 2 * static_cast<size_t>(nComponents) * sizeof(std::complex<double>) *
               static_cast<size_t>(nOrderBlocks) * kOrderBlock;
    }
    // The northern rings of a chunk that takes about nBytes.
    int32_t ChunkRings(size_t nBytes) const;
    // The synthesis's chunk from northern ring nFirst on: the most rings (whole groups of kLanes)
    // whose orders take no more than kSynthesisChunkBytes beside the bytes of the map's rings after
    // them, those the chunks to come write, and no more than the room the orders already have
    // where they have some (an analysis's steps, whose adjoint made it). Where the caller's map is storage
    // not yet touched (as the Python module's is), its pages are taken only as the rings are written, so that
    // the chunks, each freed before the next, take room the map does not yet hold: the call's memory stays
    // the map's and kSynthesisChunkBytes, in a few chunks (tables remade for each) where chunks of that size
    // alone would take dozens at Nside 2048.
    int32_t SynthesisChunkRings(int32_t nFirst) const;
    // The bytes of the map's rings from northern ring i on, with their mirrors, for i up to the
    // northern rings' count.
    std::vector<size_t> aLaterBytes;
    // Makes room for the orders of chunks of nRings and returns nRings; where bRelease, a chunk
    // smaller than the last gives back the pages it does not take.
    int32_t StartChunks(int32_t nRings, bool bRelease) const;
    // Gives back the chunks' orders as a call ends: kept for the next call of the same size (see
    // TakeLargeBlock), which then writes into pages it has, where fresh ones would each be cleared
    // by the kernel first (a sixth of an analysis at Nside 1024). An analysis's steps keep them.
    void EndCall() const { decltype(aOrders)().swap(aOrders); }
    // The chunks' rings in this call, and their F_m of each component and ring slot, M + 1 values a
    // slot as their real and imaginary parts, each written before it is read; the workspaces, made
    // once.
    mutable int32_t nChunk = 0;
    mutable std::vector<double, LargePageAllocator<double>> aOrders;
    mutable std::vector<Workspace> aWorkspaces;
};

CHealpixTransform::Implementation::Implementation(int64_t nSideGiven, int32_t nLmaxGiven, int32_t nMmaxGiven,
                                                  unsigned nThreadsAsked, int32_t nSpinGiven)
    : nSide(nSideGiven),
      nLmax(nLmaxGiven),
      nMmax(nMmaxGiven),
      nSpin(nSpinGiven),
      nComponents(nSpinGiven == 0 ? 1 : 2),
      nOrderBlocks(nMmaxGiven / kOrderBlock + 1),
      nThreads(ThreadsFor(nThreadsAsked)),
      aNorth(NorthernRings(nSide)),
      fourier(nSide, nMmax)
{
    for (const HealpixRing& ring : aNorth)
    {
        aT.push_back(ring.dCosLessOne);
        aU.push_back(ring.dSin);
    }
    aLaterBytes.assign(aNorth.size() + 1, 0);
    for (size_t i = aNorth.size(); i-- > 0;)
        aLaterBytes[i] = aLaterBytes[i + 1] + (i + 1 < aNorth.size() ? 2 : 1) * sizeof(double) *
                                                  static_cast<size_t>(aNorth[i].nPixels);
    const auto nMost = static_cast<int32_t>(aNorth.size());
    for (unsigned t = 0; t < nThreads; ++t)
    {
        Workspace& workspace = aWorkspaces.emplace_back();
        if (nSpin == 0)
        {
            workspace.legendre.Remake(nLmax, 0);
            workspace.aReady.reserve(workspace.legendre.SumWeightCount());
            workspace.aFolded.reserve(workspace.legendre.FoldedSize());
            workspace.aWeights.resize(2 * (static_cast<size_t>(nLmax) + 1));
            workspace.aSums.resize(4 * static_cast<size_t>(kOrderBlock) * static_cast<size_t>(nMost));
        }
        else
        {
            workspace.spin.emplace(nLmax, nSpin);
            workspace.aSpinOrders.resize(4 * static_cast<size_t>(kOrderBlock) * static_cast<size_t>(nMost));
        }
        workspace.ring = fourier.MakeWorkspace();
        workspace.aRow.resize(static_cast<size_t>(nOrderBlocks) * kOrderBlock);
        workspace.aMirrorRow.resize(workspace.aRow.size());
    }
}

int32_t CHealpixTransform::Implementation::ChunkRings(size_t nBytes) const
{
    const size_t nSlotBytes = SlotBytes();
    const auto nLanes = static_cast<size_t>(NormalizedLegendre::kLanes);
    return static_cast<int32_t>(std::min(static_cast<size_t>(aNorth.size()),
                                         std::max(nLanes, nBytes / nSlotBytes / nLanes * nLanes)));
}

int32_t CHealpixTransform::Implementation::SynthesisChunkRings(int32_t nFirst) const
{
    const size_t nSlotBytes = SlotBytes();
    const auto nLanes = static_cast<int32_t>(NormalizedLegendre::kLanes);
    const auto nLeft = static_cast<int32_t>(aNorth.size()) - nFirst;
    const size_t nHeldBytes = aOrders.capacity() * sizeof(double);
    const auto fits = [&](int32_t nRings) {
        const size_t nBytes = static_cast<size_t>(nRings) * nSlotBytes;
        return (nHeldBytes == 0 || nBytes <= nHeldBytes) &&
               nBytes <= kSynthesisChunkBytes +
                             static_cast<size_t>(nComponents) *
                                 aLaterBytes[static_cast<size_t>(nFirst) + static_cast<size_t>(nRings)];
    };
    if (fits(nLeft))
        return nLeft;
    int32_t nRings = nLanes;
    while (nRings + nLanes < nLeft && fits(nRings + nLanes))
        nRings += nLanes;
    return nRings;
}

int32_t CHealpixTransform::Implementation::StartChunks(int32_t nRings, bool bRelease) const
{
    nChunk = nRings;
    // Doubles: two a complex value.
    const size_t nCount = SlotBytes() / sizeof(double) * static_cast<size_t>(nChunk);
    if (nCount > aOrders.capacity())
    {
        // In the kernel's large pages: the order loops take each order's values from every ring
        // slot, far apart, which in 4 KiB pages missed the TLB at each.
        EndCall();
        aOrders.reserve(nCount);
    }
    else if (bRelease && nCount < aOrders.size())
    {
        // A smaller chunk after a larger one (the synthesis's shrink as the map fills) keeps the
        // pages it takes, already mapped, and gives back the rest.
        ReleasePages(aOrders.data() + nCount, (aOrders.size() - nCount) * sizeof(double));
    }
    aOrders.resize(nCount);
    return nChunk;
}

HealpixRing CHealpixTransform::Implementation::Mirror(const HealpixRing& ring) const
{
    const int64_t nCap = 2 * nSide * (nSide - 1);
    const int64_t i =
        ring.nPixels < 4 * nSide ? ring.nPixels / 4 : nSide + (ring.nFirst - nCap) / (4 * nSide);
    return RingOf(nSide, 4 * nSide - i);
}

int32_t CHealpixTransform::Implementation::Slots(int32_t nFirst, int32_t nCount) const
{
    return 2 * nCount - (nFirst + nCount == static_cast<int32_t>(aNorth.size()) ? 1 : 0);
}

void CHealpixTransform::Implementation::SpinOrders(int32_t m, const std::complex<double>* const* pAlm,
                                                   int32_t nFirst, int32_t nCount, int32_t nSlots,
                                                   Workspace& workspace) const
{
    workspace.spin->Remake(m);
    const size_t nStart = AlmIndex(m, m, nLmax);
    workspace.spin->Sums(&aT[static_cast<size_t>(nFirst)], &aU[static_cast<size_t>(nFirst)], nCount,
                         pAlm[0] + nStart, pAlm[1] + nStart, workspace.aSpinOrders.data());
    for (int32_t c = 0; c < nCount; ++c)
        for (int k = 0; k < 2; ++k)
        {
            const std::complex<double>* pSums = &workspace.aSpinOrders[4 * static_cast<size_t>(c) + 2 * k];
            Order(k, 2 * c, m) = pSums[0];
            if (2 * c + 1 < nSlots)
                Order(k, 2 * c + 1, m) = pSums[1];
        }
}

void CHealpixTransform::Implementation::SynthesizeChunk(const std::complex<double>* const* pAlm,
                                                        int32_t nFirst, int32_t nCount,
                                                        double* const* pMap) const
{
    const int32_t nSlots = Slots(nFirst, nCount);
    const auto synthesizeOrder = [&](int32_t m, Workspace& workspace) {
        if (Negligible(m, nFirst, nCount))
        {
            for (int k = 0; k < nComponents; ++k)
                for (int32_t s = 0; s < nSlots; ++s)
                    Order(k, s, m) = 0.0;
            return;
        }
        if (nSpin != 0)
        {
            SpinOrders(m, pAlm, nFirst, nCount, nSlots, workspace);
            return;
        }
        // lambda_lm = (-1)^m Pbar_lm: the real and imaginary parts of a_lm weigh Pbar_lm.
        const double dSign = m % 2 == 0 ? 1.0 : -1.0;
        const std::complex<double>* pOrder = pAlm[0] + AlmIndex(m, m, nLmax);
        for (int32_t l = m; l <= nLmax; ++l)
        {
            workspace.aWeights[2 * static_cast<size_t>(l - m)] = dSign * pOrder[l - m].real();
            workspace.aWeights[2 * static_cast<size_t>(l - m) + 1] = dSign * pOrder[l - m].imag();
        }
        workspace.legendre.Remake(nLmax, m, &aT[static_cast<size_t>(nFirst)],
                                  &aU[static_cast<size_t>(nFirst)], nCount);
        workspace.legendre.PrepareWeights(workspace.aWeights.data(), workspace.aReady);
        workspace.legendre.EvaluateSums(&aT[static_cast<size_t>(nFirst)], &aU[static_cast<size_t>(nFirst)],
                                        nCount, workspace.aReady, workspace.aSums.data());
        // Even degrees are alike at a ring and its mirror, odd ones change sign.
        for (int32_t c = 0; c < nCount; ++c)
        {
            const double* s = &workspace.aSums[4 * static_cast<size_t>(c)];
            Order(0, 2 * c, m) = {s[0] + s[1], s[2] + s[3]};
            if (2 * c + 1 < nSlots)
                Order(0, 2 * c + 1, m) = {s[0] - s[1], s[2] - s[3]};
        }
    };
    // A block of orders to a thread: their values share the lines.
    ShareAmongThreads(static_cast<size_t>(nOrderBlocks), nThreads, [&](size_t nBlock, unsigned t) {
        const int32_t mFirst = static_cast<int32_t>(nBlock) * kOrderBlock;
        for (int32_t m = mFirst; m < std::min(nMmax + 1, mFirst + kOrderBlock); ++m)
            synthesizeOrder(m, aWorkspaces[t]);
    });
    ForEachRing(nFirst, nCount,
                [&](int k, int32_t c, const HealpixRing& ring, const HealpixRing& mirror, bool bMirror,
                    Workspace& workspace) {
                    ReadSlot(k, 2 * c, workspace.aRow.data());
                    if (bMirror)
                        ReadSlot(k, 2 * c + 1, workspace.aMirrorRow.data());
                    fourier.ToRings(ring, workspace.aRow.data(),
                                    bMirror ? workspace.aMirrorRow.data() : nullptr, pMap[k] + ring.nFirst,
                                    bMirror ? pMap[k] + mirror.nFirst : nullptr, workspace.ring);
                });
}

void CHealpixTransform::Implementation::ReadSlot(int k, int32_t s, std::complex<double>* pRow) const
{
    // Whole lines as doubles, which the compiler copies as they are; the last block's orders past M,
    // never written, are left out.
    const int32_t nWhole = (nMmax + 1) / kOrderBlock;
    auto* pTo = reinterpret_cast<double*>(pRow);
    for (int32_t nBlock = 0; nBlock < nWhole; ++nBlock)
    {
        const auto* pLine = reinterpret_cast<const double*>(OrderLine(k, s, nBlock));
        for (int i = 0; i < 2 * kOrderBlock; ++i)
            pTo[2 * kOrderBlock * nBlock + i] = pLine[i];
    }
    const std::complex<double>* pLast = OrderLine(k, s, nWhole);
    for (int32_t m = kOrderBlock * nWhole; m <= nMmax; ++m)
        pRow[m] = pLast[m - kOrderBlock * nWhole];
}

void CHealpixTransform::Implementation::WriteSlot(int k, int32_t s, const std::complex<double>* pRow) const
{
    for (int32_t nBlock = 0; nBlock < nOrderBlocks; ++nBlock)
        StreamDoubles(reinterpret_cast<double*>(OrderLine(k, s, nBlock)),
                      reinterpret_cast<const double*>(pRow + kOrderBlock * nBlock), 2 * kOrderBlock);
}

void CHealpixTransform::Implementation::GatherOrders(int32_t mFirst, int32_t nOrders, int32_t nCount,
                                                     int32_t nSlots, Workspace& workspace) const
{
    const auto nMost = static_cast<size_t>(aNorth.size());
    const int32_t nBlock = mFirst / kOrderBlock;
    for (int32_t c = 0; c < nCount; ++c)
        for (int k = 0; k < nComponents; ++k)
        {
            // Read as doubles: as complex values, gcc stored each part on its own and loaded
            // them together, which waited for the stores to retire at every ring.
            const auto* pNorth = reinterpret_cast<const double*>(OrderLine(k, 2 * c, nBlock));
            const bool bSouth = 2 * c + 1 < nSlots;
            const auto* pSouth =
                bSouth ? reinterpret_cast<const double*>(OrderLine(k, 2 * c + 1, nBlock)) : nullptr;
            for (int32_t j = 0; j < nOrders; ++j)
            {
                const double dNorthRe = pNorth[2 * j], dNorthIm = pNorth[2 * j + 1];
                const double dSouthRe = bSouth ? pSouth[2 * j] : 0.0,
                             dSouthIm = bSouth ? pSouth[2 * j + 1] : 0.0;
                const size_t nAt = 4 * (static_cast<size_t>(j) * nMost + static_cast<size_t>(c));
                if (nSpin != 0)
                {
                    workspace.aSpinOrders[nAt + 2 * static_cast<size_t>(k)] = {dNorthRe, dNorthIm};
                    workspace.aSpinOrders[nAt + 2 * static_cast<size_t>(k) + 1] = {dSouthRe, dSouthIm};
                    continue;
                }
                double* v = &workspace.aSums[nAt];
                v[0] = dNorthRe + dSouthRe;
                v[1] = dNorthRe - dSouthRe;
                v[2] = dNorthIm + dSouthIm;
                v[3] = dNorthIm - dSouthIm;
            }
        }
}

void CHealpixTransform::Implementation::AdjointChunk(const double* const* pMap, double dWeight,
                                                     int32_t nFirst, int32_t nCount,
                                                     std::complex<double>* const* pAlm) const
{
    const int32_t nSlots = Slots(nFirst, nCount);
    ForEachRing(nFirst, nCount,
                [&](int k, int32_t c, const HealpixRing& ring, const HealpixRing& mirror, bool bMirror,
                    Workspace& workspace) {
                    fourier.FromRings(ring, pMap[k] + ring.nFirst,
                                      bMirror ? pMap[k] + mirror.nFirst : nullptr, workspace.aRow.data(),
                                      bMirror ? workspace.aMirrorRow.data() : nullptr, workspace.ring);
                    WriteSlot(k, 2 * c, workspace.aRow.data());
                    if (bMirror)
                        WriteSlot(k, 2 * c + 1, workspace.aMirrorRow.data());
                    StreamFence();
                });
    // Orders a block at a time, whose values at the ring slots are lines in a row.
    const auto nMost = static_cast<size_t>(aNorth.size());
    ShareAmongThreads(static_cast<size_t>(nOrderBlocks), nThreads, [&](size_t nBlock, unsigned t) {
        Workspace& workspace = aWorkspaces[t];
        const int32_t mFirst = static_cast<int32_t>(nBlock) * kOrderBlock;
        const int32_t mEnd = std::min(nMmax + 1, mFirst + kOrderBlock);
        // Negligible holds from some order on.
        int32_t mLive = mFirst;
        while (mLive < mEnd && !Negligible(mLive, nFirst, nCount))
            ++mLive;
        const int32_t nOrders = mLive - mFirst;
        if (nOrders == 0)
            return;
        GatherOrders(mFirst, nOrders, nCount, nSlots, workspace);
        for (int32_t j = 0; j < nOrders; ++j)
        {
            const int32_t m = mFirst + j;
            const size_t nStart = AlmIndex(m, m, nLmax), nAt = 4 * static_cast<size_t>(j) * nMost;
            if (nSpin != 0)
            {
                workspace.spin->Remake(m);
                workspace.spin->Accumulate(&aT[static_cast<size_t>(nFirst)], &aU[static_cast<size_t>(nFirst)],
                                           nCount, &workspace.aSpinOrders[nAt], dWeight, pAlm[0] + nStart,
                                           pAlm[1] + nStart);
                continue;
            }
            workspace.legendre.Remake(nLmax, m, &aT[static_cast<size_t>(nFirst)],
                                      &aU[static_cast<size_t>(nFirst)], nCount);
            workspace.legendre.AdjointSums(&aT[static_cast<size_t>(nFirst)], &aU[static_cast<size_t>(nFirst)],
                                           nCount, &workspace.aSums[nAt], workspace.aFolded,
                                           workspace.aFinished);
            const double dScale = m % 2 == 0 ? dWeight : -dWeight;
            std::complex<double>* pOrder = pAlm[0] + nStart;
            for (int32_t l = m; l <= nLmax; ++l)
                pOrder[l - m] +=
                    dScale * std::complex<double>(workspace.aFinished[2 * static_cast<size_t>(l - m)],
                                                  workspace.aFinished[2 * static_cast<size_t>(l - m) + 1]);
        }
    });
}

void CHealpixTransform::Implementation::Synthesize(const std::complex<double>* const* pAlm,
                                                   double* const* pMap) const
{
    const auto nNorth = static_cast<int32_t>(aNorth.size());
    // A synthesis alone keeps its memory to the map's and a chunk's as its chunks shrink; an
    // analysis's step keeps the room its adjoint made, which the next adjoint takes again.
    const bool bAlone = aOrders.capacity() == 0;
    for (int32_t nFirst = 0, nRings = 0; nFirst < nNorth; nFirst += nRings)
    {
        nRings = StartChunks(SynthesisChunkRings(nFirst), bAlone);
        SynthesizeChunk(pAlm, nFirst, nRings, pMap);
    }
}

void CHealpixTransform::Implementation::Adjoint(const double* const* pMap, double dWeight,
                                                std::complex<double>* const* pAlm, bool bAdd) const
{
    if (!bAdd)
        for (int k = 0; k < 2 && k < nComponents; ++k)
            std::fill(pAlm[k], pAlm[k] + AlmCount(nLmax, nMmax), std::complex<double>(0.0, 0.0));
    const auto nNorth = static_cast<int32_t>(aNorth.size());
    // A spin pair's two maps already take twice a map's room: its chunks take half as much.
    const int32_t nRings =
        StartChunks(ChunkRings(kAdjointChunkBytes / static_cast<size_t>(nComponents)), false);
    for (int32_t nFirst = 0; nFirst < nNorth; nFirst += nRings)
        AdjointChunk(pMap, dWeight, nFirst, std::min(nRings, nNorth - nFirst), pAlm);
}

void CHealpixTransform::Implementation::Analyze(const double* const* pMap, int32_t nIter,
                                                std::complex<double>* const* pAlm) const
{
    const int64_t nPixels = HealpixPixels(nSide);
    const double dWeight = kFourPi / static_cast<double>(nPixels);
    Adjoint(pMap, dWeight, pAlm, false);
    if (nIter <= 0)
        return;
    for (int32_t n = 0; n < nIter; ++n)
    {
        // Made for each step and written by the synthesis before it is read, so that its pages are
        // taken as the synthesis goes (see SynthesisChunkRings).
        using Left = std::vector<double, UninitializedAllocator<double>>;
        std::vector<Left> aLeft(static_cast<size_t>(nComponents));
        for (Left& left : aLeft)
            left.resize(static_cast<size_t>(nPixels));
        double* apLeft[2] = {aLeft[0].data(), nComponents > 1 ? aLeft[1].data() : nullptr};
        Synthesize(pAlm, apLeft);
        for (int k = 0; k < 2 && k < nComponents; ++k)
            for (size_t p = 0; p < static_cast<size_t>(nPixels); ++p)
                apLeft[k][p] = pMap[k][p] - apLeft[k][p];
        Adjoint(apLeft, dWeight, pAlm, true);
    }
}

CHealpixTransform::CHealpixTransform(int64_t nSide, int32_t nLmax, int32_t nMmax, unsigned nThreads,
                                     int32_t nSpin)
{
    const std::string strSide = NsideProblem(nSide);
    if (!strSide.empty())
        throw std::invalid_argument(strSide);
    if (nLmax < 0 || nMmax < 0 || nMmax > nLmax)
        throw std::invalid_argument("lmax " + std::to_string(nLmax) + " and mmax " + std::to_string(nMmax) +
                                    " need 0 <= mmax <= lmax");
    if (nSpin < 0 || nSpin > kMostSpin)
        throw std::invalid_argument("spin " + std::to_string(nSpin) + " is not from 0 to " +
                                    std::to_string(kMostSpin));
    m_pImplementation = std::make_unique<Implementation>(nSide, nLmax, nMmax, nThreads, nSpin);
}

CHealpixTransform::~CHealpixTransform() = default;

int64_t CHealpixTransform::Pixels() const
{
    return HealpixPixels(m_pImplementation->nSide);
}

size_t CHealpixTransform::Coefficients() const
{
    return AlmCount(m_pImplementation->nLmax, m_pImplementation->nMmax);
}

void CHealpixTransform::Synthesize(const std::complex<double>* pAlm, double* pMap) const
{
    const std::complex<double>* apAlm[2] = {pAlm, nullptr};
    double* apMap[2] = {pMap, nullptr};
    m_pImplementation->Synthesize(apAlm, apMap);
    m_pImplementation->EndCall();
}

void CHealpixTransform::Adjoint(const double* pMap, double dWeight, std::complex<double>* pAlm,
                                bool bAdd) const
{
    const double* apMap[2] = {pMap, nullptr};
    std::complex<double>* apAlm[2] = {pAlm, nullptr};
    m_pImplementation->Adjoint(apMap, dWeight, apAlm, bAdd);
    m_pImplementation->EndCall();
}

void CHealpixTransform::Analyze(const double* pMap, int32_t nIter, std::complex<double>* pAlm) const
{
    const double* apMap[2] = {pMap, nullptr};
    std::complex<double>* apAlm[2] = {pAlm, nullptr};
    m_pImplementation->Analyze(apMap, nIter, apAlm);
    m_pImplementation->EndCall();
}

void CHealpixTransform::SynthesizeSpin(const std::complex<double>* pE, const std::complex<double>* pB,
                                       double* pQ, double* pU) const
{
    const std::complex<double>* apAlm[2] = {pE, pB};
    double* apMap[2] = {pQ, pU};
    m_pImplementation->Synthesize(apAlm, apMap);
    m_pImplementation->EndCall();
}

void CHealpixTransform::AdjointSpin(const double* pQ, const double* pU, double dWeight,
                                    std::complex<double>* pE, std::complex<double>* pB, bool bAdd) const
{
    const double* apMap[2] = {pQ, pU};
    std::complex<double>* apAlm[2] = {pE, pB};
    m_pImplementation->Adjoint(apMap, dWeight, apAlm, bAdd);
    m_pImplementation->EndCall();
}

void CHealpixTransform::AnalyzeSpin(const double* pQ, const double* pU, int32_t nIter,
                                    std::complex<double>* pE, std::complex<double>* pB) const
{
    const double* apMap[2] = {pQ, pU};
    std::complex<double>* apAlm[2] = {pE, pB};
    m_pImplementation->Analyze(apMap, nIter, apAlm);
    m_pImplementation->EndCall();
}
