// Statistics from the sums, kept and worked in double-double precision so
// that data far from zero (x near 1e8) or repeated (0.1 three times) do not
// lose their spread to cancellation.
#include "functions/statistics.h"

#include <cmath>

namespace quipular {
namespace {

// A number as an unevaluated sum hi + lo with |lo| at most half an ulp of hi.
struct Double2 {
  double hi = 0, lo = 0;
};

Double2 TwoSum(double a, double b) {
  double s = a + b;
  double bb = s - a;
  return {s, (a - (s - bb)) + (b - bb)};
}

Double2 FastTwoSum(double a, double b) {
  double s = a + b;
  return {s, b - (s - a)};
}

Double2 Add(Double2 a, Double2 b) {
  Double2 s = TwoSum(a.hi, b.hi);
  Double2 t = TwoSum(a.lo, b.lo);
  s.lo += t.hi;
  s = FastTwoSum(s.hi, s.lo);
  s.lo += t.lo;
  return FastTwoSum(s.hi, s.lo);
}

Double2 Negate(Double2 a) {
  return {-a.hi, -a.lo};
}

// The exact product of two doubles.
Double2 Product(double a, double b) {
  double p = a * b;
  return {p, std::fma(a, b, -p)};
}

Double2 Multiply(Double2 a, Double2 b) {
  Double2 p = Product(a.hi, b.hi);
  p.lo += a.hi * b.lo + a.lo * b.hi;
  return FastTwoSum(p.hi, p.lo);
}

using Real = long double;

Real Wide(Double2 a) {
  return static_cast<Real>(a.hi) + a.lo;
}

// Bound on the rounding of a deviation from sums of n pairs after t pairs
// went in or out: (n + t) t 2^-100 of the size of those pairs, well above the
// 2^-105 of the running sum each double-double addition can lose.
constexpr double kRounding = 0x1p-100;

struct Sums {
  double n;
  Real rounding;  // times a size: the largest rounding in a deviation
  Real x_size, y_size;
  Double2 x, x2, y, y2, xy;

  Sums(int count, const double (&s)[kBlockSize], const StatisticsResidue& residue)
      : n(count),
        rounding((n + residue.terms) * residue.terms * kRounding),
        x_size(residue.x_size),
        y_size(residue.y_size),
        x{s[kSumX], residue.low[kSumX]},
        x2{s[kSumX2], residue.low[kSumX2]},
        y{s[kSumY], residue.low[kSumY]},
        y2{s[kSumY2], residue.low[kSumY2]},
        xy{s[kSumXY], residue.low[kSumXY]} {}

  // n*Sum(ab) - Sum(a)*Sum(b), zero when within what the sums' rounding
  // allows for data of that size.
  Real Deviation(Double2 ab, Double2 a, Double2 b, Real size) const {
    Double2 d = Add(Multiply({n, 0}, ab), Negate(Multiply(a, b)));
    Real value = Wide(d);
    if (std::fabs(value) <= size * rounding) return 0;
    return value;
  }
  Real Qx() const { return Deviation(x2, x, x, x_size); }
  Real Qy() const { return Deviation(y2, y, y, y_size); }
  Real Qxy() const { return Deviation(xy, x, y, std::sqrt(x_size) * std::sqrt(y_size)); }
  Real MeanX() const { return Wide(x) / n; }
  Real MeanY() const { return Wide(y) / n; }
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

double AccumulateStatistics(int& count, double x, double y, bool add, double (&s)[kBlockSize],
                            StatisticsResidue& residue) {
  if (!add && count == 0) return 0;
  count += add ? 1 : -1;
  residue.terms += 1;
  residue.x_size += x * x;
  residue.y_size += y * y;
  auto accumulate = [&](int slot, Double2 term) {
    Double2 sum = Add({s[slot], residue.low[slot]}, add ? term : Negate(term));
    s[slot] = sum.hi;
    residue.low[slot] = sum.lo;
  };
  accumulate(kSumX, {x, 0});
  accumulate(kSumX2, Product(x, x));
  accumulate(kSumY, {y, 0});
  accumulate(kSumY2, Product(y, y));
  accumulate(kSumXY, Product(x, y));
  s[kStatN] = count;
  return count;
}

double AddPair(Registers& r, double x, double y) {
  return AccumulateStatistics(r.stat_count, x, y, true, r.statistics, r.statistics_residue);
}

double RemovePair(Registers& r, double x, double y) {
  return AccumulateStatistics(r.stat_count, x, y, false, r.statistics, r.statistics_residue);
}

StatisticsAnswer Means(const Registers& r, double) {
  if (r.stat_count == 0) return {};
  Sums s(r.stat_count, r.statistics, r.statistics_residue);
  return Answer(s.MeanX(), s.MeanY());
}

StatisticsAnswer WeightedMean(const Registers& r, double) {
  if (r.stat_count == 0) return {};
  Sums s(r.stat_count, r.statistics, r.statistics_residue);
  if (s.x.hi == 0) return {};
  return Answer(Wide(s.xy) / Wide(s.x));
}

StatisticsAnswer StandardDeviations(const Registers& r, double) {
  if (r.stat_count == 0) return {};
  Sums s(r.stat_count, r.statistics, r.statistics_residue);
  Real qx = s.Qx(), qy = s.Qy();
  if (r.stat_count < 2 || qx < 0 || qy < 0) return {};
  Real pairs = s.n * (s.n - 1);  // n(n-1), formed without overflow
  return Answer(std::sqrt(qx / pairs), std::sqrt(qy / pairs));
}

StatisticsAnswer EstimateX(const Registers& r, double x_value) {
  if (r.stat_count == 0) return {};
  Sums s(r.stat_count, r.statistics, r.statistics_residue);
  // With a level or upright line there is no x for the y asked about.
  Real qx = s.Qx(), qxy = s.Qxy();
  if (s.Qy() == 0 || qx == 0 || qxy == 0) return {};
  return Answer(s.MeanX() + (x_value - s.MeanY()) * (qx / qxy));
}

StatisticsAnswer EstimateY(const Registers& r, double x_value) {
  if (r.stat_count == 0) return {};
  Sums s(r.stat_count, r.statistics, r.statistics_residue);
  Real qx = s.Qx();
  if (qx == 0) return {};
  return Answer(s.MeanY() + (x_value - s.MeanX()) * (s.Qxy() / qx));
}

StatisticsAnswer Correlation(const Registers& r, double) {
  if (r.stat_count == 0) return {};
  Sums s(r.stat_count, r.statistics, r.statistics_residue);
  Real qx = s.Qx(), qy = s.Qy();
  if (!(qx > 0 && qy > 0)) return {};
  return Answer(s.Qxy() / (std::sqrt(qx) * std::sqrt(qy)));
}

}  // namespace quipular
