#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "infra/growable_array.h"

// Each order's ring values, order by order, of complex values as real and imaginary parts.
using RingOrderArray = std::vector<double, LargePageAllocator<double>>;

// The distance from one order's ring values to the next: the rings rounded up to whole cache lines,
// so that a block of rings writes whole lines of each order's values, which it streams past the
// cache, and no two blocks share a line.
size_t OrderStride(int32_t nT);

// F_m(theta_i) = (1 / nP) sum_j f(theta_i, phi_j) e^(-i m phi_j) for m = 0 .. L (L + 1 <= nP / 2 + 1)
// of the nT rings of nP values pValues[i * nP + j], order by order: aOrders[m * OrderStride(nT) + i].
// For f = sum_m C_m cos(m phi) + S_m sin(m phi), F_0 = C_0 and F_m = (C_m - i S_m) / 2. Blocks of
// rings are shared among nThreads threads.
RingOrderArray RingOrders(const double* pValues, int32_t nT, int32_t nP, int32_t L, unsigned nThreads);
