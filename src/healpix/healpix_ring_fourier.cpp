#include "healpix/healpix_ring_fourier.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>

#include "sht/angles.h"

namespace {

// The turns e^(i pi r / n) come as e^(i pi (a kStep + b) / n) from a table of each.
constexpr int64_t kStep = 64;

// The length of Bluestein's convolution of a sequence of n: the least 2^a 3^b from 2 n - 1 on,
// whose transforms FFTW plans at once and runs about as fast a point as a power of two's (the
// convolutions of the caps' rings took a third less time than of powers of two alone).
int64_t ConvolutionLength(int64_t n)
{
    const int64_t nLeast = 2 * n - 1;
    int64_t nBest = 1;
    while (nBest < nLeast)
        nBest *= 2;
    for (int64_t nThree = 3; nThree < 2 * nLeast; nThree *= 3)
    {
        int64_t nLength = nThree;
        while (nLength < nLeast)
            nLength *= 2;
        nBest = std::min(nBest, nLength);
    }
    return nBest;
}

}  // namespace

const CHealpixRingFourier::ConvolutionPlans& CHealpixRingFourier::PlansOfLength(int64_t nLength)
{
    // Made once in the process for each length (a few dozen up to Nside 8192), guarded by the
    // planner's lock, never destroyed: a transform's plans stay valid for as long as it runs.
    static auto& made = *new std::map<int64_t, ConvolutionPlans>;
    const std::lock_guard<std::recursive_mutex> lock(FftwPlannerLock());
    const auto found = made.find(nLength);
    if (found != made.end())
        return found->second;
    const FftwArray<fftw_complex> pValues = AllocateFftwComplexes(static_cast<size_t>(nLength));
    ConvolutionPlans& plans = made[nLength];
    const auto n = static_cast<int>(nLength);
    FftwPlan forward(fftw_plan_dft_1d(n, pValues.get(), pValues.get(), FFTW_FORWARD, FFTW_ESTIMATE));
    FftwPlan backward(fftw_plan_dft_1d(n, pValues.get(), pValues.get(), FFTW_BACKWARD, FFTW_ESTIMATE));
    if (!forward || !backward)
    {
        made.erase(nLength);
        throw std::bad_alloc();
    }
    plans = ConvolutionPlans{nLength, forward.release(), backward.release()};
    return plans;
}

CHealpixRingFourier::CHealpixRingFourier(int64_t nSide, int32_t nMmax) : m_nSide(nSide), m_nMmax(nMmax)
{
    const auto nBelt = static_cast<int>(4 * nSide);
    const FftwArray<double> pValues = AllocateFftwReals(static_cast<size_t>(nBelt));
    const FftwArray<fftw_complex> pHalf = AllocateFftwComplexes(static_cast<size_t>(nBelt) / 2 + 1);
    {
        const std::lock_guard<std::recursive_mutex> lock(FftwPlannerLock());
        m_toBelt.reset(fftw_plan_dft_c2r_1d(nBelt, pHalf.get(), pValues.get(), FFTW_ESTIMATE));
        m_fromBelt.reset(fftw_plan_dft_r2c_1d(nBelt, pValues.get(), pHalf.get(), FFTW_ESTIMATE));
    }
    if (!m_toBelt || !m_fromBelt)
        throw std::bad_alloc();
    // Cap ring i has 4 i pixels.
    for (int64_t i = 1; i < nSide; ++i)
        m_aCapPlans.push_back(&PlansOfLength(ConvolutionLength(4 * i)));
}

CHealpixRingFourier::Workspace CHealpixRingFourier::MakeWorkspace() const
{
    const auto nBelt = static_cast<size_t>(4 * m_nSide);
    const auto nConvolution = static_cast<size_t>(ConvolutionLength(4 * (m_nSide - 1)));
    return Workspace{AllocateFftwReals(nBelt),
                     AllocateFftwComplexes(nBelt / 2 + 1),
                     AllocateFftwComplexes(nConvolution),
                     AllocateFftwComplexes(nConvolution),
                     std::vector<std::complex<double>>(2 * nBelt),
                     std::vector<std::complex<double>>(static_cast<size_t>(m_nMmax) + 1),
                     std::vector<std::complex<double>>(nBelt),
                     std::vector<std::complex<double>>(nBelt),
                     0,
                     0,
                     0.0};
}

void CHealpixRingFourier::MakeTurns(int64_t n, Workspace& workspace) const
{
    if (workspace.nTurns == n)
        return;
    workspace.nTurns = n;
    const auto turn = [n](int64_t r) {
        const double dAngle = kPi * static_cast<double>(r) / static_cast<double>(n);
        return std::complex<double>(std::cos(dAngle), std::sin(dAngle));
    };
    std::complex<double> aFine[kStep];
    for (int64_t b = 0; b < std::min(kStep, 2 * n); ++b)
        aFine[b] = turn(b);
    std::complex<double>* pTurns = workspace.aTurns.data();
    for (int64_t a = 0; a * kStep < 2 * n; ++a)
    {
        const std::complex<double> coarse = turn(a * kStep);
        for (int64_t r = a * kStep; r < std::min(2 * n, (a + 1) * kStep); ++r)
            pTurns[r] = coarse * aFine[r - a * kStep];
    }
}

void CHealpixRingFourier::MakeOrderTurns(const HealpixRing& ring, Workspace& workspace) const
{
    if (workspace.nOrderTurns == ring.nPixels && workspace.dOrderPhi0 == ring.dPhi0)
        return;
    workspace.nOrderTurns = ring.nPixels;
    workspace.dOrderPhi0 = ring.dPhi0;
    // phi0 is pi / n or 0: e^(i m phi0) is turn m modulo 2 n.
    const int64_t nPeriod = 2 * ring.nPixels;
    int64_t r = 0;
    for (int64_t m = 0; m <= m_nMmax; ++m)
    {
        workspace.aOrderTurns[static_cast<size_t>(m)] =
            ring.dPhi0 == 0.0 ? 1.0 : workspace.aTurns[static_cast<size_t>(r)];
        if (++r == nPeriod)
            r = 0;
    }
}

void CHealpixRingFourier::Chirp(int64_t n, bool bInverse, Workspace& workspace) const
{
    // k j = (k^2 + j^2 - (j - k)^2) / 2: the sum is w_j times the convolution of z_k w_k with
    // conj(w_q), w_q = e^(+-i pi q^2 / n), q^2 taken modulo 2 n exactly.
    const ConvolutionPlans& plans = *m_aCapPlans[static_cast<size_t>(n / 4 - 1)];
    const int64_t nSize = plans.nLength;
    // w_q for q = 0, 1, ... in turn: q^2 modulo 2 n grows by 2 q + 1 at each.
    auto chirps = [&, nSquare = int64_t{0}, q = int64_t{0}]() mutable {
        const std::complex<double> w = workspace.aTurns[static_cast<size_t>(nSquare)];
        nSquare += 2 * q + 1;
        ++q;
        while (nSquare >= 2 * n)
            nSquare -= 2 * n;
        return bInverse ? w : std::conj(w);
    };
    auto* pChirped = reinterpret_cast<std::complex<double>*>(workspace.pChirped.get());
    auto* pKernel = reinterpret_cast<std::complex<double>*>(workspace.pKernel.get());
    std::complex<double>* pChirps = workspace.aChirps.data();
    std::fill(pChirped + n, pChirped + nSize, std::complex<double>(0.0, 0.0));
    std::fill(pKernel + n, pKernel + nSize - n + 1, std::complex<double>(0.0, 0.0));
    for (int64_t q = 0; q < n; ++q)
    {
        const std::complex<double> w = chirps();
        pChirps[q] = w;
        pChirped[q] = workspace.aSpectrum[static_cast<size_t>(q)] * w;
        pKernel[q] = std::conj(w);
        if (q > 0)
            pKernel[nSize - q] = std::conj(w);
    }
    fftw_execute_dft(plans.forward, workspace.pChirped.get(), workspace.pChirped.get());
    fftw_execute_dft(plans.forward, workspace.pKernel.get(), workspace.pKernel.get());
    for (int64_t k = 0; k < nSize; ++k)
        pChirped[k] *= pKernel[k];
    fftw_execute_dft(plans.backward, workspace.pChirped.get(), workspace.pChirped.get());
    const double dScale = 1.0 / static_cast<double>(nSize);
    for (int64_t j = 0; j < n; ++j)
        workspace.aSpectrum[static_cast<size_t>(j)] = pChirped[j] * pChirps[j] * dScale;
}

void CHealpixRingFourier::ToRings(const HealpixRing& ring, const std::complex<double>* pOrders,
                                  const std::complex<double>* pMirrorOrders, double* pValues,
                                  double* pMirrorValues, Workspace& workspace) const
{
    const int64_t n = ring.nPixels, nHalf = n / 2;
    MakeTurns(n, workspace);
    MakeOrderTurns(ring, workspace);
    const std::complex<double>* pTurns = workspace.aOrderTurns.data();
    if (n == 4 * m_nSide)
    {
        // Each ring by its real transform, from X_k for k <= n / 2: F_m e^(i m phi0) at frequency
        // m mod n, its conjugate (from F_-m) at -m mod n.
        auto* pHalf = reinterpret_cast<std::complex<double>*>(workspace.pHalf.get());
        for (const auto& [pFrom, pTo] :
             {std::make_pair(pOrders, pValues), std::make_pair(pMirrorOrders, pMirrorValues)})
        {
            if (pFrom == nullptr)
                continue;
            std::fill(pHalf, pHalf + nHalf + 1, std::complex<double>(0.0, 0.0));
            pHalf[0] = pFrom[0];
            for (int64_t m = 1, k = 1 % n; m <= m_nMmax; ++m, k = k + 1 == n ? 0 : k + 1)
            {
                const std::complex<double> f = pFrom[m] * pTurns[m];
                if (k <= nHalf)
                    pHalf[k] += f;
                if (k == 0 || k >= nHalf)
                    pHalf[k == 0 ? 0 : n - k] += std::conj(f);
            }
            fftw_execute_dft_c2r(m_toBelt.get(), workspace.pHalf.get(), workspace.pValues.get());
            std::copy(workspace.pValues.get(), workspace.pValues.get() + n, pTo);
        }
        return;
    }
    // A cap ring and its mirror: the full spectra X + i X' of both, whose transform holds the
    // ring in its real parts and the mirror in its imaginary ones.
    std::complex<double>* pSpectrum = workspace.aSpectrum.data();
    std::fill(pSpectrum, pSpectrum + n, std::complex<double>(0.0, 0.0));
    const std::complex<double> i(0.0, 1.0);
    pSpectrum[0] = pOrders[0].real() + i * pMirrorOrders[0].real();
    for (int64_t m = 1, k = 1 % n; m <= m_nMmax; ++m, k = k + 1 == n ? 0 : k + 1)
    {
        const std::complex<double> turn = pTurns[m];
        const std::complex<double> f = pOrders[m] * turn, g = pMirrorOrders[m] * turn;
        pSpectrum[k] += f + i * g;
        pSpectrum[k == 0 ? 0 : n - k] += std::conj(f) + i * std::conj(g);
    }
    Chirp(n, true, workspace);
    for (int64_t j = 0; j < n; ++j)
    {
        pValues[j] = pSpectrum[j].real();
        pMirrorValues[j] = pSpectrum[j].imag();
    }
}

void CHealpixRingFourier::FromRings(const HealpixRing& ring, const double* pValues,
                                    const double* pMirrorValues, std::complex<double>* pOrders,
                                    std::complex<double>* pMirrorOrders, Workspace& workspace) const
{
    const int64_t n = ring.nPixels, nHalf = n / 2;
    MakeTurns(n, workspace);
    MakeOrderTurns(ring, workspace);
    const std::complex<double>* pTurns = workspace.aOrderTurns.data();
    if (n == 4 * m_nSide)
    {
        const auto* pHalf = reinterpret_cast<const std::complex<double>*>(workspace.pHalf.get());
        for (const auto& [pFrom, pTo] :
             {std::make_pair(pValues, pOrders), std::make_pair(pMirrorValues, pMirrorOrders)})
        {
            if (pFrom == nullptr)
                continue;
            std::copy(pFrom, pFrom + n, workspace.pValues.get());
            fftw_execute_dft_r2c(m_fromBelt.get(), workspace.pValues.get(), workspace.pHalf.get());
            for (int64_t m = 0, k = 0; m <= m_nMmax; ++m, k = k + 1 == n ? 0 : k + 1)
            {
                const std::complex<double> x = k <= nHalf ? pHalf[k] : std::conj(pHalf[n - k]);
                pTo[m] = x * std::conj(pTurns[m]);
            }
        }
        return;
    }
    // The transform of the ring plus i times its mirror: X_k = (Z_k + conj Z_-k) / 2 of the ring,
    // (Z_k - conj Z_-k) / 2i of the mirror.
    std::complex<double>* pSpectrum = workspace.aSpectrum.data();
    for (int64_t j = 0; j < n; ++j)
        pSpectrum[j] = {pValues[j], pMirrorValues[j]};
    Chirp(n, false, workspace);
    for (int64_t m = 0, k = 0; m <= m_nMmax; ++m, k = k + 1 == n ? 0 : k + 1)
    {
        const std::complex<double> z = pSpectrum[k], zMinus = std::conj(pSpectrum[k == 0 ? 0 : n - k]);
        const std::complex<double> turn = std::conj(pTurns[m]);
        pOrders[m] = 0.5 * (z + zMinus) * turn;
        pMirrorOrders[m] = std::complex<double>(0.0, -0.5) * (z - zMinus) * turn;
    }
}
