#pragma once

#include <string>
#include <vector>

#include "fields/coefficient_file.h"
#include "geodesy/geodetic_quantity.h"
#include "infra/growable_array.h"
#include "jobs/geodetic_items.h"
#include "jobs/job.h"
#include "sht/build_progress.h"

// The field of a gravity or magnetic model as the job asks for it: the normal field of its
// ellipsoid removed, to degree 20 whatever the model's own degree (which needs the file's GM and
// radius), smoothed by the items' radius, then its quantity's factors per degree at its height,
// with the geoid's normal gravity that ellipsoid's mean (GRS80's where none is removed); the
// intensity takes the job's aMagnitudeParts instead, and a job of the geodetic run
// (UsesGeodeticRun) keeps the prepared potential for it. Throws std::runtime_error, naming the
// file, for a constant the file does not give and a height the quantity cannot take; an epoch for
// a model that does not change with time is a warning in aWarnings.
void TakeModelQuantity(const CoefficientFile& file, Job& job, std::vector<std::string>& aWarnings);

// The job's model read for geodetic places, prepared as above, with the rates of a magnetic
// model (its secular variation), on the ellipsoid of PlacesEllipsoid; the file's warnings in
// aWarnings. Throws as TakeModelQuantity and ReadCoefficientFile.
GeodeticModel ReadGeodeticModel(const Job& job, std::vector<std::string>& aWarnings);

// What the job's values are when it takes a model's quantity, as its colour bar captions them:
// "geoid height (m)", "secular variation of declination (deg/yr)"; empty for any other field.
std::string QuantityCaption(const Job& job);
std::string QuantityCaption(const QuantityInfo* pQuantity, bool bSecularVariation);

// The root of the sum of the squares of the parts' values on the grid, the parts sampled one
// after the other.
DoubleArray SampleMagnitude(const std::vector<Field>& aParts, int32_t nRows, int32_t nColumns,
                            const BuildProgress& onRow, SampleGrid grid = SampleGrid::kLobara);
