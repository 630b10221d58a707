#pragma once

#include <string>

#include "jobs/job.h"

// What the colours of the job's values show, as a colour bar captions it: a model's quantity
// ("geoid height (m)"), psi, |psi|^2 or the phase of psi for an orbital; empty for any other field.
std::string ValueCaption(const Job& job);
