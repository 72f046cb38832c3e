// Two-variable statistics from the sums of the statistics registers: the
// accumulation of pairs, means, standard deviations, linear estimates and
// the correlation coefficient.
#pragma once

#include "functions/registers.h"

namespace quipular {

// Z+ (token "z") adds the pair (x, y) to the sums, Z- ("Z", Ctrl+Z) takes it
// away; the count and slot 0 follow. Z- with no pairs changes nothing.
// Each sum is kept as the pair statistics[k] + residue.low[k] (double-double): the
// squares and products go in whole, and Z- takes away exactly the terms Z+
// put in. Returns the count.
double AccumulateStatistics(int& count, double x, double y, char token,
                            double (&statistics)[kBlockSize], StatisticsResidue& residue);

struct StatisticsAnswer {
  bool ok = false;         // false: error 2 (too few or degenerate data)
  double value = 0;        // the result, the new X
  bool has_below = false;  // a value goes on the stack before the result
  double below = 0;        // that value: the mean or deviation of y
};

// "q" means, "Q" mean of y weighted by x, Ctrl+Q (17) standard deviations,
// "w" estimate of x for y = x_value, "W" estimate of y for x = x_value,
// Ctrl+W (23) the correlation coefficient.
// The deviations n*Sum(x^2) - (Sum x)^2 and the like are formed from the
// double-double sums, and one within the rounding those sums can carry (from
// every pair that went in or out) is zero: every x equal gives no line,
// whatever the x.
StatisticsAnswer ComputeStatistic(int count, const double (&statistics)[kBlockSize],
                                  const StatisticsResidue& residue, char token, double x_value);

}  // namespace quipular
