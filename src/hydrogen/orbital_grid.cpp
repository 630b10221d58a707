#include "hydrogen/orbital_grid.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>

#include "hydrogen/orbital_values.h"
#include "sht/field_rows.h"

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
    const auto pFunction = std::make_shared<const COrbitalFunction>(orbital);
    grid.angular = [pFunction](double dTheta, double dPhi) {
        const std::array<double, 2> y = pFunction->Angular(dTheta, dPhi);
        return pFunction->IsComplex() ? std::hypot(y[0], y[1]) : y[0];
    };
    const CRadialFunction radial(orbital.numbers.n, orbital.numbers.l, orbital.numbers.dCharge);
    const bool bModulus = orbital.bComplex;
    grid.radial = [radial, bModulus](double r) { return bModulus ? std::fabs(radial(r)) : radial(r); };
    grid.aRadius = std::move(aRadius);
    grid.aRadial.reserve(grid.aRadius.size());
    for (const double r : grid.aRadius)
        grid.aRadial.push_back(grid.radial(r));
    return grid;
}
