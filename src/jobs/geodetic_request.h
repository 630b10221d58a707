#pragma once

#include <string>

#include "geodesy/degree_grid.h"
#include "geodesy/geodetic_place.h"
#include "jobs/geodetic_items.h"
#include "jobs/job.h"
#include "options/request.h"

// Checks what a request asks of a model at geodetic places together with the rest of it. Throws
// RequestError, one line in the words of lobara-render's options:
// - the items (places, a grid of degrees, smoothing, the secular variation, --remove-normal none)
//   without --coeffs; --at-geodetic without --quantity; a grid of degrees without --values or
//   with --map; --smooth-radius or --remove-normal none with a magnetic quantity;
// - a quantity of the disturbing potential (geoid, height-anomaly, gravity-disturbance,
//   gravity-anomaly, deflection-north, deflection-east) without --remove-normal, which would
//   divide the whole potential by normal gravity: an ellipsoid, or none for a model of the
//   disturbing potential, must be named;
// - the secular variation of a quantity that has none;
// - the geoid at places above or below the ellipsoid (the height anomaly is T / gamma there);
// - a job at geodetic places (UsesGeodeticRun) asking for what only the sphere's runs make:
//   --at, --stats, --mesh, --html, --turntable, --table, a 3D picture, --coeffs-out, --spectrum,
//   --rotate.
void CheckGeodeticRequest(const Request& r, const GeodeticItems& items);

// The items of the request's options.
GeodeticItems GeodeticItemsOf(const Request& r);

// Whether the job is one of the geodetic run (RunGeodetic): places, a grid of degrees, or a
// quantity taken at geodetic places only.
bool UsesGeodeticRun(const Job& job);
