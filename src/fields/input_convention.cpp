#include "fields/input_convention.h"

#include <stdexcept>

#include "names/named_values.h"
#include "sht/own_coefficients.h"

namespace {

constexpr NamedValue<Convention> kConventionNames[] = {
    {"lobara", {Normalization::kOrtho, false, SineSign::kLobara}, "ortho, sine lobara: the viewer's own"},
    {"physics", {Normalization::kOrtho, true, SineSign::kStandard}, "ortho, --cs, sine standard: SciPy's"},
    {"geodesy",
     {Normalization::k4Pi, false, SineSign::kStandard},
     "4pi, sine standard: shtools and ICGEM files"},
    {"ambix", {Normalization::kSn3d, false, SineSign::kStandard}, "sn3d, sine standard"},
    {"n3d", {Normalization::kN3d, false, SineSign::kStandard}, "sine standard"},
    {"schmidt", {Normalization::kSchmidt, false, SineSign::kStandard}, "sine standard"},
};

}  // namespace

bool FindConventionNamed(const std::string& strName, Convention& convention)
{
    return FindNamed(kConventionNames, strName, convention);
}

std::vector<std::string> ConventionNames()
{
    return NamesOf(kConventionNames);
}

NamedValues<Convention> ConventionNamedValues()
{
    return AllNamed(kConventionNames);
}

Convention HarmonicConvention(const ConventionChoice& choice)
{
    return Convention{choice.normalization.value_or(Normalization::kOrtho), choice.bCondonShortley,
                      choice.sine.value_or(SineSign::kLobara)};
}

Convention AcnConvention(const ConventionChoice& choice)
{
    return Convention{choice.normalization.value_or(Normalization::kSn3d), choice.bCondonShortley,
                      choice.sine.value_or(SineSign::kStandard)};
}

Convention FileConvention(const ConventionChoice& choice, const CoefficientFile& file,
                          const std::string& strPath)
{
    Convention convention{choice.normalization.value_or(file.normalization),
                          choice.bCondonShortley || file.bCondonShortley, SineSign::kStandard};
    if (file.bNormalizationFromFile && choice.normalization && *choice.normalization != file.normalization)
        throw std::invalid_argument("--norm " + std::string(NormalizationName(*choice.normalization)) +
                                    " contradicts '" + strPath + "', whose header says " +
                                    NormalizationName(file.normalization));
    if (file.bNormalizationFromFile)
        convention.normalization = file.normalization;
    return convention;
}

std::vector<Term> AcnTerms(const std::vector<double>& aChannels)
{
    std::vector<Term> aTerms;
    for (size_t n = 0; n < aChannels.size(); ++n)
    {
        const int32_t l = OwnDegree(n);
        aTerms.push_back(
            Term{l, static_cast<int32_t>(static_cast<int64_t>(n) - int64_t{l} * l - l), aChannels[n]});
    }
    return aTerms;
}
