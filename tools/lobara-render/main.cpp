// lobara-render: the viewer's surface without a display. `lobara-render --help` lists the
// options and the conventions of the values.
// Exit status: 0 done, 1 the surface could not be built or an output not written, 2 the
// command line is wrong.

#include <cstdio>
#include <new>
#include <stdexcept>
#include <string>

#include "export/temporary_files.h"
#include "lobara-render/map_run.h"
#include "lobara-render/render_options.h"
#include "lobara-render/surface_run.h"
#include "lobara-render/table_run.h"
#include "platform/heap_tuning.h"
#include "surface/build_limits.h"

namespace {

// One line on stderr: the control characters that user text (a file name, a value) may carry
// are shown escaped, so that a message stays one line and cannot drive the terminal.
void PrintError(const std::string& strMessage)
{
    std::string strLine = "lobara-render: ";
    for (size_t i = 0; i < strMessage.size(); ++i)
    {
        const auto c = static_cast<unsigned char>(strMessage[i]);
        // C1 controls arrive in UTF-8 as 0xC2 0x80 to 0xC2 0x9F.
        const bool bC1 = c == 0xC2 && i + 1 < strMessage.size() &&
                         (static_cast<unsigned char>(strMessage[i + 1]) & 0xE0) == 0x80;
        if (c == '\n')
            strLine += "\\n";
        else if (c == '\t')
            strLine += "\\t";
        else if (c < 0x20 || c == 0x7F || bC1)
        {
            const unsigned nCode = bC1 ? static_cast<unsigned char>(strMessage[++i]) : c;
            char acEscape[8];
            std::snprintf(acEscape, sizeof acEscape, "\\x%02X", nCode);
            strLine += acEscape;
        }
        else
            strLine += static_cast<char>(c);
    }
    strLine += '\n';
    std::fputs(strLine.c_str(), stderr);
}

}  // namespace

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
        PrintError(error.what());
        return 2;
    }
    if (!options.strInfo.empty())
    {
        std::fputs(options.strInfo.c_str(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    try
    {
        if (options.nTableMax >= 0)
            RunTable(options);
        else if (options.bMap)
            RunMap(options);
        else
            RunSurface(options);
    }
    catch (const UsageError& error)
    {
        PrintError(error.what());
        return 2;
    }
    catch (const SurfaceTooLarge& error)
    {
        PrintError(std::string("cannot build the surface: ") + error.what());
        return 1;
    }
    catch (const std::bad_alloc&)
    {
        PrintError("not enough memory for this run");
        return 1;
    }
    catch (const std::runtime_error& error)
    {
        PrintError(error.what());
        return 1;
    }
    return 0;
}
