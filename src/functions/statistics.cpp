// Statistics from the sums, worked in extended precision.
#include "functions/statistics.h"

#include <cmath>

#include "console/key_codes.h"

namespace quipular {
namespace {

using Real = long double;

struct Sums {
  Real n, x, x2, y, y2, xy;

  Sums(int count, const double (&s)[kBlockSize])
      : n(count), x(s[kSumX]), x2(s[kSumX2]), y(s[kSumY]), y2(s[kSumY2]), xy(s[kSumXY]) {}

  Real Qx() const { return n * x2 - x * x; }
  Real Qy() const { return n * y2 - y * y; }
  Real Mxx() const { return x2 - x * x / n; }
  Real Myy() const { return y2 - y * y / n; }
  Real Mxy() const { return xy - x * y / n; }
  Real Slope() const { return Mxy() / Mxx(); }
  Real Intercept() const { return y / n - Slope() * x / n; }
};

StatisticsAnswer Answer(Real value) {
  StatisticsAnswer a;
  a.value = static_cast<double>(value);
  a.ok = std::isfinite(a.value);
  return a;
}

StatisticsAnswer Answer(Real value, Real below) {
  StatisticsAnswer a = Answer(value);
  a.has_below = true;
  a.below = static_cast<double>(below);
  a.ok = a.ok && std::isfinite(a.below);
  return a;
}

}  // namespace

double AccumulateStatistics(int& count, double x, double y, char token, double (&s)[kBlockSize]) {
  double sign = token == 'z' ? 1 : -1;
  if (sign < 0 && count == 0) return 0;
  count += sign > 0 ? 1 : -1;
  s[kSumX] += sign * x;
  s[kSumX2] += sign * x * x;
  s[kSumY] += sign * y;
  s[kSumY2] += sign * y * y;
  s[kSumXY] += sign * x * y;
  s[kStatN] = count;
  return count;
}

StatisticsAnswer ComputeStatistic(int count, const double (&statistics)[kBlockSize], char token,
                                  double x_value) {
  Sums s(count, statistics);
  Real v = x_value;
  switch (token) {
    case 'q':
      if (count == 0) break;
      return Answer(s.x / s.n, s.y / s.n);
    case 'Q':
      if (s.x == 0) break;
      return Answer(s.xy / s.x);
    case kCtrlQ: {
      if (count < 2 || s.Qx() < 0 || s.Qy() < 0) break;
      Real pairs = s.n * (s.n - 1);  // n(n-1), formed without overflow
      return Answer(std::sqrt(s.Qx() / pairs), std::sqrt(s.Qy() / pairs));
    }
    case 'w': {
      if (count == 0 || s.Qy() == 0) break;
      // With a level or undefined line there is no x for the y asked about.
      Real slope = s.Slope();
      if (slope == 0 || !std::isfinite(slope)) break;
      return Answer((v - s.Intercept()) / slope);
    }
    case 'W':
      if (count == 0 || s.Qx() == 0) break;
      return Answer(s.Slope() * v + s.Intercept());
    case kCtrlW:
      if (count == 0 || !(s.Qx() * s.Qy() > 0)) break;
      return Answer(s.Mxy() / std::sqrt(s.Mxx() * s.Myy()));
    default:
      break;
  }
  return {};
}

}  // namespace quipular
