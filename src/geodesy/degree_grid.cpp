#include "geodesy/degree_grid.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// The steps from the one limit to the other, counting the first: those within 1e-9 of a step of
// the far limit included.
int64_t StepsWithin(double dFrom, double dTo, double dStep)
{
    return static_cast<int64_t>(std::floor((dTo - dFrom) / dStep + 1e-9)) + 1;
}

// From dFrom towards dTo by the step, the last no further than dTo.
std::vector<double> Stepped(double dFrom, double dTo, double dStep)
{
    const double dSign = dTo >= dFrom ? 1.0 : -1.0;
    const int64_t nCount = StepsWithin(0.0, std::fabs(dTo - dFrom), dStep);
    std::vector<double> aValues(static_cast<size_t>(nCount));
    for (int64_t i = 0; i < nCount; ++i)
    {
        const double dValue = dFrom + dSign * static_cast<double>(i) * dStep;
        aValues[static_cast<size_t>(i)] = dSign > 0.0 ? std::min(dValue, dTo) : std::max(dValue, dTo);
    }
    return aValues;
}

std::string Number(double d)
{
    char szText[32];
    std::snprintf(szText, sizeof szText, "%.10g", d);
    return szText;
}

}  // namespace

std::string DegreeGridError(const DegreeGrid& grid)
{
    if (!(std::fabs(grid.dSouth) <= 90.0 && std::fabs(grid.dNorth) <= 90.0))
        return "the latitudes " + Number(grid.dSouth) + " and " + Number(grid.dNorth) +
               " are not from -90 to 90 degrees";
    if (grid.dSouth > grid.dNorth)
        return "the southern limit " + Number(grid.dSouth) + " is north of the northern " +
               Number(grid.dNorth);
    if (!(std::isfinite(grid.dWest) && std::isfinite(grid.dEast) && grid.dWest <= grid.dEast &&
          grid.dEast - grid.dWest <= 360.0 && std::fabs(grid.dWest) <= 1e6))
        return "the longitudes " + Number(grid.dWest) + " to " + Number(grid.dEast) +
               " are not a span of at most 360 degrees from west to east";
    if (!(grid.dStep > 0.0 && std::isfinite(grid.dStep)))
        return "the step " + Number(grid.dStep) + " is not above 0 degrees";
    const double dRows = std::floor((grid.dNorth - grid.dSouth) / grid.dStep) + 1.0;
    const double dColumns = std::floor((grid.dEast - grid.dWest) / grid.dStep) + 1.0;
    if (dRows * dColumns > static_cast<double>(kMostGridSamples))
        return "the step " + Number(grid.dStep) + " makes " + Number(dRows) + " x " + Number(dColumns) +
               " samples, more than " + std::to_string(kMostGridSamples);
    return "";
}

std::vector<double> GridLatitudes(const DegreeGrid& grid)
{
    return Stepped(grid.dNorth, grid.dSouth, grid.dStep);
}

std::vector<double> GridLongitudes(const DegreeGrid& grid)
{
    return Stepped(grid.dWest, grid.dEast, grid.dStep);
}
