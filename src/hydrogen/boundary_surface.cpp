#include "hydrogen/boundary_surface.h"

#include "hydrogen/boundary_radii.h"
#include "hydrogen/orbital_grid.h"
#include "mesh/chord_sag.h"

std::string BoundaryGridError(const BoundaryGrid& grid)
{
    for (const int32_t n : {grid.nRows, grid.nColumns})
        if (n < kMinBoundarySamples || n > kMaxBoundarySide)
            return "each of the grid's counts must be from " + std::to_string(kMinBoundarySamples) + " to " +
                   std::to_string(kMaxBoundarySide);
    if (int64_t{grid.nRows} * grid.nColumns > kMaxBoundaryDirections)
        return "the grid may hold at most 2^21 directions";
    return {};
}

BoundarySurface BuildBoundarySurface(const HydrogenOrbital& orbital, const LevelRequest& request,
                                     const BoundaryGrid& size, unsigned nThreads,
                                     const BuildProgress& onProgress)
{
    const int32_t nSlabs = size.nRows - 1;
    const CEnclosedProbability probability(orbital);
    BoundarySurface surface;
    surface.level = FindBoundaryLevel(probability, request, [&onProgress, nSlabs]() {
        if (onProgress)
            onProgress(0, 2 * nSlabs);
    });
    const SphericalGrid grid =
        SampleOrbital(orbital, BoundaryRadii(probability, surface.level.dLevel, size.nRows, size.nColumns),
                      size.nRows, size.nColumns);
    surface.dExtent = grid.aRadius.back();
    surface.nRadii = static_cast<int32_t>(grid.aRadius.size());
    const auto slabs = [&onProgress, nSlabs](int32_t nBefore) -> BuildProgress {
        if (!onProgress)
            return nullptr;
        return [&onProgress, nSlabs, nBefore](int32_t nDone, int32_t) {
            onProgress(nBefore + nDone, 2 * nSlabs);
        };
    };
    ExtractLevelSurface(grid, 1.0, surface.level.dLevel, nThreads, surface.mesh, 0, slabs(0));
    if (!orbital.bComplex)
        ExtractLevelSurface(grid, -1.0, surface.level.dLevel, nThreads, surface.mesh, 1, slabs(nSlabs));
    LiftChords(surface.mesh);
    return surface;
}
