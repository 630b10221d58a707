#pragma once

#include <complex>
#include <cstddef>

// ducc0's transforms for the bench, behind plain functions, so that the bench (built with Lobara's
// flags) never sees ducc0's headers; ducc0_side.cpp is built with ducc0's own flags.
//
// a_lm in the triangular layout shared by libsharp, healpy and ducc0 (index m (2L + 1 - m) / 2 + l),
// complex with the Condon-Shortley phase; maps row by row, nT x nP, rows theta_i = i pi / (nT - 1).
void DuccSynthesisCC(const std::complex<double>* pAlm, size_t nLmax, double* pMap, size_t nT, size_t nP,
                     size_t nThreads);
void DuccAnalysisCC(std::complex<double>* pAlm, size_t nLmax, const double* pMap, size_t nT, size_t nP,
                    size_t nThreads);
// In place: rotate_alm(psi, theta, phi), the rotation Rz(phi) Ry(theta) Rz(psi).
void DuccRotate(std::complex<double>* pAlm, size_t nLmax, double dPsi, double dTheta, double dPhi,
                size_t nThreads);
// On the HEALPix grid of nSide in RING order (its rings' theta, pixels, phi0 and first pixels given
// by the caller, 4 nSide - 1 of them): the synthesis of nComponents (1 for spin 0, 2 for the
// gradient and curl of spin nSpin) sets of a_lm in the layout above, each after the last, into as
// many maps of 12 nSide^2 pixels, and its adjoint into the a_lm.
struct DuccRings
{
    const double* pTheta;
    const size_t* pPixels;
    const double* pPhi0;
    const size_t* pFirst;
    size_t nRings, nPixels;
};
void DuccRingSynthesis(const std::complex<double>* pAlm, size_t nComponents, size_t nSpin, size_t nLmax,
                       const DuccRings& rings, double* pMap, size_t nThreads);
void DuccRingAdjoint(std::complex<double>* pAlm, size_t nComponents, size_t nSpin, size_t nLmax,
                     const DuccRings& rings, const double* pMap, size_t nThreads);
// The doubles in ducc0's vectors as built.
size_t DuccVectorLength();
// The Legendre part of the synthesis alone (no FFT): leg[ring (nLmax + 1) + m] = sum_l a_lm
// lambda_lm(theta_ring).
void DuccLegendreSums(const std::complex<double>* pAlm, size_t nLmax, std::complex<double>* pLeg,
                      const double* pTheta, size_t nRings, size_t nThreads);
