// Carrying a command out: the one dispatcher that runs a row's action, and
// the clears.
#pragma once

#include "calculator/command_row.h"

namespace quipular {

// The one validating dispatcher, for the command loop and the examples:
// carries the command out on the operands (pops, checks, computes once);
// true when operands.result is to be pushed.
bool RunCommand(const Command& command, Operands& operands);

// A clear: the register part `clear`, the operands and the stack, and the
// calculation screen drawn again.
void ClearRegisters(void (*clear)(Registers&), Operands& operands);

}  // namespace quipular
