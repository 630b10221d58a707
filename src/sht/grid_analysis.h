#pragma once

#include <cstdint>

#include "sht/field.h"
#include "sht/sample_grid.h"

// The coefficients of every (l, m) up to nMaxDegree, in the convention asked, of the values
// pValues[i * nP + j] sampled on a grid: each ring transformed over phi, then for each order the
// quadrature-weighted sum over the rings of the ring values times Pbar_lm, run by the same
// recurrence as the synthesis (of which it is the adjoint): for a field of degree at most
// nMaxDegree <= AnalysisLimit, the synthesis's own coefficients come back to rounding. Orders are
// shared among nThreads threads (0: one for each core); memory is O(nT nMaxDegree + L^2).
//
// Throws std::invalid_argument with one line for nT x nP that is not a grid of that layout or a
// degree above its limit (the line gives the limit), std::bad_alloc, and std::runtime_error for a
// coefficient the convention takes beyond the double range.
Field AnalyzeGrid(const double* pValues, SampleGrid grid, int32_t nT, int32_t nP, int32_t nMaxDegree,
                  const Convention& convention, unsigned nThreads = 0);
// The same into result, whose terms' storage is kept where it has room (see FieldFromOrders): an
// analysis run again, as in a loop or an iterative method, writes into pages it already has (a
// fresh field of degree 2048, 67 MB, took 2 to 4 % of the analysis on L + 2 rows in page faults).
// On a throw the terms of result are unspecified.
void AnalyzeGrid(const double* pValues, SampleGrid grid, int32_t nT, int32_t nP, int32_t nMaxDegree,
                 const Convention& convention, unsigned nThreads, Field& result);
