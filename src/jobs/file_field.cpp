#include "jobs/file_field.h"

#include <stdexcept>
#include <utility>

#include "fields/coefficient_file.h"
#include "jobs/file_terms.h"
#include "jobs/model_quantity.h"

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
