// What the user sees of the calculator: the operand stack and the registers,
// one of each for the program. RunQuipular starts both afresh; the clears
// reset the register blocks.
#pragma once

#include "functions/operand_stack.h"
#include "functions/registers.h"

namespace quipular {

extern OperandStack g_stack;
extern Registers g_registers;

}  // namespace quipular
