#include "surface/build_limits.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "surface/surface_mesh.h"

namespace
{

constexpr int64_t kMaxLength = std::numeric_limits<int32_t>::max();

// Bytes that stay with each vertex: x, y, z and the signed value.
constexpr int64_t kVertexBytes = 3 * sizeof(float) + sizeof(double);
// Bytes per face while building: both face lists are sized for every face before sorting.
constexpr int64_t kFaceBytes = 2 * (sizeof(FaceQuad) + 3 * sizeof(float));
// Per-row and per-column tables of the sampling loop.
constexpr int64_t kRowBytes = 4 * sizeof(double);
constexpr int64_t kColumnBytes = 3 * sizeof(double);
// The three polynomials of the Legendre recursion.
constexpr int64_t kCoefficientBytes = 3 * sizeof(double);

// A build may use up to half of the machine's physical memory.
int64_t MemoryBudget()
{
    const long nPages = sysconf(_SC_PHYS_PAGES);
    const long nPageSize = sysconf(_SC_PAGESIZE);
    if (nPages <= 0 || nPageSize <= 0)
        return int64_t{1} << 31;
    return static_cast<int64_t>(nPages) / 2 * nPageSize;
}

// Time a build may take, in nanoseconds of a 2-core x86-64 machine; the costs per step
// below were measured on one (bench/surface_build_bench.cpp).
constexpr double kTimeBudgetNs = 2e9;
constexpr double kNsPerCoefficientStep = 1.0;  // one coefficient of one recursion step
constexpr double kNsPerPower = 25.0;           // one pow() in a row's polynomial sum
constexpr double kNsPerColumn = 60.0;          // the trigonometry of one column
constexpr double kNsPerVertex = 6.0;
constexpr double kNsPerFace = 6.0;

}  // namespace

SurfacePlan PlanSurface(int32_t l, int32_t m, int32_t nT, int32_t nP)
{
    // Negative counts, or a zero count, leave no grid: the mesh is empty.
    const bool bGrid = nT > 0 && nP > 0;
    const int64_t nRows = bGrid ? nT : 0;
    const int64_t nColumns = bGrid ? nP : 0;
    const int64_t nVertices = nRows * nColumns;
    const int64_t nFaces = std::max<int64_t>(nRows - 1, 0) * nColumns;
    if (nVertices > kMaxLength)
        throw SurfaceTooLarge("the sample grid has more than 2147483647 points");

    // l < 0 builds no polynomial; |m| beyond l leaves it with no terms.
    const int64_t nDegree = std::max<int64_t>(l, -1);
    const int64_t nTerms = std::max<int64_t>(nDegree + 1 - std::llabs(int64_t{m}), 0);

    const int64_t nBytes = nVertices * kVertexBytes + nFaces * kFaceBytes + nRows * kRowBytes +
                           nColumns * kColumnBytes + (nDegree + 1) * kCoefficientBytes;
    if (nBytes > MemoryBudget())
        throw SurfaceTooLarge("the surface needs more memory than this machine can give it");

    const double dDegree = static_cast<double>(nDegree + 1);
    const double dNs = dDegree * dDegree * 0.5 * kNsPerCoefficientStep +
                       static_cast<double>(nRows) * static_cast<double>(nTerms + 1) * kNsPerPower +
                       static_cast<double>(nColumns) * kNsPerColumn +
                       static_cast<double>(nVertices) * kNsPerVertex +
                       static_cast<double>(nFaces) * kNsPerFace;
    if (dNs > kTimeBudgetNs)
        throw SurfaceTooLarge("the surface would take too long to build");

    return SurfacePlan{static_cast<int32_t>(nRows), static_cast<int32_t>(nColumns),
                       static_cast<int32_t>(nVertices), static_cast<int32_t>(nFaces)};
}
