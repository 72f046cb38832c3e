// What each command does when the command loop carries it out, the
// validating dispatcher among them: the rows of the command table point here.
#pragma once

namespace quipular {

// Writes the message of error 0, 2, 5, 6 or 8 and plays its prompt; any
// other number does nothing.
void ReportError(unsigned number);

// y op x for "+", "-", "*", "/" and y^x; the first such operation since a
// clear records x as last X.
double Arithmetic(char token, double y, double x);

// The validating dispatcher for one checked command: takes its operands from
// the stack, checks them, computes; true when the result register holds an
// answer to push.
bool ValidateAndCompute(char token);

// Each is a row's `run`: true when the result register is to be pushed.
bool RunArithmetic(char token);
bool RunChangeSign(char token);
bool RunDateFormat(char token);
bool RunDaysBetween(char token);
bool RunDateAfterDays(char token);
bool RunWholeOrFraction(char token);
bool RunRecall(char token);
bool RunLastX(char token);
bool RunStore(char token);
bool RunClear(char token);
bool RunDivide(char token);
bool RunOneNumber(char token);
bool RunPower(char token);
bool RunPercent(char token);
bool RunStoreFinancial(char token);
bool RunAccumulate(char token);
bool RunStatistic(char token);
bool RunCashFlow(char token);
bool RunNpv(char token);
bool RunRepeatCashFlow(char token);
bool RunSimpleInterest(char token);
bool RunAmortization(char token);
bool RunTvm(char token);
bool RunDepreciation(char token);

}  // namespace quipular
