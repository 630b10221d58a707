// The boundary surface of one orbital built on a grid, the best time of three builds or of as many
// as take 0.2 s (up to 100), as one JSON line; at
// --enclose 0.9, or at the level |psi| = LEVEL when given:
// hydrogen_build_bench N L M ROWS COLUMNS THREADS [LEVEL]
// (the radii are chosen from the orbital; the JSON line says how many)
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "hydrogen/boundary_surface.h"

int main(int argc, char** argv)
{
    if (argc != 7 && argc != 8)
    {
        std::fprintf(stderr, "usage: %s N L M ROWS COLUMNS THREADS [LEVEL]\n", argv[0]);
        return 2;
    }
    HydrogenOrbital orbital;
    orbital.numbers = {std::atoi(argv[1]), std::atoi(argv[2]), std::atoi(argv[3]), 1.0};
    const BoundaryGrid grid{std::atoi(argv[4]), std::atoi(argv[5])};
    const auto nThreads = static_cast<unsigned>(std::atoi(argv[6]));
    const LevelRequest request =
        argc == 8 ? LevelRequest{LevelKind::kIso, std::atof(argv[7])} : LevelRequest{};
    double dBest = 1e300;
    BoundarySurface surface;
    double dTotal = 0.0;
    for (int k = 0; k < 100 && (k < 3 || dTotal < 0.2); ++k)
    {
        const auto start = std::chrono::steady_clock::now();
        surface = BuildBoundarySurface(orbital, request, grid, nThreads);
        const double dSeconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        dBest = std::min(dBest, dSeconds);
        dTotal += dSeconds;
    }
    // Area and enclosed volume (divergence theorem) of the outward-turned triangles, and the box
    // that holds their vertices.
    double dArea = 0.0, dVolume = 0.0;
    double aLow[3] = {1e300, 1e300, 1e300}, aHigh[3] = {-1e300, -1e300, -1e300};
    size_t nTriangles = 0;
    for (const std::vector<Triangle>& aTriangles : surface.mesh.aTriangles)
        for (const Triangle& t : aTriangles)
        {
            double p[3][3];
            for (int v = 0; v < 3; ++v)
                for (int c = 0; c < 3; ++c)
                {
                    p[v][c] = surface.mesh.aPoint[3 * static_cast<size_t>(t[v]) + c];
                    aLow[c] = std::min(aLow[c], p[v][c]);
                    aHigh[c] = std::max(aHigh[c], p[v][c]);
                }
            const double u[3] = {p[1][0] - p[0][0], p[1][1] - p[0][1], p[1][2] - p[0][2]};
            const double w[3] = {p[2][0] - p[0][0], p[2][1] - p[0][1], p[2][2] - p[0][2]};
            const double n[3] = {u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2],
                                 u[0] * w[1] - u[1] * w[0]};
            dArea += 0.5 * std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
            dVolume += (p[0][0] * n[0] + p[0][1] * n[1] + p[0][2] * n[2]) / 6.0;
            ++nTriangles;
        }
    std::printf(
        "{\"seconds\": %.4f, \"level\": %.17g, \"extent\": %.17g, \"radii\": %d, \"area\": %.17g, "
        "\"volume\": %.17g, \"triangles\": %zu, \"box\": [%.9g, %.9g, %.9g, %.9g, %.9g, %.9g]}\n",
        dBest, surface.level.dLevel, surface.dExtent, surface.nRadii, dArea, dVolume, nTriangles, aLow[0],
        aHigh[0], aLow[1], aHigh[1], aLow[2], aHigh[2]);
    return 0;
}
