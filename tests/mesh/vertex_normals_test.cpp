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
