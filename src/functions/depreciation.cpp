// DB, SL and SOYD. Each year's amount and the remainder come from closed
// forms of the year-by-year sums, so a distant year costs no more than the
// first; years beyond the life follow the same formulas.
#include "functions/depreciation.h"

#include <cmath>

namespace quipular {

namespace {

using Real = long double;

// A year's amount and the depreciable value left after it.
struct Year {
  Real amount, remainder;
};

// Checks the life and the year, then stores the remainder and answers the
// amount when both are finite.
template <typename Method>
bool Depreciate(double (&f)[kBlockSize], double year, double& amount, Method method) {
  Real life = f[kN];
  if (!(life > 0) || life > 1e11 || !(year > 0) || year != std::trunc(year)) return false;
  Year y =
      method(life, static_cast<Real>(f[kPV]), static_cast<Real>(f[kFV]), static_cast<Real>(year));
  double a = static_cast<double>(y.amount), r = static_cast<double>(y.remainder);
  if (!std::isfinite(a) || !std::isfinite(r)) return false;
  f[kDepreciationRemainder] = r;
  amount = a;
  return true;
}

}  // namespace

bool DecliningBalance(double (&f)[kBlockSize], double year, double& amount) {
  Real factor = f[kI];
  return Depreciate(f, year, amount, [factor](Real life, Real cost, Real salvage, Real x) {
    // Each year takes the fraction i/n of the book value left.
    Real rate = factor / life, keep = 1 - rate;
    return Year{cost * std::pow(keep, x - 1) * rate, cost * std::pow(keep, x) - salvage};
  });
}

bool StraightLine(double (&f)[kBlockSize], double year, double& amount) {
  return Depreciate(f, year, amount, [](Real life, Real cost, Real salvage, Real x) {
    Real depreciable = cost - salvage, d = depreciable / life;
    return Year{d, depreciable - x * d};
  });
}

bool SumOfYearsDigits(double (&f)[kBlockSize], double year, double& amount) {
  return Depreciate(f, year, amount, [](Real life, Real cost, Real salvage, Real x) {
    Real depreciable = cost - salvage;
    Real whole = std::trunc(life), part = life - whole;
    Real digits = (whole + 1) * (whole + 2 * part) / 2;
    // The amounts of years 1 to X add up to this share of the depreciable value.
    return Year{depreciable * (life - x + 1) / digits,
                depreciable - depreciable / digits * (x * (life + 1) - x * (x + 1) / 2)};
  });
}

}  // namespace quipular
