// Operand entry: the "Operando: " prompt, where numbers and commands are
// typed, echoed and spoken, and one command token is given back.
#pragma once

#include <string>

#include "functions/operand_stack.h"

namespace quipular {

// Reads one command token into answer (left unchanged when the decimals key
// is used while an example drives the entry).
void ReadOperand(OperandStack& stack, std::string& answer);

}  // namespace quipular
