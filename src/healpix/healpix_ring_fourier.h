#pragma once

#include <complex>
#include <cstdint>
#include <vector>

#include "healpix/healpix_rings.h"
#include "infra/fftw_planner.h"

// The sums over the orders along the rings of a HEALPix map, and their adjoint. A ring of n pixels
// at phi_j = phi0 + 2 pi j / n holds f_j = sum over m = -M .. M of F_m e^(i m phi_j), F_-m the
// conjugate of F_m: orders m = k mod n fold onto the same frequency k of the ring's transform, each
// turned by e^(i m phi0) first.
//
// The belt's rings, all of 4 Nside pixels, take FFTW's real transforms of that length. The caps
// have a length 4 i for each ring i < Nside, many of them with a large prime factor, for which
// FFTW's planner alone would take seconds at Nside 2048: a cap ring and its mirror (of the same
// length and phi0) go together as the real and imaginary parts of one complex sequence through
// Bluestein's chirp transform, a convolution by FFTW's transforms of a length 2^a 3^b.
class CHealpixRingFourier
{
public:
    CHealpixRingFourier(int64_t nSide, int32_t nMmax);

    // A thread's buffers, in FFTW's own storage as the plans were made on.
    struct Workspace
    {
        FftwArray<double> pValues;
        FftwArray<fftw_complex> pHalf, pChirped, pKernel;
        // e^(i pi r / n) for r < 2 n; e^(i m phi0) for m = 0 .. M; a ring pair's full spectra; the
        // chirp's factors of a cap ring.
        std::vector<std::complex<double>> aTurns, aOrderTurns, aSpectrum, aChirps;
        // The n of aTurns and the n and phi0 of aOrderTurns (0 before any), kept for the next ring:
        // the belt's rings share them.
        int64_t nTurns = 0, nOrderTurns = 0;
        double dOrderPhi0 = 0.0;
    };
    Workspace MakeWorkspace() const;

    // A northern ring's values from its F_m, m = 0 .. M, and its mirror's (the equator's ring
    // has none: pMirrorOrders and pMirrorValues null).
    void ToRings(const HealpixRing& ring, const std::complex<double>* pOrders,
                 const std::complex<double>* pMirrorOrders, double* pValues, double* pMirrorValues,
                 Workspace& workspace) const;
    // The adjoint: G_m = sum_j f_j e^(-i m phi_j) for m = 0 .. M of the ring and of its mirror.
    void FromRings(const HealpixRing& ring, const double* pValues, const double* pMirrorValues,
                   std::complex<double>* pOrders, std::complex<double>* pMirrorOrders,
                   Workspace& workspace) const;

private:
    // e^(i pi r / n) for r < 2 n into workspace.aTurns, from two short tables of sines and cosines.
    void MakeTurns(int64_t n, Workspace& workspace) const;
    // e^(i m phi0) of a ring for m = 0 .. M into workspace.aOrderTurns, from its turns.
    void MakeOrderTurns(const HealpixRing& ring, Workspace& workspace) const;
    // workspace.aSpectrum[k] = sum_j z_j e^(+-2 pi i k j / n), in place, by Bluestein's transform.
    void Chirp(int64_t n, bool bInverse, Workspace& workspace) const;

    // Complex transforms in place of one length, forward and backward.
    struct ConvolutionPlans
    {
        int64_t nLength;
        fftw_plan forward, backward;
    };
    // The plans of Bluestein's convolutions of nLength, made at the first call for it.
    static const ConvolutionPlans& PlansOfLength(int64_t nLength);

    int64_t m_nSide;
    int32_t m_nMmax;
    FftwPlan m_toBelt, m_fromBelt;
    // The convolution's plans of cap ring i + 1.
    std::vector<const ConvolutionPlans*> m_aCapPlans;
};
