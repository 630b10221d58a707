#pragma once

#include <limits>
#include <string>

// What an ICGEM header says of its model besides the coefficients, kept so that the model can
// be written out again under its own name and constants. Empty texts and NaN where the input
// does not say.
struct GravityHeader
{
    std::string strModelName;                               // modelname
    std::string strProductType;                             // product_type: gravity_field, topography...
    std::string strTideSystem;                              // tide_system: tide_free, zero_tide, mean_tide...
    double dGm = std::numeric_limits<double>::quiet_NaN();  // earth_gravity_constant, m^3/s^2
    double dRadius = std::numeric_limits<double>::quiet_NaN();  // radius, m
};
