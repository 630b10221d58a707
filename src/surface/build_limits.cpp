#include "surface/build_limits.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "surface/harmonic_rows.h"
#include "surface/normalized_legendre.h"
#include "surface/surface_mesh.h"

namespace {

constexpr int64_t kMaxLength = std::numeric_limits<int32_t>::max();

// Bytes that stay with each vertex: x, y, z and the signed value.
constexpr int64_t kVertexBytes = 3 * sizeof(float) + sizeof(double);
// Bytes per face while building: both face lists are sized for every face before sorting.
constexpr int64_t kFaceBytes = 2 * (sizeof(FaceQuad) + 3 * sizeof(float));
// Per-row tables, with the recurrence's copies of x, sin(theta) and the values.
constexpr int64_t kRowBytes = 7 * sizeof(double);
// Per-column tables: cos, sin and A of phi; one row of faces and their signs.
constexpr int64_t kColumnBytes = 3 * sizeof(double) + sizeof(FaceQuad) + 3 * sizeof(float) + 1;
// The three polynomials of the power basis, or the recurrence's three coefficients per step.
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

// Costs in nanoseconds of a 2-core x86-64 machine, measured on one, single-threaded. Vertices
// and faces are costed as written to fresh memory, whose first touch (a page fault per page,
// some microseconds each in a virtual machine) costs many times the writing itself: builds
// from 1920 x 960 to 7000 x 3500 samples took 115 to 135 ns a sample.
constexpr double kNsPerCoefficientStep = 1.0;  // one coefficient of one power-basis recursion step
constexpr double kNsPerPower = 12.0;           // one pow() in a row's power-basis sum
constexpr double kNsPerRecurrenceTerm = 5.0;   // one degree of the recurrence's coefficient table
constexpr double kNsPerRecurrenceStep = 0.25;  // one degree of the recurrence at one row
constexpr double kNsPerColumn = 60.0;          // the trigonometry of one column
constexpr double kNsPerVertex = 55.0;          // 20 bytes of vertex and value
constexpr double kNsPerFace = 80.0;            // 28 bytes of quad and normal, and their sorting

// Estimated nanoseconds to evaluate the harmonic on nRows rows.
double RowWorkNs(int32_t l, int32_t m, int64_t nRows)
{
    const int64_t a = std::llabs(int64_t{m});
    if (l < 0 || a > l || nRows == 0)
        return 0.0;  // the zero harmonic costs nothing
    const double dDegree = static_cast<double>(int64_t{l} + 1);
    if (UsesPowerBasis(l, m))
    {
        const double dTerms = static_cast<double>(int64_t{l} + 1 - a);
        return dDegree * dDegree * 0.5 * kNsPerCoefficientStep +
               static_cast<double>(nRows) * (dTerms + 1.0) * kNsPerPower;
    }
    // Rows go through the recurrence in whole groups.
    const int64_t nGroup = NormalizedLegendre::kLanes;
    const int64_t nPaddedRows = (nRows + nGroup - 1) / nGroup * nGroup;
    return dDegree * kNsPerRecurrenceTerm + static_cast<double>(nPaddedRows) * dDegree * kNsPerRecurrenceStep;
}

}  // namespace

GridCounts CountGrid(int32_t nT, int32_t nP)
{
    const bool bGrid = nT > 0 && nP > 0;
    const int64_t nRows = bGrid ? nT : 0;
    const int64_t nColumns = bGrid ? nP : 0;
    return GridCounts{nRows, nColumns, nRows * nColumns, std::max<int64_t>(nRows - 1, 0) * nColumns};
}

SurfacePlan PlanSurface(int32_t l, int32_t /*m: neither counts nor memory depend on it*/, int32_t nT,
                        int32_t nP)
{
    if (l > kMaxDegree)
        throw SurfaceTooLarge("the degree is above 32768, finer than any sample grid can show");

    const auto [nRows, nColumns, nVertices, nFaces] = CountGrid(nT, nP);
    if (nVertices > kMaxLength)
        throw SurfaceTooLarge("the sample grid has more than 2147483647 points");

    const int64_t nCoefficients = std::max<int64_t>(l, -1) + 1;
    const int64_t nBytes = nVertices * kVertexBytes + nFaces * kFaceBytes + nRows * kRowBytes +
                           nColumns * kColumnBytes + nCoefficients * kCoefficientBytes;
    if (nBytes > MemoryBudget())
        throw SurfaceTooLarge("the surface needs more memory than this machine can give it");

    return SurfacePlan{static_cast<int32_t>(nRows), static_cast<int32_t>(nColumns),
                       static_cast<int32_t>(nVertices), static_cast<int32_t>(nFaces)};
}

double EstimateBuildSeconds(int32_t l, int32_t m, int32_t nT, int32_t nP)
{
    const GridCounts grid = CountGrid(nT, nP);
    const double dNs = RowWorkNs(l, m, grid.nRows) + static_cast<double>(grid.nColumns) * kNsPerColumn +
                       static_cast<double>(grid.nVertices) * kNsPerVertex +
                       static_cast<double>(grid.nFaces) * kNsPerFace;
    return dNs * 1e-9;
}
