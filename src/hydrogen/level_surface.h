#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "hydrogen/orbital_grid.h"

using Triangle = std::array<int32_t, 3>;

// Level surfaces of an orbital as triangles: the vertices and the triangles of each sign,
// turning counter-clockwise seen from outside (the side where |psi| < c).
struct LevelMesh
{
    std::vector<float> aPoint;  // x, y, z of each vertex
    std::array<std::vector<Triangle>, 2> aTriangles;
};

// Appends to mesh the surface s psi = c (s = 1 or -1, c > 0) of the grid, its triangles to
// mesh.aTriangles[nList]. The surface is extracted in (r, theta, phi) index space by marching
// cubes (a face whose opposite corners alone are inside keeps them apart, so that neighbours cut
// their faces alike), the crossing on each edge placed on the cubic through the two samples
// before and after it along its line, or on the line through its ends at the grid's edges. The
// phi columns wrap round; the crossings at a pole that lie between the same two radii are one
// vertex on the axis, and the triangles that this leaves without area are dropped, so that a
// surface inside the grid is closed. Slabs of theta rows are shared between nThreads threads
// (0: one per core); the mesh is the same for any number. Throws std::bad_alloc.
void ExtractLevelSurface(const OrbitalGrid& grid, double dSign, double dLevel, unsigned nThreads,
                         LevelMesh& mesh, int nList);
