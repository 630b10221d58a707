#include "sht/ring_orders.h"

#include <algorithm>
#include <complex>

#include "infra/thread_sharing.h"
#include "sht/ring_fourier.h"

size_t OrderStride(int32_t nT)
{
    return (static_cast<size_t>(nT) + 3) / 4 * 4;
}

RingOrderArray RingOrders(const double* pValues, int32_t nT, int32_t nP, int32_t L, unsigned nThreads)
{
    constexpr size_t kRingsPerBlock = CRingFourier::kBlockRings;
    const size_t nRings = static_cast<size_t>(nT), nSize = static_cast<size_t>(nP), nStride = OrderStride(nT);
    RingOrderArray aOrders(2 * (static_cast<size_t>(L) + 1) * nStride);
    const size_t nBlocks = (nRings + kRingsPerBlock - 1) / kRingsPerBlock;
    const unsigned nUsed = std::min<unsigned>(nThreads, static_cast<unsigned>(nBlocks));
    const CRingFourier fourier(nP, L + 1, CRingFourier::Direction::kForward);
    std::vector<CRingFourier::Workspace> aWorkspaces;
    for (unsigned t = 0; t < nUsed; ++t)
        aWorkspaces.push_back(fourier.MakeWorkspace());
    auto* pOrders = reinterpret_cast<std::complex<double>*>(aOrders.data());
    const double dScale = 1.0 / static_cast<double>(nP);
    ShareAmongThreads(nBlocks, nUsed, [&](size_t nBlock, unsigned t) {
        const size_t nFirst = nBlock * kRingsPerBlock;
        fourier.Forward(pValues + nFirst * nSize, std::min(kRingsPerBlock, nRings - nFirst), dScale,
                        pOrders + nFirst, nStride, aWorkspaces[t]);
    });
    return aOrders;
}
