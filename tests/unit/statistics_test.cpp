// Statistics from the sums on their own: accumulation, every result and the
// data each refuses.
#include "functions/statistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

namespace quipular {
namespace {

struct Sample {
  int count = 0;
  double s[kBlockSize] = {};
  explicit Sample(const std::vector<std::pair<double, double>>& pairs) {
    for (auto [x, y] : pairs) AccumulateStatistics(count, x, y, 'z', s);
  }
};

TEST(Statistics, Results) {
  Sample three({{1, 2}, {2, 4}, {3, 7}});
  struct Case {
    char token;
    double x, value;
    bool has_below;
    double below;
  };
  const Case cases[] = {
      {'q', 0, 2, true, 13.0 / 3},
      {17, 0, 1, true, std::sqrt(19.0 / 3)},
      {23, 0, 0.99339926779878274, false, 0},
      {'W', 4, 28.0 / 3, false, 0},
      {'w', 9, 58.0 / 15, false, 0},
      {'Q', 0, 31.0 / 6, false, 0},
  };
  for (const Case& c : cases) {
    StatisticsAnswer a = ComputeStatistic(three.count, three.s, c.token, c.x);
    ASSERT_TRUE(a.ok) << int(c.token);
    EXPECT_NEAR(c.value, a.value, 1e-14 * std::fabs(c.value)) << int(c.token);
    EXPECT_EQ(c.has_below, a.has_below);
    if (c.has_below) {
      EXPECT_NEAR(c.below, a.below, 1e-14 * c.below);
    }
  }
  Sample weighted({{1, 10}, {3, 20}});  // prices as y, weights as x
  EXPECT_DOUBLE_EQ(17.5, ComputeStatistic(weighted.count, weighted.s, 'Q', 0).value);
}

TEST(Statistics, RefusedData) {
  struct Case {
    const char* what;
    std::vector<std::pair<double, double>> pairs;
    char token;
  };
  const Case cases[] = {
      {"mean of nothing", {}, 'q'},
      {"weighted mean with no weight", {{0, 3}, {0, 4}}, 'Q'},
      {"deviation of one pair", {{1, 2}}, 17},
      {"estimate of y with x level", {{5, 1}, {5, 2}, {5, 4}}, 'W'},
      {"estimate of x with x level", {{5, 1}, {5, 2}, {5, 4}}, 'w'},
      {"estimate of x with y level", {{1, 3}, {2, 3}}, 'w'},
      {"estimate of x with a level line", {{1, 1}, {2, 2}, {3, 1}}, 'w'},
      {"correlation with x level", {{5, 1}, {5, 2}}, 23},
      {"correlation of nothing", {}, 23},
  };
  for (const Case& c : cases) {
    Sample s(c.pairs);
    EXPECT_FALSE(ComputeStatistic(s.count, s.s, c.token, 2).ok) << c.what;
  }
  Sample one({{1, 2}});
  EXPECT_TRUE(ComputeStatistic(one.count, one.s, 'q', 0).ok);
}

TEST(Statistics, CorrectionRestoresTheSums) {
  Sample sample({{1.5, 2}, {2, 4.25}});
  double before[kBlockSize];
  std::copy(std::begin(sample.s), std::end(sample.s), before);
  EXPECT_EQ(3, AccumulateStatistics(sample.count, 7, 9, 'z', sample.s));
  EXPECT_EQ(4, AccumulateStatistics(sample.count, 7, 9, 'z', sample.s));
  EXPECT_EQ(3, AccumulateStatistics(sample.count, 7, 9, 'Z', sample.s));
  EXPECT_EQ(2, AccumulateStatistics(sample.count, 7, 9, 26, sample.s));
  for (int k = 0; k < kBlockSize; ++k) EXPECT_EQ(before[k], sample.s[k]) << k;
  Sample none({});
  EXPECT_EQ(0, AccumulateStatistics(none.count, 1, 1, 'Z', none.s));
  EXPECT_EQ(0, none.count);
  EXPECT_EQ(0, none.s[kSumX]);
}

// 70000 pairs: n(n-1) is beyond 32 bits and must not wrap.
TEST(Statistics, DeviationOfManyPairs) {
  int count = 70000;
  double s[kBlockSize] = {};
  s[kStatN] = count;
  s[kSumX] = s[kSumX2] = 35000;  // x alternates 0 and 1
  s[kSumY] = s[kSumY2] = 35000;
  StatisticsAnswer a = ComputeStatistic(count, s, 17, 0);
  ASSERT_TRUE(a.ok);
  EXPECT_NEAR(std::sqrt(35000.0 * 35000 / (70000.0 * 69999)), a.value, 1e-15);
}

}  // namespace
}  // namespace quipular
