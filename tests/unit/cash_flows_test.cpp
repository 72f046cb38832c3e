// The cash-flow list, NPV, AMORT and simple interest on their own.
#include "functions/cash_flows.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace quipular {
namespace {

std::vector<double> Flows(const Registers& r) {
  return std::vector<double>(r.cash_flows, r.cash_flows + r.cf_next - 1);
}

TEST(CashFlows, AppendAndRepeat) {
  Registers r;
  ASSERT_TRUE(AppendCashFlow(r, 100));
  EXPECT_EQ(0, r.financial[kN]);
  ASSERT_TRUE(AppendCashFlow(r, 50));
  EXPECT_EQ(1, r.financial[kN]);
  ASSERT_TRUE(RepeatCashFlow(r, 3));
  EXPECT_EQ((std::vector<double>{100, 50, 50, 50}), Flows(r));
  EXPECT_EQ(1, r.financial[kN]);  // Nj leaves n and the count alone
  EXPECT_EQ(3, r.cf_count);
  ASSERT_TRUE(RepeatCashFlow(r, 0));
  ASSERT_TRUE(RepeatCashFlow(r, 1));
  EXPECT_EQ(4u, Flows(r).size());
}

TEST(CashFlows, RefusalsChangeNothing) {
  Registers r;
  EXPECT_FALSE(RepeatCashFlow(r, 2));  // nothing to repeat yet
  EXPECT_EQ(1, r.cf_next);
  AppendCashFlow(r, 7);
  for (double bad : {100.0, -1.0, 2.5}) EXPECT_FALSE(RepeatCashFlow(r, bad)) << bad;
  EXPECT_EQ(2, r.cf_next);
  // 100 places: CF0 to CF99; the 101st amount is stored nowhere.
  ASSERT_TRUE(RepeatCashFlow(r, 99));
  ASSERT_TRUE(AppendCashFlow(r, 8));
  EXPECT_EQ(100u, Flows(r).size());
  EXPECT_FALSE(AppendCashFlow(r, 9));
  EXPECT_FALSE(RepeatCashFlow(r, 2));
  EXPECT_EQ(101, r.cf_next);
  EXPECT_EQ(3, r.cf_count);
  EXPECT_EQ(1, r.financial[kN]);
  // Copies that would run past the last place are refused whole.
  Registers s;
  for (int k = 0; k < 95; ++k) AppendCashFlow(s, k);
  EXPECT_FALSE(RepeatCashFlow(s, 7));
  EXPECT_EQ(96, s.cf_next);
  EXPECT_TRUE(RepeatCashFlow(s, 6));
  EXPECT_EQ(101, s.cf_next);
}

TEST(CashFlows, NetPresentValue) {
  double list[kBlockSize] = {-1000, 500, 600};
  struct Case {
    int next;
    double i, expected;
  };
  const Case cases[] = {
      {4, 0.10, -1000 + 500 / 1.1 + 600 / 1.21},
      {4, 0, 100},
      {4, -0.5, -1000 + 500 / 0.5 + 600 / 0.25},
  };
  for (const Case& c : cases) {
    double npv = 0;
    ASSERT_TRUE(ComputeNpv(c.next, list, c.i, npv));
    EXPECT_NEAR(c.expected, npv, 1e-12 * std::fabs(c.expected));
  }
  double npv = 0;
  EXPECT_FALSE(ComputeNpv(4, list, -1, npv));
  EXPECT_FALSE(ComputeNpv(4, list, -1.5, npv));
  // A full list sums its 100 places and reads none beyond.
  double full[kBlockSize];
  for (double& v : full) v = 1;
  ASSERT_TRUE(ComputeNpv(101, full, 0, npv));
  EXPECT_EQ(100, npv);
}

TEST(Amortization, PaymentByPayment) {
  double f[kBlockSize] = {};
  f[kI] = 0.01;
  f[kPV] = 1000;
  f[kPMT] = -100;
  Amortization a;
  ASSERT_TRUE(ComputeAmortization(f, 1, a));
  EXPECT_DOUBLE_EQ(-10, a.interest);
  EXPECT_DOUBLE_EQ(-90, a.principal);
  EXPECT_DOUBLE_EQ(910, f[kPV]);
  EXPECT_EQ(1, f[kN]);
  EXPECT_DOUBLE_EQ(-10, f[kAmortInterest]);
  ASSERT_TRUE(ComputeAmortization(f, 1, a));
  EXPECT_DOUBLE_EQ(-9.1, a.interest);
  EXPECT_DOUBLE_EQ(-90.9, a.principal);
  EXPECT_EQ(2, f[kN]);
}

// Many payments at once agree with the balance of the annuity after them.
TEST(Amortization, AgreesWithTheBalance) {
  for (double k : {12.0, 360.0, 1000.0}) {
    double f[kBlockSize] = {};
    f[kI] = 0.005;
    f[kPV] = 100000;
    f[kPMT] = -599.55052515275239;
    Amortization a;
    ASSERT_TRUE(ComputeAmortization(f, k, a));
    double q = std::pow(1.005, k);
    double balance = 100000 * q + f[kPMT] * (q - 1) / 0.005;
    EXPECT_NEAR(balance, f[kPV], 1e-12 * 100000 * q);
    EXPECT_NEAR(balance - 100000, a.principal, 1e-12 * 100000 * q);
    EXPECT_NEAR(k * f[kPMT] - a.principal, a.interest, 1e-12 * 100000 * q);
  }
}

TEST(Amortization, Refusals) {
  for (double bad : {0.0, 2.5, -1.0, 1001.0}) {
    double f[kBlockSize] = {};
    f[kN] = 3;
    f[kI] = 0.01;
    f[kPV] = 1000;
    Amortization a;
    EXPECT_FALSE(ComputeAmortization(f, bad, a)) << bad;
    EXPECT_EQ(3, f[kN]);
    EXPECT_EQ(1000, f[kPV]);
  }
}

TEST(SimpleInterest, BothYears) {
  double f[kBlockSize] = {};
  f[kN] = 60;
  f[kI] = 0.07;
  f[kPV] = 450;
  SimpleInterest s = ComputeSimpleInterest(f);
  EXPECT_DOUBLE_EQ(-5.25, s.days360);
  EXPECT_DOUBLE_EQ(-450, s.minus_pv);
  EXPECT_DOUBLE_EQ(-60.0 / 365 * 450 * 0.07, s.days365);
}

}  // namespace
}  // namespace quipular
