#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "mesh/radius_rule.h"
#include "mesh/surface_mesh.h"

// The two face lists in the order they are exported, the positive lobes first, by index 0 and 1.
constexpr int kSignCount = 2;
constexpr const char* kSignNames[kSignCount] = {"positive", "negative"};

// A face as the files hold it: a quad A, B, C, D of the grid, or the triangle left of one whose
// corners meet, turning the way the surface's faces do.
struct MeshFace
{
    int32_t an[4];
    int32_t nCorners;  // 3 or 4
};

// The surface as the mesh files hold it. Samples where the field is 0 by symmetry have the value
// 0 (and, where the radius of 0 is 0, lie at the origin), a pole row's samples one value and one
// position, so that corners that meet are bit-identical. A face keeps what has area in these
// float coordinates: a quad of four distinct corners whose two triangles (split along A-C) both
// have area stays a quad, else only its triangles that have area are kept.
struct MeshGeometry
{
    std::vector<float> aPoint;   // x, y, z of each vertex, in sample-index order
    std::vector<float> aNormal;  // its unit normal, x, y, z
    std::vector<float> aValue;   // the signed field there (|f| of a complex field)
    std::vector<MeshFace> aFaces[kSignCount];
    bool bMillimetres = false;  // scaled to the millimetres asked for
    // What the picture shows, when it shows more than the sign: the colour of each vertex (of its
    // phase or value), and the phase of a complex field from -pi to pi; empty when not.
    std::vector<std::array<uint8_t, 3>> aColor;  // red, green, blue
    std::vector<float> aPhase;
    // What the surface is, as the files that say so name it.
    std::string strSubject = "a spherical harmonic surface";
};

// The phase of each sample of a complex field, atan2(im, re), as the mesh files hold it.
std::vector<float> MeshPhases(const DoubleArray& aRe, const DoubleArray& aIm);

// How the mesh files show the surface built on nT x nP samples.
struct MeshShape
{
    int32_t nT = 0;
    int32_t nP = 0;
    RadiusRule rule;                 // the rule the surface was built with
    double dScaleMillimetres = 0.0;  // > 0: scaled so that its largest extent is this; 0: as built
};

// The mesh files' surface of mesh, built by the shape's grid and rule, aZeros[k] set where sample
// k is 0 by symmetry (SymmetryZeros of the field sampled). Throws std::invalid_argument when aZeros
// does not cover the grid, std::runtime_error when a scale is asked of a surface with no extent
// or when a coordinate or value is beyond the range of float, std::bad_alloc.
MeshGeometry MakeMeshGeometry(const SurfaceMesh& mesh, const std::vector<unsigned char>& aZeros,
                              const MeshShape& shape);

// Scales the points (x, y, z of each) so that the largest side of their bounding box is
// dMillimetres. Throws std::runtime_error for points without extent, or where a coordinate
// leaves the float range.
void ScalePoints(std::vector<float>& afPoint, double dMillimetres);

// The face's triangles, a quad split along A-C: calls visit(corners) for each.
template <typename Visit>
void ForEachFaceTriangle(const MeshFace& face, Visit visit)
{
    visit(face.an);
    if (face.nCorners == 4)
    {
        const int32_t an[3] = {face.an[0], face.an[2], face.an[3]};
        visit(an);
    }
}
