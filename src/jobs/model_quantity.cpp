#include "jobs/model_quantity.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <stdexcept>

#include "geodesy/field_quantity.h"
#include "geodesy/model_preparation.h"
#include "jobs/file_terms.h"
#include "jobs/geodetic_request.h"
#include "options/request_error.h"
#include "sht/field_rows.h"

namespace {

// A header constant, none where the file does not state it (NaN).
std::optional<double> Known(double dValue)
{
    return std::isnan(dValue) ? std::nullopt : std::optional<double>(dValue);
}

// The preparation of the job's model: its normal field and its smoothing.
ModelPreparation PreparationOf(const Job& job)
{
    return ModelPreparation{job.request.Value(opt::kRemoveNormal), job.nLmin, job.nLmax,
                            job.geodetic.dSmoothRadius};
}

// Errors of the model named after its file.
[[noreturn]] void ThrowNamingFile(const Job& job, const std::runtime_error& error)
{
    throw std::runtime_error("'" + job.request.Value(opt::kCoeffs) + "': " + error.what());
}

}  // namespace

void TakeModelQuantity(const CoefficientFile& file, Job& job, std::vector<std::string>& aWarnings)
{
    Field& field = job.field;
    if (job.request.Get(opt::kEpoch) && !file.bTimeVariable)
        aWarnings.push_back(job.request.Value(opt::kCoeffs) +
                            ": the model does not change with time: --epoch changes nothing");
    try
    {
        PrepareModelField(field, file.header.dGm, file.header.dRadius, PreparationOf(job));
    }
    catch (const std::runtime_error& error)
    {
        ThrowNamingFile(job, error);
    }
    if (!job.request.Value(opt::kQuantity) || UsesGeodeticRun(job))
        return;
    const ReferenceEllipsoid& ellipsoid = job.request.Value(opt::kRemoveNormal)
                                              ? *job.request.Value(opt::kRemoveNormal)
                                              : *FindReferenceEllipsoid("GRS80");
    const QuantitySetting setting{Known(file.header.dRadius), Known(file.header.dGm),
                                  job.request.Value(opt::kHeight), ComputeNormalGravity(ellipsoid).dMean};
    try
    {
        if (job.request.Value(opt::kQuantity)->quantity != Quantity::kIntensity)
        {
            ApplyQuantity(*job.request.Value(opt::kQuantity), setting, field.aTerms);
            return;
        }
        for (std::vector<Term>& aPart : IntensityComponents(setting, field.aTerms))
            job.aMagnitudeParts.push_back(Field{std::move(aPart), field.convention});
        field = job.aMagnitudeParts.back();
    }
    catch (const std::runtime_error& error)
    {
        ThrowNamingFile(job, error);
    }
}

GeodeticModel ReadGeodeticModel(const Job& job, std::vector<std::string>& aWarnings)
{
    CoefficientFile file =
        ReadCoefficientFile(job.request.Value(opt::kCoeffs), job.nLmax, job.request.Get(opt::kEpoch));
    for (const std::string& strWarning : file.aWarnings)
        aWarnings.push_back(job.request.Value(opt::kCoeffs) + ": " + strWarning);
    if (job.request.Get(opt::kEpoch) && !file.bTimeVariable)
        aWarnings.push_back(job.request.Value(opt::kCoeffs) +
                            ": the model does not change with time: --epoch changes nothing");
    Field field = FileField(job, std::move(file.aTerms), file);
    std::optional<Field> rates;
    if (file.rates)
        rates = FileField(job, std::move(*file.rates), file);
    const bool bGravity = !job.request.Value(opt::kQuantity) || job.request.Value(opt::kQuantity)->bGravity;
    try
    {
        PrepareModelField(field, file.header.dGm, file.header.dRadius, PreparationOf(job));
        return MakeGeodeticModel(std::move(field), std::move(rates), file.header.dGm, file.header.dRadius,
                                 bGravity, PlacesEllipsoid(job.request.Value(opt::kRemoveNormal), bGravity));
    }
    catch (const RequestError&)
    {
        throw;
    }
    catch (const std::runtime_error& error)
    {
        ThrowNamingFile(job, error);
    }
}

DoubleArray SampleMagnitude(const std::vector<Field>& aParts, int32_t nRows, int32_t nColumns,
                            const BuildProgress& onRow, SampleGrid grid)
{
    const int32_t nParts = static_cast<int32_t>(aParts.size());
    DoubleArray aSum;
    for (int32_t k = 0; k < nParts; ++k)
    {
        const auto onPartRow = [&](int32_t nDone, int32_t nAll) {
            if (onRow)
                onRow(k * nAll + nDone, nParts * nAll);
        };
        const DoubleArray aPart =
            SampleField(aParts[static_cast<size_t>(k)], nRows, nColumns, onPartRow, grid);
        if (k == 0)
            aSum.SetSize(aPart.GetSize());
        for (int32_t i = 0; i < aPart.GetSize(); ++i)
            aSum[i] += aPart[i] * aPart[i];
    }
    for (int32_t i = 0; i < aSum.GetSize(); ++i)
        aSum[i] = std::sqrt(aSum[i]);
    return aSum;
}

std::string QuantityCaption(const QuantityInfo* pQuantity, bool bSecularVariation)
{
    if (!pQuantity)
        return "";
    if (bSecularVariation)
        return std::string("secular variation of ") + pQuantity->pszTitle + " (" + pQuantity->pszRateUnit +
               ")";
    return std::string(pQuantity->pszTitle) + " (" + pQuantity->pszUnit + ")";
}

std::string QuantityCaption(const Job& job)
{
    return QuantityCaption(job.request.Value(opt::kQuantity), false);
}
