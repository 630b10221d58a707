#pragma once

#include <string>
#include <vector>

#include "names/named_values.h"

// The flat maps of the sphere, each seen from outside with north up, east (growing phi) to the
// right and phi = 0 at the centre: Mollweide's equal-area ellipse, the equirectangular plate
// carree (phi and theta linear) and the orthographic view of the hemisphere around +x.
enum class MapProjection
{
    kMollweide,
    kEquirect,
    kOrtho,
};

// The projection of a name "mollweide", "equirect" or "ortho"; false for any other.
bool FindMapProjection(const std::string& strName, MapProjection& projection);
// The names, in that order.
std::vector<std::string> MapProjectionNames();
NamedValues<MapProjection> MapProjectionNamedValues();

// Which way longitude grows across a map: geo, east to the right as seen from outside the
// sphere; astro, east to the left as the sky is seen from inside it.
enum class MapFlip
{
    kGeo,
    kAstro,
};
NamedValues<MapFlip> MapFlipNamedValues();

// Width over height of the projection's bounding box: 2 for the ellipse and the plate, 1 for
// the disk.
double MapAspect(MapProjection projection);

// The direction shown at the point (u, v) of the bounding box, u from -1 (left) to 1 (right)
// and v from -1 (bottom) to 1 (top): theta in [0, pi] and phi in [-pi, pi]. False off the map.
bool MapDirection(MapProjection projection, double u, double v, double& dTheta, double& dPhi);
