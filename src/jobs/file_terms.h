#pragma once

#include <vector>

#include "fields/coefficient_file.h"
#include "jobs/job.h"

// Terms of the job's coefficient file (its coefficients or their rates) as a field in the file's
// convention, as the job asks for it, from --lmin up. Throws RequestError where the normalisation
// given contradicts the file.
Field FileField(const Job& given, std::vector<Term> aTerms, const CoefficientFile& file);
