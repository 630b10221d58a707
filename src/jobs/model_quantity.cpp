#include "jobs/model_quantity.h"

#include <algorithm>
#include <stdexcept>

#include "geodesy/field_quantity.h"
#include "geodesy/normal_field.h"

void TakeModelQuantity(const Job& job, const CoefficientFile& file, Field& field,
                       std::vector<std::string>& aWarnings)
{
    if (job.epoch && !file.bTimeVariable)
        aWarnings.push_back(job.strCoeffsPath +
                            ": the model does not change with time: --epoch changes nothing");
    if (job.pNormalField)
    {
        if (!file.dGravityConstant || !file.dRadius)
            throw std::runtime_error("--remove-normal needs the model's GM and radius, which '" +
                                     job.strCoeffsPath + "' does not give");
        RemoveNormalField(field.aTerms,
                          NormalFieldTerms(*job.pNormalField, *file.dGravityConstant, *file.dRadius,
                                           field.convention, std::max(FieldMaxDegree(field), 0)));
    }
    if (!job.pQuantity)
        return;
    const ReferenceEllipsoid& ellipsoid =
        job.pNormalField ? *job.pNormalField : *FindReferenceEllipsoid("GRS80");
    const QuantitySetting setting{file.dRadius, file.dGravityConstant, job.dHeight,
                                  ComputeNormalGravity(ellipsoid).dMean};
    try
    {
        ApplyQuantity(*job.pQuantity, setting, field.aTerms);
    }
    catch (const std::runtime_error& error)
    {
        throw std::runtime_error("'" + job.strCoeffsPath + "': " + error.what());
    }
}
