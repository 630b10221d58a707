#pragma once

#include <fftw3.h>

#include <complex>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "infra/fftw_planner.h"

// The Fourier coefficients of rings of nP real values, a block of up to kBlockRings rings at once:
// F_m = dScale * sum_j x_j e^(-2 pi i m j / nP) for the orders m < nOrders <= nP / 2 + 1.
//
// FFTW takes lengths made of small primes fast, but for a larger prime factor its estimating
// planner picks Rader's algorithm, which at nP = 2050 = 50 * 41 takes nearly three times as long
// as this: a length nP = S * P with a prime P from kLeastSplitPrime to kMostSplitPrime is split
// once, as Cooley and Tukey split it, into P transforms of length S (FFTW's, of two rings at a time
// as one complex sequence) and, for each of their S / 2 + 1 frequencies, a complex transform of
// length P summed directly, the block's rings side by side in vector lanes. Those sums cost about
// nP * P / 2 multiply-adds a ring: measured, they are the faster from P = 19 to 127 and slower
// beyond. Other lengths go to FFTW whole.
class CRingFourier
{
public:
    static constexpr size_t kBlockRings = 8;
    static constexpr int32_t kLeastSplitPrime = 19, kMostSplitPrime = 127;

    // From the rings' values to their spectra (Forward) or back (Inverse).
    enum class Direction
    {
        kForward,
        kInverse
    };

    // Plans the transform, holding FFTW's planner lock.
    CRingFourier(int32_t nP, int32_t nOrders, Direction direction);

    // A thread's buffers in FFTW's own storage, on which its plans run vector code where they are
    // aligned as the plan's were: the block's values and its half spectrum (X_k for k <= nP / 2,
    // laid out as HalfLayout says), which the plans may overwrite, and what the split keeps between
    // its two steps.
    struct Workspace
    {
        FftwArray<double> pRings;
        FftwArray<fftw_complex> pHalf;
        FftwArray<fftw_complex> pSplit;
    };
    Workspace MakeWorkspace() const;

    // X_k of ring r in a workspace's half spectrum: pHalf[k * nFrequencyStride + r * nRingStride].
    // The split takes each frequency's rings side by side, FFTW's whole transforms each ring's
    // frequencies (twice as fast as with the rings side by side at 2048 values).
    struct HalfLayout
    {
        size_t nFrequencyStride;
        size_t nRingStride;
    };
    HalfLayout Layout() const;

    // pRings holds nCount <= kBlockRings rings of nP values one after another; F_m of ring r goes
    // to pOrders[m * nOrderStride + r].
    void Forward(const double* pRings, size_t nCount, double dScale, std::complex<double>* pOrders,
                 size_t nOrderStride, Workspace& workspace) const;

    // The rings x_j = sum over k < nP of X_k e^(2 pi i k j / nP), X_(nP - k) the conjugate of X_k,
    // from the half spectrum in workspace.pHalf (which the call overwrites; X_0 and, for even nP,
    // X_(nP / 2) real): ring r < nCount to pFirstRing + r * nRingStep.
    void Inverse(size_t nCount, double* pFirstRing, ptrdiff_t nRingStep, Workspace& workspace) const;

private:
    int32_t m_nP;
    int32_t m_nOrders;
    // nP = m_nShort * m_nPrime where split, else m_nPrime = 1.
    int32_t m_nPrime = 1;
    int32_t m_nShort = 0;
    FftwPlan m_plan;
    // Split: e^(-2 pi i n2 k1 / nP) for each frequency k1 <= S / 2 of the short transforms and
    // each n2 < P, as cosine and sine; and cos, sin (2 pi j k2 / P) for j, k2 in 1 .. (P - 1) / 2,
    // j running fastest.
    std::vector<double> m_aTwiddles, m_aPrimeTrig;
};
