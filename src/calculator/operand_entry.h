// Operand entry: the "Operando: " prompt, where numbers and commands are
// typed, echoed and spoken, and one command token is given back.
#pragma once

#include <string>

#include "calculator/operands.h"
#include "functions/operand_stack.h"

namespace quipular {

// What operand entry can open of the guidance: handed in from the program's
// top, so that the calculator names none of it.
constexpr unsigned char kNothingChosen = 0;

// The menu's answer: the key code chosen, and whether the menu drew its list
// of examples over the screen after an example (the prompt's line is then to
// be written again).
struct MenuAnswer {
  unsigned char key = kNothingChosen;
  bool over_examples = false;
};

struct GuidanceEntryPoints {
  // Runs the menu, whose examples work on the operands; answers the chosen
  // key code, "u", "U" or "o" after an example, kNothingChosen when nothing
  // was chosen.
  MenuAnswer (*run_menu)(Operands& operands) = nullptr;
  // Runs the key test until Ctrl+T or Esc.
  void (*run_key_test)() = nullptr;
};

void SetGuidanceEntryPoints(const GuidanceEntryPoints& entry_points);

// Who drives operand entry: the calculator, an example's step (its labels on
// the example's colour), or an example's decimals step, where the decimals
// key also ends the entry at once.
enum class EntryMode { kCalculator, kExample, kExampleDecimals };

// Reads one command token into answer (left unchanged when the decimals key
// ends an example's decimals step). EEX and the store keys leave the number
// they carry in the operands' X; EEX with nothing typed takes X from there.
void ReadOperand(OperandStack& stack, Operands& operands, std::string& answer,
                 EntryMode mode = EntryMode::kCalculator);

}  // namespace quipular
