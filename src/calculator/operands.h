// The operands a command works on, kept from one command to the next.
#pragma once

namespace quipular {

// X and Y as a command last took them from the stack (a typed number, EEX
// and the store keys set X), and the last result. A command that finds the
// stack empty works on what is left here, and a command with no action of
// its own pushes the result again. The command loop owns them and hands
// them down; a clear resets them.
struct Operands {
  double x = 0, y = 0;
  double result = 0;
};

}  // namespace quipular
