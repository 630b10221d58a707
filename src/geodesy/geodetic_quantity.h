#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "geodesy/field_quantity.h"
#include "geodesy/geodetic_place.h"
#include "geodesy/potential_gradient.h"
#include "geodesy/reference_ellipsoid.h"

// A gravity or magnetic model ready to be taken at geodetic places: its potential (a gravity
// model's with any normal field removed and any smoothing applied), the yearly rate of its
// coefficients where it has one (the secular variation of a magnetic model), and the ellipsoid of
// the places and of normal gravity.
struct GeodeticModel
{
    PotentialModel potential;
    std::optional<PotentialModel> rate;
    const ReferenceEllipsoid* pEllipsoid;
};

// The model of a field of potential coefficients (a gravity model's, or a magnetic model's Gauss
// coefficients) and of their rates, of GM dGm and reference radius dRadius (m; NaN where not
// stated), at places on that ellipsoid. Throws std::runtime_error, one line, for a radius the
// model does not state, or a GM for a gravity model.
GeodeticModel MakeGeodeticModel(Field field, std::optional<Field> rate, double dGm, double dRadius,
                                bool bGravity, const ReferenceEllipsoid& places);

// The ellipsoid of geodetic places: that of the normal field removed, else GRS80 for a gravity
// model and WGS84 for a magnetic one (as the World Magnetic Model and IGRF take them).
const ReferenceEllipsoid& PlacesEllipsoid(const ReferenceEllipsoid* pNormalField, bool bGravity);

// The quantity at each place (geodesy/field_quantity.h): V and its gradient at the place, turned
// into the ellipsoid's north, east and up there (the geocentric north and radius turned by the
// difference of the geodetic and geocentric latitudes, as the World Magnetic Model's report turns
// its components), with the normal gravity of the place by Somigliana's formula with its height
// correction (geodesy/normal_gravity.h). The quantities of the sphere are taken at the place too:
//   potential V; geoid and height-anomaly T / gamma; gravity-disturbance -dT/dup; gravity-anomaly
//   -dT/dup - 2 T / r; radial-gravity dV/dr; Br -dV/dr; intensity |grad V|; ewh on the sphere of
//   the model's radius, along the place's geocentric direction.
// With bRate, the secular variation of the magnetic element, per year: of X, Y and Z those of the
// rates' field; H' = (X X' + Y Y') / H, F' = (X X' + Y Y' + Z Z') / F, D' = (X Y' - Y X') / H^2 and
// I' = (H Z' - Z H') / F^2 (in degrees a year).
// Places of one latitude and height share their parallel's sums; the parallels are shared among
// nThreads threads (0: one for each core).
// Throws std::runtime_error for a place at or below the centre, a value beyond the double range (a
// place too deep inside the model's sphere for its degrees), and the rate of a model without one.
std::vector<double> QuantityAtPlaces(const GeodeticModel& model, const QuantityInfo& info, bool bRate,
                                     const std::vector<GeodeticPlace>& aPlaces, unsigned nThreads = 0);

// The same on a grid of geodetic latitudes (rows, in degrees) and longitudes (columns) at one
// ellipsoidal height, row by row (index i * columns + j), the rows shared among nThreads threads
// (0: one for each core); onRow, when given, hears how many rows are done (one call at a time).
std::vector<double> QuantityOnGrid(const GeodeticModel& model, const QuantityInfo& info, bool bRate,
                                   const std::vector<double>& aLatitudes,
                                   const std::vector<double>& aLongitudes, double dHeight,
                                   const std::function<void(int32_t, int32_t)>& onRow, unsigned nThreads = 0);
