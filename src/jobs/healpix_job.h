#pragma once

#include <cstdint>
#include <vector>

#include "sht/field.h"

// What a job does with HEALPix maps (jobs/healpix_plan.h): the map of --analyze read on the
// HEALPix grid, the map of --values written on it.
struct HealpixJob
{
    bool bAnalysis = false;  // --analyze reads a HEALPix map
    bool bValues = false;    // --values writes one
    bool bPixels = false;    // --map draws the map of --analyze pixel for pixel, nothing analysed
    int64_t nSide = 0;       // of --values: --nside, or once analysed the map's own
    // --pol: T, E and B, each in the convention of its input; the job's field is that of --component.
    std::vector<Field> aPolarised;
};
