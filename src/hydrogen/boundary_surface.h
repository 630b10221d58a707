#pragma once

#include <cstdint>
#include <string>

#include "hydrogen/boundary_level.h"
#include "mesh/level_surface.h"
#include "sht/build_progress.h"

// The directions of a boundary surface's grid: theta rows and phi columns (its radii are chosen
// from the orbital, see BoundaryRadii).
struct BoundaryGrid
{
    int32_t nRows = 128;
    int32_t nColumns = 256;
};

// The limits of each count: at least 3, at most 2^14, and at most 2^21 directions in all.
constexpr int32_t kMinBoundarySamples = 3;
constexpr int32_t kMaxBoundarySide = 16384;
constexpr int64_t kMaxBoundaryDirections = int64_t{1} << 21;

// The surface |psi| = c of an orbital: for a real orbital the triangles of psi = c in list 0 and
// of psi = -c in list 1, for a complex one all in list 0.
struct BoundarySurface
{
    LevelMesh mesh;
    BoundaryLevel level;
    double dExtent = 0.0;  // the radius the surface reaches: the grid's last
    int32_t nRadii = 0;    // the radii of its grid
};

// Why the grid cannot be built, in one line, or empty.
std::string BoundaryGridError(const BoundaryGrid& grid);

// The boundary surface of the orbital on the grid (see FindBoundaryLevel, BoundaryRadii,
// ExtractLevelSurface and LiftChords). The numbers and grid must be valid. onProgress, when
// given, is told on the calling thread how the work goes (the level's search at 0, then the
// extraction's slabs of both signs), and may throw to stop it. Throws std::invalid_argument for a
// level that leaves no surface, std::bad_alloc.
BoundarySurface BuildBoundarySurface(const HydrogenOrbital& orbital, const LevelRequest& request,
                                     const BoundaryGrid& size, unsigned nThreads = 0,
                                     const BuildProgress& onProgress = nullptr);
