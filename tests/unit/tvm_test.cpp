// The TVM solver on its own: each register solved in the three interest
// modes and both payment modes, and the problems it must refuse.
#include "functions/tvm.h"

#include <gtest/gtest.h>

#include <cmath>

namespace quipular {
namespace {

struct Registers5 {
  double f[kBlockSize] = {};
  Registers5(double n, double i, double pv, double pmt, double fv, double begin = 0) {
    f[kN] = n;
    f[kI] = i;
    f[kPV] = pv;
    f[kPMT] = pmt;
    f[kFV] = fv;
    f[kPaymentMode] = begin;
  }
};

constexpr double kTolerance = 1e-12;

void ExpectNear(double expected, double actual, double relative = kTolerance) {
  EXPECT_NEAR(expected, actual, relative * std::fabs(expected)) << "expected " << expected;
}

struct Solve {
  const char* what;
  FinancialSlot token;
  int mode;
  Registers5 registers;
  double expected;  // i as a percentage
};

// Expected values worked to 25 digits outside the program.
TEST(Tvm, SolvesEachRegister) {
  const Solve cases[] = {
      {"mortgage END", kPMT, 0, {360, 0.005, 100000, 0, 0}, -599.5505251527523945914612},
      {"mortgage BEG", kPMT, 0, {360, 0.005, 100000, 0, 0, 1}, -596.5676867191566115337923},
      {"annuity due", kPV, 0, {36, 0.01, 0, -250, 0, 1}, 7602.145021911710906438663},
      {"savings", kFV, 0, {120, 0.0075, -5000, -200, 0}, 50959.64080728511716461412},
      {"whole mode, fractional n", kPV, 0, {10.5, 0.08, 0, -1000, 10000}, 2471.566811278463792},
      {"compound fraction PV", kPV, 1, {10.5, 0.08, 0, -1000, 10000}, 1999.697419395667219},
      {"compound fraction BEG", kPV, 1, {10.5, 0.08, 0, -1000, 10000, 1}, 2516.239726324086329},
      {"compound fraction PMT", kPMT, 1, {24.25, 0.01, 5000, 0, 0}, -235.9535857339223215},
      {"compound fraction FV", kFV, 1, {24.25, 0.01, 5000, -200, 0}, -969.7927811401591513},
      {"simple fraction PV", kPV, 2, {10.5, 0.08, 0, -1000, 10000}, 1998.217805860191528},
      {"simple fraction BEG", kPV, 2, {10.5, 0.08, 0, -1000, 10000, 1}, 2514.377913471071836},
      {"simple fraction PMT", kPMT, 2, {24.25, 0.01, 5000, 0, 0}, -235.9557795191143542},
      {"simple fraction FV", kFV, 2, {24.25, 0.01, 5000, -200, 0}, -969.8519551279318973},
      {"rate of a loan", kI, 0, {10, 0, 700, -100, 0}, 7.072820836629517761},
      {"rate of growth", kI, 0, {32, 0, -6000, 0, 10000}, 1.609139492227691106},
      {"rate, compound fraction", kI, 1, {10.5, 0, 7348.195120047153197, -1000, -2000}, 8},
      {"rate, simple fraction", kI, 2, {10.5, 0, 7858.918160602046610, -1000, -2000, 1}, 8},
      {"periods rounded up", kN, 0, {0, 0.01, 1000, -100, 0}, 11},
      {"savings plan periods", kN, 2, {0, 0.0026, -775, -50, 4000}, 58},
      {"sinking fund periods", kN, 0, {0, 0.01, 0, -100, 10000}, 70},
      {"balloon loan periods", kN, 0, {0, 0.01, 10000, -200, -5000}, 41},
      {"savings BEG periods", kN, 0, {0, 0.005, -2000, -150, 20000, 1}, 90},
      {"a payment above PV", kN, 0, {0, 0.01, 1000, -1000, 0}, 2},
      {"periods with no interest", kN, 0, {0, 0, 1000, -100, 0}, 10},
      {"periods with no interest rounded up", kN, 1, {0, 0, 1000, -300, 0}, 4},
      {"periods with no interest and a balance", kN, 0, {0, 0, 1000, -100, -400}, 6},
      {"periods with no interest, backwards", kN, 0, {0, 0, 100, 10, 0}, -10},
      {"a count below zero rounded up", kN, 0, {0, 0, 100, 30, 0}, -3},
      {"a count below zero with interest rounded up", kN, 0, {0, 0.1, 100, 0, -50}, -7},
  };
  for (const Solve& c : cases) {
    SCOPED_TRACE(c.what);
    Registers5 r = c.registers;
    TvmAnswer a = ComputeTvm(r.f, c.token, c.mode);
    ASSERT_TRUE(a.ok);
    ExpectNear(c.expected, a.value, c.token == kI ? 1e-10 : kTolerance);
    int slot = c.token;
    if (c.token == kI)
      ExpectNear(a.value / 100, r.f[slot]);
    else
      EXPECT_EQ(a.value, r.f[slot]);
  }
}

// A count computed from a payment that was itself computed from a whole
// count gives that count back, not one more.
TEST(Tvm, PeriodsRecoveredWhole) {
  for (double n : {12.0, 60.0, 360.0, 480.0}) {
    for (double begin : {0.0, 1.0}) {
      Registers5 r(n, 0.0041666666666666666, 250000, 0, -1000, begin);
      ASSERT_TRUE(ComputeTvm(r.f, kPMT, 0).ok);
      r.f[kN] = 0;
      TvmAnswer a = ComputeTvm(r.f, kN, 0);
      ASSERT_TRUE(a.ok);
      EXPECT_EQ(n, a.value);
    }
  }
}

// The rate solver answers only when its last step sits on a root, so a
// problem with no rate, or one the iteration cannot reach, is refused
// rather than answered with wherever the steps stopped.
TEST(Tvm, RateRefusedUnlessConverged) {
  const Registers5 refused[] = {
      {5, 0, 100, 100, 100},                // every amount received: no rate
      {0, 0, 0, 0, 0},                      // nothing to solve
      {-5, 0, -100, 0, 200},                // PMT = 0 with a negative n
      {386, 0, -96966, -1859, 1603110, 1},  // steps run away from 1 percent
  };
  for (const Registers5& p : refused) {
    Registers5 r = p;
    EXPECT_FALSE(ComputeTvm(r.f, kI, 0).ok);
    EXPECT_EQ(p.f[kI], r.f[kI]);
  }
  // PMT = 0 with a positive n runs.
  Registers5 r(5, 0, -100, 0, 200);
  TvmAnswer a = ComputeTvm(r.f, kI, 0);
  ASSERT_TRUE(a.ok);
  ExpectNear(14.86983549970350, a.value, 1e-12);
}

// An interest-free loan: the rate is zero to within rounding, not an error.
TEST(Tvm, RateOfZero) {
  const Registers5 loans[] = {
      {10, 0, -1000, 100, 0},       {36, 0, -3600, 100, 0},      {12, 0, 1000, -50, -400, 1},
      {360, 0, 180000, -500, 0},    {7, 0, -0.07, 0.01, 0},      {48, 0, 10000, -125, -4000},
      {120, 0, -1e6, 5000, 400000}, {3, 0, 2.7e9, -0.9e9, 0, 1},
  };
  for (const Registers5& loan : loans) {
    for (int mode = 0; mode < 3; ++mode) {
      Registers5 r = loan;
      TvmAnswer a = ComputeTvm(r.f, kI, mode);
      ASSERT_TRUE(a.ok) << "mode " << mode << " n " << loan.f[kN];
      EXPECT_EQ(0, a.value) << "mode " << mode << " n " << loan.f[kN];
      EXPECT_EQ(0, r.f[kI]);
    }
  }
}

TEST(Tvm, RefusedProblemsChangeNothing) {
  struct Refusal {
    const char* what;
    FinancialSlot token;
    Registers5 registers;
    int first_mode;  // refused in this interest mode and those after it
  };
  const Refusal cases[] = {
      {"PV with n = 0", kPV, {0, 0.01, 0, -100, 0}, 0},
      {"FV with i = 0", kFV, {10, 0, 100, -10, 0}, 0},
      {"PMT at -100 percent", kPMT, {10, -1, 100, 0, 0}, 0},
      {"n with PMT paying only the interest", kN, {0, 0.01, 1000, -10, 0}, 0},
      {"n with PMT = FV i 100", kN, {0, 0.01, 0, 50, 5000}, 0},
      {"n at -100 percent", kN, {0, -1, 0, 50, 100}, 0},
      {"n with no interest and no payment", kN, {0, 0, 100, 0, -100}, 0},
      {"n from the logarithm of a negative ratio", kN, {0, 0.1, 100, 5, 100}, 0},
      {"FV beyond the range of a double", kFV, {1e6, 1, 100, 0, 0}, 0},
      {"PMT with no whole period", kPMT, {0.5, 0.01, 100, 0, 0}, 1},
      {"i when no term depends on the rate", kI, {0, 0, -100, 0, 100}, 0},
      {"i with no whole period and no PV", kI, {0.5, 0, 0, -10, 10}, 1},
  };
  for (const Refusal& c : cases) {
    SCOPED_TRACE(c.what);
    for (int mode = c.first_mode; mode < 3; ++mode) {
      Registers5 r = c.registers;
      EXPECT_FALSE(ComputeTvm(r.f, c.token, mode).ok) << "mode " << mode;
      for (int s = 0; s < kBlockSize; ++s) EXPECT_EQ(c.registers.f[s], r.f[s]);
    }
  }
}

// The modes differ only in how the fractional period grows PV.
TEST(Tvm, FractionalPeriodByMode) {
  Registers5 base(10.5, 0.1, -1000, 0, 0);
  double fv[3];
  for (int mode = 0; mode < 3; ++mode) {
    Registers5 r = base;
    ASSERT_TRUE(ComputeTvm(r.f, kFV, mode).ok);
    fv[mode] = r.f[kFV];
  }
  ExpectNear(1000 * std::pow(1.1, 10.5), fv[0]);
  ExpectNear(1000 * std::pow(1.1, 10) * std::pow(1.1, 0.5), fv[1]);
  ExpectNear(1000 * std::pow(1.1, 10) * (1 + 0.1 * 0.5), fv[2]);
  EXPECT_NEAR(0, static_cast<double>(TvmResidual(Registers5(10.5, 0, -1000, 0, fv[2]).f, 0.1L, 2)),
              1e-9);
}

}  // namespace
}  // namespace quipular

namespace quipular {
namespace {

// Loans with a fractional period have one rate that solves them; whatever
// the interest mode's slope, CALCULO i finds it (the problems are made by
// CALCULO FV from a known rate).
TEST(Tvm, RateOfEveryLoanWithAFractionalPeriodIsFound) {
  uint32_t seed = 12345;
  auto next = [&seed](double low, double high) {
    seed = seed * 1664525u + 1013904223u;
    return low + (high - low) * (seed >> 8) / double(1 << 24);
  };
  for (int mode : {kCompoundFraction, kSimpleFraction}) {
    int found = 0;
    for (int t = 0; t < 300; ++t) {
      double f[kBlockSize] = {};
      f[kN] = std::round(next(2, 400) * 100) / 100;
      f[kI] = next(0.001, 0.03);
      f[kPV] = std::round(next(1000, 500000));
      f[kPMT] = -std::round(next(0.2, 0.9) * f[kPV] * f[kI] * 2);
      f[kPaymentMode] = t % 2;
      double rate = f[kI];
      if (!ComputeTvm(f, kFV, mode).ok || f[kFV] >= 0) continue;  // one sign change only
      f[kI] = 0;
      TvmAnswer answer = ComputeTvm(f, kI, mode);
      ASSERT_TRUE(answer.ok) << "mode " << mode << " n " << f[kN] << " PV " << f[kPV] << " PMT "
                             << f[kPMT] << " FV " << f[kFV];
      EXPECT_NEAR(f[kI], rate, 1e-9 * rate);
      ++found;
    }
    EXPECT_GT(found, 100);
  }
}

}  // namespace
}  // namespace quipular
