// What each command does when the command loop carries it out, the
// validating dispatcher among them: the rows of the command table point here.
#pragma once

#include "calculator/operands.h"

namespace quipular {

// Writes the message of error 0, 2, 5, 6 or 8 and plays its prompt; any
// other number does nothing.
void ReportError(unsigned number);

// y op x for "+", "-", "*", "/" and y^x; the first such operation since a
// clear records x as last X.
double Arithmetic(char token, double y, double x);

// The validating dispatcher for one checked command: takes its operands from
// the stack, checks them, computes; true when the result is to be pushed.
bool ValidateAndCompute(char token, Operands& operands);

// Each is a row's `run`: true when the operands' result is to be pushed.
bool RunArithmetic(char token, Operands& operands);
bool RunChangeSign(char token, Operands& operands);
bool RunDateFormat(char token, Operands& operands);
bool RunDaysBetween(char token, Operands& operands);
bool RunDateAfterDays(char token, Operands& operands);
bool RunWholeOrFraction(char token, Operands& operands);
bool RunRecall(char token, Operands& operands);
bool RunLastX(char token, Operands& operands);
bool RunStore(char token, Operands& operands);
bool RunClear(char token, Operands& operands);
bool RunDivide(char token, Operands& operands);
bool RunOneNumber(char token, Operands& operands);
bool RunPower(char token, Operands& operands);
bool RunPercent(char token, Operands& operands);
bool RunStoreFinancial(char token, Operands& operands);
bool RunAccumulate(char token, Operands& operands);
bool RunStatistic(char token, Operands& operands);
bool RunCashFlow(char token, Operands& operands);
bool RunNpv(char token, Operands& operands);
bool RunRepeatCashFlow(char token, Operands& operands);
bool RunSimpleInterest(char token, Operands& operands);
bool RunAmortization(char token, Operands& operands);
bool RunTvm(char token, Operands& operands);
bool RunDepreciation(char token, Operands& operands);

}  // namespace quipular
