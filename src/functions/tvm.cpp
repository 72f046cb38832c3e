// The TVM solver: closed forms for n, PV, PMT and FV; Newton's method from
// 1 percent for i, with the slope of each interest mode. Everything is
// worked in extended precision; a value that is not finite at any point
// (0/0, the logarithm of a negative number, an overflowing power) refuses
// the problem instead of reaching a register.
#include "functions/tvm.h"

#include <algorithm>
#include <cmath>

namespace quipular {
namespace {

using Real = long double;

constexpr int kNewtonSteps = 101;
// Further steps with the true slope when the first walk has not arrived.
constexpr int kFinishingSteps = 60;
// The i solver's answer stands when the residual is this small beside the
// largest of the three terms of the equation.
constexpr Real kResidualTolerance = 1e-9L;
// A Newton step this small (in the fraction per period) leaves the rate
// where it is: it has converged, and stepping on would only divide rounding
// noise by the slope, which near a rate of 0 is itself noise.
constexpr Real kSettledStep = 1e-18L;
// A period count this close to a whole number is that number: rounding in
// its inputs must not add a period.
constexpr Real kWholeTolerance = 1e-9L;
// A rate found below this many percent is 0.
constexpr Real kZeroRatePercent = 1e-12L;

// A whole exponent by multiplication (so a negative base is allowed), any
// other through the logarithm.
Real Power(Real base, Real exponent) {
  if (exponent == std::trunc(exponent)) return std::pow(base, exponent);
  return std::exp(exponent * std::log(base));
}

struct Problem {
  Real n, pv, pmt, fv;
  Real s;      // 1 when payments fall at the beginning of each period
  int mode;    // the interest mode
  Real whole;  // N: the periods that compound whole
  Real frac;   // F: the fractional period of modes 1 and 2

  Problem(const double (&f)[kBlockSize], int interest_mode)
      : n(f[kN]), pv(f[kPV]), pmt(f[kPMT]), fv(f[kFV]), s(f[kPaymentMode]), mode(interest_mode) {
    whole = mode == kWholePeriods ? n : std::trunc(n);
    frac = mode == kWholePeriods ? 0 : n - whole;
  }
};

// The factors of the equation at rate i, and what the slope needs.
struct Factors {
  Real a;          // present value of 1 paid each period
  Real b;          // present value of 1 due after N periods: q^-N
  Real c;          // growth of PV over the fractional period
  Real one_minus;  // 1 - q^-N
};

Factors At(const Problem& p, Real i) {
  Real q = 1 + i;
  Factors k;
  Real log_q = 0;
  if (q > 0) {
    // From log1p, and expm1 while q^-N is near 1, so that a small rate
    // keeps its digits.
    log_q = std::log1p(i);
    Real l = p.whole * log_q;
    k.b = std::exp(-l);
    k.one_minus = std::fabs(l) < 0.5L ? -std::expm1(-l) : 1 - k.b;
  } else {
    k.b = 1 / Power(q, p.whole);
    k.one_minus = 1 - k.b;
  }
  k.a = (1 + i * p.s) * k.one_minus / i;
  if (p.mode == kCompoundFraction)
    k.c = q > 0 ? std::exp(p.frac * log_q) : Power(q, p.frac);
  else if (p.mode == kSimpleFraction)
    k.c = 1 + i * p.frac;
  else
    k.c = 1;
  return k;
}

Real Residual(const Problem& p, const Factors& k) {
  return p.pv * k.c + p.pmt * k.a + p.fv * k.b;
}

// The slope the iteration steps with. In modes 1 and 2 it takes the full n
// as its multiplier and only approximates the derivative; the answer is the
// root, which the convergence check confirms.
Real Slope(const Problem& p, const Factors& k, Real i) {
  Real q = 1 + i;
  Real next = k.b / q;  // q^(-N-1)
  Real f = k.one_minus * p.s + p.n * (1 + i * p.s) * next;
  Real g = p.n * p.fv * next;
  Real d = (p.pmt / i) * (f - k.a) - g;
  if (p.mode == kCompoundFraction) d += p.n * p.pv * k.c / q;  // q^(F-1)
  if (p.mode == kSimpleFraction) d += (1 + i) * p.pv;
  return d;
}

// Writes the register and the answer only when both are finite doubles.
void Store(double& slot, Real value, TvmAnswer& answer, double shown) {
  double v = static_cast<double>(value);
  if (!std::isfinite(v) || !std::isfinite(shown)) return;
  slot = v;
  answer = {true, shown};
}

TvmAnswer FindN(double (&f)[kBlockSize], const Problem& p) {
  TvmAnswer answer;
  Real i = f[kI];
  if (!(i > -1)) return answer;
  Real n;
  if (i == 0) {
    // No interest: the payments alone carry PV to -FV.
    if (p.pmt == 0) return answer;
    n = -(p.pv + p.fv) / p.pmt;
  } else {
    // q^-n = (P + PV*i) / (P - FV*i) with P the payment grown by the mode;
    // n is finite exactly when that ratio is a positive number.
    Real payment = (1 + i * p.s) * p.pmt;
    Real denominator = payment + p.pv * i;
    if (denominator == 0) return answer;
    // ln((P - FV*i) / (P + PV*i)), written as log1p of the ratio less 1.
    Real ratio_less_one = -i * (p.fv + p.pv) / denominator;
    if (!(ratio_less_one > -1)) return answer;
    n = std::log1p(ratio_less_one) / std::log1p(i);
  }
  if (!std::isfinite(n)) return answer;
  Real nearest = std::round(n);
  if (std::fabs(n - nearest) <= kWholeTolerance * std::max<Real>(1, std::fabs(n)))
    n = nearest;
  else
    n = std::ceil(n);  // up, also for a count below zero
  Store(f[kN], n, answer, static_cast<double>(n));
  return answer;
}

// Whether rate i solves the equation: above -100 percent, with a residual
// near zero beside the largest of its terms.
bool OnRoot(const Problem& p, Real i) {
  if (!(i > -1) || !std::isfinite(i)) return false;
  Factors k = At(p, i);
  Real scale = std::fabs(p.pv * k.c) + std::fabs(p.pmt * k.a) + std::fabs(p.fv * k.b);
  Real residual = Residual(p, k);
  return scale > 0 && std::isfinite(residual) && std::fabs(residual) <= kResidualTolerance * scale;
}

TvmAnswer FindI(double (&f)[kBlockSize], const Problem& p) {
  TvmAnswer answer;
  if (p.pmt == 0 && p.n < 0) return answer;
  // With no whole period and nothing growing over a fraction, no term of
  // the equation depends on the rate: every rate or none solves it.
  if (p.whole == 0 && (p.frac == 0 || p.pv == 0)) return answer;
  Real i = 0.01L;
  for (int step = 0; step < kNewtonSteps; ++step) {
    Factors k = At(p, i);
    Real residual = Residual(p, k);
    if (residual == 0) break;  // a root exactly
    Real slope = Slope(p, k, i);
    if (!std::isfinite(residual) || !std::isfinite(slope) || slope == 0) return answer;
    Real change = residual / slope;
    if (!std::isfinite(change)) return answer;
    if (std::fabs(change) <= kSettledStep) break;
    i -= change;
  }
  // The last step must have landed on a root: a rate of -100 percent or
  // less, or a residual that is not near zero, is no answer. Where the
  // slopes of the fractional-period modes have only crawled towards the
  // root, Newton's method with the equation's true slope finishes the walk;
  // a problem the first walk solved never comes here, so its answer stands.
  if (!OnRoot(p, i)) {
    for (int step = 0; step < kFinishingSteps && std::isfinite(i) && i > -1; ++step) {
      Real h = std::max<Real>(1e-7L * std::fabs(i), 1e-10L);
      Real slope = (Residual(p, At(p, i + h)) - Residual(p, At(p, i - h))) / (2 * h);
      Real change = Residual(p, At(p, i)) / slope;
      if (!std::isfinite(change)) break;
      i -= change;
      if (std::fabs(change) <= kSettledStep) break;
    }
    if (!OnRoot(p, i)) return answer;
  }
  // A rate this small is the rounding of the steps around a root of 0.
  if (std::fabs(i * 100) < kZeroRatePercent) i = 0;
  Store(f[kI], i, answer, static_cast<double>(i * 100));
  return answer;
}

}  // namespace

long double TvmResidual(const double (&financial)[kBlockSize], long double i, int interest_mode) {
  Problem p(financial, interest_mode);
  return Residual(p, At(p, i));
}

TvmAnswer ComputeTvm(double (&f)[kBlockSize], FinancialSlot unknown, int interest_mode) {
  Problem p(f, interest_mode);
  if (unknown == kN) return FindN(f, p);
  if (unknown == kI) return FindI(f, p);
  TvmAnswer answer;
  Real i = f[kI];
  if (p.n == 0 || i == 0 || !(i > -1)) return answer;
  Factors k = At(p, i);
  Real value;
  if (unknown == kPV)
    value = -(p.pmt * k.a + p.fv * k.b) / k.c;
  else if (unknown == kPMT)
    value = -(p.pv * k.c + p.fv * k.b) / k.a;
  else if (unknown == kFV)
    value = -(p.pmt * k.a + p.pv * k.c) / k.b;
  else
    return answer;
  Store(f[unknown], value, answer, static_cast<double>(value));
  return answer;
}

TvmAnswer SolveN(Registers& r) {
  return ComputeTvm(r.financial, kN, static_cast<int>(r.interest_mode));
}
TvmAnswer SolveI(Registers& r) {
  return ComputeTvm(r.financial, kI, static_cast<int>(r.interest_mode));
}
TvmAnswer SolvePV(Registers& r) {
  return ComputeTvm(r.financial, kPV, static_cast<int>(r.interest_mode));
}
TvmAnswer SolvePMT(Registers& r) {
  return ComputeTvm(r.financial, kPMT, static_cast<int>(r.interest_mode));
}
TvmAnswer SolveFV(Registers& r) {
  return ComputeTvm(r.financial, kFV, static_cast<int>(r.interest_mode));
}

}  // namespace quipular
