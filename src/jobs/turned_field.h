#pragma once

#include "jobs/job.h"

// The job with its field turned by its rotation, in the field's own convention: a single
// harmonic becomes the sum of its degree's harmonics (unless it is 0 everywhere, which no turn
// changes). With --complex, the complex field's parts, turned. Without a rotation the field is
// left as it is. Throws as RotateField.
Job WithTurnedField(const Job& given);

// The field whose degrees and orders a sample grid must resolve: the real field, or of a
// complex one its real part, which has every degree and order of the imaginary part too.
const Field& GridField(const Job& job);
