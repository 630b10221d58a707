#pragma once

#include <vector>

#include "colour/color_maps.h"
#include "colour/color_schemes.h"
#include "mesh/surface_mesh.h"
#include "mesh/vertex_normals.h"

// The surface through the lights of SetupLighting, as DrawSurface draws it, but with colour and
// normals that may change from vertex to vertex: each vertex in its colour of aColors (one per
// vertex), or when aColors is empty each face list in its colour of the scheme; each vertex with
// its normal of pNormals (smooth shading), or when pNormals is null each face with its own.
// Faces turned away from the viewer are left out, as DrawSurface leaves them. Needs the
// rendering context to be current.
void DrawColoredSurface(const SurfaceMesh& mesh, const std::vector<Rgb8>& aColors, const ColorScheme& scheme,
                        const VertexNormals* pNormals);
