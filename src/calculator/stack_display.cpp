// Stack display: the four forms of a value (fixed, scientific, short large,
// short large negative), the rules and the RESULTADO mark.
#include "calculator/stack_display.h"

#include <cmath>
#include <string>

#include "calculator/calculation_log.h"
#include "calculator/model.h"
#include "calculator/spoken_results.h"
#include "calculator/working_screen.h"
#include "console/text_console.h"
#include "functions/number_text.h"
#include "functions/registers.h"

namespace quipular {
namespace {

const std::string kRule(39, '-');
// Whole numbers from here up to the scientific range are shown short.
constexpr double kShortFrom = 1111111111.0;

// Writes the mantissa text, a red "E" and the exponent.
void WriteWithExponent(const std::string& mantissa, int exponent) {
  ConsoleWrite(mantissa);
  SetTextColour(4);
  ConsoleWrite("E");
  SetTextColour(15);
  ConsoleWrite(std::to_string(exponent));
}

void WriteValue(double v) {
  if (InScientificRange(v)) {
    std::string mantissa;
    int exponent = 0;
    ScientificParts(v, mantissa, exponent);
    WriteWithExponent(mantissa.substr(0, 5), exponent);
  } else if (v > kShortFrom && v < kScientificAbove) {
    std::string digits = FixedText(std::trunc(v), 0);
    WriteWithExponent(digits.substr(0, 1) + "." + digits.substr(1, 2),
                      static_cast<int>(digits.size()) - 1);
  } else if (v < -kShortFrom && v > -kScientificAbove) {
    std::string digits = FixedText(std::trunc(-v), 0);
    WriteWithExponent("-" + digits.substr(0, 1) + "." + digits.substr(1, 1),
                      static_cast<int>(digits.size()) - 1);
  } else {
    ConsoleWrite(FixedText(v, g_registers.decimals));
  }
}

}  // namespace

void ShowStack(OperandStack& stack) {
  ConsoleWriteLine(kRule);
  TrimStack(stack);
  if (CursorRow() > 23) ShowCalculationScreen();
  static const char kLabels[] = {'X', 'Y', 'Z', 'T'};
  int n = static_cast<int>(stack.levels.size());
  int x_row = 0, x_end = 0;
  for (int level = n - 1; level >= 0; --level) {
    MoveCursor(7, CursorRow());
    ConsoleWrite(std::string(1, kLabels[level]) + " = ");
    double v = stack.levels[stack.levels.size() - 1 - level];
    WriteValue(v);
    x_row = CursorRow();
    x_end = CursorColumn();
    ConsoleWriteLine();
    if (CursorRow() == x_row) --x_row;  // the line end scrolled the screen
    AppendToLog(" = " + FixedText(v, 2), true);
  }
  MoveCursor(x_end + 4, x_row);
  SetBackgroundColour(1);
  SetTextColour(15);
  ConsoleWriteLine(" RESULTADO ");
  ShowMessage(x_row);
  SetBackgroundColour(0);
  SetTextColour(15);
  ConsoleWriteLine(kRule + std::string(41, ' '));
}

void SwapXY(OperandStack& stack) {
  size_t n = stack.levels.size();
  if (n >= 2) std::swap(stack.levels[n - 1], stack.levels[n - 2]);
  ShowStack(stack);
  AnnounceResult(stack.levels.back());
}

void RollDown(OperandStack& stack) {
  RollValues(stack);
  ShowStack(stack);
  AnnounceResult(stack.levels.back());
}

}  // namespace quipular
