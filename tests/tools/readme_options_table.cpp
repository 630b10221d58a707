// Prints lobara-render's options as the README's table, from their one declaration: the test
// readme_options compares it with the README, and its output replaces the table there when an
// option changes.

#include <cstdio>
#include <string>

#include "options/option_table.h"

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
    for (const COptionBase* pOption : AllOptions())
    {
        const std::string& strAll = pOption->Names();
        std::string strNames;
        for (size_t nStart = 0; nStart < strAll.size();)
        {
            const size_t nComma = strAll.find(',', nStart);
            const size_t nEnd = nComma == std::string::npos ? strAll.size() : nComma;
            strNames += (strNames.empty() ? "`" : ", `") + strAll.substr(nStart, nEnd - nStart) + "`";
            nStart = nEnd + 1;
        }
        if (!pOption->IsFlag())
            strNames += " " + pOption->Form();
        std::printf("| %s | %s | %s |\n", Cell(strNames).c_str(), Cell(pOption->DefaultText()).c_str(),
                    Cell(pOption->Help()).c_str());
    }
    return 0;
}
