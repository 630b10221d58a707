#include "fields/model_time.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

namespace {

constexpr int64_t kFirstYear = 1;
constexpr int64_t kLastYear = 9999;

bool IsLeapYear(int64_t nYear)
{
    return (nYear % 4 == 0 && nYear % 100 != 0) || nYear % 400 == 0;
}

int64_t DaysInMonth(int64_t nYear, int64_t nMonth)
{
    constexpr int64_t anDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return nMonth == 2 && IsLeapYear(nYear) ? 29 : anDays[nMonth - 1];
}

// Days from 2000-01-01 to the date: the years' days from the year 1, then the months'.
int64_t DaysFrom2000(int64_t nYear, int64_t nMonth, int64_t nDay)
{
    const auto daysBeforeYear = [](int64_t y) {
        const int64_t n = y - 1;
        return 365 * n + n / 4 - n / 100 + n / 400;
    };
    int64_t nDays = daysBeforeYear(nYear) - daysBeforeYear(2000);
    for (int64_t m = 1; m < nMonth; ++m)
        nDays += DaysInMonth(nYear, m);
    return nDays + nDay - 1;
}

bool AllDigits(std::string_view strText)
{
    return !strText.empty() &&
           std::all_of(strText.begin(), strText.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int64_t DigitsValue(std::string_view strText)
{
    int64_t nValue = 0;
    for (const char c : strText)
        nValue = nValue * 10 + (c - '0');
    return nValue;
}

std::optional<double> DateDays(int64_t nYear, int64_t nMonth, int64_t nDay)
{
    if (nYear < kFirstYear || nYear > kLastYear || nMonth < 1 || nMonth > 12 || nDay < 1 ||
        nDay > DaysInMonth(nYear, nMonth))
        return std::nullopt;
    return static_cast<double>(DaysFrom2000(nYear, nMonth, nDay));
}

}  // namespace

std::optional<double> ParseIcgemTime(std::string_view strText)
{
    const size_t nPoint = std::min(strText.find('.'), strText.size());
    const std::string_view strDate = strText.substr(0, nPoint);
    if (strDate.size() != 8 || !AllDigits(strDate))
        return std::nullopt;
    std::string strClock = "0000";
    if (nPoint < strText.size())
    {
        const std::string_view strDigits = strText.substr(nPoint + 1);
        if (strDigits.size() > 4 || (!strDigits.empty() && !AllDigits(strDigits)))
            return std::nullopt;
        strClock.replace(0, strDigits.size(), strDigits);
    }
    const int64_t nHour = DigitsValue(std::string_view(strClock).substr(0, 2));
    const int64_t nMinute = DigitsValue(std::string_view(strClock).substr(2, 2));
    const std::optional<double> dDays =
        DateDays(DigitsValue(strDate.substr(0, 4)), DigitsValue(strDate.substr(4, 2)),
                 DigitsValue(strDate.substr(6, 2)));
    if (!dDays || nHour > 23 || nMinute > 59)
        return std::nullopt;
    return *dDays + static_cast<double>(nHour * 60 + nMinute) / 1440.0;
}

std::optional<double> ParseEpoch(std::string_view strText)
{
    if (strText.size() == 10 && strText[4] == '-' && strText[7] == '-' && AllDigits(strText.substr(0, 4)) &&
        AllDigits(strText.substr(5, 2)) && AllDigits(strText.substr(8, 2)))
        return DateDays(DigitsValue(strText.substr(0, 4)), DigitsValue(strText.substr(5, 2)),
                        DigitsValue(strText.substr(8, 2)));
    // A decimal year: digits, and a fraction after a point.
    const size_t nPoint = std::min(strText.find('.'), strText.size());
    const std::string_view strYear = strText.substr(0, nPoint);
    const std::string_view strFraction = nPoint < strText.size() ? strText.substr(nPoint + 1) : "0";
    if (strYear.size() > 4 || !AllDigits(strYear) || !AllDigits(strFraction))
        return std::nullopt;
    const int64_t nYear = DigitsValue(strYear);
    const std::optional<double> dStart = DateDays(nYear, 1, 1);
    double dYear = 0.0;
    std::from_chars(strText.data(), strText.data() + strText.size(), dYear);
    if (!dStart)
        return std::nullopt;
    return *dStart + (dYear - static_cast<double>(nYear)) * (IsLeapYear(nYear) ? 366.0 : 365.0);
}

double DecimalYear(double dDays)
{
    // The year from the mean Gregorian year, then moved to the one that holds the day.
    auto nYear = static_cast<int64_t>(std::floor(2000.0 + dDays / 365.2425));
    while (static_cast<double>(DaysFrom2000(nYear, 1, 1)) > dDays)
        --nYear;
    while (static_cast<double>(DaysFrom2000(nYear + 1, 1, 1)) <= dDays)
        ++nYear;
    const double dStart = static_cast<double>(DaysFrom2000(nYear, 1, 1));
    return static_cast<double>(nYear) + (dDays - dStart) / (IsLeapYear(nYear) ? 366.0 : 365.0);
}
