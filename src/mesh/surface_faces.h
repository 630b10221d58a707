#pragma once

#include <cstdint>
#include <vector>

#include "mesh/surface_mesh.h"

// One grid row of the mesh: its vertex coordinates and signed values.
struct RowSamples
{
    const float* pX;
    const float* pY;
    const float* pZ;
    const double* pValue;
    int32_t nFirstVertex;  // index of the row's first vertex in the mesh
};

// Where the next face of one list goes.
struct FaceListCursor
{
    FaceQuad* pQuads;
    float* pNX;
    float* pNY;
    float* pNZ;
    int32_t nCount;
};

// The two face lists while a mesh is built, with per-column scratch for one row of faces:
// their signs, and for rows sorted face by face the faces themselves.
struct FaceSorter
{
    FaceListCursor pos;
    FaceListCursor neg;
    std::vector<unsigned char> aPositive;
    std::vector<FaceQuad> aRowQuads;
    std::vector<float> aRowNX;
    std::vector<float> aRowNY;
    std::vector<float> aRowNZ;
};

// A sorter for rows of nColumns faces, not yet attached to a mesh.
FaceSorter MakeFaceSorter(int32_t nColumns);

// Sizes both face lists of mesh, and their normals, for all nFaces faces, the contents left
// to be written, and points the sorter at their starts. Cannot fail once the arrays have
// room for nFaces elements.
void StartFaces(SurfaceMesh& mesh, int32_t nFaces, FaceSorter& sorter);

// Appends the faces between two neighbouring rows of nColumns vertices: face s has corners
// A = (upper, s), B = (lower, s), C = (lower, s + 1) and D = (upper, s + 1), the column
// wrapping to 0, and normal AC x BD, unnormalised. A face whose corner values sum
// (A + ((D + C) + B)) to more than 0 goes to the positive list, any other to the negative
// list, each in column order.
void AppendFaceRow(const RowSamples& upper, const RowSamples& lower, int32_t nColumns, FaceSorter& sorter);

// Trims both lists to the faces they received.
void FinishFaces(const FaceSorter& sorter, SurfaceMesh& mesh);
