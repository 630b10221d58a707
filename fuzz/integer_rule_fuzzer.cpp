// Checks the dialogs' integer rule against a plain reference written with a regular expression
// and decimal string arithmetic.
#include <cstdlib>
#include <regex>

#include "dialogs/integer_rule.h"
#include "fuzz_text.h"

namespace {

bool ReferenceRule(const std::string& strText, int32_t& nValue)
{
    static const std::regex pattern("[ \\t]*([+-]?)([0-9]*)[ \\t]*");
    std::smatch match;
    const std::string strField = strText.substr(0, 31);
    if (!std::regex_match(strField, match, pattern))
        return false;
    const std::string strSign = match[1];
    std::string strDigits = match[2];
    if (strDigits.empty())
        return false;  // the value is 0 and not spelled with a leading "0"
    strDigits.erase(0, std::min(strDigits.find_first_not_of('0'), strDigits.size() - 1));
    const bool bZero = strDigits == "0";
    if (bZero && !strSign.empty())
        return false;  // "+0", "-0"
    // Beyond ten digits, or past 2147483648, the magnitude saturates.
    const bool bHuge = strDigits.size() > 10 || (strDigits.size() == 10 && strDigits > "2147483647");
    if (strSign == "-")
        nValue = bHuge ? INT32_MIN : static_cast<int32_t>(-std::stoll(strDigits));
    else
        nValue = bHuge ? INT32_MAX : static_cast<int32_t>(std::stoll(strDigits));
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    int32_t nActual = 7, nExpected = 7;
    const bool bActual = ParseIntegerField(FuzzText(pData, nSize), nActual);
    const bool bExpected = ReferenceRule(FuzzBytes(pData, nSize), nExpected);
    if (bActual != bExpected || nActual != nExpected)
        std::abort();
    return 0;
}
