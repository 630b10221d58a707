#include "sht/convention.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

#include "names/named_values.h"
#include "sht/angles.h"

namespace {

struct NamedNormalization
{
    Normalization normalization;
    const char* pszName;
};

constexpr NamedNormalization kNormalizations[] = {
    {Normalization::kOrtho, "ortho"},     {Normalization::k4Pi, "4pi"},
    {Normalization::kSchmidt, "schmidt"}, {Normalization::kUnnormalized, "unnorm"},
    {Normalization::kSn3d, "sn3d"},       {Normalization::kN3d, "n3d"},
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
    for (const NamedNormalization& named : kNormalizations)
        if (named.normalization == normalization)
            return named.pszName;
    return "";
}

bool FindNormalization(const std::string& strName, Normalization& normalization)
{
    for (const NamedNormalization& named : kNormalizations)
        if (strName == named.pszName)
        {
            normalization = named.normalization;
            return true;
        }
    return false;
}

namespace {

constexpr NamedValue<SineSign> kSineSignNames[] = {
    {"lobara", SineSign::kLobara},
    {"standard", SineSign::kStandard},
};

}  // namespace

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

std::vector<std::string> NormalizationNames()
{
    std::vector<std::string> aNames;
    for (const NamedNormalization& named : kNormalizations)
        aNames.emplace_back(named.pszName);
    return aNames;
}
