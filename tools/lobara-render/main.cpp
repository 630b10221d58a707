// lobara-render: the viewer's surface without a display. `lobara-render --help` lists the
// options and the conventions of the values.
// Exit status: 0 done, 1 the surface could not be built or an output not written, 2 the
// command line is wrong.

#include <cstdio>
#include <cstdlib>
#include <new>
#include <stdexcept>

#include "export/temporary_files.h"
#include "lobara-render/render_options.h"
#include "lobara-render/surface_run.h"
#include "lobara-render/table_run.h"
#include "platform/heap_tuning.h"

int main(int argc, char** argv)
{
    TuneHeapForDrawing();
    RemoveTemporariesOnSignal();
    RenderOptions options;
    try
    {
        options = ParseRenderOptions(argc, argv);
    }
    catch (const UsageError& error)
    {
        std::fprintf(stderr, "lobara-render: %s\n", error.what());
        return 2;
    }
    if (!options.strInfo.empty())
    {
        std::fputs(options.strInfo.c_str(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    if (options.nTableMax < 0 &&
        (options.nL < 0 || std::llabs(static_cast<long long>(options.nM)) > options.nL))
        std::fprintf(stderr, "lobara-render: warning: Y(%d, %d) is 0 everywhere (it needs 0 <= |m| <= l)\n",
                     options.nL, options.nM);

    try
    {
        if (options.nTableMax >= 0)
            RunTable(options);
        else
            RunSurface(options);
    }
    catch (const std::bad_alloc& error)
    {
        std::fprintf(stderr, "lobara-render: cannot build the surface: %s\n", error.what());
        return 1;
    }
    catch (const std::runtime_error& error)
    {
        std::fprintf(stderr, "lobara-render: %s\n", error.what());
        return 1;
    }
    return 0;
}
