#include "geodesy/load_love_numbers.h"

#include <iterator>

namespace {

// Wahr et al. (1998), Table 1.
struct Tabulated
{
    int32_t l;
    double k;
};
constexpr Tabulated kTable[] = {
    {0, 0.000},   {1, 0.027},   {2, -0.303},  {3, -0.194},  {4, -0.132},   {5, -0.104},   {6, -0.089},
    {7, -0.081},  {8, -0.076},  {9, -0.072},  {10, -0.069}, {12, -0.064},  {15, -0.058},  {20, -0.051},
    {30, -0.040}, {40, -0.033}, {50, -0.027}, {70, -0.020}, {100, -0.014}, {150, -0.010}, {200, -0.007},
};

constexpr double kEarthDensity = 5517.0;  // kg/m^3
constexpr double kWaterDensity = 1000.0;  // kg/m^3

}  // namespace

double LoadLoveNumber(int32_t l)
{
    const Tabulated& last = kTable[std::size(kTable) - 1];
    if (l > last.l)
        return last.k * last.l / l;
    size_t i = 0;
    while (kTable[i].l < l)
        ++i;
    if (kTable[i].l == l || i == 0)
        return kTable[i].k;
    const Tabulated& below = kTable[i - 1];
    const Tabulated& above = kTable[i];
    return below.k + (above.k - below.k) * (l - below.l) / (above.l - below.l);
}

double WaterHeightFactor(int32_t l, double a)
{
    return a * kEarthDensity / (3.0 * kWaterDensity) * (2.0 * l + 1.0) / (1.0 + LoadLoveNumber(l));
}
