#include "hydrogen/boundary_radii.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "sht/angles.h"

namespace {

// How far below the level, as a fraction of it, the ends of a lobe's part lie: beyond every
// rounding of R Y, so that no sample there is inside.
constexpr double kEndMargin = 1e-9;

// One side of a lobe's part: from dFrom to dTo in nSteps even steps.
struct Side
{
    double dFrom;
    double dTo;
    int64_t nSteps;
};

}  // namespace

std::vector<double> BoundaryRadii(const CEnclosedProbability& probability, double dLevel, int32_t nRows,
                                  int32_t nColumns)
{
    const CRadialFunction& radial = probability.Radial();
    const std::function<double(double)> absolute = [&radial](double r) { return std::fabs(radial(r)); };
    const double dReach = dLevel / probability.Angular().Peak() * (1.0 - kEndMargin);
    const double dRowAngle = kPi / (nRows - 1);
    std::vector<Side> aSides;
    int64_t nSteps = 0;
    for (const Lobe& lobe : probability.RadialLobes())
    {
        if (!(lobe.dHeight > dReach))
            continue;
        const double a = LobeCrossing(absolute, lobe, dReach, true);
        const double b = LobeCrossing(absolute, lobe, dReach, false);
        for (const auto& [dFrom, dTo] : {std::make_pair(a, lobe.dPeak), std::make_pair(lobe.dPeak, b)})
        {
            if (!(dTo > dFrom))
                continue;
            const double dSpacing = 0.5 * (dFrom + dTo) * dRowAngle;
            const auto nCount = static_cast<int64_t>(std::min(std::ceil((dTo - dFrom) / dSpacing), 1e9));
            aSides.push_back(Side{dFrom, dTo, std::max<int64_t>(kMinSideSteps, nCount)});
            nSteps += aSides.back().nSteps;
        }
    }
    const int64_t nDirections = int64_t{nRows} * nColumns;
    const int64_t nBudget = kMaxBoundarySamples / nDirections;
    std::vector<double> aRadius;
    for (Side& side : aSides)
    {
        if (nSteps + 1 > nBudget)
            side.nSteps = std::max<int64_t>(1, side.nSteps * nBudget / (nSteps + 1));
        // The side's first radius unless the side before ended there (at the peak).
        if (aRadius.empty() || aRadius.back() != side.dFrom)
            aRadius.push_back(side.dFrom);
        for (int64_t k = 1; k < side.nSteps; ++k)
            aRadius.push_back(side.dFrom + (side.dTo - side.dFrom) * static_cast<double>(k) / side.nSteps);
        aRadius.push_back(side.dTo);
    }
    return aRadius;
}
