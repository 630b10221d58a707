#include "jobs/file_field.h"

#include <stdexcept>
#include <utility>

#include "fields/coefficient_file.h"
#include "fields/fits_alm_file.h"
#include "jobs/file_terms.h"
#include "jobs/model_quantity.h"

Job WithFileField(const Job& given, std::vector<std::string>& aWarnings)
{
    if (given.request.Value(opt::kCoeffs).empty())
        return given;
    Job job = given;
    if (given.request.Value(opt::kPol))
    {
        // T, E and B in the file's first three units; the field is that of --component.
        for (CoefficientFile& file :
             ReadFitsAlmFields(given.request.Value(opt::kCoeffs), {1, 2, 3}, given.nLmax))
        {
            job.healpix.aPolarised.push_back(FileField(given, std::move(file.aTerms), file));
            for (const std::string& strWarning : file.aWarnings)
                aWarnings.push_back(given.request.Value(opt::kCoeffs) + ": " + strWarning);
        }
        job.field = job.healpix.aPolarised[static_cast<size_t>(given.request.Value(opt::kComponent))];
        return job;
    }
    CoefficientFile file =
        ReadCoefficientFile(given.request.Value(opt::kCoeffs), given.nLmax, given.request.Get(opt::kEpoch));
    job.field = FileField(given, std::move(file.aTerms), file);
    job.gravityHeader = file.header;
    for (const std::string& strWarning : file.aWarnings)
        aWarnings.push_back(given.request.Value(opt::kCoeffs) + ": " + strWarning);
    TakeModelQuantity(file, job, aWarnings);
    return job;
}
