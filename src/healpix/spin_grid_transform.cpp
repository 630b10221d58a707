#include "healpix/spin_grid_transform.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "healpix/healpix_transform.h"
#include "healpix/spin_legendre.h"
#include "infra/thread_sharing.h"
#include "sht/angles.h"
#include "sht/meridian_quadrature.h"
#include "sht/normalized_legendre.h"
#include "sht/ring_fourier.h"
#include "sht/ring_orders.h"

namespace {

using Complex = std::complex<double>;

void CheckArguments(SampleGrid grid, int32_t nT, int32_t nP, int32_t nSpin, int32_t nLmax, int32_t nMmax)
{
    if (nT < 1 || nP < 1)
        throw std::invalid_argument("a grid needs at least one ring of one value, not " + std::to_string(nT) +
                                    " x " + std::to_string(nP));
    const std::string strShape = GridShapeProblem(grid, nT, nP);
    if (!strShape.empty())
        throw std::invalid_argument(strShape);
    if (nLmax < 0 || nMmax < 0 || nMmax > nLmax)
        throw std::invalid_argument("lmax " + std::to_string(nLmax) + " and mmax " + std::to_string(nMmax) +
                                    " need 0 <= mmax <= lmax");
    if (nSpin < 1 || nSpin > kMostSpin)
        throw std::invalid_argument("spin " + std::to_string(nSpin) + " is not from 1 to " +
                                    std::to_string(kMostSpin));
}

// The grid's rings as northern ones (theta <= pi / 2, from the pole) and the mirror of each: ring
// nLast - i, where the grid has it (Driscoll-Healy's has no south pole) and it is not the ring
// itself (the equator).
struct NorthernRings
{
    std::vector<double> aT, aU;
    std::vector<int32_t> aMirror;  // -1: none
};

NorthernRings Northern(const std::vector<double>& aTheta, int32_t nLast)
{
    NorthernRings rings;
    const auto nRings = static_cast<int32_t>(aTheta.size());
    for (int32_t i = 0; 2 * i <= nLast && i < nRings; ++i)
    {
        rings.aT.push_back(CosineLessOne(aTheta[static_cast<size_t>(i)]));
        rings.aU.push_back(std::sin(aTheta[static_cast<size_t>(i)]));
        const int32_t nMirror = nLast - i;
        rings.aMirror.push_back(nMirror != i && nMirror < nRings ? nMirror : -1);
    }
    return rings;
}

}  // namespace

void SynthesizeSpinGrid(const Complex* pE, const Complex* pB, int32_t nSpin, int32_t nLmax, int32_t nMmax,
                        SampleGrid grid, int32_t nT, int32_t nP, double* pQ, double* pU,
                        unsigned nThreadsAsked)
{
    CheckArguments(grid, nT, nP, nSpin, nLmax, nMmax);
    const unsigned nThreads = ThreadsFor(nThreadsAsked);
    const NorthernRings north = Northern(GridThetas(grid, nT), grid == SampleGrid::kDh ? nT : nT - 1);
    const auto nNorth = static_cast<int32_t>(north.aT.size());
    const size_t nOrders = static_cast<size_t>(nMmax) + 1, nRings = static_cast<size_t>(nT);
    // Order m of component k (Q, U) at ring i: aRingOrders[(k nT + i) (M + 1) + m].
    std::vector<Complex> aRingOrders(2 * nRings * nOrders);
    const auto order = [&](size_t k, size_t i) { return &aRingOrders[(k * nRings + i) * nOrders]; };

    const unsigned nUsed = std::min<unsigned>(nThreads, static_cast<unsigned>(nOrders));
    std::vector<CSpinLegendre> aLegendre;
    std::vector<std::vector<Complex>> aSums(nUsed, std::vector<Complex>(4 * static_cast<size_t>(nNorth)));
    for (unsigned t = 0; t < nUsed; ++t)
        aLegendre.emplace_back(nLmax, nSpin);
    ShareAmongThreads(nOrders, nUsed, [&](size_t m, unsigned t) {
        const auto nOrder = static_cast<int32_t>(m);
        const size_t nStart = AlmIndex(nOrder, nOrder, nLmax);
        aLegendre[t].Remake(nOrder);
        aLegendre[t].Sums(north.aT.data(), north.aU.data(), nNorth, pE + nStart, pB + nStart,
                          aSums[t].data());
        for (size_t i = 0; i < static_cast<size_t>(nNorth); ++i)
            for (size_t k = 0; k < 2; ++k)
            {
                order(k, i)[m] = aSums[t][4 * i + 2 * k];
                if (north.aMirror[i] >= 0)
                    order(k, static_cast<size_t>(north.aMirror[i]))[m] = aSums[t][4 * i + 2 * k + 1];
            }
    });

    // Each ring's values: f_j = sum over m = -M .. M of F_m e^(i m phi_j), F_-m = conj(F_m); order m
    // lands on frequency m mod nP of the ring's transform and -m on its mirror, of which the half
    // spectrum holds those up to nP / 2.
    constexpr size_t kBlock = CRingFourier::kBlockRings;
    const CRingFourier fourier(nP, nP / 2 + 1, CRingFourier::Direction::kInverse);
    const CRingFourier::HalfLayout layout = fourier.Layout();
    const size_t nBlocks = (nRings + kBlock - 1) / kBlock, nHalf = static_cast<size_t>(nP) / 2 + 1;
    const unsigned nFourierThreads = std::min<unsigned>(nThreads, static_cast<unsigned>(2 * nBlocks));
    std::vector<CRingFourier::Workspace> aWorkspaces;
    for (unsigned t = 0; t < nFourierThreads; ++t)
        aWorkspaces.push_back(fourier.MakeWorkspace());
    const auto nColumns = static_cast<size_t>(nP);
    ShareAmongThreads(2 * nBlocks, nFourierThreads, [&](size_t nItem, unsigned t) {
        const size_t k = nItem % 2, nFirst = nItem / 2 * kBlock, nCount = std::min(kBlock, nRings - nFirst);
        auto* pHalf = reinterpret_cast<Complex*>(aWorkspaces[t].pHalf.get());
        std::fill(pHalf, pHalf + nHalf * kBlock, Complex(0.0, 0.0));
        for (size_t r = 0; r < nCount; ++r)
        {
            const Complex* pOrders = order(k, nFirst + r);
            const auto bin = [&](size_t nBin) -> Complex& {
                return pHalf[nBin * layout.nFrequencyStride + r * layout.nRingStride];
            };
            bin(0) += pOrders[0].real();
            for (size_t m = 1; m < nOrders; ++m)
            {
                const size_t nBin = m % nColumns, nMirror = (nColumns - nBin) % nColumns;
                if (2 * nBin <= nColumns)
                    bin(nBin) += pOrders[m];
                if (2 * nMirror <= nColumns)
                    bin(nMirror) += std::conj(pOrders[m]);
            }
        }
        double* pOut = k == 0 ? pQ : pU;
        fourier.Inverse(nCount, pOut + nFirst * nColumns, static_cast<ptrdiff_t>(nColumns), aWorkspaces[t]);
    });
}

void AnalyzeSpinGrid(const double* pQ, const double* pU, SampleGrid grid, int32_t nT, int32_t nP,
                     int32_t nSpin, int32_t nLmax, int32_t nMmax, Complex* pE, Complex* pB,
                     unsigned nThreadsAsked)
{
    CheckArguments(grid, nT, nP, nSpin, nLmax, nMmax);
    const int32_t nLimit = AnalysisLimit(grid, nT, nP);
    if (nLmax > nLimit)
        throw std::invalid_argument("degree " + std::to_string(nLmax) + " is beyond a " +
                                    SampleGridName(grid) + " grid of " + std::to_string(nT) + " x " +
                                    std::to_string(nP) + ", whose limit is " + std::to_string(nLimit));
    const unsigned nThreads = ThreadsFor(nThreadsAsked);
    const RingOrderArray aValues[2] = {RingOrders(pQ, nT, nP, nMmax, nThreads),
                                       RingOrders(pU, nT, nP, nMmax, nThreads)};
    const CMeridianQuadrature quadrature(grid, nT, nLimit, nLmax);
    const int32_t nRings = quadrature.Rings(), nNorth = (nRings + 1) / 2;
    std::vector<double> aT, aU;
    for (int32_t i = 0; i < nNorth; ++i)
    {
        aT.push_back(CosineLessOne(quadrature.Theta()[static_cast<size_t>(i)]));
        aU.push_back(std::sin(quadrature.Theta()[static_cast<size_t>(i)]));
    }
    const size_t nCount = AlmCount(nLmax, nMmax);
    std::fill(pE, pE + nCount, Complex(0.0, 0.0));
    std::fill(pB, pB + nCount, Complex(0.0, 0.0));

    // One thread's arrays: the weighted rings of Q and U for the even and the odd parity, the
    // orders as CSpinLegendre takes them, and zeros for a parity no order of the pair has.
    struct Workspace
    {
        CMeridianQuadrature::Workspace quadrature;
        std::vector<Complex> aWeighed[2][2], aOrders, aZeros;
        CSpinLegendre legendre;
    };
    // The orders in pairs, m even and m + 1, whose parities (-1)^(m + s) differ, which the
    // quadrature moves together; the parities as spin 0 has them for even s, swapped for odd s.
    const size_t nPairs = static_cast<size_t>(nMmax) / 2 + 1;
    const unsigned nUsed = std::min<unsigned>(nThreads, static_cast<unsigned>(nPairs));
    std::vector<Workspace> aWorkspaces;
    for (unsigned t = 0; t < nUsed; ++t)
    {
        Workspace& workspace = aWorkspaces.emplace_back(
            Workspace{quadrature.MakeWorkspace(), {}, {}, {}, CSpinLegendre(nLmax, nSpin)});
        for (auto& aParities : workspace.aWeighed)
            for (std::vector<Complex>& aRings : aParities)
                aRings.resize(static_cast<size_t>(nRings));
        workspace.aOrders.resize(4 * static_cast<size_t>(nNorth));
        workspace.aZeros.assign(static_cast<size_t>(nT), Complex(0.0, 0.0));
    }
    const size_t nStride = OrderStride(nT);
    ShareAmongThreads(nPairs, nUsed, [&](size_t nPair, unsigned t) {
        Workspace& workspace = aWorkspaces[t];
        const auto m = static_cast<int32_t>(2 * nPair);
        const bool bNext = m + 1 <= nMmax;
        for (size_t k = 0; k < 2; ++k)
        {
            const auto* pOrders = reinterpret_cast<const Complex*>(aValues[k].data());
            const Complex* pFirst = pOrders + static_cast<size_t>(m) * nStride;
            const Complex* pNext = bNext ? pOrders + static_cast<size_t>(m + 1) * nStride : nullptr;
            const bool bSwap = nSpin % 2 != 0;
            const Complex* pEven = bSwap ? (bNext ? pNext : workspace.aZeros.data()) : pFirst;
            const Complex* pOdd = bSwap ? pFirst : pNext;
            // Order 0 for the even one: Driscoll-Healy's south pole then follows from the band limit
            // for every order of even parity, as spin-s orders m = s are not 0 there.
            quadrature.WeighPair(0, pEven, pOdd, workspace.aWeighed[k][0].data(),
                                 pOdd != nullptr ? workspace.aWeighed[k][1].data() : nullptr,
                                 workspace.quadrature);
        }
        for (int32_t nOrder = m; nOrder <= std::min(m + 1, nMmax); ++nOrder)
        {
            const auto nParity = static_cast<size_t>((nOrder + nSpin) % 2);
            // F_m of Q and U weighted over cos theta; times 2 pi, the integral over phi.
            for (size_t i = 0; i < static_cast<size_t>(nNorth); ++i)
            {
                const size_t nMirror = static_cast<size_t>(nRings) - 1 - i;
                for (size_t k = 0; k < 2; ++k)
                {
                    const std::vector<Complex>& aRings = workspace.aWeighed[k][nParity];
                    workspace.aOrders[4 * i + 2 * k] = kTwoPi * aRings[i];
                    workspace.aOrders[4 * i + 2 * k + 1] = nMirror != i ? kTwoPi * aRings[nMirror] : 0.0;
                }
            }
            const size_t nStart = AlmIndex(nOrder, nOrder, nLmax);
            workspace.legendre.Remake(nOrder);
            workspace.legendre.Accumulate(aT.data(), aU.data(), nNorth, workspace.aOrders.data(), 1.0,
                                          pE + nStart, pB + nStart);
        }
    });
}
