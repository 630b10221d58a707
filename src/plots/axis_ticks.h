#pragma once

#include <vector>

// Where the ticks of a plot's axes go.

// Multiples of a round step (1, 2 or 5 times a power of ten, at least dMinStep) from dLow to
// dHigh, at most about nMaxTicks of them.
std::vector<double> LinearTicks(double dLow, double dHigh, int nMaxTicks, double dMinStep);

// A logarithmic axis from 10^nLow to 10^nHigh, whole decades that hold every value from dMin to
// dMax (positive; one decade each side of a single value), labelled every nStep decades so
// that at most about nMaxLabels labels show.
struct Decades
{
    int nLow;
    int nHigh;
    int nStep;
};
Decades DecadesOf(double dMin, double dMax, int nMaxLabels);
