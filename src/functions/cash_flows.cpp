// The cash-flow list, NPV, AMORT and simple interest.
#include "functions/cash_flows.h"

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

}  // namespace quipular
