#pragma once

#include <string>
#include <vector>

#include "fields/coefficient_file.h"
#include "jobs/job.h"

// The field of a gravity or magnetic model as the job asks for it: the normal field of its
// ellipsoid removed (which needs the file's GM and radius), then its quantity's factors per degree
// at its height, with the geoid's normal gravity that ellipsoid's mean (GRS80's where none is
// removed). Throws std::runtime_error, naming the file, for a constant the file does not give and
// a height the quantity cannot take; an epoch for a model that does not change with time is a
// warning in aWarnings.
void TakeModelQuantity(const Job& job, const CoefficientFile& file, Field& field,
                       std::vector<std::string>& aWarnings);
