#include "jobs/file_field.h"

#include <stdexcept>
#include <utility>

#include "fields/coefficient_file.h"
#include "fields/input_convention.h"
#include "jobs/model_quantity.h"
#include "options/request_error.h"
#include "sht/degree_band.h"

Job WithFileField(const Job& given, std::vector<std::string>& aWarnings)
{
    if (given.request.Value(opt::kCoeffs).empty())
        return given;
    Job job = given;
    CoefficientFile file =
        ReadCoefficientFile(given.request.Value(opt::kCoeffs), given.nLmax, given.request.Get(opt::kEpoch));
    const Convention& asked = given.field.convention;
    ConventionChoice choice{std::nullopt, asked.bCondonShortley, SineSign::kStandard};
    if (given.bNormalizationGiven)
        choice.normalization = asked.normalization;
    try
    {
        job.field = DegreeBand(
            Field{std::move(file.aTerms), FileConvention(choice, file, given.request.Value(opt::kCoeffs))},
            given.nLmin, -1);
    }
    catch (const std::invalid_argument& error)
    {
        throw RequestError(error.what());
    }
    job.gravityHeader = file.header;
    for (const std::string& strWarning : file.aWarnings)
        aWarnings.push_back(given.request.Value(opt::kCoeffs) + ": " + strWarning);
    TakeModelQuantity(file, job, aWarnings);
    return job;
}
