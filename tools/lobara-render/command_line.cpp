#include "lobara-render/command_line.h"

#include <CLI/CLI.hpp>

#include "options/option_table.h"
#include "options/request_error.h"
#include "program_help.h"

namespace {

constexpr size_t kHelpColumn = 26;
constexpr size_t kHelpWidth = 80 - kHelpColumn;

// strText broken into lines of at most kHelpWidth characters at spaces; CLI11 indents the lines
// after the first to the description column.
std::string WrapHelp(const std::string& strText)
{
    std::string strWrapped;
    size_t nLineStart = 0;
    for (size_t nWord = 0; nWord < strText.size();)
    {
        size_t nEnd = strText.find(' ', nWord);
        if (nEnd == std::string::npos)
            nEnd = strText.size();
        if (nWord > 0 && strWrapped.size() - nLineStart + (nEnd - nWord) >= kHelpWidth)
        {
            strWrapped.back() = '\n';
            nLineStart = strWrapped.size();
        }
        strWrapped.append(strText, nWord, nEnd - nWord);
        strWrapped += ' ';
        nWord = nEnd + 1;
    }
    if (!strWrapped.empty())
        strWrapped.pop_back();
    return strWrapped;
}

// The declaration as a CLI11 option that applies its value to the request.
void AddOption(CLI::App& app, const COptionBase& option, Request& request)
{
    if (option.IsFlag())
    {
        app.add_flag_callback(
            option.Names(), [&]() { option.Apply("", request); }, WrapHelp(option.Help()));
        return;
    }
    const std::string strDefault = option.DefaultText();
    const std::string strHelp =
        WrapHelp(strDefault.empty() ? option.Help() : option.Help() + " (default " + strDefault + ")");
    if (option.IsRepeatable())
        app.add_option_function<std::vector<std::string>>(
               option.Names(),
               [&](const std::vector<std::string>& aValues) {
                   for (const std::string& strValue : aValues)
                       option.Apply(strValue, request);
               },
               strHelp)
            ->option_text(option.Form())
            ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    else
        app.add_option_function<std::string>(
               option.Names(), [&](const std::string& strValue) { option.Apply(strValue, request); }, strHelp)
            ->option_text(option.Form())
            ->expected(option.IsValueOptional() ? 0 : 1, 1);
}

}  // namespace

CommandLine ReadCommandLine(int argc, const char* const* argv)
{
    CommandLine line;
    CLI::App app(kProgramDescription, "lobara-render");
    app.footer(kProgramConventions);
    app.get_formatter()->column_width(kHelpColumn);
    app.set_version_flag("--version", std::string("lobara-render " LOBARA_VERSION),
                         "Print the version and exit");
    app.set_help_flag("-h,--help", "Print this help and exit");
    // A repeated option takes its last value, so a script can override an earlier one.
    app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    for (const COptionBase* pOption : AllOptions())
        AddOption(app, *pOption, line.request);
    try
    {
        app.parse(argc, argv);
    }
    catch (const CLI::CallForHelp&)
    {
        line.strInfo = app.help();
    }
    catch (const CLI::CallForVersion& version)
    {
        line.strInfo = std::string(version.what()) + "\n";
    }
    catch (const CLI::ParseError& error)
    {
        throw RequestError(error.what());
    }
    return line;
}
