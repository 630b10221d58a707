#include "jobs/turned_field.h"

#include "sht/field_rotation.h"

Job WithTurnedField(const Job& given)
{
    Job job = given;
    const bool bTurned = !IsIdentity(job.rotation);
    if (job.bComplex)
    {
        job.complexField = ComplexParts(job.field);
        if (bTurned)
            job.complexField = RotateComplexField(job.complexField, job.rotation);
    }
    else if (bTurned)
        job.field = RotateField(job.field, job.rotation);
    if (bTurned && job.bHarmonic)
        job.bHarmonic = IsZeroTerm(given.field.aTerms.front());
    return job;
}

const Field& GridField(const Job& job)
{
    return job.bComplex ? job.complexField.re : job.field;
}
