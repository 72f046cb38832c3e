// The cash-flow list, NPV, IRR, AMORT and simple interest.
#include "functions/cash_flows.h"

#include <algorithm>
#include <cmath>

namespace quipular {
namespace {

constexpr double kMostPayments = 1000;  // AMORT amortizes at most this many at once

bool Whole(double v) {
  return v == std::trunc(v);
}

}  // namespace

bool AppendCashFlow(Registers& r, double amount) {
  if (r.cf_next < 1 || r.cf_next > kBlockSize) return false;
  r.cash_flows[r.cf_next - 1] = amount;
  ++r.cf_next;
  ++r.cf_count;
  r.financial[kN] = r.cf_count - 2;
  return true;
}

double LastCashFlow(const Registers& r) {
  return r.cf_next >= 2 ? r.cash_flows[r.cf_next - 2] : 0;
}

bool RepeatCashFlow(Registers& r, double times) {
  if (!Whole(times) || times < 0 || times > 99) return false;
  int copies = times > 1 ? static_cast<int>(times) - 1 : 0;
  if (copies == 0) return true;
  // The amount repeated is the last one entered; its copies take the next places.
  if (r.cf_next < 2 || r.cf_next - 1 + copies > kBlockSize) return false;
  for (r.nj_counter = 1; r.nj_counter < times; ++r.nj_counter) {
    r.cash_flows[r.cf_next - 1] = r.cash_flows[r.cf_next - 2];
    ++r.cf_next;
  }
  return true;
}

bool ComputeNpv(int next_position, const double (&list)[kBlockSize], double i, double& npv) {
  if (!(i * 100 > -100)) return false;
  long double q = 1 + static_cast<long double>(i), power = 1, sum = 0;
  // Up to and including the still empty place after the last amount.
  int last = next_position - 1 < kBlockSize ? next_position - 1 : kBlockSize - 1;
  for (int k = 0; k <= last; ++k) {
    sum += list[k] / power;
    power *= q;
  }
  double v = static_cast<double>(sum);
  if (!std::isfinite(v)) return false;
  npv = v;
  return true;
}

TvmAnswer NetPresentValue(Registers& r) {
  TvmAnswer answer;
  answer.ok = ComputeNpv(r.cf_next, r.cash_flows, r.financial[kI], answer.value);
  return answer;
}

namespace {

using Real = long double;

// The IRR is sought in s = ln(1 + rate), where every real s is a rate above
// -100 percent: the NPV is sum CF_k v^k with v = e^-s, a polynomial in v > 0.
struct Flows {
  const double* amounts;
  int count;

  Real ValueAt(Real s) const {
    Real v = std::exp(-s), sum = 0;
    for (int k = count - 1; k >= 0; --k) sum = sum * v + amounts[k];
    return sum;
  }
  int SignAt(Real s) const {
    Real value = ValueAt(s);
    return value > 0 ? 1 : value < 0 ? -1 : 0;
  }
};

// Beyond these the rate is -100 percent or infinite as a double.
constexpr Real kLowestLog = -36, kHighestLog = 700;
// Where several sign changes allow several rates: -99.99 to 1,000,000
// percent, looked at in this many steps.
constexpr Real kScanLow = -9.2103403719761836L, kScanHigh = 9.2104403669765169L;
constexpr int kScanSteps = 4096;

// Bisection between two points where the NPV has opposite signs: it cannot
// leave the bracket, and it stops when the bracket cannot shrink.
Real Bisect(const Flows& flows, Real low, Real high) {
  int low_sign = flows.SignAt(low);
  for (int step = 0; step < 400; ++step) {
    Real middle = low + (high - low) / 2;
    if (!(middle > low && middle < high)) break;
    int sign = flows.SignAt(middle);
    if (sign == 0) return middle;
    if (sign == low_sign)
      low = middle;
    else
      high = middle;
  }
  return low + (high - low) / 2;
}

// One sign change: exactly one root in s, where the NPV goes from the sign
// of the last amount (s far below 0) to that of the first (s far above).
bool OnlyRoot(const Flows& flows, int first_sign, Real& root) {
  Real low = -1, high = 1;
  int sign;
  while ((sign = flows.SignAt(high)) != first_sign) {
    if (sign == 0) {
      root = high;
      return true;
    }
    if (high >= kHighestLog) return false;
    high = std::min(high * 2, kHighestLog);
  }
  while ((sign = flows.SignAt(low)) == first_sign) {
    if (low <= kLowestLog) return false;
    low = std::max(low * 2, kLowestLog);
  }
  root = sign == 0 ? low : Bisect(flows, low, high);
  return true;
}

// More sign changes: the root in the scanned range, when there is one only.
bool ScannedRoot(const Flows& flows, Real& root) {
  int roots = 0;
  Real step = (kScanHigh - kScanLow) / kScanSteps;
  Real previous = kScanLow;
  int previous_sign = flows.SignAt(previous);
  if (previous_sign == 0) {
    ++roots;
    root = previous;
  }
  for (int k = 1; k <= kScanSteps; ++k) {
    Real s = kScanLow + step * k;
    int sign = flows.SignAt(s);
    if (sign == 0) {
      ++roots;
      root = s;
    } else if (previous_sign != 0 && sign != previous_sign) {
      ++roots;
      root = Bisect(flows, previous, s);
    }
    if (roots > 1) return false;
    previous = s;
    previous_sign = sign;
  }
  return roots == 1;
}

}  // namespace

TvmAnswer InternalRateOfReturn(Registers& r) {
  TvmAnswer answer;
  int count = std::min(r.cf_next - 1, kBlockSize);
  if (count < 2) return answer;
  Flows flows{r.cash_flows, count};
  int changes = 0, first_sign = 0, last_sign = 0;
  for (int k = 0; k < count; ++k) {
    double amount = r.cash_flows[k];
    if (!std::isfinite(amount)) return answer;
    int sign = amount > 0 ? 1 : amount < 0 ? -1 : 0;
    if (sign == 0) continue;
    if (first_sign == 0) first_sign = sign;
    if (last_sign != 0 && sign != last_sign) ++changes;
    last_sign = sign;
  }
  if (changes == 0) return answer;
  Real root = 0;
  if (!(changes == 1 ? OnlyRoot(flows, first_sign, root) : ScannedRoot(flows, root))) return answer;
  Real rate = std::expm1(root);
  double stored = static_cast<double>(rate), shown = static_cast<double>(rate * 100);
  if (!(stored > -1) || !std::isfinite(shown)) return answer;
  r.financial[kI] = stored;
  return {true, shown};
}

bool ComputeAmortization(double (&f)[kBlockSize], double payments, Amortization& out) {
  if (!(payments > 0) || !Whole(payments) || payments > kMostPayments) return false;
  long double balance = f[kPV], rate = f[kI], payment = f[kPMT];
  long double interest_total = 0, principal_total = 0;
  for (int k = 1; k <= payments; ++k) {
    long double interest = -(balance * rate);
    long double principal = payment - interest;
    balance += principal;
    interest_total += interest;
    principal_total += principal;
  }
  double new_balance = static_cast<double>(balance);
  Amortization a{static_cast<double>(principal_total), static_cast<double>(interest_total)};
  if (!std::isfinite(new_balance) || !std::isfinite(a.principal) || !std::isfinite(a.interest))
    return false;
  f[kN] += payments;
  f[kPV] = new_balance;
  f[kAmortInterest] = a.interest;
  out = a;
  return true;
}

SimpleInterest ComputeSimpleInterest(const double (&f)[kBlockSize]) {
  long double days = f[kN], pv = f[kPV], rate = f[kI];
  return {static_cast<double>(-(days / 365) * pv * rate), -f[kPV],
          static_cast<double>(-(days / 360) * pv * rate)};
}

StackedAnswer Amortize(Registers& r, double payments) {
  Amortization a;
  if (!ComputeAmortization(r.financial, payments, a)) return {};
  return {true, a.interest, 1, {a.principal}};
}

StackedAnswer SimpleInterestOn(Registers& r, double) {
  SimpleInterest s = ComputeSimpleInterest(r.financial);
  return {true, s.days360, 2, {s.days365, s.minus_pv}};
}

}  // namespace quipular
