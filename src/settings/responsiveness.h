#pragma once

#include <cstdint>

// The viewer builds and draws on its one thread, so a surface that takes long to build or to
// draw freezes its window. Throws SurfaceTooLarge (an out-of-memory failure, like a build
// beyond the machine's limits) when building Y(l, m) on nT x nP samples and painting it once
// into a view of nPixels pixels would keep the window busy for more than about two seconds.
void CheckResponsive(int32_t l, int32_t m, int32_t nT, int32_t nP, int64_t nPixels);
