#include "sht/meridian_quadrature.h"

#include <algorithm>
#include <mutex>
#include <new>

#include "infra/fftw_planner.h"
#include "sht/angles.h"
#include "sht/gauss_legendre.h"

namespace {

// The integrals of the Chebyshev polynomials over [-1, 1]: 2 / (1 - k^2) for even k, 0 for odd.
double ChebyshevMoment(int32_t k)
{
    const double dK = static_cast<double>(k);
    return k % 2 != 0 ? 0.0 : 2.0 / (1.0 - dK * dK);
}

// The weights of an interpolatory rule from the Chebyshev moments by one real transform: for
// Clenshaw-Curtis nodes i pi / n (kind REDFT00, n + 1 nodes, the end weights halved) the weights
// are Y_i / n; for Fejer's first rule on n nodes (REDFT01) Y_i / n.
std::vector<double> InterpolatoryWeights(int32_t nNodes, int32_t n, fftw_r2r_kind kind)
{
    std::vector<double> aMoments(static_cast<size_t>(nNodes)), aWeights(static_cast<size_t>(nNodes));
    for (int32_t k = 0; k < nNodes; ++k)
        aMoments[static_cast<size_t>(k)] = ChebyshevMoment(k);
    if (nNodes == 1)
        return {2.0};  // one Fejer node at the equator
    {
        const std::lock_guard<std::mutex> lock(FftwPlannerLock());
        const fftw_plan plan =
            fftw_plan_r2r_1d(nNodes, aMoments.data(), aWeights.data(), kind, FFTW_ESTIMATE);
        if (plan == nullptr)
            throw std::bad_alloc();
        fftw_execute(plan);
        fftw_destroy_plan(plan);
    }
    for (int32_t i = 0; i < nNodes; ++i)
    {
        const bool bEnd = kind == FFTW_REDFT00 && (i == 0 || i == nNodes - 1);
        aWeights[static_cast<size_t>(i)] *= (bEnd ? 0.5 : 1.0) / n;
    }
    return aWeights;
}

// nNodes Clenshaw-Curtis nodes i pi / (nNodes - 1), as the program's own grid has them.
std::vector<double> ClenshawCurtisThetas(int32_t nNodes)
{
    std::vector<double> aTheta(static_cast<size_t>(nNodes));
    for (int32_t i = 0; i < nNodes; ++i)
        aTheta[static_cast<size_t>(i)] = SampleTheta(i, nNodes);
    return aTheta;
}

// The south pole of dh's n rings, the Clenshaw-Curtis ring i = n: 0 for m > 0, where every
// Pbar_lm vanishes; for m = 0 the value that leaves the series' Nyquist term 0 in a field of
// degree below n: g_n = -(-1)^n (g_0 + 2 sum_(i=1..n-1) (-1)^i g_i).
std::complex<double> DhSouthPole(int32_t m, const std::complex<double>* pSource, size_t n)
{
    if (m != 0)
        return 0.0;
    std::complex<double> sum = pSource[0];
    for (size_t i = 1; i < n; ++i)
        sum += (i % 2 == 0 ? 2.0 : -2.0) * pSource[i];
    return (n % 2 == 0 ? -1.0 : 1.0) * sum;
}

}  // namespace

CMeridianQuadrature::CMeridianQuadrature(SampleGrid grid, int32_t nT, int32_t nMaxDegree)
    : m_grid(grid), m_nT(nT), m_nMaxDegree(std::max(nMaxDegree, 0))
{
    const int32_t L = m_nMaxDegree;
    switch (grid)
    {
        case SampleGrid::kGl:
        {
            GaussLegendre rule = MakeGaussLegendre(nT);
            m_aTheta = std::move(rule.aTheta);
            m_aWeight = std::move(rule.aWeight);
            return;
        }
        case SampleGrid::kLobara:
        case SampleGrid::kDh:
            m_nSourceIntervals = grid == SampleGrid::kLobara ? nT - 1 : nT;
            m_bResample = m_nSourceIntervals < 2 * L;
            break;
        case SampleGrid::kCells:
            m_nSourceIntervals = nT;
            m_bResample = nT < 2 * L + 1;
            break;
    }
    if (!m_bResample && grid == SampleGrid::kCells)
    {
        m_aTheta = GridThetas(grid, nT);
        m_aWeight = InterpolatoryWeights(nT, nT, FFTW_REDFT01);
        return;
    }
    // Clenshaw-Curtis rings: the grid's own (with the south pole for dh) or 2L + 1 of them.
    const int32_t nIntervals = m_bResample ? std::max(2 * L, 2) : m_nSourceIntervals;
    m_aTheta = ClenshawCurtisThetas(nIntervals + 1);
    m_aWeight = InterpolatoryWeights(nIntervals + 1, nIntervals, FFTW_REDFT00);
    if (!m_bResample)
        return;
    const bool bCells = grid == SampleGrid::kCells;
    const int32_t n = m_nSourceIntervals;
    m_aForward[0] = MakePlan(bCells ? n : n + 1, bCells ? FFTW_REDFT10 : FFTW_REDFT00);
    m_aBack[0] = MakePlan(nIntervals + 1, FFTW_REDFT00);
    if (L >= 1)
    {
        m_aForward[1] = MakePlan(bCells ? n : n - 1, bCells ? FFTW_RODFT10 : FFTW_RODFT00);
        m_aBack[1] = MakePlan(nIntervals - 1, FFTW_RODFT00);
    }
}

CMeridianQuadrature::~CMeridianQuadrature()
{
    for (const Plan* pPlans : {m_aForward, m_aBack})
        for (int p = 0; p < 2; ++p)
            if (pPlans[p].plan != nullptr)
                fftw_destroy_plan(pPlans[p].plan);
}

CMeridianQuadrature::Plan CMeridianQuadrature::MakePlan(int32_t nSize, fftw_r2r_kind kind)
{
    // Real and imaginary parts side by side: two transforms of stride 2, one double apart.
    std::vector<double> aIn(2 * static_cast<size_t>(nSize)), aOut(2 * static_cast<size_t>(nSize));
    const int nSizes[] = {nSize};
    const std::lock_guard<std::mutex> lock(FftwPlannerLock());
    const fftw_plan plan = fftw_plan_many_r2r(1, nSizes, 2, aIn.data(), nullptr, 2, 1, aOut.data(), nullptr,
                                              2, 1, &kind, FFTW_ESTIMATE | FFTW_UNALIGNED);
    if (plan == nullptr)
        throw std::bad_alloc();
    return Plan{plan, nSize};
}

const std::complex<double>* CMeridianQuadrature::Transfer(int32_t m, const std::complex<double>* pSource,
                                                          std::complex<double>* pTarget,
                                                          std::vector<double>& aScratch) const
{
    const size_t nT = static_cast<size_t>(m_nT);
    if (!m_bResample)
    {
        if (m_grid != SampleGrid::kDh)
            return pSource;
        std::copy(pSource, pSource + nT, pTarget);
        pTarget[nT] = DhSouthPole(m, pSource, nT);
        return pTarget;
    }
    const int nParity = m % 2;
    const Plan& forward = m_aForward[nParity];
    const Plan& back = m_aBack[nParity];
    const size_t nIn = static_cast<size_t>(forward.nSize), nOut = static_cast<size_t>(back.nSize);
    aScratch.resize(2 * (nIn + nIn + nOut));
    double* pIn = aScratch.data();
    double* pSeries = pIn + 2 * nIn;
    double* pCoefficients = pSeries + 2 * nIn;
    // The forward transform's input: every ring for Fejer's rings; for Clenshaw-Curtis rings all
    // of them (with dh's south pole) for even orders and the rings between the poles for odd ones.
    const bool bCells = m_grid == SampleGrid::kCells;
    const size_t nFirst = bCells || nParity == 0 ? 0 : 1;
    const auto* pSourceParts = reinterpret_cast<const double*>(pSource);
    std::copy(pSourceParts + 2 * nFirst, pSourceParts + 2 * std::min(nT, nFirst + nIn), pIn);
    if (m_grid == SampleGrid::kDh && nParity == 0)
    {
        const std::complex<double> pole = DhSouthPole(m, pSource, nT);
        pIn[2 * nT] = pole.real();
        pIn[2 * nT + 1] = pole.imag();
    }
    fftw_execute_r2r(forward.plan, pIn, pSeries);
    // Series coefficient k of the grid's transform over 2 n (1 / (2 n) in both kinds) is the
    // back transform's input; degrees above L are 0 in a field of degree L.
    const double dScale = 1.0 / (2.0 * m_nSourceIntervals);
    const size_t nKeep = static_cast<size_t>(nParity == 0 ? m_nMaxDegree + 1 : m_nMaxDegree);
    std::fill(pCoefficients, pCoefficients + 2 * nOut, 0.0);
    for (size_t k = 0; k < 2 * std::min({nKeep, nIn, nOut}); ++k)
        pCoefficients[k] = pSeries[k] * dScale;
    auto* pTargetParts = reinterpret_cast<double*>(pTarget);
    if (nParity == 0)
    {
        fftw_execute_r2r(back.plan, pCoefficients, pTargetParts);
        return pTarget;
    }
    // Odd orders vanish at the poles.
    fftw_execute_r2r(back.plan, pCoefficients, pTargetParts + 2);
    pTarget[0] = 0.0;
    pTarget[nOut + 1] = 0.0;
    return pTarget;
}
