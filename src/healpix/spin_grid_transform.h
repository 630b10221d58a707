#pragma once

#include <complex>
#include <cstdint>

#include "sht/sample_grid.h"

// Spin-weighted fields (spin s >= 1) on the sample grids of the transforms (lobara, cells, dh, gl:
// nT rings from the north pole, nP values each at phi_j = 2 pi j / nP), with the gradient and curl
// coefficients E and B of orders m = 0 .. M, degrees l = m .. L, in healpy's layout (AlmIndex) and
// convention: Q + i U = -sum (E_lm + i B_lm) sY_lm, as CSpinLegendre and CHealpixTransform's spin
// maps have it (COSMO; the IAU convention's U is the negative). Values are row-major,
// pQ[i * nP + j] at (theta_i, phi_j).
//
// The synthesis sums each order's degrees at a northern ring and its mirror by CSpinLegendre, then
// each ring's orders by its FFT, orders beyond nP / 2 folding onto the ring's frequencies. The
// analysis is the adjoint, exact: each order's ring values, continued over the poles, are a
// trigonometric series in theta of parity (-1)^(m + s), as the spin-s functions d^l_(m,+-s) of that
// order are, so the grid's meridian quadrature (CMeridianQuadrature, which takes an order of
// parity p as it takes the spin-0 order of that parity) integrates their products with
// d^l_(m,+-s) exactly for every field of degree up to the grid's AnalysisLimit.

// Throws std::invalid_argument with one line for a shape that is no grid of that layout, M > L,
// L < 0, a spin out of range; std::bad_alloc.
void SynthesizeSpinGrid(const std::complex<double>* pE, const std::complex<double>* pB, int32_t nSpin,
                        int32_t nLmax, int32_t nMmax, SampleGrid grid, int32_t nT, int32_t nP, double* pQ,
                        double* pU, unsigned nThreads = 0);

// As above, and L beyond the grid's AnalysisLimit (the line gives the limit).
void AnalyzeSpinGrid(const double* pQ, const double* pU, SampleGrid grid, int32_t nT, int32_t nP,
                     int32_t nSpin, int32_t nLmax, int32_t nMmax, std::complex<double>* pE,
                     std::complex<double>* pB, unsigned nThreads = 0);
