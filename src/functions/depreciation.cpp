// DB, SL and SOYD. Each year's amount and the remainder come from closed
// forms of the year-by-year sums, so a distant year costs no more than the
// first; years beyond the life follow the same formulas.
#include "functions/depreciation.h"

#include <cmath>

#include "console/key_codes.h"

namespace quipular {

bool ComputeDepreciation(double (&f)[kBlockSize], char token, double year, double& amount) {
  long double life = f[kN], cost = f[kPV], salvage = f[kFV], x = year;
  if (!(life > 0) || life > 1e11 || !(year > 0) || year != std::trunc(year)) return false;
  long double depreciable = cost - salvage, d = 0, remainder = 0;
  switch (token) {
    case 'l': {
      // Each year takes the fraction i/n of the book value left.
      long double rate = f[kI] / life, keep = 1 - rate;
      d = cost * std::pow(keep, x - 1) * rate;
      remainder = cost * std::pow(keep, x) - salvage;
      break;
    }
    case 'L':
      d = depreciable / life;
      remainder = depreciable - x * d;
      break;
    case kCtrlL: {
      long double whole = std::trunc(life), part = life - whole;
      long double digits = (whole + 1) * (whole + 2 * part) / 2;
      d = depreciable * (life - x + 1) / digits;
      // The amounts of years 1 to X add up to this share of the depreciable value.
      remainder = depreciable - depreciable / digits * (x * (life + 1) - x * (x + 1) / 2);
      break;
    }
    default:
      return false;
  }
  double a = static_cast<double>(d), r = static_cast<double>(remainder);
  if (!std::isfinite(a) || !std::isfinite(r)) return false;
  f[kDepreciationRemainder] = r;
  amount = a;
  return true;
}

}  // namespace quipular
