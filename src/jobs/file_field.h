#pragma once

#include <string>
#include <vector>

#include "jobs/job.h"

// The job with the field of its coefficient file, if it names one, in the file's convention, its
// degrees from --lmin up to --lmax, and the file's model for an ICGEM file written from it; the
// file's warnings go to aWarnings, each "PATH: WHAT". Throws RequestError where the normalisation
// given contradicts the file and std::runtime_error where the file cannot be read.
// The job's geodetic items prepare the model's field (its smoothing) and leave the quantity to the
// geodetic run where it takes it (UsesGeodeticRun).
Job WithFileField(const Job& given, std::vector<std::string>& aWarnings);
