#pragma once

#include <complex>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "sht/healpy_layout.h"

// Spherical harmonic transforms (spin 0 and spin s) between HEALPix maps in RING order and complex
// coefficients a_lm of orders m = 0 .. M and degrees l = m .. L, kept as healpy keeps them
// (sht/healpy_layout.h).
//
// For each order, one run of the project's Legendre recurrence gives the sums at a northern ring
// and at its mirror; each ring then sums its orders by its own FFT (CHealpixRingFourier). Rings go
// through in chunks, so that the orders' sums of one chunk only are held at once, and the orders
// and then the rings of a chunk are shared among the threads.
class CHealpixTransform
{
public:
    // Of spin-0 maps, or for nSpin >= 1 of spin-weighted pairs (see CSpinLegendre). Throws
    // std::invalid_argument with one line for Nside out of range, M > L, L < 0 or a spin out of
    // range, and std::bad_alloc.
    CHealpixTransform(int64_t nSide, int32_t nLmax, int32_t nMmax, unsigned nThreads = 0, int32_t nSpin = 0);
    ~CHealpixTransform();
    CHealpixTransform(const CHealpixTransform&) = delete;
    CHealpixTransform& operator=(const CHealpixTransform&) = delete;

    int64_t Pixels() const;
    size_t Coefficients() const;

    // The map of the coefficients pAlm, 12 Nside^2 values.
    void Synthesize(const std::complex<double>* pAlm, double* pMap) const;
    // The adjoint of the synthesis times dWeight: dWeight sum over the pixels of f_p conj(Y_lm(p)),
    // into pAlm or added to what it holds.
    void Adjoint(const double* pMap, double dWeight, std::complex<double>* pAlm, bool bAdd) const;
    // healpy's map2alm: the quadrature with every pixel's weight 4 pi / Npix, then nIter Jacobi
    // steps, each analysing what the synthesis of the coefficients so far leaves of the map and
    // adding that.
    void Analyze(const double* pMap, int32_t nIter, std::complex<double>* pAlm) const;

    // Spin s: the maps Q and U (Q + i U of spin s) of the gradient and curl coefficients E and B, the
    // adjoint times dWeight, and healpy's map2alm_spin with nIter Jacobi steps, as above.
    void SynthesizeSpin(const std::complex<double>* pE, const std::complex<double>* pB, double* pQ,
                        double* pU) const;
    void AdjointSpin(const double* pQ, const double* pU, double dWeight, std::complex<double>* pE,
                     std::complex<double>* pB, bool bAdd) const;
    void AnalyzeSpin(const double* pQ, const double* pU, int32_t nIter, std::complex<double>* pE,
                     std::complex<double>* pB) const;

private:
    struct Implementation;
    std::unique_ptr<Implementation> m_pImplementation;
};
