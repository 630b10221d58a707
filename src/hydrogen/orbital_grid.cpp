#include "hydrogen/orbital_grid.h"

#include <algorithm>
#include <cmath>

#include "sht/angles.h"
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

void SampleRadialPart(const HydrogenOrbital& orbital, int32_t nRadii, double dExtent, OrbitalGrid& grid)
{
    const CRadialFunction radial(orbital.numbers.n, orbital.numbers.l, orbital.numbers.dCharge);
    grid.nRadii = nRadii;
    grid.dExtent = dExtent;
    grid.aRadius.resize(static_cast<size_t>(nRadii));
    grid.aRadial.resize(static_cast<size_t>(nRadii));
    for (int32_t k = 0; k < nRadii; ++k)
    {
        grid.aRadius[k] = k == nRadii - 1 ? dExtent : dExtent * k / (nRadii - 1);
        const double R = radial(grid.aRadius[k]);
        grid.aRadial[k] = orbital.bComplex ? std::fabs(R) : R;
    }
}

std::vector<double> RowSolidAngles(int32_t nRows, int32_t nColumns)
{
    std::vector<double> aWeight(static_cast<size_t>(nRows));
    const double dHalfRow = 0.5 * kPi / (nRows - 1);
    for (int32_t i = 0; i < nRows; ++i)
    {
        const double dTop = std::max(0.0, SampleTheta(i, nRows) - dHalfRow);
        const double dBottom = std::min(kPi, SampleTheta(i, nRows) + dHalfRow);
        aWeight[i] = (std::cos(dTop) - std::cos(dBottom)) * (kTwoPi / nColumns);
    }
    return aWeight;
}
