#include "plots/axis_ticks.h"

#include <algorithm>
#include <cmath>

std::vector<double> LinearTicks(double dLow, double dHigh, int nMaxTicks, double dMinStep)
{
    const double dRough = std::max((dHigh - dLow) / std::max(nMaxTicks, 1), dMinStep);
    const double dPower = std::pow(10.0, std::floor(std::log10(dRough)));
    double dStep = 10.0 * dPower;
    for (const double dMultiple : {1.0, 2.0, 5.0})
        if (dMultiple * dPower >= dRough)
        {
            dStep = dMultiple * dPower;
            break;
        }
    std::vector<double> aTicks;
    for (double k = std::ceil(dLow / dStep); k * dStep <= dHigh; ++k)
        aTicks.push_back(k * dStep);
    return aTicks;
}

Decades DecadesOf(double dMin, double dMax, int nMaxLabels)
{
    Decades decades{static_cast<int>(std::floor(std::log10(dMin))),
                    static_cast<int>(std::ceil(std::log10(dMax))), 1};
    if (decades.nLow == decades.nHigh)
    {
        --decades.nLow;
        ++decades.nHigh;
    }
    const int nSpan = decades.nHigh - decades.nLow;
    decades.nStep = std::max(1, (nSpan + std::max(nMaxLabels, 2) - 2) / (std::max(nMaxLabels, 2) - 1));
    return decades;
}
