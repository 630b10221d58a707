// lobara-render: the viewer's surface without a display. `lobara-render --help` lists the
// options and the conventions of the values.
// Exit status: 0 done, 1 the surface could not be built or an output not written, 2 the
// command line is wrong.

#include <cstdio>
#include <new>
#include <stdexcept>
#include <string>

#include "export/temporary_files.h"
#include "jobs/runs.h"
#include "lobara-render/command_line.h"
#include "lobara-render/terminal.h"
#include "options/request_error.h"
#include "platform/heap_tuning.h"
#include "sht/build_limits.h"

int main(int argc, char** argv)
{
    TuneHeapForDrawing();
    RemoveTemporariesOnSignal();
    try
    {
        const CommandLine line = ReadCommandLine(argc, argv);
        if (!line.strInfo.empty())
        {
            std::fputs(line.strInfo.c_str(), stdout);
            return std::fflush(stdout) == 0 ? 0 : 1;
        }
        CTerminalHooks hooks;
        RunRequest(line.request, hooks);
    }
    catch (const RequestError& error)
    {
        PrintLine("", error.what());
        return 2;
    }
    catch (const SurfaceTooLarge& error)
    {
        PrintLine("cannot build the surface: ", error.what());
        return 1;
    }
    catch (const WorkTooLarge& error)
    {
        PrintLine("", error.what());
        return 1;
    }
    catch (const std::bad_alloc&)
    {
        PrintLine("", "not enough memory for this run");
        return 1;
    }
    catch (const std::length_error&)
    {
        PrintLine("", "not enough memory for this run");
        return 1;
    }
    catch (const std::runtime_error& error)
    {
        PrintLine("", error.what());
        return 1;
    }
    return 0;
}
