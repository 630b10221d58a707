#include "mesh/mesh_geometry.h"

#include <gtest/gtest.h>

#include <cmath>

#include "mesh/surface_builder.h"
#include "sht/angles.h"
#include "sht/symmetry_zeros.h"

namespace {

// Y(1, 1) + Y(2, 2) written out: sqrt(3 / 4pi) sin(theta) cos(phi) + sqrt(15 / 16pi) sin^2(theta)
// cos(2 phi). On the equator at phi = pi / 2 the first is 0 and the sum -0.546.
double PairValue(double dTheta, double dPhi)
{
    return std::sqrt(3.0 / (4.0 * kPi)) * std::sin(dTheta) * std::cos(dPhi) +
           std::sqrt(15.0 / (16.0 * kPi)) * std::sin(dTheta) * std::sin(dTheta) * std::cos(2.0 * dPhi);
}

// Every vertex of the mesh files carries the field's value there, and only true zeros are set
// to 0 (and put at the origin).
TEST(MakeMeshGeometry, OfASumPutsOnlyItsZerosAtTheOrigin)
{
    const Field field{{{1, 1, 1.0}, {2, 2, 1.0}}, Convention{}};
    for (const auto& grid : {std::pair<int, int>{5, 8}, {9, 16}, {13, 12}})
    {
        const int nT = grid.first, nP = grid.second;
        SurfaceMesh mesh;
        BuildSurfaceMesh(field, nT, nP, mesh);
        const MeshGeometry geometry =
            MakeMeshGeometry(mesh, SymmetryZeros(field, nT, nP), MeshShape{nT, nP, {}, 0.0});
        for (int i = 0; i < nT; ++i)
            for (int j = 0; j < nP; ++j)
            {
                const size_t k = static_cast<size_t>(i * nP + j);
                const double dExact = PairValue(kPi * i / (nT - 1), kTwoPi * j / nP);
                EXPECT_NEAR(geometry.aValue[k], dExact, 1e-6)
                    << nT << "x" << nP << " sample " << i << ", " << j;
                const double dRadius = std::hypot(geometry.aPoint[3 * k], geometry.aPoint[3 * k + 1],
                                                  geometry.aPoint[3 * k + 2]);
                EXPECT_NEAR(dRadius, std::fabs(dExact), 1e-6)
                    << nT << "x" << nP << " sample " << i << ", " << j;
            }
    }
}

}  // namespace
