#pragma once

#include <cstdint>

#include "hydrogen/boundary_level.h"
#include "hydrogen/level_surface.h"

// The samples of a boundary surface's grid: radii from the nucleus out, theta rows, phi columns.
struct BoundaryGrid
{
    int32_t nRadii = 128;
    int32_t nRows = 128;
    int32_t nColumns = 256;
};

// The limits of each count: at least 3, and at most 2^14 along any side and 2^28 samples in all.
constexpr int32_t kMinBoundarySamples = 3;
constexpr int32_t kMaxBoundarySide = 16384;
constexpr int64_t kMaxBoundarySamples = int64_t{1} << 28;

// The surface |psi| = c of an orbital: for a real orbital the triangles of psi = c in list 0 and
// of psi = -c in list 1, for a complex one all in list 0.
struct BoundarySurface
{
    LevelMesh mesh;
    BoundaryLevel level;
    double dExtent = 0.0;  // the radius the grid reaches
};

// Why the grid cannot be built, in one line, or empty.
std::string BoundaryGridError(const BoundaryGrid& grid);

// The boundary surface of the orbital on the grid (see FindBoundaryLevel, ExtractLevelSurface and
// LiftChords). The numbers and grid must be valid. Throws std::invalid_argument for a level that
// leaves no surface, std::bad_alloc.
BoundarySurface BuildBoundarySurface(const HydrogenOrbital& orbital, const LevelRequest& request,
                                     const BoundaryGrid& size, unsigned nThreads = 0);
