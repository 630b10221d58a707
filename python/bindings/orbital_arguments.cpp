#include "bindings/orbital_arguments.h"

#include <pybind11/pybind11.h>

#include <algorithm>
#include <limits>

#include "bindings/convention_arguments.h"

HydrogenOrbital MakeOrbital(int64_t n, int64_t l, int64_t m, std::optional<double> charge,
                            const std::string& strNorm, bool bCondonShortley, const std::string& strSine,
                            bool bComplex)
{
    // Beyond 32 bits, the nearest 32-bit number, which names no orbital either.
    const auto whole = [](int64_t k) {
        return static_cast<int32_t>(std::max<int64_t>(
            std::numeric_limits<int32_t>::min(), std::min<int64_t>(k, std::numeric_limits<int32_t>::max())));
    };
    HydrogenOrbital orbital;
    orbital.numbers = {whole(n), whole(l), whole(m), charge.value_or(OrbitalNumbers{}.dCharge)};
    const std::string strError = OrbitalNumbersError(orbital.numbers);
    if (!strError.empty())
        throw pybind11::value_error(strError);
    orbital.convention = MakeConvention(strNorm, bCondonShortley, strSine);
    orbital.bComplex = bComplex;
    return orbital;
}
