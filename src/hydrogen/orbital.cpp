#include "hydrogen/orbital.h"

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
