// Operand entry: the "Operando: " prompt, where numbers and commands are
// typed, echoed and spoken, and one command token is given back.
#pragma once

#include <string>

#include "functions/operand_stack.h"

namespace quipular {

// What operand entry can open of the guidance: handed in from the program's
// top, so that the calculator names none of it.
constexpr unsigned char kNothingChosen = 0;

struct GuidanceEntryPoints {
  // Runs the menu; answers the chosen key code, "u", "U" or "o" after an
  // example, kNothingChosen when nothing was chosen.
  unsigned char (*run_menu)() = nullptr;
  // Runs the key test until Ctrl+T or Esc.
  void (*run_key_test)() = nullptr;
};

void SetGuidanceEntryPoints(const GuidanceEntryPoints& entry_points);

// Who drives operand entry: the calculator, or an example's decimals step,
// where the decimals key ends the entry at once.
enum class EntryMode { kCalculator, kExampleDecimals };

// Reads one command token into answer (left unchanged when the decimals key
// ends an example's decimals step).
void ReadOperand(OperandStack& stack, std::string& answer, EntryMode mode = EntryMode::kCalculator);

}  // namespace quipular
