// Start-up order and the command cycle.
#include "calculator/command_loop.h"

#include <cmath>

#include "calculator/calculation_log.h"
#include "calculator/command_actions.h"
#include "calculator/commands.h"
#include "calculator/errors.h"
#include "calculator/model.h"
#include "calculator/operand_entry.h"
#include "calculator/spoken_results.h"
#include "calculator/stack_display.h"
#include "calculator/working_screen.h"
#include "console/server_notices.h"
#include "console/text_console.h"
#include "functions/arithmetic.h"
#include "functions/number_text.h"
#include "functions/operand_stack.h"
#include "functions/registers.h"
#include "voice/named_sounds.h"

namespace quipular {

OperandStack g_stack;
Registers g_registers;

namespace {

// Keeps a result that is not a finite number off the stack: an infinity
// becomes the ceiling with its sign, a NaN is a mathematical error.
bool Finite(double& v) {
  if (std::isnan(v)) {
    ReportError(0);
    return false;
  }
  v = BoundInfinity(v);
  return true;
}

// Result step: push, show and announce the result.
void PushResult(Operands& operands) {
  if (!Finite(operands.result)) return;
  PushValue(g_stack, operands.result);
  ShowStack(g_stack);
  AnnounceResult(operands.result);
}

// Carries out one token; true when the result is to be pushed.
bool Dispatch(const std::string& token, Operands& operands) {
  const Command* command = token.size() == 1 ? FindCommand(token[0]) : nullptr;
  if (!command) {
    LogCommand(LogLine(token));
    operands.x = NumberValue(token);
    PushValue(g_stack, operands.x);
    ShowStack(g_stack);
    KeepDecimalsFor(operands.x);
    SpeakNumber(operands.x);
    return false;
  }
  if (command->logged == Logged::kByLoop) LogCommand(LogLine(token));
  return RunCommand(*command, operands);
}

// Tells what a server's client found (a display or a speech server that
// stopped answering), between two commands, on the screen and aloud.
void ShowServerNotices() {
  for (const ServerNotice& notice : TakeServerNotices()) {
    ConsoleWriteLine(notice.text);
    if (!notice.sound.empty()) PlaySoundKey(notice.sound);
  }
}

}  // namespace

bool IsOperandToken(const std::string& token) {
  return token.size() != 1 || !FindCommand(token[0]);
}

void RunCalculator() {
  EmptyStack(g_stack);
  Registers& r = g_registers;
  r.cf_next = r.cf_count = 1;
  SetDecimals(2);
  ClearScreen();
  SetConsoleTitle("QUIPULAR");
  ShowStartupScreen();
  Operands operands;
  ClearRegisters(ClearAllRegisters, operands);
  StartCalculationLog();
  std::string token;
  ShowServerNotices();
  ReadOperand(g_stack, operands, token);
  token = token.substr(0, 15);
  // An example run before the first command leaves no result to push again.
  operands.result = 0;
  for (;;) {
    if (token == "\x1b")
      ClearRegisters(ClearAllRegisters, operands);
    else if (Dispatch(token, operands))
      PushResult(operands);
    ShowServerNotices();
    ReadOperand(g_stack, operands, token);
    token = token.substr(0, 15);
  }
}

}  // namespace quipular
