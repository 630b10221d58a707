#pragma once

#include <optional>
#include <string_view>

// Moments of a time-variable model, as days since 2000-01-01 00:00 on the Gregorian calendar
// (extended before 1582), years 1 to 9999. Spans between them count in years of 365.25 days.
constexpr double kDaysPerYear = 365.25;

// A time as ICGEM files write t0 and t1: yyyymmdd, optionally followed by a point and up to four
// digits hhmm (hours and minutes, missing digits read as 0: ".1" is 10:00). nullopt for anything
// else, such as a month 13, 31 April or 24:00.
std::optional<double> ParseIcgemTime(std::string_view strText);

// An epoch as a user writes it: an ISO date YYYY-MM-DD (its 00:00), or a decimal year such as
// 2010 or 2010.5, which is 1 January 00:00 of the year plus the fraction of that year's 365 or
// 366 days. nullopt for anything else.
std::optional<double> ParseEpoch(std::string_view strText);

// The decimal year of a moment (days as above): its year plus the fraction of that year's 365 or
// 366 days gone, as ParseEpoch reads a decimal year and as geomagnetic models count time.
double DecimalYear(double dDays);
