#include "sht/convention.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

#include "names/named_values.h"
#include "sht/angles.h"

namespace {

constexpr NamedValue<Normalization> kNormalizationNames[] = {
    {"ortho", Normalization::kOrtho, "unit integral of Y^2 over the sphere"},
    {"4pi", Normalization::k4Pi, "mean square 1"},
    {"schmidt", Normalization::kSchmidt},
    {"unnorm", Normalization::kUnnormalized},
    {"sn3d", Normalization::kSn3d},
    {"n3d", Normalization::kN3d},
};

constexpr NamedValue<SineSign> kSineSignNames[] = {
    {"lobara", SineSign::kLobara, "-sqrt(2) sin(|m| phi) in ortho, as the viewer draws them"},
    {"standard", SineSign::kStandard, "+sqrt(2) sin(|m| phi)"},
};

}  // namespace

double UnnormalizedFactorSize(int32_t l, int64_t a)
{
    // 1 / sqrt((2 - d) (2l + 1) / (4 pi) K), K = (l - |m|)! / (l + |m|)! by its logarithm.
    const double dDegreeWeight = 2.0 * l + 1.0;
    const double dLogK =
        std::lgamma(static_cast<double>(l - a) + 1.0) - std::lgamma(static_cast<double>(l + a) + 1.0);
    return std::exp(-0.5 * (std::log((a == 0 ? 1.0 : 2.0) * dDegreeWeight / kFourPi) + dLogK));
}

void DegreeConventionFactors(int32_t l, const Convention& convention, double* pFactors)
{
    const bool bByOrder = convention.normalization == Normalization::kUnnormalized;
    double dSize = ConventionFactorSize(l, 0, convention);
    for (int32_t a = 0; a <= l; ++a)
    {
        if (bByOrder && a > 0)
            dSize = ConventionFactorSize(l, a, convention);
        pFactors[l + a] = SignedConventionFactor(dSize, a, convention);
        pFactors[l - a] = SignedConventionFactor(dSize, -a, convention);
    }
}

double FiniteConventionFactor(int32_t l, int32_t m, const Convention& convention)
{
    const double dFactor = ConventionFactor(l, m, convention);
    if (!std::isfinite(dFactor))
        throw std::runtime_error("Y(" + std::to_string(l) + ", " + std::to_string(m) + ") in the " +
                                 NormalizationName(convention.normalization) +
                                 " normalisation is beyond the range of doubles");
    return dFactor;
}

const char* NormalizationName(Normalization normalization)
{
    return NameOf(kNormalizationNames, normalization);
}

bool FindNormalization(const std::string& strName, Normalization& normalization)
{
    return FindNamed(kNormalizationNames, strName, normalization);
}

const char* SineSignName(SineSign sine)
{
    return NameOf(kSineSignNames, sine);
}

bool FindSineSign(const std::string& strName, SineSign& sine)
{
    return FindNamed(kSineSignNames, strName, sine);
}

std::vector<std::string> SineSignNames()
{
    return NamesOf(kSineSignNames);
}

NamedValues<SineSign> SineSignNamedValues()
{
    return AllNamed(kSineSignNames);
}

std::vector<std::string> NormalizationNames()
{
    return NamesOf(kNormalizationNames);
}

NamedValues<Normalization> NormalizationNamedValues()
{
    return AllNamed(kNormalizationNames);
}
