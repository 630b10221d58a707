#pragma once

#include <cstdint>

#include "infra/growable_array.h"

// One quadrilateral face: vertex indices in the corner order A, B, C, D, that is
// (row t, column s), (t + 1, s), (t + 1, s + 1), (t, s + 1), the column wrapping to 0. A mesh
// of triangles (an orbital's boundary surface) gives each the corners A, B, C, C.
struct FaceQuad
{
    int32_t a;
    int32_t b;
    int32_t c;
    int32_t d;
};

static_assert(sizeof(FaceQuad) == 4 * sizeof(int32_t), "the build limits count a face as four indices");
using FaceQuadArray = GrowableArray<FaceQuad>;

// The polar-plot surface of one harmonic. Vertex (i, j) of the theta x phi grid has index
// i * nP + j in the first four arrays. Each face list is as long as its three normal arrays,
// and every index in a face is below the vertex count. Normals are not normalised.
struct SurfaceMesh
{
    FloatArray m_aX;
    FloatArray m_aY;
    FloatArray m_aZ;
    DoubleArray m_aValue;       // signed Y at each sample; the vertices carry only |Y|
    FaceQuadArray m_aPosQuads;  // faces whose corner values sum to more than 0
    FloatArray m_aPosNX;
    FloatArray m_aPosNY;
    FloatArray m_aPosNZ;
    FaceQuadArray m_aNegQuads;  // all other faces
    FloatArray m_aNegNX;
    FloatArray m_aNegNY;
    FloatArray m_aNegNZ;
};
