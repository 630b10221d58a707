#include "jobs/geodetic_request.h"
#include "jobs/geodetic_run.h"
#include "jobs/runs.h"

void RunRequest(const Request& request, IRunHooks& hooks)
{
    const Job job = PlanJob(request);
    if (UsesGeodeticRun(job))
    {
        RunGeodetic(job, hooks);
        return;
    }
    switch (job.kind)
    {
        case JobKind::kTable:
            RunTable(job, hooks);
            return;
        case JobKind::kMap:
            RunMap(job, hooks);
            return;
        case JobKind::kOrbital:
            RunOrbital(job, hooks);
            return;
        case JobKind::kSlice:
            RunSlice(job, hooks);
            return;
        case JobKind::kSurface:
            break;
    }
    RunSurface(job, hooks);
}
