// The stack as the user sees it: up to four levels between two rules, X
// marked " RESULTADO ", each level also written to the calculation log.
#pragma once

#include "functions/operand_stack.h"

namespace quipular {

// Writes the stack display, trims the stack to four levels, logs the values.
// Called only with a non-empty stack.
void ShowStack(OperandStack& stack);
// Exchanges X and Y (when there are two), shows the stack and announces X.
void SwapXY(OperandStack& stack);
// Rolls the stack down, shows it and announces X.
void RollDown(OperandStack& stack);

}  // namespace quipular
