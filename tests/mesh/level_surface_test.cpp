#include "mesh/level_surface.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <thread>

#include "level_mesh_checks.h"
#include "mesh/chord_sag.h"
#include "sht/angles.h"

namespace {

// The grid of f = radial(r) * angular(theta, phi) at the radii, on nRows x nColumns directions.
SphericalGrid GridOf(std::vector<double> aRadius, int32_t nRows, int32_t nColumns,
                     const std::function<double(double)>& radial,
                     const std::function<double(double, double)>& angular)
{
    SphericalGrid grid;
    grid.nRows = nRows;
    grid.nColumns = nColumns;
    grid.aRadius = std::move(aRadius);
    for (const double r : grid.aRadius)
        grid.aRadial.push_back(radial(r));
    for (int32_t i = 0; i < nRows; ++i)
        for (int32_t j = 0; j < nColumns; ++j)
            grid.aAngular.push_back(angular(SampleTheta(i, nRows), SamplePhi(j, nColumns)));
    grid.radial = radial;
    grid.angular = angular;
    return grid;
}

double Radius(const LevelMesh& mesh, size_t v)
{
    const float* p = &mesh.aPoint[3 * v];
    return std::sqrt(double{p[0]} * p[0] + double{p[1]} * p[1] + double{p[2]} * p[2]);
}

// Where only a face's opposite corners are inside, the cells on both sides of it cut it alike:
// on a grid whose samples are a checkerboard in r and phi (rows of the same value between pole
// rows and first and last radii outside), every face across r and phi is such a face, and each
// sample inside makes a closed tube of its own, 12 of f = c and 12 of f = -c.
TEST(LevelSurface, OppositeCornersKeptApart)
{
    SphericalGrid grid;
    grid.nRows = 5;
    grid.nColumns = 6;
    grid.aRadius = {1.0, 2.0, 3.0, 4.0, 5.0, 6.0};
    grid.aRadial = {0.0, 1.0, -1.0, 1.0, -1.0, 0.0};
    grid.aAngular.assign(5 * 6, 0.0);
    for (int32_t i = 1; i < 4; ++i)
        for (int32_t j = 0; j < 6; ++j)
            grid.aAngular[static_cast<size_t>(i * 6 + j)] = j % 2 ? -1.0 : 1.0;
    LevelMesh mesh;
    ExtractLevelSurface(grid, 1.0, 0.5, 1, mesh, 0);
    ExtractLevelSurface(grid, -1.0, 0.5, 1, mesh, 1);
    const MeshShape shape = ShapeOf(mesh);
    EXPECT_TRUE(shape.bClosed);
    EXPECT_EQ(shape.nPieces, 24);
}

// e^-r = e^-2 on unevenly spaced radii is the sphere r = 2: with the radial factor known every
// vertex lies on it to a float's precision, the mesh is closed, and it is the same on any number
// of threads.
TEST(LevelSurface, CrossingsOnTheRadialFactor)
{
    const auto radial = [](double r) { return std::exp(-r); };
    const auto angular = [](double, double) { return 1.0; };
    const SphericalGrid grid = GridOf({0.5, 0.9, 1.7, 1.97, 2.3, 2.4, 3.1}, 13, 24, radial, angular);
    LevelMesh mesh;
    ExtractLevelSurface(grid, 1.0, std::exp(-2.0), 1, mesh, 0);
    ASSERT_FALSE(mesh.aTriangles[0].empty());
    for (size_t v = 0; v < mesh.aPoint.size() / 3; ++v)
        EXPECT_NEAR(Radius(mesh, v), 2.0, 1e-6) << v;
    const MeshShape shape = ShapeOf(mesh);
    EXPECT_TRUE(shape.bClosed);
    EXPECT_EQ(shape.nPieces, 1);
    LevelMesh shared;
    ExtractLevelSurface(grid, 1.0, std::exp(-2.0), 3, shared, 0);
    EXPECT_EQ(shared.aPoint, mesh.aPoint);
    EXPECT_EQ(shared.aTriangles[0], mesh.aTriangles[0]);
}

// r cos theta = 2.5 is the plane z = 2.5: with both factors known, the crossings along rows and
// along radii alike lie on it; from the samples alone (the cubic through them) they miss it.
TEST(LevelSurface, CrossingsOnTheAngularFactor)
{
    const auto radial = [](double r) { return r; };
    const auto angular = [](double dTheta, double) { return std::cos(dTheta); };
    SphericalGrid grid = GridOf({0.0, 1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0, 8.0}, 9, 16, radial, angular);
    LevelMesh mesh;
    ExtractLevelSurface(grid, 1.0, 2.5, 1, mesh, 0);
    ASSERT_GT(mesh.aPoint.size(), 30u);
    for (size_t v = 0; v < mesh.aPoint.size() / 3; ++v)
        EXPECT_NEAR(mesh.aPoint[3 * v + 2], 2.5, 2e-6) << v;
    grid.radial = nullptr;
    grid.angular = nullptr;
    LevelMesh sampled;
    ExtractLevelSurface(grid, 1.0, 2.5, 1, sampled, 0);
    double dWorst = 0.0;
    for (size_t v = 0; v < sampled.aPoint.size() / 3; ++v)
        dWorst = std::max(dWorst, std::fabs(sampled.aPoint[3 * v + 2] - 2.5));
    EXPECT_GT(dWorst, 1e-3);
}

// The extraction tells its progress on the calling thread, in slabs of rows up to all of them,
// and stops when the progress throws.
TEST(LevelSurface, ProgressOnTheCallingThreadStopsIt)
{
    const auto radial = [](double r) { return std::exp(-r); };
    const auto angular = [](double dTheta, double) { return 1.0 + std::cos(dTheta); };
    const SphericalGrid grid = GridOf({0.0, 0.5, 1.0, 1.5, 2.0, 2.5, 3.0}, 65, 32, radial, angular);
    const std::thread::id caller = std::this_thread::get_id();
    int32_t nLast = 0, nTotal = 0;
    bool bElsewhere = false;
    LevelMesh mesh;
    ExtractLevelSurface(grid, 1.0, 0.2, 2, mesh, 0, [&](int32_t nDone, int32_t nSlabs) {
        bElsewhere = bElsewhere || std::this_thread::get_id() != caller;
        EXPECT_GE(nDone, nLast);
        nLast = nDone;
        nTotal = nSlabs;
    });
    EXPECT_FALSE(bElsewhere);
    EXPECT_EQ(nTotal, 64);
    EXPECT_GT(nLast, 0);
    LevelMesh stopped;
    EXPECT_THROW(ExtractLevelSurface(grid, 1.0, 0.2, 2, stopped, 0,
                                     [](int32_t, int32_t) { throw std::runtime_error("stop"); }),
                 std::runtime_error);
}

// A sphere's triangles are chords of it: on a coarse grid (8 degrees between rows) they hold
// about 1 % less than its volume, lifted off their chords 0.1 % at most; where the normals turn
// by more than the grid resolves (15 degrees between rows), the vertices stay on the sphere.
TEST(LevelSurface, LiftedChordsHoldTheVolume)
{
    const auto radial = [](double r) { return std::exp(-r); };
    const auto angular = [](double, double) { return 1.0; };
    const double dVolume = 32.0 * kPi / 3.0, dArea = 16.0 * kPi;
    const SphericalGrid fine = GridOf({1.5, 1.8, 2.1, 2.5}, 23, 45, radial, angular);
    LevelMesh mesh;
    ExtractLevelSurface(fine, 1.0, std::exp(-2.0), 1, mesh, 0);
    const MeshMeasure chords = MeasureOf(mesh);
    EXPECT_LT(chords.dVolume / dVolume, 0.995);
    LiftChords(mesh);
    const MeshMeasure lifted = MeasureOf(mesh);
    EXPECT_NEAR(lifted.dVolume / dVolume, 1.0, 1e-3);
    EXPECT_NEAR(lifted.dArea / dArea, 1.0, 2e-3);

    const SphericalGrid coarse = GridOf({1.5, 1.8, 2.1, 2.5}, 13, 24, radial, angular);
    LevelMesh unresolved;
    ExtractLevelSurface(coarse, 1.0, std::exp(-2.0), 1, unresolved, 0);
    const std::vector<float> aOnSphere = unresolved.aPoint;
    LiftChords(unresolved);
    EXPECT_EQ(unresolved.aPoint, aOnSphere);
}

}  // namespace
