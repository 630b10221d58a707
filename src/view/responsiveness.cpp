#include "view/responsiveness.h"

#include "surface/build_limits.h"

namespace {

constexpr double kBusySecondsBudget = 2.0;

}  // namespace

void CheckResponsive(int32_t l, int32_t m, int32_t nT, int32_t nP)
{
    if (EstimateBuildSeconds(l, m, nT, nP) > kBusySecondsBudget)
        throw SurfaceTooLarge("the surface would take too long to build");
}
