#pragma once

#include <string>

#include "export/output_stream.h"
#include "surface/color_schemes.h"
#include "surface/surface_mesh.h"

// Writers of the surface as a 3D model: every vertex of the mesh as it is (the same floats, in
// sample-index order) and every face of both sign lists, the positive ones first. Each throws
// std::runtime_error when the stream fails or the mesh does not fit the format.

// Binary little-endian PLY: quads, each with its sign's colour as uchar red, green, blue.
void WritePly(COutputStream& stream, const SurfaceMesh& mesh, const ColorScheme& colors);

// Wavefront OBJ: quads in the groups "positive" and "negative", each using the material of its
// name from strMaterialLibrary (a file name beside the OBJ).
void WriteObj(COutputStream& stream, const SurfaceMesh& mesh, const std::string& strMaterialLibrary);
// The material library of WriteObj: the materials "positive" and "negative" in the scheme's colours.
void WriteMtl(COutputStream& stream, const ColorScheme& colors);

// Binary STL: two triangles a face, split along A-C, leaving out those of zero area.
void WriteStl(COutputStream& stream, const SurfaceMesh& mesh);

// glTF 2.0 binary: one mesh of two triangle primitives (a face split along A-C) with the
// materials "positive" and "negative"; a list with no faces has no primitive.
void WriteGlb(COutputStream& stream, const SurfaceMesh& mesh, const ColorScheme& colors);
