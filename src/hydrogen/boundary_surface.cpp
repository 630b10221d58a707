#include "hydrogen/boundary_surface.h"

#include <utility>

#include "hydrogen/chord_sag.h"

std::string BoundaryGridError(const BoundaryGrid& grid)
{
    for (const int32_t n : {grid.nRadii, grid.nRows, grid.nColumns})
        if (n < kMinBoundarySamples || n > kMaxBoundarySide)
            return "each of the grid's counts must be from " + std::to_string(kMinBoundarySamples) + " to " +
                   std::to_string(kMaxBoundarySide);
    if (int64_t{grid.nRadii} * grid.nRows * grid.nColumns > kMaxBoundarySamples)
        return "the grid may hold at most 2^28 samples";
    return {};
}

BoundarySurface BuildBoundarySurface(const HydrogenOrbital& orbital, const LevelRequest& request,
                                     const BoundaryGrid& size, unsigned nThreads)
{
    OrbitalGrid grid;
    BoundarySurface surface;
    surface.level = FindBoundaryLevel(orbital, request, SampleAngularPart(orbital, size.nRows, size.nColumns),
                                      size.nRadii, size.nRows, size.nColumns, grid);
    surface.dExtent = grid.dExtent;
    ExtractLevelSurface(grid, 1.0, surface.level.dLevel, nThreads, surface.mesh, 0);
    if (!orbital.bComplex)
        ExtractLevelSurface(grid, -1.0, surface.level.dLevel, nThreads, surface.mesh, 1);
    LiftChords(surface.mesh);
    return surface;
}
