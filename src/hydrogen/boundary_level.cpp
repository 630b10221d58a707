#include "hydrogen/boundary_level.h"

#include <cstdio>
#include <stdexcept>

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
