#pragma once

#include <cstdint>

#include "infra/kernel_path.h"

// The loops of CSpinLegendre, compiled once for each instruction set (spin_kernels.cpp): both
// Wigner-d recurrences of one order run over the points degree by degree, and each degree's
// L+ and L- weighed into the orders' sums of Q and U (synthesis) or the points' orders gathered
// into the degree's E and B (adjoint).

// One order's recurrences: z^l = (A t + B) z^(l-1) - z^(l-2) for l = nStart + 1 .. nLmax, the
// tables indexed by l - nStart - 1, for d^l_(m,-s) (0) and d^l_(m,s) (1), each divided by the
// degree's scale S_l.
struct SpinTables
{
    int32_t nStart, nLmax, nParity;  // nParity: (m + s) % 2
    const double* pA;                // alike for both
    const double* pB[2];
    const double* pNorm;  // sqrt((2l + 1) / 4 pi) / 2 times S_l, by l
};

// The points' state: t = cos(theta) - 1, and each recurrence's value, the one before it and its
// chunks below the double range (legendre_scaling), from its start at nStart.
struct SpinPoints
{
    const double* pT;
    double* pPrevious[2];
    double* pCurrent[2];
    int64_t* pChunks[2];
};

struct SpinKernels
{
    // pParts: eight arrays of nCount, the real and imaginary parts of Q even under the mirror, Q odd,
    // U even, U odd, written; pE and pB: E_lm and B_lm of l = m .. nLmax as real, imaginary pairs,
    // from pE[2 (l - m)] where m = nOrder; pScratch room for 4 doubles a degree.
    void (*sums)(const SpinTables& tables, SpinPoints& points, int32_t nCount, int32_t nOrder,
                 const double* pE, const double* pB, double* const* pParts, double* pScratch);
    // The adjoint: from the parts as above, E -= w sum (L+ Q + i L- U), B -= w sum (L+ U - i L- Q),
    // the sums gathered in pScratch, room for 32 doubles a degree.
    void (*accumulate)(const SpinTables& tables, SpinPoints& points, int32_t nCount, int32_t nOrder,
                       const double* const* pParts, double dWeight, double* pE, double* pB, double* pScratch);
};

const SpinKernels& ActiveSpinKernels();
