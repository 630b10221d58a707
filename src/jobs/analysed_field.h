#pragma once

#include <string>
#include <vector>

#include "jobs/job.h"
#include "jobs/run_hooks.h"

// The job with the field of its analysed values, if it names them: the coefficients of every
// degree up to --lmax (a grid's limit unless given; for points the highest degree their number
// can determine), in the job's convention. For points it prints the fit's relative residual and
// its iterations, and warns (into aWarnings, "PATH: WHAT") where the points cannot determine the
// degree. Throws RequestError for a degree beyond the grid or values not of its shape, and
// std::runtime_error where the file cannot be read.
Job WithAnalysedField(const Job& given, IRunHooks& hooks, std::vector<std::string>& aWarnings);
