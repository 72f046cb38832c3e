// Depreciation of year X by declining balance (DB), straight line (SL) and
// the sum of the years' digits (SOYD), from the financial registers: n the
// life, i the declining-balance factor, PV the cost, FV the salvage value.
#pragma once

#include "functions/registers.h"

namespace quipular {

// The depreciation of `year` by declining balance, straight line or the sum
// of the years' digits; the remaining depreciable value goes to the
// remainder slot. False, with nothing changed, unless 0 < n <= 1e11 and
// year is a whole number above 0, or when an amount is not finite.
bool DecliningBalance(double (&financial)[kBlockSize], double year, double& amount);
bool StraightLine(double (&financial)[kBlockSize], double year, double& amount);
bool SumOfYearsDigits(double (&financial)[kBlockSize], double year, double& amount);

}  // namespace quipular
