// Numbered errors and the validating dispatcher: takes the operands of a
// command from the stack, checks them, computes, and says whether the result
// register is to be pushed.
#pragma once

namespace quipular {

// Writes the message of error 0, 2, 5, 6 or 8 and plays its prompt; any
// other number does nothing.
void ReportError(unsigned number);

// True when the result register holds an answer for the loop to push.
bool ValidateAndCompute(char token);

// Stores the operand scratch X in the financial register of a store key
// ("n", Ctrl+N, "i", Ctrl+I, "p", "m", "v").
void StoreFinancialRegister(char token, double x);

}  // namespace quipular
