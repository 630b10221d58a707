#pragma once

#include <cstdint>

#include "infra/kernel_path.h"

// The kernel of CQuarterTurn, compiled once for each instruction set (quarter_turn_kernels.cpp):
// the columns of one parity of a quarter turn of degree l, each made by its recurrence down from
// k = l and summed against the coefficients as it goes.

// A column still below the double range is scaled by 2^kTurnScaleBits until it has grown back.
constexpr int kTurnScaleBits = 256;

struct QuarterTurnKernels
{
    // For the columns m = p, p + 2, ... <= l: from Delta_lm = pStart[m] 2^pStartExponent[m], the
    // column's values scaled, Delta'_km = g_k Delta_km, by the recurrence
    //   Delta'_(k-1)m = m pC1[k] Delta'_km - Delta'_(k+1)m,
    // and the sums over k of Delta'_km pIn[k] with k + l + m even into pCos[m], with k + l + m odd
    // into pSin[m].
    void (*sumColumns)(int32_t l, int32_t p, const double* pC1, const double* pIn, const double* pStart,
                       const int64_t* pStartExponent, double* pCos, double* pSin);
};

const QuarterTurnKernels& QuarterTurnKernelsFor(KernelPath path);
