#include "hydrogen/boundary_level.h"

#include <cstdio>
#include <stdexcept>

namespace {

// 8-point Gauss-Legendre on [-1, 1]: the positive nodes and their weights.
constexpr double kGaussNode[4] = {0.1834346424956498, 0.5255324099163290, 0.7966664774136267,
                                  0.9602898564975363};
constexpr double kGaussWeight[4] = {0.3626837833783620, 0.3137066458778873, 0.2223810344533745,
                                    0.1012285362903763};

}  // namespace

double RadiusHolding(const CRadialFunction& radial, double dProbability)
{
    const double dStep = radial.Scale() / 64.0;
    double dInside = 0.0, r = 0.0;
    while (dInside < dProbability && r < 4096.0 * radial.Scale())
    {
        const double dMid = r + 0.5 * dStep, dHalf = 0.5 * dStep;
        for (int q = 0; q < 4; ++q)
            for (const double x : {dMid - dHalf * kGaussNode[q], dMid + dHalf * kGaussNode[q]})
            {
                const double R = radial(x);
                dInside += kGaussWeight[q] * dHalf * R * R * x * x;
            }
        r += dStep;
    }
    return r;
}

BoundaryLevel FindBoundaryLevel(const CEnclosedProbability& probability, const LevelRequest& request,
                                const std::function<void()>& onStep)
{
    BoundaryLevel level;
    level.dPeak = probability.Peak();
    if (request.kind == LevelKind::kEnclose)
        level.dLevel = probability.LevelEnclosing(request.dValue, onStep);
    else
    {
        if (!(request.dValue < level.dPeak))
        {
            char acLine[160];
            std::snprintf(acLine, sizeof acLine,
                          "--iso %.6g leaves no surface: the largest |psi| of this orbital is %.17g",
                          request.dValue, level.dPeak);
            throw std::invalid_argument(acLine);
        }
        level.dLevel = request.dValue;
    }
    level.dEnclosed = probability(level.dLevel);
    return level;
}
