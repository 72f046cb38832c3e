// DB, SL and SOYD on their own, against the year-by-year sums.
#include "functions/depreciation.h"

#include <gtest/gtest.h>

#include <cmath>

namespace quipular {
namespace {

struct Asset {
  double life, factor, cost, salvage;
};

using Method = bool (*)(double (&)[kBlockSize], double, double&);

// The amounts of years 1 to `year` worked one year at a time.
void YearByYear(Method method, const Asset& a, int year, double& amount, double& remainder) {
  long double book = a.cost, left = a.cost - a.salvage, d = 0;
  long double whole = std::floor(a.life), part = a.life - whole;
  long double digits = (whole + 1) * (whole + 2 * part) / 2;
  for (int k = 1; k <= year; ++k) {
    if (method == DecliningBalance)
      d = book * a.factor / a.life;
    else if (method == StraightLine)
      d = (a.cost - a.salvage) / a.life;
    else
      d = (a.cost - a.salvage) * (a.life - k + 1) / digits;
    book -= d;
    left -= d;
  }
  amount = static_cast<double>(d);
  remainder = static_cast<double>(left);
}

TEST(Depreciation, WorkedCases) {
  struct Case {
    Method method;
    double year, amount, remainder;
  };
  const Case cases[] = {
      {StraightLine, 2, 1800, 5400},
      {SumOfYearsDigits, 1, 3000, 6000},
      {SumOfYearsDigits, 5, 600, 0},
      {DecliningBalance, 2, 2400, 2600},
  };
  for (const Case& c : cases) {
    double f[kBlockSize] = {};
    f[kN] = 5;
    f[kI] = 2;
    f[kPV] = 10000;
    f[kFV] = 1000;
    double amount = 0;
    ASSERT_TRUE(c.method(f, c.year, amount));
    EXPECT_NEAR(c.amount, amount, 1e-9);
    EXPECT_NEAR(c.remainder, f[kDepreciationRemainder], 1e-9);
  }
}

// Fractional lives and years beyond the life follow the same formulas.
TEST(Depreciation, AgreesYearByYear) {
  const Asset assets[] = {
      {5, 2, 10000, 1000}, {4.5, 1.5, 8000, 500}, {10, 2, 1234.5, 0}, {0.75, 1, 900, 100}};
  for (const Asset& a : assets) {
    for (Method method : {DecliningBalance, StraightLine, SumOfYearsDigits}) {
      for (int year = 1; year <= 40; ++year) {
        double f[kBlockSize] = {};
        f[kN] = a.life;
        f[kI] = a.factor;
        f[kPV] = a.cost;
        f[kFV] = a.salvage;
        double amount = 0, expected = 0, remainder = 0;
        ASSERT_TRUE(method(f, year, amount));
        YearByYear(method, a, year, expected, remainder);
        SCOPED_TRACE(testing::Message() << "life " << a.life << " year " << year);
        EXPECT_NEAR(expected, amount, 1e-9 * a.cost);
        EXPECT_NEAR(remainder, f[kDepreciationRemainder], 1e-9 * a.cost);
      }
    }
  }
}

TEST(Depreciation, Refusals) {
  struct Case {
    double life, year;
  };
  const Case cases[] = {{0, 1}, {-5, 1}, {1.1e11, 1}, {5, 0}, {5, -1}, {5, 2.5}};
  for (const Case& c : cases) {
    for (Method method : {DecliningBalance, StraightLine, SumOfYearsDigits}) {
      double f[kBlockSize] = {};
      f[kN] = c.life;
      f[kI] = 2;
      f[kPV] = 10000;
      f[kDepreciationRemainder] = 77;
      double amount = 0;
      EXPECT_FALSE(method(f, c.year, amount));
      EXPECT_EQ(77, f[kDepreciationRemainder]);
    }
  }
  // A distant year is answered at once.
  double f[kBlockSize] = {};
  f[kN] = 1e11;
  f[kI] = 2;
  f[kPV] = 10000;
  double amount = 0;
  EXPECT_TRUE(DecliningBalance(f, 1e15, amount));
}

}  // namespace
}  // namespace quipular
