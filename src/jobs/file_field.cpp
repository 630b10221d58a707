#include "jobs/file_field.h"

#include <stdexcept>
#include <utility>

#include "fields/coefficient_file.h"
#include "jobs/file_terms.h"
#include "jobs/model_quantity.h"

Job WithFileField(const Job& given, std::vector<std::string>& aWarnings)
{
    if (given.request.Value(opt::kCoeffs).empty())
        return given;
    Job job = given;
    CoefficientFile file =
        ReadCoefficientFile(given.request.Value(opt::kCoeffs), given.nLmax, given.request.Get(opt::kEpoch));
    job.field = FileField(given, std::move(file.aTerms), file);
    job.gravityHeader = file.header;
    for (const std::string& strWarning : file.aWarnings)
        aWarnings.push_back(given.request.Value(opt::kCoeffs) + ": " + strWarning);
    TakeModelQuantity(file, job, aWarnings);
    return job;
}
