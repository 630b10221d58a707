#include "jobs/model_quantity.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <stdexcept>

#include "geodesy/field_quantity.h"
#include "geodesy/normal_field.h"
#include "sht/field_rows.h"

namespace {

// A header constant, none where the file does not state it (NaN).
std::optional<double> Known(double dValue)
{
    return std::isnan(dValue) ? std::nullopt : std::optional<double>(dValue);
}

}  // namespace

void TakeModelQuantity(const CoefficientFile& file, Job& job, std::vector<std::string>& aWarnings)
{
    Field& field = job.field;
    if (job.request.Get(opt::kEpoch) && !file.bTimeVariable)
        aWarnings.push_back(job.request.Value(opt::kCoeffs) +
                            ": the model does not change with time: --epoch changes nothing");
    if (job.request.Value(opt::kRemoveNormal))
    {
        if (std::isnan(file.header.dGm) || std::isnan(file.header.dRadius))
            throw std::runtime_error("--remove-normal needs the model's GM and radius, which '" +
                                     job.request.Value(opt::kCoeffs) + "' does not give");
        // The degrees below --lmin are gone from the field already, and stay gone.
        std::vector<Term> aNormal =
            NormalFieldTerms(*job.request.Value(opt::kRemoveNormal), file.header.dGm, file.header.dRadius,
                             field.convention, std::max(FieldMaxDegree(field), 0));
        aNormal.erase(std::remove_if(aNormal.begin(), aNormal.end(),
                                     [&](const Term& term) { return term.l < job.nLmin; }),
                      aNormal.end());
        RemoveNormalField(field.aTerms, aNormal);
    }
    if (!job.request.Value(opt::kQuantity))
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
        throw std::runtime_error("'" + job.request.Value(opt::kCoeffs) + "': " + error.what());
    }
}

DoubleArray SampleMagnitude(const std::vector<Field>& aParts, int32_t nRows, int32_t nColumns,
                            const BuildProgress& onRow)
{
    const int32_t nParts = static_cast<int32_t>(aParts.size());
    DoubleArray aSum;
    for (int32_t k = 0; k < nParts; ++k)
    {
        const auto onPartRow = [&](int32_t nDone, int32_t nAll) {
            if (onRow)
                onRow(k * nAll + nDone, nParts * nAll);
        };
        const DoubleArray aPart = SampleField(aParts[static_cast<size_t>(k)], nRows, nColumns, onPartRow);
        if (k == 0)
            aSum.SetSize(aPart.GetSize());
        for (int32_t i = 0; i < aPart.GetSize(); ++i)
            aSum[i] += aPart[i] * aPart[i];
    }
    for (int32_t i = 0; i < aSum.GetSize(); ++i)
        aSum[i] = std::sqrt(aSum[i]);
    return aSum;
}

std::string QuantityCaption(const Job& job)
{
    return job.request.Value(opt::kQuantity) ? std::string(job.request.Value(opt::kQuantity)->pszTitle) +
                                                   " (" + job.request.Value(opt::kQuantity)->pszUnit + ")"
                                             : "";
}
