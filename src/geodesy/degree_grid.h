#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A grid of geodetic latitudes and longitudes in degrees, as gravity-field and geomagnetic
// calculation services make them: rows from the northern limit down by the step, as far as the
// southern limit, and columns from the western limit east by the step, as far as the eastern one
// (each limit a row or column where the step reaches it to within 1e-9 of a step).
struct DegreeGrid
{
    double dSouth;
    double dNorth;
    double dWest;
    double dEast;
    double dStep;
};

// The most samples a grid may hold, as the other grids' values.
constexpr int64_t kMostGridSamples = INT32_MAX;

// One-line refusal of a grid that is not one: limits outside [-90, 90] or not finite, south above
// north, west above east or more than 360 degrees apart, a step that is not above 0, more than
// kMostGridSamples samples; empty when it is one.
std::string DegreeGridError(const DegreeGrid& grid);

std::vector<double> GridLatitudes(const DegreeGrid& grid);
std::vector<double> GridLongitudes(const DegreeGrid& grid);
