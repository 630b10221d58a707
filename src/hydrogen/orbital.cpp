#include "hydrogen/orbital.h"

#include <cmath>

#include "sht/field_synthesis.h"

namespace {

// The convention's signs with the orthonormal normalisation.
Convention OrthonormalConvention(const Convention& convention)
{
    Convention result = convention;
    result.normalization = Normalization::kOrtho;
    return result;
}

}  // namespace

Field OrbitalAngularField(const HydrogenOrbital& orbital)
{
    return Field{{Term{orbital.numbers.l, orbital.numbers.m, orbital.bNegative ? -1.0 : 1.0}},
                 OrthonormalConvention(orbital.convention)};
}

ComplexField OrbitalAngularParts(const HydrogenOrbital& orbital)
{
    return ComplexParts(OrbitalAngularField(orbital));
}

std::vector<std::array<double, 2>> EvaluateOrbital(const HydrogenOrbital& orbital,
                                                   const std::vector<std::array<double, 3>>& aPoints)
{
    const CRadialFunction radial(orbital.numbers.n, orbital.numbers.l, orbital.numbers.dCharge);
    std::vector<std::array<double, 2>> aDirections(aPoints.size());
    std::vector<double> aRadial(aPoints.size());
    for (size_t k = 0; k < aPoints.size(); ++k)
    {
        const std::array<double, 3>& p = aPoints[k];
        const double r = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
        aDirections[k] = {r > 0.0 ? std::acos(std::fmin(1.0, std::fmax(-1.0, p[2] / r))) : 0.0,
                          std::atan2(p[1], p[0])};
        aRadial[k] = radial(r);
    }
    std::vector<std::array<double, 2>> aValues(aPoints.size(), {0.0, 0.0});
    if (orbital.bComplex)
    {
        const std::vector<std::array<double, 2>> aY =
            EvaluateComplexField(OrbitalAngularParts(orbital), aDirections);
        for (size_t k = 0; k < aPoints.size(); ++k)
            aValues[k] = {aRadial[k] * aY[k][0], aRadial[k] * aY[k][1]};
        return aValues;
    }
    const std::vector<double> aY = EvaluateField(OrbitalAngularField(orbital), aDirections);
    for (size_t k = 0; k < aPoints.size(); ++k)
        aValues[k][0] = aRadial[k] * aY[k];
    return aValues;
}
