#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sht/convention.h"

// What a geodesist or geomagnetician reads from a model's coefficients, on the sphere of radius
// r = R + H (R the model's reference radius, H the height), each as a factor per degree l on the
// terms, with q = R / r:
//   potential            V = GM/R q^(l+1)                        m^2/s^2
//   geoid                N = V / gamma (Bruns), gamma the ellipsoid's mean normal gravity   m
//   gravity-disturbance  dg = -dV/dr = GM/R^2 (l+1) q^(l+2)      mGal
//   gravity-anomaly      Dg = -dV/dr - 2V/r = GM/R^2 (l-1) q^(l+2)  mGal (spherical approximation)
//   radial-gravity       g_r = dV/dr = -GM/R^2 (l+1) q^(l+2)     mGal (negative: pointing down)
//   Br                   the radial magnetic field of Schmidt-normalised Gauss coefficients
//                        in nT, -dV/dr with V = R sum q^(l+1) (g, h) Y: (l+1) q^(l+2)   nT
//   intensity            |B| = |grad V|, no factor per degree: the root of the sum of the
//                        squares of three fields (geodesy/magnetic_components.h)        nT
//   ewh                  the equivalent water height of a change of the gravity field on the
//                        sphere of radius R, a rho_e / (3 rho_w) (2l + 1) / (1 + k'_l) with the
//                        load Love numbers k'_l (geodesy/load_love_numbers.h)           m
// The gravity quantities are of the potential the terms give (after any normal field is removed:
// the disturbing potential T).
//
// Others are taken at geodetic places only (geodesy/geodetic_quantity.h), along the ellipsoid's
// north, east and up there, with the normal gravity gamma of the place:
//   height-anomaly       zeta = T / gamma                                                 m
//   deflection-north     xi = -(dT/dnorth) / gamma, the astronomic latitude less the geodetic  arcsec
//   deflection-east      eta = -(dT/deast) / gamma                                        arcsec
//   gravity-north        dV/dnorth, gravity-east dV/deast                                 mGal
//   X, Y, Z              the magnetic field B = -grad V to the north, east and down       nT
//   H, F                 its horizontal and total intensity                               nT
//   D, I                 its declination (east of north) and inclination (below the horizontal)  deg
// and the seven magnetic elements have a secular variation, per year.
enum class Quantity
{
    kPotential,
    kGeoid,
    kGravityDisturbance,
    kGravityAnomaly,
    kRadialGravity,
    kRadialField,
    kIntensity,
    kWaterHeight,
    kHeightAnomaly,
    kDeflectionNorth,
    kDeflectionEast,
    kGravityNorth,
    kGravityEast,
    kNorth,
    kEast,
    kDown,
    kHorizontal,
    kTotal,
    kDeclination,
    kInclination,
};

struct QuantityInfo
{
    const char* pszName;   // as options spell it: "geoid"
    const char* pszTitle;  // as the colour bar and statistics name it: "geoid height"
    const char* pszUnit;   // "m", "mGal", "nT"
    Quantity quantity;
    bool bGravity;            // of a gravity model; else of a magnetic one
    bool bGeodeticOnly;       // taken at geodetic places only, not on the sphere of a height
    bool bDisturbing;         // of the disturbing potential: the model's normal field is to be removed
    const char* pszRateUnit;  // of its secular variation, per year; nullptr for none
};

// The quantity of that name; nullptr for none.
const QuantityInfo* FindQuantity(std::string_view strName);
// The names, as the help lists them: "potential, geoid, ...".
std::string QuantityNames();
// The same with each one's unit: "potential (m^2/s^2), geoid (m), ...".
std::string QuantityNamesWithUnits();

// The model's constants as its file gives them, and where the quantity is taken.
struct QuantitySetting
{
    std::optional<double> dRadius;           // m
    std::optional<double> dGravityConstant;  // m^3/s^2
    double dHeight = 0.0;                    // m above the sphere of radius R
    double dNormalGravity = 0.0;             // m/s^2, for the geoid
};

// The terms of Bx, By and Bz on the sphere of the quantity's height, whose squares sum to the
// intensity's; throws as ApplyQuantity.
std::array<std::vector<Term>, 3> IntensityComponents(const QuantitySetting& setting,
                                                     const std::vector<Term>& aTerms);

// Multiplies each term by its degree's factor, for every quantity but the intensity and those
// taken at geodetic places only. Throws
// std::runtime_error, in one line, for a missing or non-positive constant the quantity needs (R is needed by
// every quantity but Br at height 0, GM by the gravity quantities but ewh), a height at or below -R, a
// height for ewh, and a factor beyond the double range (a deep negative height at a high degree).
void ApplyQuantity(const QuantityInfo& info, const QuantitySetting& setting, std::vector<Term>& aTerms);
