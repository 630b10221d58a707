#pragma once

#include "jobs/geodetic_items.h"
#include "jobs/job.h"
#include "jobs/run_hooks.h"

// The run of a job at geodetic places (UsesGeodeticRun): the quantity of the model of --coeffs
// at each place of --at-geodetic, one line each; --values on the grid of degrees, or on the
// sample grid with its rows at geodetic latitudes (row i at 90 - 180 i / (NT - 1) degrees, column
// j at 360 j / NP), at the job's height above the ellipsoid; and the map of the whole globe in
// geodetic latitude at that height. Files are written all or nothing, the lines printed, the
// warnings told after. Throws as the other runs (jobs/runs.h).
void RunGeodetic(const Job& job, IRunHooks& hooks);
