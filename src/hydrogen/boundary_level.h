#pragma once

#include <cstdint>
#include <vector>

#include "hydrogen/orbital_grid.h"

// Which surface |psi| = c is asked for: the one whose inside holds probability P, or a given c.
enum class LevelKind
{
    kEnclose,
    kIso,
};

// The enclosed probabilities --enclose takes, and the one drawn unless told.
constexpr double kMinEnclose = 1e-6;
constexpr double kMaxEnclose = 1.0 - 1e-6;
constexpr double kDefaultEnclose = 0.9;

struct LevelRequest
{
    LevelKind kind = LevelKind::kEnclose;
    double dValue = kDefaultEnclose;  // P for kEnclose, c for kIso
};

// The first radius, in steps of n^2 / 64Z, within which the radial probability reaches
// dProbability.
double RadiusHolding(const CRadialFunction& radial, double dProbability);

// The level found and the grid it was found on.
struct BoundaryLevel
{
    double dLevel = 0.0;     // c
    double dEnclosed = 0.0;  // the probability where |psi| > c
    double dPeak = 0.0;      // the largest |psi| of the grid's samples
};

// Samples the orbital on nRadii x the angular rows and columns given and finds c: for kEnclose by
// bisection on the enclosed probability, for kIso as given. The radial extent is where the
// outermost |R| max|Y| falls to c / 2, so that the surface lies within it and nothing is cut.
// The probability is a quadrature on the grid: over the angular samples, each with its solid
// angle, and along r by 8-point Gauss-Legendre in each radial interval, with R exact there.
// Throws std::invalid_argument (one line) for a level that leaves no surface or a probability that no
// level of the grid encloses (within 1e-3 and a tenth of 1 - P), std::bad_alloc.
BoundaryLevel FindBoundaryLevel(const HydrogenOrbital& orbital, const LevelRequest& request,
                                std::vector<double>&& aAngular, int32_t nRadii, int32_t nRows,
                                int32_t nColumns, OrbitalGrid& grid);
