#include "healpix/healpix_transform.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "healpix/healpix_ring_fourier.h"
#include "healpix/healpix_rings.h"
#include "infra/thread_sharing.h"
#include "sht/angles.h"
#include "sht/normalized_legendre.h"

namespace {

// The orders' sums of a chunk of rings take about this much memory.
constexpr size_t kChunkBytes = size_t{16} << 20;

// One thread's arrays.
struct Workspace
{
    NormalizedLegendre legendre{-1, 0};
    std::vector<double> aWeights, aSums, aFolded, aFinished;
    NormalizedLegendre::SumWeights aReady;
    CHealpixRingFourier::Workspace ring;
};

}  // namespace

struct CHealpixTransform::Implementation
{
    Implementation(int64_t nSide, int32_t nLmax, int32_t nMmax, unsigned nThreads);

    // The chunk of northern rings from nFirst on, nCount of them.
    void SynthesizeChunk(const std::complex<double>* pAlm, int32_t nFirst, int32_t nCount,
                         double* pMap) const;
    void AdjointChunk(const double* pMap, double dWeight, int32_t nFirst, int32_t nCount,
                      std::complex<double>* pAlm) const;
    // The southern ring of a northern one (the equator's is itself).
    HealpixRing Mirror(const HealpixRing& ring) const;
    // How many ring slots a chunk has, each northern ring's then its mirror's: the equator's ring
    // is its own mirror.
    int32_t Slots(int32_t nFirst, int32_t nCount) const;
    std::complex<double>* Orders(int32_t s) const { return &aOrders[static_cast<size_t>(s) * (nMmax + 1)]; }

    int64_t nSide;
    int32_t nLmax, nMmax;
    unsigned nThreads;
    std::vector<HealpixRing> aNorth;
    std::vector<double> aT, aU;
    CHealpixRingFourier fourier;
    int32_t nChunk;
    // A chunk's F_m of each ring slot, M + 1 values a slot; the workspaces, made once.
    mutable std::vector<std::complex<double>> aOrders;
    mutable std::vector<Workspace> aWorkspaces;
};

CHealpixTransform::Implementation::Implementation(int64_t nSideGiven, int32_t nLmaxGiven, int32_t nMmaxGiven,
                                                  unsigned nThreadsAsked)
    : nSide(nSideGiven),
      nLmax(nLmaxGiven),
      nMmax(nMmaxGiven),
      nThreads(ThreadsFor(nThreadsAsked)),
      aNorth(NorthernRings(nSide)),
      fourier(nSide, nMmax)
{
    for (const HealpixRing& ring : aNorth)
    {
        aT.push_back(ring.dCosLessOne);
        aU.push_back(ring.dSin);
    }
    const size_t nSlotBytes = 2 * sizeof(std::complex<double>) * (static_cast<size_t>(nMmax) + 1);
    const auto nLanes = static_cast<size_t>(NormalizedLegendre::kLanes);
    nChunk = static_cast<int32_t>(std::min(static_cast<size_t>(aNorth.size()),
                                           std::max(nLanes, kChunkBytes / nSlotBytes / nLanes * nLanes)));
    aOrders.resize(2 * static_cast<size_t>(nChunk) * (static_cast<size_t>(nMmax) + 1));
    for (unsigned t = 0; t < nThreads; ++t)
    {
        Workspace& workspace = aWorkspaces.emplace_back();
        workspace.legendre.Remake(nLmax, 0);
        workspace.aReady.reserve(workspace.legendre.SumWeightCount());
        workspace.aFolded.reserve(workspace.legendre.FoldedSize());
        workspace.aWeights.resize(2 * (static_cast<size_t>(nLmax) + 1));
        workspace.aSums.resize(4 * static_cast<size_t>(nChunk));
        workspace.ring = fourier.MakeWorkspace();
    }
}

HealpixRing CHealpixTransform::Implementation::Mirror(const HealpixRing& ring) const
{
    // Ring i of the north starts at pixel 2 i (i - 1) in the cap, its mirror 2 i (i + 1) before the end.
    const int64_t i = ring.nPixels < 4 * nSide
                          ? ring.nPixels / 4
                          : nSide + (ring.nFirst - 2 * nSide * (nSide - 1)) / (4 * nSide);
    return RingOf(nSide, 4 * nSide - i);
}

int32_t CHealpixTransform::Implementation::Slots(int32_t nFirst, int32_t nCount) const
{
    return 2 * nCount - (nFirst + nCount == static_cast<int32_t>(aNorth.size()) ? 1 : 0);
}

void CHealpixTransform::Implementation::SynthesizeChunk(const std::complex<double>* pAlm, int32_t nFirst,
                                                        int32_t nCount, double* pMap) const
{
    const int32_t nSlots = Slots(nFirst, nCount);
    ShareAmongThreads(static_cast<size_t>(nMmax) + 1, nThreads, [&](size_t nOrder, unsigned t) {
        Workspace& workspace = aWorkspaces[t];
        const auto m = static_cast<int32_t>(nOrder);
        // lambda_lm = (-1)^m Pbar_lm: the real and imaginary parts of a_lm weigh Pbar_lm.
        const double dSign = m % 2 == 0 ? 1.0 : -1.0;
        const std::complex<double>* pOrder = pAlm + AlmIndex(m, m, nLmax);
        for (int32_t l = m; l <= nLmax; ++l)
        {
            workspace.aWeights[2 * static_cast<size_t>(l - m)] = dSign * pOrder[l - m].real();
            workspace.aWeights[2 * static_cast<size_t>(l - m) + 1] = dSign * pOrder[l - m].imag();
        }
        workspace.legendre.Remake(nLmax, m);
        workspace.legendre.PrepareWeights(workspace.aWeights.data(), workspace.aReady);
        workspace.legendre.EvaluateSums(&aT[static_cast<size_t>(nFirst)], &aU[static_cast<size_t>(nFirst)],
                                        nCount, workspace.aReady, workspace.aSums.data());
        // Even degrees are alike at a ring and its mirror, odd ones change sign.
        for (int32_t c = 0; c < nCount; ++c)
        {
            const double* s = &workspace.aSums[4 * static_cast<size_t>(c)];
            Orders(2 * c)[m] = {s[0] + s[1], s[2] + s[3]};
            if (2 * c + 1 < nSlots)
                Orders(2 * c + 1)[m] = {s[0] - s[1], s[2] - s[3]};
        }
    });
    ShareAmongThreads(static_cast<size_t>(nCount), nThreads, [&](size_t nRing, unsigned t) {
        const auto c = static_cast<int32_t>(nRing);
        const HealpixRing &ring = aNorth[static_cast<size_t>(nFirst + c)], mirror = Mirror(ring);
        const bool bMirror = 2 * c + 1 < nSlots;
        fourier.ToRings(ring, Orders(2 * c), bMirror ? Orders(2 * c + 1) : nullptr, pMap + ring.nFirst,
                        bMirror ? pMap + mirror.nFirst : nullptr, aWorkspaces[t].ring);
    });
}

void CHealpixTransform::Implementation::AdjointChunk(const double* pMap, double dWeight, int32_t nFirst,
                                                     int32_t nCount, std::complex<double>* pAlm) const
{
    const int32_t nSlots = Slots(nFirst, nCount);
    ShareAmongThreads(static_cast<size_t>(nCount), nThreads, [&](size_t nRing, unsigned t) {
        const auto c = static_cast<int32_t>(nRing);
        const HealpixRing &ring = aNorth[static_cast<size_t>(nFirst + c)], mirror = Mirror(ring);
        const bool bMirror = 2 * c + 1 < nSlots;
        fourier.FromRings(ring, pMap + ring.nFirst, bMirror ? pMap + mirror.nFirst : nullptr, Orders(2 * c),
                          bMirror ? Orders(2 * c + 1) : nullptr, aWorkspaces[t].ring);
    });
    ShareAmongThreads(static_cast<size_t>(nMmax) + 1, nThreads, [&](size_t nOrder, unsigned t) {
        Workspace& workspace = aWorkspaces[t];
        const auto m = static_cast<int32_t>(nOrder);
        for (int32_t c = 0; c < nCount; ++c)
        {
            const std::complex<double> north = Orders(2 * c)[m];
            const std::complex<double> south = 2 * c + 1 < nSlots ? Orders(2 * c + 1)[m] : 0.0;
            double* v = &workspace.aSums[4 * static_cast<size_t>(c)];
            v[0] = north.real() + south.real();
            v[1] = north.real() - south.real();
            v[2] = north.imag() + south.imag();
            v[3] = north.imag() - south.imag();
        }
        workspace.legendre.Remake(nLmax, m);
        workspace.aFolded.assign(workspace.legendre.FoldedSize(), 0.0);
        workspace.legendre.AccumulateSums(&aT[static_cast<size_t>(nFirst)], &aU[static_cast<size_t>(nFirst)],
                                          nCount, workspace.aSums.data(), workspace.aFolded.data());
        workspace.legendre.FinishSums(workspace.aFolded.data(), workspace.aFinished);
        const double dScale = m % 2 == 0 ? dWeight : -dWeight;
        std::complex<double>* pOrder = pAlm + AlmIndex(m, m, nLmax);
        for (int32_t l = m; l <= nLmax; ++l)
            pOrder[l - m] +=
                dScale * std::complex<double>(workspace.aFinished[2 * static_cast<size_t>(l - m)],
                                              workspace.aFinished[2 * static_cast<size_t>(l - m) + 1]);
    });
}

CHealpixTransform::CHealpixTransform(int64_t nSide, int32_t nLmax, int32_t nMmax, unsigned nThreads)
{
    const std::string strSide = NsideProblem(nSide);
    if (!strSide.empty())
        throw std::invalid_argument(strSide);
    if (nLmax < 0 || nMmax < 0 || nMmax > nLmax)
        throw std::invalid_argument("lmax " + std::to_string(nLmax) + " and mmax " + std::to_string(nMmax) +
                                    " need 0 <= mmax <= lmax");
    m_pImplementation = std::make_unique<Implementation>(nSide, nLmax, nMmax, nThreads);
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
    const Implementation& impl = *m_pImplementation;
    const auto nNorth = static_cast<int32_t>(impl.aNorth.size());
    for (int32_t nFirst = 0; nFirst < nNorth; nFirst += impl.nChunk)
        impl.SynthesizeChunk(pAlm, nFirst, std::min(impl.nChunk, nNorth - nFirst), pMap);
}

void CHealpixTransform::Adjoint(const double* pMap, double dWeight, std::complex<double>* pAlm,
                                bool bAdd) const
{
    const Implementation& impl = *m_pImplementation;
    if (!bAdd)
        std::fill(pAlm, pAlm + Coefficients(), std::complex<double>(0.0, 0.0));
    const auto nNorth = static_cast<int32_t>(impl.aNorth.size());
    for (int32_t nFirst = 0; nFirst < nNorth; nFirst += impl.nChunk)
        impl.AdjointChunk(pMap, dWeight, nFirst, std::min(impl.nChunk, nNorth - nFirst), pAlm);
}

void CHealpixTransform::Analyze(const double* pMap, int32_t nIter, std::complex<double>* pAlm) const
{
    const int64_t nPixels = Pixels();
    const double dWeight = kFourPi / static_cast<double>(nPixels);
    Adjoint(pMap, dWeight, pAlm, false);
    if (nIter <= 0)
        return;
    std::vector<double> aLeft(static_cast<size_t>(nPixels));
    for (int32_t k = 0; k < nIter; ++k)
    {
        Synthesize(pAlm, aLeft.data());
        for (size_t p = 0; p < aLeft.size(); ++p)
            aLeft[p] = pMap[p] - aLeft[p];
        Adjoint(aLeft.data(), dWeight, pAlm, true);
    }
}
