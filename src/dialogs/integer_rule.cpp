#include "dialogs/integer_rule.h"

#include <algorithm>

namespace {

constexpr size_t kCharactersConsidered = 31;

bool IsBlank(char32_t c)
{
    return c == U' ' || c == U'\t';
}

bool IsDigit(char32_t c)
{
    return c >= U'0' && c <= U'9';
}

}  // namespace

bool ParseIntegerField(const std::u32string& strText, int32_t& nValue)
{
    const std::u32string strField = strText.substr(0, kCharactersConsidered);
    size_t i = 0;
    while (i < strField.size() && IsBlank(strField[i]))
        ++i;
    const size_t nStart = i;

    bool bNegative = false;
    if (i < strField.size() && (strField[i] == U'+' || strField[i] == U'-'))
        bNegative = strField[i++] == U'-';

    // The magnitude saturates just past the 32-bit range, so it never overflows.
    constexpr int64_t kLimit = int64_t{1} << 31;
    int64_t nMagnitude = 0;
    while (i < strField.size() && IsDigit(strField[i]))
        nMagnitude = std::min(nMagnitude * 10 + (strField[i++] - U'0'), kLimit);

    if (nMagnitude == 0 && (nStart == strField.size() || strField[nStart] != U'0'))
        return false;
    while (i < strField.size() && IsBlank(strField[i]))
        ++i;
    if (i != strField.size())
        return false;

    nValue = static_cast<int32_t>(bNegative ? -nMagnitude : std::min(nMagnitude, kLimit - 1));
    return true;
}

std::u32string FormatIntegerField(int32_t nValue)
{
    const std::string strDigits = std::to_string(nValue);
    return std::u32string(strDigits.begin(), strDigits.end());
}
