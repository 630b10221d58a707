// Prints lobara-render's options as the README's table, from their one declaration: the test
// readme_options compares it with the README, and its output replaces the table there when an
// option changes.

#include <cstdio>
#include <string>

#include "lobara-render/option_table.h"

namespace {

// Markdown's table cells take a '|' only escaped.
std::string Cell(const std::string& strText)
{
    std::string strCell;
    for (const char c : strText)
        strCell += c == '|' ? std::string("\\|") : std::string(1, c);
    return strCell;
}

}  // namespace

int main()
{
    std::puts("| Option | Default | What it does |");
    std::puts("|---|---|---|");
    for (const OptionDeclaration& option : OptionDeclarations())
    {
        std::string strNames;
        for (size_t nStart = 0; nStart < option.strNames.size();)
        {
            const size_t nComma = option.strNames.find(',', nStart);
            const size_t nEnd = nComma == std::string::npos ? option.strNames.size() : nComma;
            strNames +=
                (strNames.empty() ? "`" : ", `") + option.strNames.substr(nStart, nEnd - nStart) + "`";
            nStart = nEnd + 1;
        }
        if (!option.strForm.empty())
            strNames += " " + option.strForm;
        std::printf("| %s | %s | %s |\n", Cell(strNames).c_str(), Cell(option.strDefault).c_str(),
                    Cell(option.strHelp).c_str());
    }
    return 0;
}
