// Start-up order and the command cycle.
#include "calculator/command_loop.h"

#include <cmath>

#include "calculator/calculation_log.h"
#include "calculator/command_actions.h"
#include "calculator/commands.h"
#include "calculator/model.h"
#include "calculator/operand_entry.h"
#include "calculator/session.h"
#include "calculator/spoken_results.h"
#include "calculator/stack_display.h"
#include "calculator/working_screen.h"
#include "console/key_codes.h"
#include "console/text_console.h"
#include "functions/arithmetic.h"
#include "functions/number_text.h"
#include "functions/operand_stack.h"
#include "functions/registers.h"

namespace quipular {

Session g_session;
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

// Result step: push, show and announce the result register.
void PushResult() {
  Registers& r = g_registers;
  if (!Finite(r.result)) return;
  PushValue(g_stack, r.result);
  ShowStack(g_stack);
  AnnounceResult(r.result);
}

// Carries out one token; true when the result is to be pushed.
bool Dispatch(const std::string& token) {
  Registers& r = g_registers;
  const Command* command = token.size() == 1 ? FindCommand(token[0]) : nullptr;
  if (!command) {
    LogCommand(token);
    r.scratch_x = NumberValue(token);
    PushValue(g_stack, r.scratch_x);
    ShowStack(g_stack);
    g_registers.decimals = SpeakNumber(r.scratch_x, g_registers.decimals);
    return false;
  }
  if (command->logged) LogCommand(token);
  // A command with no action of its own pushes the result again.
  return command->run ? command->run(command->key) : true;
}

}  // namespace

bool IsOperandToken(const std::string& token) {
  return token.size() != 1 || !FindCommand(token[0]);
}

void ClearRegisters(char token) {
  ClearRegisterBlocks(g_registers, token);
  EmptyStack(g_stack);
  ShowCalculationScreen();
}

void RunCalculator() {
  EmptyStack(g_stack);
  Registers& r = g_registers;
  r.cf_next = r.cf_count = 1;
  r.decimals = 2;
  g_session.label_background = 4;
  ClearScreen();
  SetConsoleTitle("QUIPULAR");
  ShowStartupScreen();
  ClearRegisters(0);
  StartCalculationLog();
  std::string token;
  ReadOperand(g_stack, token);
  token = token.substr(0, 15);
  r.result = 0;
  for (;;) {
    if (token == "\x1b")
      ClearRegisters(27);
    else if (Dispatch(token))
      PushResult();
    ReadOperand(g_stack, token);
    token = token.substr(0, 15);
  }
}

}  // namespace quipular
