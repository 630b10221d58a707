#pragma once

#include <cstdint>
#include <vector>

#include "hydrogen/orbital.h"
#include "mesh/level_surface.h"

// An orbital sampled in its two parts on a separable spherical grid (mesh/level_surface.h),
// psi(k, i, j) = R(r_k) * A(i, j): the angular part A on the program's theta x phi sample grid,
// the signed Y of a real orbital and |Y| of a complex one, each pole row holding its mean (all
// its samples are one direction); R at the radii given, |R| for a complex orbital, with R itself
// as the grid's radial function, so that crossings along a radius lie where R takes the level.

// The angular part on nRows x nColumns samples (nRows >= 3, nColumns >= 3). Throws std::bad_alloc.
std::vector<double> SampleAngularPart(const HydrogenOrbital& orbital, int32_t nRows, int32_t nColumns);

// The orbital's grid at the radii (ascending, from 0 up) and on nRows x nColumns directions.
// Throws std::bad_alloc.
SphericalGrid SampleOrbital(const HydrogenOrbital& orbital, std::vector<double> aRadius, int32_t nRows,
                            int32_t nColumns);
