#include "jobs/file_field.h"

#include <stdexcept>
#include <utility>

#include "fields/coefficient_file.h"
#include "fields/input_convention.h"
#include "jobs/model_quantity.h"
#include "jobs/request_error.h"
#include "sht/degree_band.h"

Field FileField(const Job& given, std::vector<Term> aTerms, const CoefficientFile& file)
{
    const Convention& asked = given.field.convention;
    ConventionChoice choice{std::nullopt, asked.bCondonShortley, SineSign::kStandard};
    if (given.bNormalizationGiven)
        choice.normalization = asked.normalization;
    try
    {
        return DegreeBand(Field{std::move(aTerms), FileConvention(choice, file, given.strCoeffsPath)},
                          given.nLmin, -1);
    }
    catch (const std::invalid_argument& error)
    {
        throw RequestError(error.what());
    }
}

Job WithFileField(const Job& given, const GeodeticItems& items, std::vector<std::string>& aWarnings)
{
    if (given.strCoeffsPath.empty())
        return given;
    Job job = given;
    CoefficientFile file = ReadCoefficientFile(given.strCoeffsPath, given.nLmax, given.epoch);
    job.field = FileField(given, std::move(file.aTerms), file);
    job.gravityHeader = file.header;
    for (const std::string& strWarning : file.aWarnings)
        aWarnings.push_back(given.strCoeffsPath + ": " + strWarning);
    TakeModelQuantity(file, job, items, aWarnings);
    return job;
}

Job WithFileField(const Job& given, std::vector<std::string>& aWarnings)
{
    return WithFileField(given, GeodeticItems{}, aWarnings);
}
