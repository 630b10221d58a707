#pragma once

#include <optional>
#include <vector>

#include "geodesy/degree_grid.h"
#include "geodesy/geodetic_place.h"

// What a request asks of a gravity or magnetic model at geodetic places, beyond its quantity,
// height, normal field and epoch: places by latitude, longitude and height, a grid of geodetic
// degrees for the values, a smoothing radius, the secular variation, and a model whose normal
// field is said to be removed already.
struct GeodeticItems
{
    std::vector<GeodeticPlace> aPlaces;   // --at-geodetic LAT,LON,H: degrees, metres above the ellipsoid
    std::optional<DegreeGrid> grid;       // --grid degrees:S,N,W,E,STEP of --values
    std::optional<double> dSmoothRadius;  // --smooth-radius KM
    bool bSecularVariation = false;       // --secular-variation
    bool bNormalNone = false;             // --remove-normal none
};
