#include "sht/grid_analysis.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <stdexcept>
#include <string>
#include <vector>

#include "infra/growable_array.h"
#include "infra/thread_sharing.h"
#include "sht/angles.h"
#include "sht/meridian_quadrature.h"
#include "sht/normalized_legendre.h"
#include "sht/own_coefficients.h"
#include "sht/ring_orders.h"

namespace {

// One thread's arrays for the orders.
struct OrderWorkspace
{
    CMeridianQuadrature::Workspace quadrature;
    // The weighted values of a pair of orders, even and odd, on the quadrature's rings.
    std::vector<std::complex<double>> aRings[2];
    std::vector<double> aValues, aSums;
    NormalizedLegendre::Folded aFolded;
    // The rings from the north pole where every function of the orders done so far vanished: a
    // thread takes the orders upwards, and at higher orders they vanish all the more.
    int32_t nVanished = 0;
};

}  // namespace

Field AnalyzeGrid(const double* pValues, SampleGrid grid, int32_t nT, int32_t nP, int32_t nMaxDegree,
                  const Convention& convention, unsigned nThreads)
{
    Field result;
    AnalyzeGrid(pValues, grid, nT, nP, nMaxDegree, convention, nThreads, result);
    return result;
}

void AnalyzeGrid(const double* pValues, SampleGrid grid, int32_t nT, int32_t nP, int32_t nMaxDegree,
                 const Convention& convention, unsigned nThreadsAsked, Field& result)
{
    const std::string strShape = GridShapeProblem(grid, nT, nP);
    if (!strShape.empty())
        throw std::invalid_argument(strShape);
    const int32_t nLimit = AnalysisLimit(grid, nT, nP);
    const std::string strGrid = std::string("a ") + SampleGridName(grid) + " grid of " + std::to_string(nT) +
                                " x " + std::to_string(nP);
    if (nLimit < 0)
        throw std::invalid_argument(strGrid + " determines no degree");
    if (nMaxDegree > nLimit || nMaxDegree < 0)
        throw std::invalid_argument("degree " + std::to_string(nMaxDegree) + " is beyond " + strGrid +
                                    ", whose limit is " + std::to_string(nLimit));
    const int32_t L = nMaxDegree;
    const unsigned nThreads = ThreadsFor(nThreadsAsked);

    const RingOrderArray aOrders = RingOrders(pValues, nT, nP, L, nThreads);
    const CMeridianQuadrature quadrature(grid, nT, nLimit, L);
    const int32_t nRings = quadrature.Rings(), nNorth = (nRings + 1) / 2;
    std::vector<double> aT(static_cast<size_t>(nNorth)), aU(static_cast<size_t>(nNorth));
    for (int32_t i = 0; i < nNorth; ++i)
    {
        aT[static_cast<size_t>(i)] = CosineLessOne(quadrature.Theta()[static_cast<size_t>(i)]);
        aU[static_cast<size_t>(i)] = std::sin(quadrature.Theta()[static_cast<size_t>(i)]);
    }

    // The orders in pairs, an even one and the next, which the quadrature moves together.
    const size_t nPairs = static_cast<size_t>(L) / 2 + 1;
    const unsigned nUsed = std::min<unsigned>(nThreads, static_cast<unsigned>(nPairs));
    std::vector<OrderWorkspace> aWorkspaces(nUsed);
    for (OrderWorkspace& workspace : aWorkspaces)
    {
        workspace.quadrature = quadrature.MakeWorkspace();
        for (std::vector<std::complex<double>>& aRings : workspace.aRings)
            aRings.resize(static_cast<size_t>(nRings));
        workspace.aValues.resize(4 * static_cast<size_t>(nNorth));
        workspace.aFolded.reserve(2 * NormalizedLegendre::kFold * (static_cast<size_t>(L) + 1));
    }
    // Y(l, 0) = Pbar, Y(l, m) = sqrt(2) Pbar cos(m phi) and Y(l, -m) = -sqrt(2) Pbar sin(m phi);
    // the integral over phi of f cos(m phi) is 2 pi Re F_m (m > 0), of f sin(m phi) -2 pi Im F_m.
    // Each order's coefficients are written whole, pairs of l = m .. L, before they are read.
    std::vector<double, LargePageAllocator<double>> aByOrder(2 * OrderStart(L + 1, L));
    const auto sumOrder = [&](int32_t m, const std::complex<double>* pRings, OrderWorkspace& workspace) {
        // Each northern ring with its mirror: even degrees see the sum, odd ones the difference.
        // Whole groups of them, so that the other rings fill the same vectors as they would with
        // none left out and the sums keep their bits whichever orders the thread did before.
        const int32_t nSkip = workspace.nVanished - workspace.nVanished % NormalizedLegendre::kLanes;
        for (int32_t i = nSkip; i < nNorth; ++i)
        {
            const int32_t nMirror = nRings - 1 - i;
            const std::complex<double> north = pRings[i];
            const std::complex<double> south = nMirror == i ? 0.0 : pRings[nMirror];
            double* v = &workspace.aValues[4 * static_cast<size_t>(i)];
            v[0] = north.real() + south.real();
            v[1] = north.real() - south.real();
            v[2] = north.imag() + south.imag();
            v[3] = north.imag() - south.imag();
        }
        const NormalizedLegendre legendre(L, m);
        workspace.nVanished =
            nSkip + legendre.AdjointSums(aT.data() + nSkip, aU.data() + nSkip, nNorth - nSkip,
                                         workspace.aValues.data() + 4 * static_cast<size_t>(nSkip),
                                         workspace.aFolded, workspace.aSums);
        const double dCos = OwnAzimuthFactor(m) * kTwoPi, dSin = kSqrt2 * kTwoPi;
        double* pOrder = &aByOrder[2 * OrderStart(m, L)];
        for (size_t k = 0; k < 2 * static_cast<size_t>(L - m + 1); k += 2)
        {
            pOrder[k] = dCos * workspace.aSums[k];
            pOrder[k + 1] = dSin * workspace.aSums[k + 1];
        }
    };
    // As complex values: FFTW's own complex numbers are laid out alike.
    const auto* pOrders = reinterpret_cast<const std::complex<double>*>(aOrders.data());
    ShareAmongThreads(nPairs, nUsed, [&](size_t nPair, unsigned t) {
        const auto m = static_cast<int32_t>(2 * nPair);
        const bool bOdd = m + 1 <= L;
        OrderWorkspace& workspace = aWorkspaces[t];
        quadrature.WeighPair(m, pOrders + static_cast<size_t>(m) * OrderStride(nT),
                             bOdd ? pOrders + static_cast<size_t>(m + 1) * OrderStride(nT) : nullptr,
                             workspace.aRings[0].data(), workspace.aRings[1].data(), workspace.quadrature);
        sumOrder(m, workspace.aRings[0].data(), workspace);
        if (bOdd)
            sumOrder(m + 1, workspace.aRings[1].data(), workspace);
    });
    FieldFromOrders(aByOrder.data(), L, convention, nThreads, result);
}
