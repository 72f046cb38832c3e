// Calendar arithmetic on day numbers. The month tables give, for a common
// and a leap year, the days of the year before each month.
#include "functions/dates.h"

#include <cmath>

namespace quipular {
namespace {

constexpr int kDaysBefore[2][13] = {
    {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365},
    {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335, 366},
};

constexpr long long kDaysIn400Years = 146097;
constexpr long long kDaysIn100Years = 36524;
constexpr long long kDaysIn4Years = 1461;

long long FloorDiv(long long a, long long b) {
  long long q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

bool WholeIn(double v, double low, double high) {
  return v == std::trunc(v) && v >= low && v <= high;
}

// Days from 1 January of year 1 to 1 January of `year`.
long long DaysBeforeYear(long long year) {
  long long y = year - 1;
  return 365 * y + FloorDiv(y, 4) - FloorDiv(y, 100) + FloorDiv(y, 400);
}

// The serial day (0 = 1 January of year 1) of a date, the day counted on from
// the first of its month.
double SerialDay(const DateRecord& d) {
  long long year = static_cast<long long>(d.year);
  int month = static_cast<int>(d.month);
  return static_cast<double>(DaysBeforeYear(year) + kDaysBefore[IsLeapYear(year)][month - 1]) +
         d.day - 1;
}

// The day number of the actual day count: a year of 365 days, 31 days a
// month less a correction from March on, and the leap days of the years
// before, by the Gregorian rule.
double DayNumber(const DateRecord& d) {
  double c = 0, z = d.year;
  if (d.month <= 2)
    z = d.year - 1;
  else
    c = std::trunc(0.4 * d.month + 2.3);
  return 365 * d.year + 31 * (d.month - 1) + d.day + std::floor(z / 4) - std::floor(z / 100) +
         std::floor(z / 400) - c;
}

}  // namespace

bool IsLeapYear(long long year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

bool IsValidDay(double day) {
  return WholeIn(day, 1, 31);
}
bool IsValidMonth(double month) {
  return WholeIn(month, 1, 12);
}
bool IsValidYear(double year) {
  return WholeIn(year, 1582, 4046);
}

bool IsValidDate(const DateRecord& d) {
  return IsValidDay(d.day) && IsValidMonth(d.month) && IsValidYear(d.year);
}

bool IsCalendarDate(const DateRecord& d) {
  return IsValidDay(d.day) && IsValidMonth(d.month) && WholeIn(d.year, 1, 1e13);
}

double DaysActual(const DateRecord& from, const DateRecord& to) {
  return DayNumber(to) - DayNumber(from);
}

double Days30360(const DateRecord& from, const DateRecord& to) {
  double d1 = from.day == 31 ? 30 : from.day;
  double d2 = to.day == 31 && (from.day == 30 || from.day == 31) ? 30 : to.day;
  return (360 * to.year + 30 * to.month + d2) - (360 * from.year + 30 * from.month + d1);
}

DateRecord DateAfterDays(const DateRecord& from, long long days) {
  long long serial = static_cast<long long>(SerialDay(from)) + days;
  // Whole 400-, 100-, 4- and 1-year spans from 1 January of year 1; the
  // last of each kind of span ends a leap day later.
  long long cycles = FloorDiv(serial, kDaysIn400Years);
  long long rest = serial - cycles * kDaysIn400Years;
  long long centuries = rest / kDaysIn100Years < 3 ? rest / kDaysIn100Years : 3;
  rest -= centuries * kDaysIn100Years;
  long long olympiads = rest / kDaysIn4Years;
  rest -= olympiads * kDaysIn4Years;
  long long years = rest / 365 < 3 ? rest / 365 : 3;
  rest -= years * 365;
  long long year = 400 * cycles + 100 * centuries + 4 * olympiads + years + 1;
  const int* before = kDaysBefore[IsLeapYear(year)];
  int month = 1;
  while (before[month] <= rest) ++month;
  DateRecord d;
  d.day = static_cast<double>(rest - before[month - 1] + 1);
  d.month = month;
  d.year = static_cast<double>(year);
  return d;
}

}  // namespace quipular
