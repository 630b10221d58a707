#pragma once

#include "colour/field_coloring.h"
#include "jobs/job.h"
#include "sht/field_extremes.h"

// The job's colouring of values whose extremes are those given: its mode, scheme, colour map and
// range; bModulus colours |f| of a complex field.
FieldColoring JobColoring(const Job& job, const FieldExtremes& extremes, bool bModulus);
