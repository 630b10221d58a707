#include "sht/grid_coordinates.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>

#include "sht/angles.h"

namespace {

constexpr double kDegreesPerRadian = 180.0 / kPi;
// How far, as a share of the spacing, a coordinate may lie from the grid's own.
constexpr double kTolerance = 1e-3;

// Six significant digits, in any locale.
std::string CoordinateText(double d)
{
    char acText[32];
    const auto result = std::to_chars(acText, acText + sizeof acText, d, std::chars_format::general, 6);
    return std::string(acText, result.ptr);
}

bool AllFinite(const std::vector<double>& a)
{
    return std::all_of(a.begin(), a.end(), [](double d) { return std::isfinite(d); });
}

// "181 from 90 to -90, steps 0.5 to 1.5" of coordinates that are not a grid.
std::string Described(const std::vector<double>& a)
{
    std::string strText = std::to_string(a.size());
    if (a.empty())
        return strText;
    strText += " from " + CoordinateText(a.front()) + " to " + CoordinateText(a.back());
    if (a.size() < 2)
        return strText;
    double dMin = a[1] - a[0], dMax = dMin;
    for (size_t k = 2; k < a.size(); ++k)
    {
        dMin = std::min(dMin, a[k] - a[k - 1]);
        dMax = std::max(dMax, a[k] - a[k - 1]);
    }
    return strText + ", steps " + CoordinateText(dMin) + " to " + CoordinateText(dMax);
}

bool Matches(const std::vector<double>& aGiven, const std::vector<double>& aGrid, double dSpacing)
{
    for (size_t k = 0; k < aGiven.size(); ++k)
        if (!(std::fabs(aGiven[k] - aGrid[k]) <= kTolerance * dSpacing))
            return false;
    return true;
}

}  // namespace

std::vector<double> SampleGridLatitudes(SampleGrid grid, int32_t nT)
{
    std::vector<double> aLatitude = GridThetas(grid, nT);
    for (double& d : aLatitude)
        d = 90.0 - d * kDegreesPerRadian;
    if (grid == SampleGrid::kLobara && nT > 1)
        aLatitude.back() = -90.0;
    return aLatitude;
}

std::vector<double> SampleGridLongitudes(int32_t nP)
{
    std::vector<double> aLongitude(static_cast<size_t>(std::max(nP, 0)));
    for (int32_t j = 0; j < nP; ++j)
        aLongitude[static_cast<size_t>(j)] = SamplePhi(j, nP) * kDegreesPerRadian;
    return aLongitude;
}

std::string RecogniseGrid(const std::vector<double>& aLatitude, const std::vector<double>& aLongitude,
                          GridCoordinates& found)
{
    if (aLatitude.size() > static_cast<size_t>(INT32_MAX) ||
        aLongitude.size() > static_cast<size_t>(INT32_MAX))
        return "a grid of " + std::to_string(aLatitude.size()) + " x " + std::to_string(aLongitude.size()) +
               " is beyond 2^31 rings or columns";
    const auto nT = static_cast<int32_t>(aLatitude.size());
    const auto nP = static_cast<int32_t>(aLongitude.size());
    if (nT < 1 || nP < 1 || !AllFinite(aLatitude) || !AllFinite(aLongitude))
        return "the latitudes (" + Described(aLatitude) + ") or longitudes (" + Described(aLongitude) +
               ") are empty or not finite";
    GridCoordinates grid;
    grid.bSouthFirst = nT > 1 && aLatitude.back() > aLatitude.front();
    std::vector<double> aNorthFirst = aLatitude;
    if (grid.bSouthFirst)
        std::reverse(aNorthFirst.begin(), aNorthFirst.end());
    const double dLatitudeSpacing = 180.0 / nT;
    bool bFound = false;
    for (const auto& named : SampleGridNamedValues())
        if (Matches(aNorthFirst, SampleGridLatitudes(named.value, nT), dLatitudeSpacing))
        {
            grid.grid = named.value;
            bFound = true;
            break;
        }
    if (!bFound)
        return "the latitudes (" + Described(aLatitude) +
               ") are not those of an equiangular grid (lobara, cells, dh) or of Gaussian latitudes (gl)";
    // The longitudes: lon_j = lon_0 + 360 j / nP, lon_0 a whole number of steps from 0.
    const double dStep = 360.0 / nP;
    const double dFirst = std::round(aLongitude.front() / dStep);
    bool bEven =
        std::fabs(dFirst) <= 4.0 * nP && std::fabs(aLongitude.front() - dFirst * dStep) <= kTolerance * dStep;
    for (int32_t j = 0; bEven && j < nP; ++j)
        bEven = std::fabs(aLongitude[static_cast<size_t>(j)] - (dFirst + j) * dStep) <= kTolerance * dStep;
    if (!bEven)
        return "the longitudes (" + Described(aLongitude) + ") are not " + std::to_string(nP) +
               " equally spaced around the circle from 0 or -180";
    const auto nShift = static_cast<int64_t>(dFirst) % nP;
    grid.nColumnShift = static_cast<int32_t>(nShift < 0 ? nShift + nP : nShift);
    const std::string strShape = GridShapeProblem(grid.grid, nT, nP);
    if (!strShape.empty())
        return "the latitudes are those of a " + std::string(SampleGridName(grid.grid)) + " grid, but " +
               strShape;
    found = grid;
    return "";
}
