#pragma once

#include <string>

#include "colour/color_schemes.h"
#include "export/output_stream.h"
#include "mesh/mesh_geometry.h"

// Writers of the surface as a 3D model: every vertex as the geometry has it (the same floats, in
// sample-index order) and every face of both sign lists, the positive ones first. Each throws
// std::runtime_error when the stream fails or the mesh does not fit the format.

// Binary little-endian PLY of vertices x, y, z, nx, ny, nz, value, the phase where the geometry
// has one, and the colour as uchar red, green, blue: the vertex's own where the geometry gives
// colours, else its sign's; faces hold only their vertex_indices, as simple readers require. A
// vertex that faces of both signs share follows the sample vertices once more, in the negative
// colour, for the negative faces, so that every face has one colour.
void WritePly(COutputStream& stream, const MeshGeometry& geometry, const ColorScheme& colors);

// Wavefront OBJ: vertices with normals (vn), faces in the groups "positive" and "negative", each
// using the material of its name from strMaterialLibrary (a file name beside the OBJ).
void WriteObj(COutputStream& stream, const MeshGeometry& geometry, const std::string& strMaterialLibrary);
// The material library of WriteObj: the materials "positive" and "negative" in the scheme's colours.
void WriteMtl(COutputStream& stream, const ColorScheme& colors);

// Binary STL: the faces' triangles with their facet normals; a surface without faces is refused.
void WriteStl(COutputStream& stream, const MeshGeometry& geometry);

// glTF 2.0 binary: one mesh of two triangle primitives with the materials "positive" and
// "negative", POSITION, NORMAL and the field as _VALUE, with the phase as _PHASE and the vertex
// colours as COLOR_0 (the materials then white) where the geometry has them; a list with no faces has no
// primitive, and vertices with no face at all are one primitive of points. Scaled geometry is in millimetres,
// which the node turns into glTF's metres.
void WriteGlb(COutputStream& stream, const MeshGeometry& geometry, const ColorScheme& colors);
