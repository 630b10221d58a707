#pragma once

#include <cstddef>
#include <cstdint>

#include "infra/kernel_path.h"

// The kernels of NormalizedLegendre, compiled once for each instruction set (legendre_kernels.cpp):
// the start values, and the degree sums and their adjoint over the points of one order.

// The recurrences the sums run (see NormalizedLegendre): the paired one in x^2 in its difference form,
// which keeps its precision near the poles, the paired one plain, and the one degree by degree.
enum class LegendreRecurrence
{
    kPaired,
    kPlain,
    kDegree
};

// One order's recurrences as NormalizedLegendre makes them.
struct LegendreTables
{
    int64_t nOrder;        // |m|
    double dStart;         // q_mm / u^|m|, 0 where the function is 0
    double dPairStart;     // the paired recurrence's r_0 / u^|m|
    const double* pSteps;  // the per-degree recurrence's A'_k, mu_k for each step
    size_t nSteps;
    const double* pPairSteps;  // the paired recurrence's A, G, B for each step
    size_t nPairSteps;
    const double* pPlainSteps;  // the plain paired one's a, b for each of as many steps
};

struct LegendreKernels
{
    // Doubles to a vector: the adjoint gathers this many partial sums of each of its numbers.
    int nLanes;
    // dFactor u^n for NormalizedLegendre::kLanes points as q 2^(512 nChunks), 0 <= q < 2^512, for
    // 0 <= pU[b] <= 1 and 2^-256 <= dFactor <= 1.
    void (*startValues)(const double* pU, int64_t n, double dFactor, double* pQ, int64_t* pChunks);
    // The sums of NormalizedLegendre::EvaluateSums at nCount points, all on one recurrence, from the
    // weights of that recurrence; and their adjoint, into the partial sums of that recurrence at
    // pFolded, written whole (what they held is not read), point i into partial sum i modulo nLanes,
    // with the nZero leading points' values taken as 0. Each returns how many of the leading points
    // vanished (the nZero among them).
    int32_t (*sumRows)(const LegendreTables& tables, LegendreRecurrence recurrence, const double* pT,
                       const double* pU, int32_t nCount, const double* pWeights, double* pSums);
    int32_t (*accumulateRows)(const LegendreTables& tables, LegendreRecurrence recurrence, const double* pT,
                              const double* pU, int32_t nCount, int32_t nZero, const double* pValues,
                              double* pFolded);
};

const LegendreKernels& LegendreKernelsFor(KernelPath path);

// Those of ActiveKernelPath().
const LegendreKernels& ActiveLegendreKernels();
