#include "maps/map_projection.h"

#include <cmath>

#include "names/named_values.h"
#include "sht/angles.h"

namespace {

constexpr NamedValue<MapProjection> kProjectionNames[] = {
    {"mollweide", MapProjection::kMollweide},
    {"equirect", MapProjection::kEquirect},
    {"ortho", MapProjection::kOrtho, "the hemisphere around +x"},
};

constexpr NamedValue<MapFlip> kFlipNames[] = {
    {"geo", MapFlip::kGeo, "east (growing phi) to the right, the globe seen from outside"},
    {"astro", MapFlip::kAstro, "east to the left, the sky seen from inside"},
};

}  // namespace

bool FindMapProjection(const std::string& strName, MapProjection& projection)
{
    return FindNamed(kProjectionNames, strName, projection);
}

std::vector<std::string> MapProjectionNames()
{
    return NamesOf(kProjectionNames);
}

NamedValues<MapProjection> MapProjectionNamedValues()
{
    return AllNamed(kProjectionNames);
}

NamedValues<MapFlip> MapFlipNamedValues()
{
    return AllNamed(kFlipNames);
}

double MapAspect(MapProjection projection)
{
    return projection == MapProjection::kOrtho ? 1.0 : 2.0;
}

bool MapDirection(MapProjection projection, double u, double v, double& dTheta, double& dPhi)
{
    const double dRadius2 = u * u + v * v;
    switch (projection)
    {
        case MapProjection::kEquirect:
            if (std::fabs(u) > 1.0 || std::fabs(v) > 1.0)
                return false;
            dTheta = (1.0 - v) * (kPi / 2.0);
            dPhi = u * kPi;
            return true;
        case MapProjection::kMollweide:
        {
            if (dRadius2 > 1.0)
                return false;
            // The auxiliary angle a with y = sin a: latitude asin((2a + sin 2a) / pi), longitude
            // pi u / cos a (0 at the poles, where cos a = 0).
            const double a = std::asin(v);
            const double dSinLatitude = std::fmin(1.0, std::fmax(-1.0, (2.0 * a + std::sin(2.0 * a)) / kPi));
            const double dCosA = std::cos(a);
            dTheta = kPi / 2.0 - std::asin(dSinLatitude);
            dPhi = dCosA > 0.0 ? std::fmin(kPi, std::fmax(-kPi, kPi * u / dCosA)) : 0.0;
            return true;
        }
        case MapProjection::kOrtho:
            break;
    }
    if (dRadius2 > 1.0)
        return false;
    // Seen from +x with +z up, +y lies to the right: the point is (sqrt(1 - r^2), u, v).
    dTheta = std::acos(std::fmin(1.0, std::fmax(-1.0, v)));
    dPhi = std::atan2(u, std::sqrt(1.0 - dRadius2));
    return true;
}
