#include "jobs/field_outputs.h"
#include "jobs/geodetic_request.h"
#include "jobs/geodetic_run.h"
#include "jobs/runs.h"
#include "text/text_start.h"

void RunRequest(const Request& request, IRunHooks& hooks)
{
    const Job job = PlanJob(request);
    // Text is laid out only after the big arrays of a picture are made: its machinery starts now,
    // while there is room for it.
    if (job.request.Has(opt::kOut) || job.request.Has(opt::kHtml) ||
        IsPlotPath(job.request.Value(opt::kSpectrum)))
        StartText();
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
