// Checks the readers of epochs (ISO dates and decimal years) and of ICGEM's times (yyyymmdd.hhmm)
// against a plain reference: regular expressions for the forms, the C library's timegm for the
// days of a date on the Gregorian calendar, strtod for a decimal year.
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <regex>

#include "fields/model_time.h"
#include "fuzz_text.h"

namespace {

// Days from 2000-01-01 to the date, or nullopt when timegm moves it (no such day) or the year
// is outside 1 to 9999.
std::optional<double> ReferenceDays(long nYear, long nMonth, long nDay)
{
    if (nYear < 1 || nYear > 9999 || nMonth < 1 || nMonth > 12 || nDay < 1 || nDay > 31)
        return std::nullopt;
    std::tm date = {};
    date.tm_year = static_cast<int>(nYear - 1900);
    date.tm_mon = static_cast<int>(nMonth - 1);
    date.tm_mday = static_cast<int>(nDay);
    const std::time_t nSeconds = timegm(&date);
    if (date.tm_mday != nDay || date.tm_mon != nMonth - 1)
        return std::nullopt;
    return static_cast<double>((nSeconds - 946684800) / 86400);
}

long Number(const std::string& strDigits)
{
    return std::strtol(strDigits.c_str(), nullptr, 10);
}

std::optional<double> ReferenceIcgemTime(const std::string& strText)
{
    static const std::regex pattern("([0-9]{4})([0-9]{2})([0-9]{2})(\\.([0-9]{0,4}))?");
    std::smatch match;
    if (!std::regex_match(strText, match, pattern))
        return std::nullopt;
    const std::string strClock = (match[5].str() + "0000").substr(0, 4);
    const long nHour = Number(strClock.substr(0, 2)), nMinute = Number(strClock.substr(2, 2));
    const std::optional<double> dDays = ReferenceDays(Number(match[1]), Number(match[2]), Number(match[3]));
    if (!dDays || nHour > 23 || nMinute > 59)
        return std::nullopt;
    return *dDays + static_cast<double>(nHour * 60 + nMinute) / 1440.0;
}

std::optional<double> ReferenceEpoch(const std::string& strText)
{
    static const std::regex date("([0-9]{4})-([0-9]{2})-([0-9]{2})");
    static const std::regex year("([0-9]{1,4})(\\.[0-9]+)?");
    std::smatch match;
    if (std::regex_match(strText, match, date))
        return ReferenceDays(Number(match[1]), Number(match[2]), Number(match[3]));
    if (!std::regex_match(strText, match, year))
        return std::nullopt;
    const long nYear = Number(match[1]);
    const std::optional<double> dStart = ReferenceDays(nYear, 1, 1);
    const std::optional<double> dNext = ReferenceDays(nYear + 1, 1, 1);
    if (!dStart)
        return std::nullopt;
    const double dLength = dNext ? *dNext - *dStart : 365.0;  // 9999 is not a leap year
    return *dStart + (std::strtod(strText.c_str(), nullptr) - static_cast<double>(nYear)) * dLength;
}

// Equal, both nullopt or within a millionth of a day (a decimal year's fraction is rounded).
void Compare(const std::optional<double>& actual, const std::optional<double>& expected)
{
    if (actual.has_value() != expected.has_value())
        std::abort();
    if (actual && !(std::fabs(*actual - *expected) <= 1e-6))
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    const std::string strText = FuzzBytes(pData, nSize);
    Compare(ParseIcgemTime(strText), ReferenceIcgemTime(strText));
    Compare(ParseEpoch(strText), ReferenceEpoch(strText));
    return 0;
}
