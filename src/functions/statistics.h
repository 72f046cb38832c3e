// Two-variable statistics from the sums of the statistics registers: the
// accumulation of pairs, means, standard deviations, linear estimates and
// the correlation coefficient.
#pragma once

#include "functions/registers.h"

namespace quipular {

// Z+ (add) adds the pair (x, y) to the sums, Z- takes it away; the count
// and slot 0 follow. Z- with no pairs changes nothing.
// Each sum is kept as the pair statistics[k] + residue.low[k] (double-double): the
// squares and products go in whole, and Z- takes away exactly the terms Z+
// put in. Returns the count.
double AccumulateStatistics(int& count, double x, double y, bool add,
                            double (&statistics)[kBlockSize], StatisticsResidue& residue);

struct StatisticsAnswer {
  bool ok = false;         // false: error 2 (too few or degenerate data)
  double value = 0;        // the result, the new X
  bool has_below = false;  // a value goes on the stack before the result
  double below = 0;        // that value: the mean or deviation of y
};

// Z+ and Z- on the registers' sums and count; the count is returned.
double AddPair(Registers& r, double x, double y);
double RemovePair(Registers& r, double x, double y);

// The results, from the registers' sums; x_value is the value an estimate
// is asked for. Means: the mean of x, and of y below it. WeightedMean: the
// mean of y weighted by x. StandardDeviations: of x, and of y below it.
// EstimateX: x for y = x_value. EstimateY: y for x = x_value.
// Correlation: the correlation coefficient.
// The deviations n*Sum(x^2) - (Sum x)^2 and the like are formed from the
// double-double sums, and one within the rounding those sums can carry (from
// every pair that went in or out) is zero: every x equal gives no line,
// whatever the x.
StatisticsAnswer Means(const Registers& r, double x_value);
StatisticsAnswer WeightedMean(const Registers& r, double x_value);
StatisticsAnswer StandardDeviations(const Registers& r, double x_value);
StatisticsAnswer EstimateX(const Registers& r, double x_value);
StatisticsAnswer EstimateY(const Registers& r, double x_value);
StatisticsAnswer Correlation(const Registers& r, double x_value);

}  // namespace quipular
