// Checks the viewpoint dialog's leading-number reader against a plain reference: a regular
// expression for the longest leading decimal number, converted by strtod in the C locale.
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <regex>

#include "dialogs/number_text.h"
#include "fuzz_text.h"

namespace {

double ReferenceNumber(const std::string& strText)
{
    static const std::regex pattern(
        "^[ \\t\\n\\v\\f\\r]*([+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?)");
    std::smatch match;
    if (!std::regex_search(strText, match, pattern))
        return 0.0;
    return std::strtod(match[1].str().c_str(), nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    const double dActual = ParseLeadingNumber(FuzzText(pData, nSize));
    const double dExpected = ReferenceNumber(FuzzBytes(pData, nSize));
    if (std::memcmp(&dActual, &dExpected, sizeof dActual) != 0)
        std::abort();
    return 0;
}
