#include "dialogs/number_text.h"

#include <locale.h>

#include <charconv>
#include <clocale>
#include <cstdlib>

namespace {

bool IsDigit(char32_t c)
{
    return c >= U'0' && c <= U'9';
}

bool IsSpace(char32_t c)
{
    return c == U' ' || (c >= U'\t' && c <= U'\r');
}

// Conversion with the C locale's decimal point, whatever the process locale is.
double ConvertInCLocale(const std::string& strNumber)
{
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
    return strtod_l(strNumber.c_str(), nullptr, cLocale);
}

}  // namespace

std::u32string FormatCoordinate(double dValue)
{
    char acBuffer[400];
    const auto result =
        std::to_chars(acBuffer, acBuffer + sizeof acBuffer, dValue, std::chars_format::fixed, 3);
    return std::u32string(acBuffer, result.ptr);
}

double ParseLeadingNumber(const std::u32string& strText)
{
    size_t i = 0;
    while (i < strText.size() && IsSpace(strText[i]))
        ++i;

    // The prefix is copied as ASCII, so nothing beyond it reaches the conversion.
    std::string strNumber;
    if (i < strText.size() && (strText[i] == U'+' || strText[i] == U'-'))
        strNumber += static_cast<char>(strText[i++]);
    size_t nDigits = 0;
    for (; i < strText.size() && IsDigit(strText[i]); ++i, ++nDigits)
        strNumber += static_cast<char>(strText[i]);
    if (i < strText.size() && strText[i] == U'.')
    {
        strNumber += '.';
        for (++i; i < strText.size() && IsDigit(strText[i]); ++i, ++nDigits)
            strNumber += static_cast<char>(strText[i]);
    }
    if (nDigits == 0)
        return 0.0;

    // An exponent counts only when at least one digit follows the "e" and its sign.
    if (i < strText.size() && (strText[i] == U'e' || strText[i] == U'E'))
    {
        size_t j = i + 1;
        std::string strExponent = "e";
        if (j < strText.size() && (strText[j] == U'+' || strText[j] == U'-'))
            strExponent += static_cast<char>(strText[j++]);
        if (j < strText.size() && IsDigit(strText[j]))
        {
            for (; j < strText.size() && IsDigit(strText[j]); ++j)
                strExponent += static_cast<char>(strText[j]);
            strNumber += strExponent;
        }
    }
    return ConvertInCLocale(strNumber);
}
