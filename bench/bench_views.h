#pragma once

#include <cstdint>

// The views that the drawing benchmarks measure, offscreen and in a window alike, so that
// their figures compare case by case: a client area and a sample grid, camera at the default.
struct BenchView
{
    const char* pszName;
    int nWidth;
    int nHeight;
    int32_t nThetaDiv;
    int32_t nPhiDiv;
};

inline constexpr BenchView kBenchViews[] = {
    {"default_surface_800x600", 800, 600, 480, 240},
    {"default_surface_1920x1080", 1920, 1080, 480, 240},
    {"fine_surface_800x600", 800, 600, 1920, 960},
};
