#pragma once

#include "mesh/surface_mesh.h"

// One unit normal per vertex of a mesh, for smooth shading and for formats that carry normals.
struct VertexNormals
{
    FloatArray m_aNX;
    FloatArray m_aNY;
    FloatArray m_aNZ;
};

// At each vertex, the sum of the normals of the faces (of both signs) that have it as a corner,
// normalised. Face normals are unnormalised, so larger faces weigh more, and they follow the
// faces' winding. A face whose fourth corner repeats its third is a triangle. A vertex of no face, or whose
// faces' normals cancel, gets (0, 0, 0). Throws std::bad_alloc with normals untouched.
void ComputeVertexNormals(const SurfaceMesh& mesh, VertexNormals& normals);
