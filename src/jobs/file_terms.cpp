#include "jobs/file_terms.h"

#include <stdexcept>
#include <utility>

#include "fields/input_convention.h"
#include "options/request_error.h"
#include "sht/degree_band.h"

Field FileField(const Job& given, std::vector<Term> aTerms, const CoefficientFile& file)
{
    const Convention& asked = given.field.convention;
    ConventionChoice choice{std::nullopt, asked.bCondonShortley, SineSign::kStandard};
    if (given.bNormalizationGiven)
        choice.normalization = asked.normalization;
    try
    {
        return DegreeBand(
            Field{std::move(aTerms), FileConvention(choice, file, given.request.Value(opt::kCoeffs))},
            given.nLmin, -1);
    }
    catch (const std::invalid_argument& error)
    {
        throw RequestError(error.what());
    }
}
