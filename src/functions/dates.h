// The calendar: valid dates, actual and 30/360 day counts, and the date a
// number of days after another, by the Gregorian leap-year rule.
#pragma once

#include "functions/registers.h"

namespace quipular {

// Day counts DATE accepts: whole, from kEarliestOffset to kLatestOffset.
// Up to the latest, the years reached keep every day count exact in a
// double.
constexpr double kEarliestOffset = -500000;
constexpr double kLatestOffset = 1e15;

// Divisible by 4, except the centuries not divisible by 400.
bool IsLeapYear(long long year);

// A date as entered: whole fields, day 1 to 31 (not checked against the
// month), month 1 to 12, year 1582 to 4046.
bool IsValidDate(const DateRecord& date);
bool IsValidDay(double day);
bool IsValidMonth(double month);
bool IsValidYear(double year);
// A date the day counts work with: valid day and month, and any whole year
// from 1 up to those DATE can reach (dates entered, or made by DATE).
bool IsCalendarDate(const DateRecord& date);

// `to` minus `from` in actual days.
double DaysActual(const DateRecord& from, const DateRecord& to);
// `to` minus `from` on the 30/360 basis.
double Days30360(const DateRecord& from, const DateRecord& to);

// The date `days` days after `from` (before it when negative). The day of
// `from` counts from the first of its month, so 31 February is 3 March.
DateRecord DateAfterDays(const DateRecord& from, long long days);

}  // namespace quipular
