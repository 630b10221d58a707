#pragma once

#include <cstdint>
#include <vector>

#include "hydrogen/orbital.h"

// An orbital sampled in its two parts, psi(k, i, j) = aRadial[k] * aAngular[i * nColumns + j]:
// R at nRadii radii evenly spaced from 0 to dExtent, and the angular part on the program's
// theta x phi sample grid (rows from the north pole to the south pole, phi = 2 pi j / nColumns):
// the signed Y of a real orbital, |Y| of a complex one. Each pole row holds one value, its mean,
// since all its samples are one direction.
struct OrbitalGrid
{
    int32_t nRadii = 0;
    int32_t nRows = 0;
    int32_t nColumns = 0;
    double dExtent = 0.0;
    std::vector<double> aRadius;
    std::vector<double> aRadial;
    std::vector<double> aAngular;
};

// The angular part on nRows x nColumns samples (nRows >= 3, nColumns >= 3), as OrbitalGrid holds it.
// Throws std::bad_alloc.
std::vector<double> SampleAngularPart(const HydrogenOrbital& orbital, int32_t nRows, int32_t nColumns);

// R at nRadii radii from 0 to dExtent; |R| for a complex orbital, whose angular part is |Y|.
void SampleRadialPart(const HydrogenOrbital& orbital, int32_t nRadii, double dExtent, OrbitalGrid& grid);

// The solid angle each sample of a row stands for: the band of the sphere half a row above and
// below it, over nColumns. The weights of all samples add up to 4 pi.
std::vector<double> RowSolidAngles(int32_t nRows, int32_t nColumns);
