#include "sht/build_limits.h"

#include <gtest/gtest.h>

#include <limits>

#include "mesh/surface_builder.h"
#include "mesh_checks.h"

namespace {

constexpr int32_t kIntMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kIntMin = std::numeric_limits<int32_t>::min();

}  // namespace

TEST(PlanSurface, CountsOfOrdinaryAndDegenerateGrids)
{
    const auto expectPlan = [](int32_t nT, int32_t nP, SurfacePlan expected) {
        const SurfacePlan plan = PlanSurface(2, 0, nT, nP);
        EXPECT_EQ(plan.nRows, expected.nRows) << nT << " x " << nP;
        EXPECT_EQ(plan.nColumns, expected.nColumns) << nT << " x " << nP;
        EXPECT_EQ(plan.nVertices, expected.nVertices) << nT << " x " << nP;
        EXPECT_EQ(plan.nFaces, expected.nFaces) << nT << " x " << nP;
    };
    expectPlan(480, 240, {480, 240, 115200, 114960});
    expectPlan(1, 240, {1, 240, 240, 0});
    expectPlan(480, 1, {480, 1, 480, 479});
    expectPlan(0, 240, {0, 0, 0, 0});
    expectPlan(480, 0, {0, 0, 0, 0});
    expectPlan(-2, 240, {0, 0, 0, 0});
    expectPlan(480, kIntMin, {0, 0, 0, 0});
}

// Each of these must fail at once, before any work, and leave the mesh as it was.
TEST(PlanSurface, AbsurdBuildsFailFastAndKeepThePreviousMesh)
{
    const struct
    {
        int32_t l, m, nT, nP;
    } cases[] = {
        {2, 0, kIntMax, kIntMax},  // grid beyond 32-bit lengths
        {2, 0, 65536, 65536},      // 2^32 samples: the 32-bit product would wrap to 0
        {2, 0, 46340, 46340},      // fits 32 bits, not memory
        {2, 0, kIntMax, 1},           {2, 0, 1, kIntMax},
        {kIntMax, 0, 480, 240},  // the polynomial alone would take hours
        {kIntMax, kIntMin, 480, 240}, {1000000, 3, 2, 2},
    };
    SurfaceMesh mesh;
    BuildSurfaceMesh(3, -2, 40, 30, mesh);
    const SurfaceMesh before = mesh;
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "l=" << c.l << " m=" << c.m << " nT=" << c.nT << " nP=" << c.nP);
        EXPECT_THROW(BuildSurfaceMesh(c.l, c.m, c.nT, c.nP, mesh), SurfaceTooLarge);
        EXPECT_TRUE(SameMesh(mesh, before));
    }
}

TEST(PlanSurface, DegreesUpTo32768AreBuiltAndNoHigher)
{
    EXPECT_NO_THROW(PlanSurface(32768, -32768, 480, 240));
    EXPECT_THROW(PlanSurface(32769, 0, 2, 2), SurfaceTooLarge);
    // Even where the harmonic would be zero.
    EXPECT_THROW(PlanSurface(32769, kIntMax, 2, 2), SurfaceTooLarge);
}

TEST(PlanSurface, FailureIsAnOutOfMemoryError)
{
    try
    {
        PlanSurface(2, 0, kIntMax, kIntMax);
        FAIL() << "no exception";
    }
    catch (const std::bad_alloc& error)
    {
        EXPECT_STRNE(error.what(), "");
    }
}

TEST(PlanSurface, LargeButReasonableBuildsAreAllowed)
{
    EXPECT_NO_THROW(PlanSurface(2, 0, 1920, 960));
    // Slow is not too large: a long build that fits is planned.
    EXPECT_NO_THROW(PlanSurface(32768, 100, 2000000, 1));
    EXPECT_NO_THROW(PlanSurface(2, 0, 8000, 8000));
    EXPECT_NO_THROW(PlanSurface(1000, 500, 480, 240));
    EXPECT_NO_THROW(PlanSurface(kIntMin, kIntMax, 480, 240));
}
