#include "mesh/vertex_normals.h"

#include <gtest/gtest.h>

#include <cmath>

#include "mesh/surface_builder.h"

namespace {

// On the sphere of Y(0, 0) every vertex normal is, to the grid's resolution, the outward radial
// direction, poles included (their vertices each see one fan of faces).
TEST(ComputeVertexNormals, SphereNormalsAreRadialAndUnit)
{
    SurfaceMesh mesh;
    BuildSurfaceMesh(0, 0, 61, 48, mesh);
    VertexNormals normals;
    ComputeVertexNormals(mesh, normals);
    ASSERT_EQ(normals.m_aNX.GetSize(), mesh.m_aX.GetSize());
    for (int32_t v = 0; v < mesh.m_aX.GetSize(); ++v)
    {
        const double r = std::hypot(mesh.m_aX[v], mesh.m_aY[v], mesh.m_aZ[v]);
        const double fCos = (mesh.m_aX[v] * normals.m_aNX[v] + mesh.m_aY[v] * normals.m_aNY[v] +
                             mesh.m_aZ[v] * normals.m_aNZ[v]) /
                            r;
        ASSERT_NEAR(std::hypot(normals.m_aNX[v], normals.m_aNY[v], normals.m_aNZ[v]), 1.0, 1e-6) << v;
        ASSERT_GT(fCos, 0.999) << v;
    }

    // A vertex that belongs to no face has no direction.
    BuildSurfaceMesh(0, 0, 1, 8, mesh);
    ComputeVertexNormals(mesh, normals);
    ASSERT_EQ(normals.m_aNX.GetSize(), 8);
    EXPECT_EQ(normals.m_aNX[0], 0.0f);
    EXPECT_EQ(normals.m_aNZ[0], 0.0f);
}

}  // namespace

namespace {

// A face whose fourth corner repeats its third is a triangle: on a tetrahedron each corner's
// normal is the mean of its three faces' normals, the repeated corner counted once.
TEST(ComputeVertexNormals, TrianglesCountEachCornerOnce)
{
    SurfaceMesh mesh;
    const float aPoints[4][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (FloatArray* pArray : {&mesh.m_aX, &mesh.m_aY, &mesh.m_aZ})
        pArray->SetSize(4);
    for (int32_t v = 0; v < 4; ++v)
    {
        mesh.m_aX[v] = aPoints[v][0];
        mesh.m_aY[v] = aPoints[v][1];
        mesh.m_aZ[v] = aPoints[v][2];
    }
    // Outward normals, unnormalised: -z, -y, -x and (1, 1, 1).
    const FaceQuad aFaces[4] = {{0, 2, 1, 1}, {0, 1, 3, 3}, {0, 3, 2, 2}, {1, 2, 3, 3}};
    const float aNormals[4][3] = {{0, 0, -1}, {0, -1, 0}, {-1, 0, 0}, {1, 1, 1}};
    mesh.m_aPosQuads.SetSize(4);
    for (FloatArray* pArray : {&mesh.m_aPosNX, &mesh.m_aPosNY, &mesh.m_aPosNZ})
        pArray->SetSize(4);
    for (int32_t f = 0; f < 4; ++f)
    {
        mesh.m_aPosQuads[f] = aFaces[f];
        mesh.m_aPosNX[f] = aNormals[f][0];
        mesh.m_aPosNY[f] = aNormals[f][1];
        mesh.m_aPosNZ[f] = aNormals[f][2];
    }
    VertexNormals normals;
    ComputeVertexNormals(mesh, normals);
    // Corner 3 has the faces -y, -x and (1, 1, 1): (0, 0, 1), unit; counting its repeat twice
    // would tilt it.
    EXPECT_FLOAT_EQ(normals.m_aNX[3], 0.0f);
    EXPECT_FLOAT_EQ(normals.m_aNY[3], 0.0f);
    EXPECT_FLOAT_EQ(normals.m_aNZ[3], 1.0f);
    // Corner 0 has the three axis faces: -(1, 1, 1) / sqrt3.
    EXPECT_FLOAT_EQ(normals.m_aNX[0], static_cast<float>(-1.0 / std::sqrt(3.0)));
}

}  // namespace
