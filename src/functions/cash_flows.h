// Cash flows, their net present value and internal rate of return,
// amortization of payments and simple interest: computations on the
// registers, with no input or output.
#pragma once

#include "functions/registers.h"
#include "functions/tvm.h"

namespace quipular {

// CFj: the amount goes to the next place of the list and n becomes the
// number of flows after CF0. False, with nothing changed, when the list's
// 100 places are full.
bool AppendCashFlow(Registers& r, double amount);

// Nj: the last amount occurs `times` times in a row (0 and 1 leave it
// once). False, with nothing changed, when `times` is not whole from 0 to
// 99, when there is no amount to repeat, or when the copies would not fit.
bool RepeatCashFlow(Registers& r, double times);

// RCL of the cash-flow key: the last amount entered, 0 before any.
double LastCashFlow(const Registers& r);

// The sum of CF_k / (1 + i)^k over the places before next_position. False
// when i is -100 percent or less, or the sum is not finite.
bool ComputeNpv(int next_position, const double (&list)[kBlockSize], double i, double& npv);

// NPV of the registers' cash flows at their rate i; not ok when ComputeNpv
// refuses.
TvmAnswer NetPresentValue(Registers& r);

// IRR: the rate, above -100 percent, at which the NPV of the cash flows
// entered is 0; stored in i (as the fraction) and answered as a percentage.
// Not ok, with nothing changed, when the amounts do not change sign, when no
// such rate is found, or when the amounts change sign more than once and
// the rates from -99.99 to 1,000,000 percent hold more than one root.
TvmAnswer InternalRateOfReturn(Registers& r);

struct Amortization {
  double principal = 0;  // part of the payments that reduced the balance
  double interest = 0;   // part that paid interest
};

// AMORT of `payments` payments from the balance PV at rate i with payment
// PMT: n grows by the payments, PV receives the new balance and the AMORT
// interest slot the interest part. False, with nothing changed, unless
// payments is whole from 1 to 1000 and the amounts are finite.
bool ComputeAmortization(double (&financial)[kBlockSize], double payments, Amortization& out);

struct SimpleInterest {
  double days365 = 0;   // interest on a 365-day year
  double minus_pv = 0;  // the principal, with its sign turned
  double days360 = 0;   // interest on a 360-day year
};

// Interest on PV at the annual rate i for n days.
SimpleInterest ComputeSimpleInterest(const double (&financial)[kBlockSize]);

// A result and the values that go on the stack before it, lowest first.
struct StackedAnswer {
  bool ok = false;  // false: the command's error, and no register has changed
  double value = 0;
  int below_count = 0;
  double below[2] = {};
};

// AMORT of x payments on the registers: the principal part below, the
// interest part the result; not ok when ComputeAmortization refuses.
StackedAnswer Amortize(Registers& r, double payments);

// Simple interest on the registers (x is not used): the 365-day interest
// and -PV below, the 360-day interest the result.
StackedAnswer SimpleInterestOn(Registers& r, double x);

}  // namespace quipular
