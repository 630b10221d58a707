#include "lobara-render/file_field.h"

#include <cstdio>
#include <utility>

#include "surface/coefficient_file.h"

RenderOptions WithFileField(const RenderOptions& given, std::vector<std::string>& aWarnings)
{
    if (given.strCoeffsPath.empty())
        return given;
    RenderOptions options = given;
    CoefficientFile file = ReadCoefficientFile(given.strCoeffsPath, given.nLmax);
    Convention convention = given.field.convention;
    // The file's own normalisation holds; an option saying another is a mistake.
    if (file.bNormalizationFromFile && given.bNormalizationGiven &&
        convention.normalization != file.normalization)
        throw UsageError("--norm " + std::string(NormalizationName(convention.normalization)) +
                         " contradicts '" + given.strCoeffsPath + "', whose header says " +
                         NormalizationName(file.normalization));
    if (file.bNormalizationFromFile || !given.bNormalizationGiven)
        convention.normalization = file.normalization;
    options.aTerms = std::move(file.aTerms);
    options.field = Field{options.aTerms, convention};
    aWarnings = std::move(file.aWarnings);
    return options;
}

void PrintFileWarnings(const RenderOptions& options, const std::vector<std::string>& aWarnings)
{
    for (const std::string& strWarning : aWarnings)
        std::fprintf(stderr, "lobara-render: warning: %s: %s\n", options.strCoeffsPath.c_str(),
                     strWarning.c_str());
}
