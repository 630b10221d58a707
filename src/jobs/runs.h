#pragma once

#include "jobs/job.h"
#include "jobs/run_hooks.h"

// The runs of a planned job. Each makes what the job asks for and writes its files all or nothing,
// printing and warning through the hooks: the warnings after the files are in place, so that a
// run that fails says one thing. Each throws RequestError where the job cannot be run as asked
// (found only once an input is read), SurfaceTooLarge where the surface is beyond the limits,
// std::bad_alloc and std::runtime_error, with every existing file as it was.

// The polar-plot surface: its pictures or turntable frames, mesh, values, points and statistics.
void RunSurface(const Job& job, IRunHooks& hooks);

// The flat map picture with its colour bar.
void RunMap(const Job& job, IRunHooks& hooks);

// The table of every harmonic up to the job's degree, in one picture.
void RunTable(const Job& job, IRunHooks& hooks);

// A hydrogen-like orbital's boundary surface: its pictures or turntable frames, mesh and statistics.
void RunOrbital(const Job& job, IRunHooks& hooks);

// The flat picture of a hydrogen-like orbital in a plane through the nucleus, with its colour bar.
void RunSlice(const Job& job, IRunHooks& hooks);

// Plans the request and runs the job it makes.
void RunRequest(const Request& request, IRunHooks& hooks);
