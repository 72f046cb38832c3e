// The calendar: valid dates, actual and 30/360 day counts, and the date a
// number of days after another, by the Gregorian leap-year rule.
#pragma once

#include "functions/registers.h"

namespace quipular {

// Day counts DATE accepts: whole, from kEarliestOffset up to the largest
// count a double holds to the day.
constexpr double kEarliestOffset = -500000;
constexpr double kLatestOffset = 9007199254740992.0;  // 2^53

// Divisible by 4, except the centuries not divisible by 400.
bool IsLeapYear(long long year);

// A date as entered: whole fields, day 1 to 31 (not checked against the
// month), month 1 to 12, year 1582 to 4046.
bool IsValidDate(const DateRecord& date);
bool IsValidDay(double day);
bool IsValidMonth(double month);
bool IsValidYear(double year);

// `to` minus `from` in actual days.
double DaysActual(const DateRecord& from, const DateRecord& to);
// `to` minus `from` on the 30/360 basis.
double Days30360(const DateRecord& from, const DateRecord& to);

// The date `days` days after `from` (before it when negative). The day of
// `from` counts from the first of its month, so 31 February is 3 March.
DateRecord DateAfterDays(const DateRecord& from, long long days);

}  // namespace quipular
