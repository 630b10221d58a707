#include "hydrogen/orbital_grid.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <utility>

#include "sht/field_rows.h"
#include "sht/normalized_legendre.h"

namespace {

// The angular part at any direction, as SampleAngularPart samples it: Pbar(cos theta) times the
// program's own azimuthal factor of order m, signed as the convention and the orbital sign it
// (see sht/convention.h); |Pbar| for a complex orbital.
std::function<double(double, double)> AngularPart(const HydrogenOrbital& orbital)
{
    const int32_t l = orbital.numbers.l, m = orbital.numbers.m;
    const auto pLegendre = std::make_shared<const NormalizedLegendre>(l, std::abs(m));
    const bool bModulus = orbital.bComplex;
    const double dFactor =
        SignedConventionFactor(orbital.bNegative ? -1.0 : 1.0, m, orbital.convention) * OwnAzimuthFactor(m);
    return [pLegendre, bModulus, dFactor, m](double dTheta, double dPhi) {
        const double x = std::cos(dTheta), u = std::sin(dTheta);
        double dValue = 0.0;
        pLegendre->Evaluate(&x, &u, 1, &dValue);
        if (bModulus)
            return std::fabs(dValue);
        return dFactor * dValue * (m > 0 ? std::cos(m * dPhi) : m < 0 ? std::sin(-m * dPhi) : 1.0);
    };
}

}  // namespace

std::vector<double> SampleAngularPart(const HydrogenOrbital& orbital, int32_t nRows, int32_t nColumns)
{
    DoubleArray aValues;
    if (orbital.bComplex)
        aValues = ComplexModulus(SampleComplexField(OrbitalAngularParts(orbital), nRows, nColumns));
    else
        aValues = SampleField(OrbitalAngularField(orbital), nRows, nColumns);
    std::vector<double> aAngular(aValues.GetData(), aValues.GetData() + aValues.GetSize());
    for (const int32_t i : {0, nRows - 1})
    {
        const auto pRow = aAngular.begin() + static_cast<ptrdiff_t>(i) * nColumns;
        double dSum = 0.0;
        for (int32_t j = 0; j < nColumns; ++j)
            dSum += pRow[j];
        std::fill(pRow, pRow + nColumns, dSum / nColumns);
    }
    return aAngular;
}

SphericalGrid SampleOrbital(const HydrogenOrbital& orbital, std::vector<double> aRadius, int32_t nRows,
                            int32_t nColumns)
{
    SphericalGrid grid;
    grid.nRows = nRows;
    grid.nColumns = nColumns;
    grid.aAngular = SampleAngularPart(orbital, nRows, nColumns);
    grid.angular = AngularPart(orbital);
    const CRadialFunction radial(orbital.numbers.n, orbital.numbers.l, orbital.numbers.dCharge);
    const bool bModulus = orbital.bComplex;
    grid.radial = [radial, bModulus](double r) { return bModulus ? std::fabs(radial(r)) : radial(r); };
    grid.aRadius = std::move(aRadius);
    grid.aRadial.reserve(grid.aRadius.size());
    for (const double r : grid.aRadius)
        grid.aRadial.push_back(grid.radial(r));
    return grid;
}
