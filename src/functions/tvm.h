// Time value of money: the equation PV*C + PMT*A + FV*B = 0 that links n, i,
// PV, PMT and FV, solved for any one of them in the three interest modes.
#pragma once

#include "functions/registers.h"

namespace quipular {

// How a fractional number of periods is treated.
enum InterestMode { kWholePeriods = 0, kCompoundFraction = 1, kSimpleFraction = 2 };

struct TvmAnswer {
  bool ok = false;   // false: error 5, and no register has changed
  double value = 0;  // the register computed; i as a percentage
};

// Solves for the register `unknown` (kN, kI, kPV, kPMT or kFV) from the
// other four, the payment mode and the interest mode, and stores it (i as
// the fraction). CALCULO n answers every problem with a finite count (with
// no interest, -(PV + FV)/PMT) and rounds a fractional count up to the next
// whole period; CALCULO i answers only when its iteration has reached a
// root, and a rate below 1e-12 percent is 0.
TvmAnswer ComputeTvm(double (&financial)[kBlockSize], FinancialSlot unknown, int interest_mode);

// The same on the registers, in their interest mode: one for each unknown.
TvmAnswer SolveN(Registers& r);
TvmAnswer SolveI(Registers& r);
TvmAnswer SolvePV(Registers& r);
TvmAnswer SolvePMT(Registers& r);
TvmAnswer SolveFV(Registers& r);

// The residual PV*C + PMT*A + FV*B of the equation at rate i, for tests and
// the i solver's convergence check.
long double TvmResidual(const double (&financial)[kBlockSize], long double i, int interest_mode);

}  // namespace quipular
