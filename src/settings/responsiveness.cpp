#include "settings/responsiveness.h"

#include <algorithm>
#include <cstdlib>

#include "sht/build_limits.h"
#include "sht/harmonic_rows.h"
#include "sht/normalized_legendre.h"

namespace {

constexpr double kBusySecondsBudget = 2.0;

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

// The estimated time in seconds of a build of Y(l, m) on nT x nP samples into fresh memory,
// single-threaded on a 2-core x86-64 machine with nothing else running.
double EstimateBuildSeconds(int32_t l, int32_t m, int32_t nT, int32_t nP)
{
    const GridCounts grid = CountGrid(nT, nP);
    const double dNs = RowWorkNs(l, m, grid.nRows) + static_cast<double>(grid.nColumns) * kNsPerColumn +
                       static_cast<double>(grid.nVertices) * kNsPerVertex +
                       static_cast<double>(grid.nFaces) * kNsPerFace;
    return dNs * 1e-9;
}

// One paint with software GL on a 2-core x86-64 machine with nothing else running: every face
// goes through the facing test and about half are sent down the pipeline, and every pixel is
// cleared, filled and shown. Measured: 40 ms for the default surface in 800 x 600 pixels,
// 0.28 s for 1920 x 960 samples and 3.4 s for 7000 x 3500.
constexpr double kNsPerFaceDrawn = 150.0;
constexpr double kNsPerPixel = 2.0;
constexpr double kNsPerPaint = 20e6;

double EstimatePaintSeconds(int32_t nT, int32_t nP, int64_t nPixels)
{
    const double dNs = static_cast<double>(CountGrid(nT, nP).nFaces) * kNsPerFaceDrawn +
                       static_cast<double>(std::max<int64_t>(nPixels, 0)) * kNsPerPixel + kNsPerPaint;
    return dNs * 1e-9;
}

}  // namespace

void CheckResponsive(int32_t l, int32_t m, int32_t nT, int32_t nP, int64_t nPixels)
{
    // After a change of settings the window stays frozen while the surface is built and then
    // painted; every later paint takes the paint's share alone.
    if (EstimateBuildSeconds(l, m, nT, nP) + EstimatePaintSeconds(nT, nP, nPixels) > kBusySecondsBudget)
        throw SurfaceTooLarge("the surface would take too long to build and draw");
}
