#pragma once

#include <cstdint>
#include <vector>

#include "hydrogen/enclosed_probability.h"

// The radii of a boundary surface's grid, chosen from the orbital for the level c on nRows x
// nColumns directions. A radial lobe of peak F reaches the surface |psi| = c only where
// |R| max|Y| > c, and only if F max|Y| > c: each such lobe gets the radii of that part of it,
// its ends a hair beyond (where no direction is inside), its peak (so that a ray through the lobe
// that is inside anywhere is inside at a sample, and each of its two crossings lies on a radial
// edge of its own), and between them radii evenly spaced on each side of the peak, about as far
// apart as the rows are at that radius and at least kMinSideSteps steps a side; the other lobes
// and the gaps between them get none. Where that makes more than kMaxBoundarySamples samples in
// all, each side takes proportionally fewer steps. The node shells and the little lobes near
// the nucleus are so resolved whatever the orbital's extent.
std::vector<double> BoundaryRadii(const CEnclosedProbability& probability, double dLevel, int32_t nRows,
                                  int32_t nColumns);

// The fewest steps each side of a lobe's peak takes.
constexpr int32_t kMinSideSteps = 4;

// The samples a boundary surface's grid holds, radii times directions, unless its lobes need more.
constexpr int64_t kMaxBoundarySamples = int64_t{1} << 28;
