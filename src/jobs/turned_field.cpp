#include "jobs/turned_field.h"

#include "sht/field_rotation.h"

Job WithTurnedField(const Job& given)
{
    Job job = given;
    const bool bTurned = !IsIdentity(job.rotation);
    if (job.request.Value(opt::kComplex))
    {
        job.complexField = ComplexParts(job.field);
        if (bTurned)
            job.complexField = RotateComplexField(job.complexField, job.rotation);
    }
    else if (bTurned)
        job.field = RotateField(job.field, job.rotation);
    // The intensity's parts are fields of their own: each turns as a field, and the root of the
    // sum of their squares, the same in any frame, turns with them.
    if (bTurned)
        for (Field& part : job.aMagnitudeParts)
            part = RotateField(part, job.rotation);
    if (bTurned && job.bHarmonic)
        job.bHarmonic = IsZeroTerm(given.field.aTerms.front());
    return job;
}

const Field& GridField(const Job& job)
{
    return job.request.Value(opt::kComplex) ? job.complexField.re : job.field;
}
