// The calendar on its own: valid fields, actual and 30/360 day counts, and
// dates after a number of days across leap years and centuries.
#include "functions/dates.h"

#include <gtest/gtest.h>

namespace quipular {
namespace {

DateRecord Date(double day, double month, double year) {
  DateRecord d;
  d.day = day;
  d.month = month;
  d.year = year;
  return d;
}

void ExpectDate(const DateRecord& expected, const DateRecord& actual) {
  EXPECT_EQ(expected.day, actual.day);
  EXPECT_EQ(expected.month, actual.month);
  EXPECT_EQ(expected.year, actual.year);
}

TEST(Dates, DayCounts) {
  struct Case {
    DateRecord from, to;
    double actual, basis360;
  };
  const Case cases[] = {
      {Date(1, 1, 2024), Date(1, 3, 2024), 60, 60},
      {Date(31, 1, 2023), Date(31, 3, 2023), 59, 60},
      {Date(15, 6, 2023), Date(15, 6, 2024), 366, 360},
      {Date(15, 6, 2024), Date(15, 6, 2023), -366, -360},
      {Date(30, 1, 2023), Date(31, 3, 2023), 60, 60},
      {Date(29, 1, 2023), Date(31, 3, 2023), 61, 62},
      {Date(1, 1, 1900), Date(1, 1, 1901), 365, 360},
      {Date(1, 1, 2000), Date(1, 1, 2001), 366, 360},
      {Date(28, 2, 2100), Date(1, 3, 2100), 1, 3},
      {Date(28, 2, 1800), Date(1, 3, 2300), 182622, 180003},
      {Date(1, 1, 1582), Date(31, 12, 4046), 900322, 887400},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.actual, DaysActual(c.from, c.to)) << c.from.year << " " << c.to.year;
    EXPECT_EQ(c.basis360, Days30360(c.from, c.to)) << c.from.year << " " << c.to.year;
  }
}

TEST(Dates, DateAfterDays) {
  struct Case {
    DateRecord from;
    long long days;
    DateRecord expected;
  };
  const Case cases[] = {
      {Date(1, 1, 2003), 366, Date(2, 1, 2004)},
      {Date(1, 1, 2003), -1, Date(31, 12, 2002)},
      {Date(28, 2, 2024), 1, Date(29, 2, 2024)},
      {Date(28, 2, 2100), 1, Date(1, 3, 2100)},
      {Date(28, 2, 2000), 1, Date(29, 2, 2000)},
      {Date(1, 3, 1900), -1, Date(28, 2, 1900)},
      {Date(31, 2, 2023), 0, Date(3, 3, 2023)},
      {Date(1, 1, 1582), -500000, Date(18, 1, 213)},
      {Date(29, 2, 2024), 1000000, Date(26, 1, 4762)},
      {Date(31, 12, 4046), 0, Date(31, 12, 4046)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.from.year << " + " << c.days);
    ExpectDate(c.expected, DateAfterDays(c.from, c.days));
  }
}

// Counting forward and counting the days back agree for every day of a
// 400-year cycle and for offsets across every kind of century.
TEST(Dates, CountsAndDatesAgree) {
  DateRecord from = Date(1, 1, 1600);
  for (long long days = -500000; days <= 1500000; days += 97) {
    DateRecord to = DateAfterDays(from, days);
    ASSERT_EQ(days, DaysActual(from, to)) << days;
    ASSERT_TRUE(to.day >= 1 && to.day <= 31 && to.month >= 1 && to.month <= 12);
  }
  for (long long days : {1000000000000000LL, 999999999999999LL}) {
    DateRecord later = DateAfterDays(Date(31, 12, 4046), days);
    EXPECT_TRUE(IsCalendarDate(later));
    EXPECT_EQ(static_cast<double>(days), DaysActual(Date(31, 12, 4046), later));
  }
  EXPECT_FALSE(IsCalendarDate(Date(0, 0, 0)));
}

TEST(Dates, ValidFields) {
  EXPECT_TRUE(IsValidDate(Date(31, 2, 2023)));
  EXPECT_TRUE(IsValidDate(Date(1, 1, 1582)));
  EXPECT_TRUE(IsValidDate(Date(31, 12, 4046)));
  for (const DateRecord& d :
       {Date(32, 1, 2000), Date(0, 1, 2000), Date(1, 13, 2000), Date(1, 0, 2000), Date(1, 1, 1581),
        Date(1, 1, 4047), Date(0, 0, 0), Date(1.5, 1, 2000)})
    EXPECT_FALSE(IsValidDate(d)) << d.day << "." << d.month << "." << d.year;
  EXPECT_TRUE(IsLeapYear(2000));
  EXPECT_TRUE(IsLeapYear(2024));
  EXPECT_FALSE(IsLeapYear(1900));
  EXPECT_FALSE(IsLeapYear(2100));
}

}  // namespace
}  // namespace quipular
