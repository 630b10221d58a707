#pragma once

#include <array>
#include <vector>

#include "hydrogen/boundary_surface.h"
#include "hydrogen/orbital_values.h"
#include "mesh/mesh_geometry.h"
#include "mesh/surface_mesh.h"

// psi at each vertex of the surface (real part, imaginary part), the progress told as
// SampleOrbitalAt tells it.
std::vector<std::array<double, 2>> BoundaryVertexValues(const BoundarySurface& surface,
                                                        const HydrogenOrbital& orbital,
                                                        const PointProgress& onBlocks = nullptr);

// The surface as pictures draw it: each triangle a face of corners A, B, C, C with normal
// (B - A) x (C - A), psi = c in the positive list and psi = -c in the negative one; each
// vertex's value the real part of aValues. Throws std::bad_alloc.
SurfaceMesh BoundarySurfaceMesh(const BoundarySurface& surface,
                                const std::vector<std::array<double, 2>>& aValues);

// The surface as the mesh files hold it: the same vertices and values, their normals from the
// faces around them, and the triangles of each sign, named as the orbital's; scaled so that the
// largest side of its bounding box is dScaleMillimetres when that is above 0. Throws as
// ScalePoints, std::bad_alloc.
MeshGeometry BoundaryMeshGeometry(const SurfaceMesh& mesh, const BoundarySurface& surface,
                                  const HydrogenOrbital& orbital, double dScaleMillimetres);
