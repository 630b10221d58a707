#include "jobs/value_caption.h"

#include "jobs/model_quantity.h"

std::string ValueCaption(const Job& job)
{
    if (job.kind != JobKind::kOrbital && job.kind != JobKind::kSlice)
        return QuantityCaption(job);
    if (job.kind == JobKind::kSlice && job.orbital.sliceQuantity == SliceQuantity::kDensity)
        return "|ψ|² (a0^−3)";
    return job.colorMode == ColorMode::kPhase ? "the phase of ψ" : "ψ (a0^−3/2)";
}
