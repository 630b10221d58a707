#include "sht/degree_power.h"

#include <cmath>
#include <stdexcept>
#include <string>

#include "sht/coefficient_conversion.h"

std::vector<DegreePower> PowerSpectrum(const Field& field)
{
    const Field geodesic = InConvention(field, Convention{Normalization::k4Pi, false, SineSign::kStandard});
    std::vector<DegreePower> aRows;
    if (geodesic.aTerms.empty())
        return aRows;
    const int32_t nMax = geodesic.aTerms.back().l;
    aRows.reserve(static_cast<size_t>(nMax) + 1);
    double dCumulative = 0.0;
    size_t i = 0;
    for (int32_t l = 0; l <= nMax; ++l)
    {
        double dPower = 0.0;
        for (; i < geodesic.aTerms.size() && geodesic.aTerms[i].l == l; ++i)
            dPower += geodesic.aTerms[i].c * geodesic.aTerms[i].c;
        dCumulative += dPower;
        if (!std::isfinite(dCumulative))
            throw std::runtime_error("the power of degree " + std::to_string(l) +
                                     " is beyond the range of doubles");
        aRows.push_back(DegreePower{l, dPower, dPower / (2.0 * l + 1.0), dCumulative});
    }
    return aRows;
}
