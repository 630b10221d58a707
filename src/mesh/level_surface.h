#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "sht/build_progress.h"

using Triangle = std::array<int32_t, 3>;

// Level surfaces as triangles: the vertices and two lists of triangles (of two signs, say),
// turning counter-clockwise seen from outside (the side where the function is below the level).
struct LevelMesh
{
    std::vector<float> aPoint;  // x, y, z of each vertex
    std::array<std::vector<Triangle>, 2> aTriangles;
};

// A function of the point that is a product of a radial and an angular factor, sampled on a
// separable spherical grid: f(k, i, j) = aRadial[k] * aAngular[i * nColumns + j] at the radius
// aRadius[k] (ascending, from 0 up), theta of row i of the program's sample grid (SampleTheta:
// from the north pole to the south pole) and phi = 2 pi j / nColumns. Each pole row holds one value
// in every column, since all its samples are one direction.
struct SphericalGrid
{
    int32_t nRows = 0;
    int32_t nColumns = 0;
    std::vector<double> aRadius;
    std::vector<double> aRadial;
    std::vector<double> aAngular;
    // The factors between the samples, when they are known: the radial one at any radius from the
    // first to the last, the angular one at any direction; each crossing along a radius, or along
    // a row or column, is then placed where that factor takes the level, not on a cubic through
    // the samples. Each must agree with the samples.
    std::function<double(double r)> radial;
    std::function<double(double dTheta, double dPhi)> angular;
};

// Appends to mesh the surface s f = c (s = 1 or -1, c > 0) of the grid, its triangles to
// mesh.aTriangles[nList]. The surface is extracted in (r, theta, phi) index space by marching
// cubes (a face whose opposite corners alone are inside keeps them apart, so that neighbours cut
// their faces alike). The crossing on an edge is where the factor that changes along it takes the
// level when the grid knows that factor, else on the cubic through the two samples before and
// after it along its line (in index space), or on the line through its ends at the grid's edges. The phi
// columns wrap round; the crossings at a pole that lie between the same two radii are one vertex on the axis,
// and the triangles that this leaves without area are dropped, so that a surface inside the grid is closed.
// Slabs of theta rows are shared between nThreads threads (0: one per core); the mesh is the same for any
// number. onSlabs, when given, is told on the calling thread how many slabs of all are done, and may throw to
// stop the work. Throws std::bad_alloc.
void ExtractLevelSurface(const SphericalGrid& grid, double dSign, double dLevel, unsigned nThreads,
                         LevelMesh& mesh, int nList, const BuildProgress& onSlabs = nullptr);
