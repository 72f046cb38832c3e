// Statistics from the sums on their own: accumulation, every result and the
// data each refuses.
#include "functions/statistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

namespace quipular {
namespace {

using Statistic = StatisticsAnswer (*)(const Registers&, double);

struct Sample {
  Registers r;
  explicit Sample(const std::vector<std::pair<double, double>>& pairs) {
    for (auto [x, y] : pairs) Add(x, y, true);
  }
  double Add(double x, double y, bool add) { return add ? AddPair(r, x, y) : RemovePair(r, x, y); }
  StatisticsAnswer Compute(Statistic statistic, double x_value) const {
    return statistic(r, x_value);
  }
};

TEST(Statistics, Results) {
  Sample three({{1, 2}, {2, 4}, {3, 7}});
  struct Case {
    Statistic token;
    double x, value;
    bool has_below;
    double below;
  };
  const Case cases[] = {
      {Means, 0, 2, true, 13.0 / 3},
      {StandardDeviations, 0, 1, true, std::sqrt(19.0 / 3)},
      {Correlation, 0, 0.99339926779878274, false, 0},
      {EstimateY, 4, 28.0 / 3, false, 0},
      {EstimateX, 9, 58.0 / 15, false, 0},
      {WeightedMean, 0, 31.0 / 6, false, 0},
  };
  for (const Case& c : cases) {
    StatisticsAnswer a = three.Compute(c.token, c.x);
    ASSERT_TRUE(a.ok);
    EXPECT_NEAR(c.value, a.value, 1e-14 * std::fabs(c.value));
    EXPECT_EQ(c.has_below, a.has_below);
    if (c.has_below) {
      EXPECT_NEAR(c.below, a.below, 1e-14 * c.below);
    }
  }
  Sample weighted({{1, 10}, {3, 20}});  // prices as y, weights as x
  EXPECT_DOUBLE_EQ(17.5, weighted.Compute(WeightedMean, 0).value);
}

TEST(Statistics, RefusedData) {
  struct Case {
    const char* what;
    std::vector<std::pair<double, double>> pairs;
    Statistic token;
  };
  const Case cases[] = {
      {"mean of nothing", {}, Means},
      {"weighted mean with no weight", {{0, 3}, {0, 4}}, WeightedMean},
      {"deviation of one pair", {{1, 2}}, StandardDeviations},
      {"estimate of y with x level", {{5, 1}, {5, 2}, {5, 4}}, EstimateY},
      {"estimate of x with x level", {{5, 1}, {5, 2}, {5, 4}}, EstimateX},
      {"estimate of x with y level", {{1, 3}, {2, 3}}, EstimateX},
      {"estimate of x with a level line", {{1, 1}, {2, 2}, {3, 1}}, EstimateX},
      {"correlation with x level", {{5, 1}, {5, 2}}, Correlation},
      {"correlation of nothing", {}, Correlation},
  };
  for (const Case& c : cases) {
    Sample s(c.pairs);
    EXPECT_FALSE(s.Compute(c.token, 2).ok) << c.what;
  }
  Sample one({{1, 2}});
  EXPECT_TRUE(one.Compute(Means, 0).ok);
}

TEST(Statistics, CorrectionRestoresTheSums) {
  Sample sample({{1.5, 2}, {2, 4.25}});
  double before[kBlockSize];
  std::copy(std::begin(sample.r.statistics), std::end(sample.r.statistics), before);
  EXPECT_EQ(3, sample.Add(7, 9, true));
  EXPECT_EQ(4, sample.Add(7, 9, true));
  EXPECT_EQ(3, sample.Add(7, 9, false));
  EXPECT_EQ(2, sample.Add(7, 9, false));
  for (int k = 0; k < kBlockSize; ++k) EXPECT_EQ(before[k], sample.r.statistics[k]) << k;
  for (double low : sample.r.statistics_residue.low) EXPECT_EQ(0, low);
  Sample none({});
  EXPECT_EQ(0, none.Add(1, 1, false));
  EXPECT_EQ(0, none.r.stat_count);
  EXPECT_EQ(0, none.r.statistics[kSumX]);
}

// Data whose spread is small beside their size: the deviations come from
// the double-double sums, so equal x give no line at all and x offset by 1e8
// keep their spread. A pair taken away leaves exactly the sums before it.
TEST(Statistics, IllConditionedData) {
  const double r124 = 3 / std::sqrt(2 * 42.0 / 9);  // x = 1, 2, 3 against y = 1, 2, 4
  struct Case {
    const char* what;
    std::vector<std::pair<double, double>> pairs;
    Statistic token;
    bool ok;
    double value;
  };
  const std::vector<std::pair<double, double>> tenths = {{0.1, 1}, {0.1, 2}, {0.1, 4}};
  const std::vector<std::pair<double, double>> offset = {{1e8 + 1, 1}, {1e8 + 2, 2}, {1e8 + 3, 4}};
  const std::vector<std::pair<double, double>> both_offset = {
      {1e8 + 1, 3e9 + 1}, {1e8 + 2, 3e9 + 2}, {1e8 + 3, 3e9 + 4}};
  const Case cases[] = {
      {"deviation of equal tenths", tenths, StandardDeviations, true, 0},
      {"estimate of y from equal tenths", tenths, EstimateY, false, 0},
      {"estimate of x from equal tenths", tenths, EstimateX, false, 0},
      {"correlation of equal tenths", tenths, Correlation, false, 0},
      {"deviation of x offset by 1e8", offset, StandardDeviations, true, 1},
      {"correlation of x offset by 1e8", offset, Correlation, true, r124},
      {"estimate of y offset by 1e8", offset, EstimateY, true, 7.0 / 3 + 1.5 * 3},
      {"estimate of x offset by 1e8", offset, EstimateX, true, 1e8 + 2 + (3 - 7.0 / 3) / 1.5},
      {"correlation with both offset", both_offset, Correlation, true, r124},
      {"deviation of 0.1 repeated ten times", std::vector(10, std::pair{0.1, 0.1}),
       StandardDeviations, true, 0},
      {"equal x of 1e99", {{9e99, 1}, {9e99, 2}}, EstimateY, false, 0},
  };
  for (const Case& c : cases) {
    Sample sample(c.pairs);
    // x = 1e8 + 5 for the estimate of y, y = 3 for the estimate of x
    StatisticsAnswer a = sample.Compute(c.token, c.token == EstimateX ? 3 : 1e8 + 5);
    ASSERT_EQ(c.ok, a.ok) << c.what;
    if (c.ok) {
      EXPECT_NEAR(c.value, a.value, 1e-12 * std::fmax(1, std::fabs(c.value))) << c.what;
    }
  }
  Sample corrected(offset);
  corrected.Add(1e12, 0.1, true);
  corrected.Add(1e12, 0.1, false);
  EXPECT_NEAR(1, corrected.Compute(StandardDeviations, 0).value, 1e-12);
  Sample tenths_corrected(tenths);
  tenths_corrected.Add(5, 5, true);
  tenths_corrected.Add(5, 5, false);
  EXPECT_FALSE(tenths_corrected.Compute(EstimateY, 1).ok);
}

// 70000 pairs: n(n-1) is beyond 32 bits and must not wrap.
TEST(Statistics, DeviationOfManyPairs) {
  Registers r;
  r.stat_count = 70000;
  double* s = r.statistics;
  s[kStatN] = r.stat_count;
  s[kSumX] = s[kSumX2] = 35000;  // x alternates 0 and 1
  s[kSumY] = s[kSumY2] = 35000;
  StatisticsAnswer a = StandardDeviations(r, 0);
  ASSERT_TRUE(a.ok);
  EXPECT_NEAR(std::sqrt(35000.0 * 35000 / (70000.0 * 69999)), a.value, 1e-15);
}

}  // namespace
}  // namespace quipular
