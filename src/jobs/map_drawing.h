#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "infra/growable_array.h"
#include "jobs/job.h"
#include "jobs/run_hooks.h"
#include "sht/build_progress.h"

// The samples of a map's grid of nRows from the north pole to the south pole (SampleTheta) and
// nColumns from longitude 0 east (SamplePhi), row after row.
using MapSampler = std::function<DoubleArray(int32_t nRows, int32_t nColumns, const BuildProgress& onRow)>;

// The job's map picture of values that sample gives on the grid the map needs for gridField (as
// RunMap draws the field's), the colour bar's ends their extremes among the samples and
// strCaption under it (or the title where there is no bar); written to --out all or nothing.
void DrawMapOfSamples(const Job& job, const Field& gridField, const MapSampler& sample,
                      const std::string& strCaption, IRunHooks& hooks);
