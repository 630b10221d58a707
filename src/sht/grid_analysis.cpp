#include "sht/grid_analysis.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <mutex>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "sht/angles.h"
#include "sht/fftw_planner.h"
#include "sht/meridian_quadrature.h"
#include "sht/normalized_legendre.h"
#include "sht/own_coefficients.h"
#include "sht/thread_sharing.h"

namespace {

// Rings transformed together, by one plan of FFTW for the lot (faster than one ring at a time:
// at 2050 values to a ring, 25 us a ring against 40), so that each order's values of them are
// written side by side.
constexpr int32_t kRingsPerBlock = 8;

// A plan for nRings rings of nP values side by side, read where they lie (and left as they are).
fftw_plan PlanRings(int32_t nRings, int32_t nP, const double* pValues, std::complex<double>* pOut)
{
    const std::lock_guard<std::mutex> lock(FftwPlannerLock());
    fftw_plan plan = fftw_plan_many_dft_r2c(1, &nP, nRings, const_cast<double*>(pValues), nullptr, 1, nP,
                                            reinterpret_cast<fftw_complex*>(pOut), nullptr, 1, nP / 2 + 1,
                                            FFTW_ESTIMATE | FFTW_UNALIGNED | FFTW_PRESERVE_INPUT);
    if (plan == nullptr)
        throw std::bad_alloc();
    return plan;
}

// F_m(theta_i) = (1 / nP) sum_j f(theta_i, phi_j) e^(-i m phi_j) for m = 0 .. L, order by order:
// aOrders[m * nT + i]. For f = sum_m C_m cos(m phi) + S_m sin(m phi), F_0 = C_0 and
// F_m = (C_m - i S_m) / 2.
std::vector<std::complex<double>> RingOrders(const double* pValues, int32_t nT, int32_t nP, int32_t L,
                                             unsigned nThreads)
{
    const size_t nRings = static_cast<size_t>(nT), nSize = static_cast<size_t>(nP);
    const size_t nOrders = static_cast<size_t>(L) + 1, nOut = nSize / 2 + 1;
    std::vector<std::complex<double>> aOrders(nOrders * nRings);
    const size_t nBlocks = (nRings + kRingsPerBlock - 1) / kRingsPerBlock;
    const unsigned nUsed = std::min<unsigned>(nThreads, static_cast<unsigned>(nBlocks));
    std::vector<std::vector<std::complex<double>>> aOutputs(
        nUsed, std::vector<std::complex<double>>(kRingsPerBlock * nOut));
    // One plan for whole blocks and one for the rings left over.
    const size_t nLeft = nRings % kRingsPerBlock;
    const fftw_plan block = PlanRings(kRingsPerBlock, nP, pValues, aOutputs[0].data());
    fftw_plan rest = nullptr;
    const double dScale = 1.0 / static_cast<double>(nP);
    try
    {
        if (nLeft != 0)
            rest = PlanRings(static_cast<int32_t>(nLeft), nP, pValues, aOutputs[0].data());
        ShareAmongThreads(nBlocks, nUsed, [&](size_t nBlock, unsigned t) {
            const size_t nFirst = nBlock * kRingsPerBlock;
            const size_t nCount = std::min<size_t>(kRingsPerBlock, nRings - nFirst);
            std::complex<double>* pOut = aOutputs[t].data();
            fftw_execute_dft_r2c(nCount == kRingsPerBlock ? block : rest,
                                 const_cast<double*>(pValues + nFirst * nSize),
                                 reinterpret_cast<fftw_complex*>(pOut));
            for (size_t m = 0; m < nOrders; ++m)
                for (size_t r = 0; r < nCount; ++r)
                    aOrders[m * nRings + nFirst + r] = pOut[r * nOut + m] * dScale;
        });
    }
    catch (...)
    {
        fftw_destroy_plan(block);
        if (rest != nullptr)
            fftw_destroy_plan(rest);
        throw;
    }
    fftw_destroy_plan(block);
    if (rest != nullptr)
        fftw_destroy_plan(rest);
    return aOrders;
}

// One thread's arrays for the orders.
struct OrderWorkspace
{
    std::vector<std::complex<double>> aRings;  // the order's values on the quadrature's rings
    std::vector<double> aScratch, aValues, aFolded, aSums;
    // The rings from the north pole where every function of the orders done so far vanished: a
    // thread takes the orders upwards, and at higher orders they vanish all the more.
    int32_t nVanished = 0;
};

}  // namespace

Field AnalyzeGrid(const double* pValues, SampleGrid grid, int32_t nT, int32_t nP, int32_t nMaxDegree,
                  const Convention& convention, unsigned nThreadsAsked)
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

    const std::vector<std::complex<double>> aOrders = RingOrders(pValues, nT, nP, L, nThreads);
    const CMeridianQuadrature quadrature(grid, nT, L);
    const int32_t nRings = quadrature.Rings(), nNorth = (nRings + 1) / 2;
    std::vector<double> aT(static_cast<size_t>(nNorth)), aU(static_cast<size_t>(nNorth));
    for (int32_t i = 0; i < nNorth; ++i)
    {
        aT[static_cast<size_t>(i)] = CosineLessOne(quadrature.Theta()[static_cast<size_t>(i)]);
        aU[static_cast<size_t>(i)] = std::sin(quadrature.Theta()[static_cast<size_t>(i)]);
    }

    const unsigned nUsed = std::min<unsigned>(nThreads, static_cast<unsigned>(L + 1));
    std::vector<OrderWorkspace> aWorkspaces(nUsed);
    for (OrderWorkspace& workspace : aWorkspaces)
    {
        workspace.aRings.resize(static_cast<size_t>(nRings));
        workspace.aValues.resize(4 * static_cast<size_t>(nNorth));
        workspace.aFolded.reserve(2 * NormalizedLegendre::kFold * (static_cast<size_t>(L) + 1));
    }
    // Y(l, 0) = Pbar, Y(l, m) = sqrt(2) Pbar cos(m phi) and Y(l, -m) = -sqrt(2) Pbar sin(m phi);
    // the integral over phi of f cos(m phi) is 2 pi Re F_m (m > 0), of f sin(m phi) -2 pi Im F_m.
    std::vector<double> aOwn(OwnCount(L));
    const std::vector<double>& aWeight = quadrature.Weight();
    const std::complex<double>* pOrders = aOrders.data();
    ShareAmongThreads(static_cast<size_t>(L) + 1, nUsed, [&](size_t nOrder, unsigned t) {
        const auto m = static_cast<int32_t>(nOrder);
        OrderWorkspace& workspace = aWorkspaces[t];
        quadrature.Transfer(m, pOrders + nOrder * static_cast<size_t>(nT), workspace.aRings.data(),
                            workspace.aScratch);
        // Each northern ring with its mirror: even degrees see the sum, odd ones the difference.
        // Whole groups of them, so that the other rings fill the same vectors as they would with
        // none left out and the sums keep their bits whichever orders the thread did before.
        const int32_t nSkip = workspace.nVanished - workspace.nVanished % NormalizedLegendre::kLanes;
        for (int32_t i = nSkip; i < nNorth; ++i)
        {
            const int32_t nMirror = nRings - 1 - i;
            const std::complex<double> north =
                aWeight[static_cast<size_t>(i)] * workspace.aRings[static_cast<size_t>(i)];
            const std::complex<double> south =
                nMirror == i
                    ? 0.0
                    : aWeight[static_cast<size_t>(nMirror)] * workspace.aRings[static_cast<size_t>(nMirror)];
            double* v = &workspace.aValues[4 * static_cast<size_t>(i)];
            v[0] = north.real() + south.real();
            v[1] = north.real() - south.real();
            v[2] = north.imag() + south.imag();
            v[3] = north.imag() - south.imag();
        }
        const NormalizedLegendre legendre(L, m);
        workspace.aFolded.assign(legendre.FoldedSize(), 0.0);
        workspace.nVanished =
            nSkip + legendre.AccumulateSums(aT.data() + nSkip, aU.data() + nSkip, nNorth - nSkip,
                                            workspace.aValues.data() + 4 * static_cast<size_t>(nSkip),
                                            workspace.aFolded.data());
        legendre.FinishSums(workspace.aFolded.data(), workspace.aSums);
        const double dCos = m == 0 ? kTwoPi : std::sqrt(2.0) * kTwoPi;
        for (int32_t l = m; l <= L; ++l)
        {
            const double* pPair = &workspace.aSums[2 * static_cast<size_t>(l - m)];
            aOwn[OwnIndex(l, m)] = dCos * pPair[0];
            if (m > 0)
                aOwn[OwnIndex(l, -m)] = std::sqrt(2.0) * kTwoPi * pPair[1];
        }
    });
    return FieldFromOwn(aOwn, L, convention);
}
