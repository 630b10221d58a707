#include "surface/responsiveness.h"

#include <algorithm>

#include "surface/build_limits.h"

namespace {

constexpr double kBusySecondsBudget = 2.0;

// One paint with software GL on a 2-core x86-64 machine with nothing else running: every face
// goes through the facing test and about half are sent down the pipeline, and every pixel is
// cleared, filled and shown. Measured: 40 ms for the default surface in 800 x 600 pixels,
// 0.28 s for 1920 x 960 samples and 3.4 s for 7000 x 3500.
constexpr double kNsPerFace = 150.0;
constexpr double kNsPerPixel = 2.0;
constexpr double kNsPerPaint = 20e6;

double EstimatePaintSeconds(int32_t nT, int32_t nP, int64_t nPixels)
{
    const double dNs = static_cast<double>(CountGrid(nT, nP).nFaces) * kNsPerFace +
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
