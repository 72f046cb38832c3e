// The command loop: start-up, then one command token after another, each
// carried out, pushed, shown and announced.
#pragma once

#include <string>

#include "calculator/operands.h"

namespace quipular {

// True when the token is a number text or empty (no command).
bool IsOperandToken(const std::string& token);

// Starts the calculator and runs it until the program ends (by unwinding).
[[noreturn]] void RunCalculator();

}  // namespace quipular
