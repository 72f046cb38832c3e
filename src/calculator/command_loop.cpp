// Start-up order and the command cycle.
#include "calculator/command_loop.h"

#include <cmath>
#include <cstring>

#include "calculator/calculation_log.h"
#include "calculator/date_entry.h"
#include "calculator/key_map.h"
#include "calculator/operand_entry.h"
#include "calculator/register_keys.h"
#include "calculator/session.h"
#include "calculator/spoken_results.h"
#include "calculator/stack_display.h"
#include "console/key_codes.h"
#include "console/text_console.h"
#include "functions/arithmetic.h"
#include "functions/number_text.h"
#include "functions/operand_stack.h"
#include "functions/registers.h"
#include "functions/validation.h"
#include "guidance/screens.h"

namespace quipular {

Session g_session;

namespace {

// The 59 command tokens; every other token is an operand.
constexpr char kCommandTokens[] =
    "+-*/%yYxX\x18"
    "eE\x05"
    "fgGuUnN\x0e"
    "iI\x09"
    "pPmM\x0a"
    "lL\x0c"
    "vVkK\x0b"
    "jJzZ\x1a"
    "D\x04"
    "hHwW\x17"
    "qQ\x11"
    "trRsaA\x01";

// The tokens that go through the validating dispatcher.
constexpr char kValidatedTokens[] =
    "/xX\x18"
    "E\x05"
    "f%yYn\x0e"
    "i\x09"
    "pmvjNIPMVJkK\x0b"
    "lL\x0c"
    "zZ\x1a"
    "qQ\x11"
    "wW\x17";

// Keeps a result that is not a finite number off the stack: an infinity
// becomes the ceiling with its sign, a NaN is a mathematical error.
bool Finite(double& v) {
  if (std::isnan(v)) {
    ReportError(0);
    return false;
  }
  if (std::isinf(v)) v = v > 0 ? kCeiling : -kCeiling;
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
  if (IsOperandToken(token)) {
    LogCommand(token);
    r.scratch_x = NumberValue(token);
    PushValue(g_stack, r.scratch_x);
    ShowStack(g_stack);
    SpeakNumber(r.scratch_x);
    return false;
  }
  char t = token[0];
  switch (t) {
    case '+':
    case '-':
    case '*':
      LogCommand(token);
      PopValue(g_stack, r.scratch_x);
      PopValue(g_stack, r.scratch_y);
      r.result = ComputeArithmetic(t, r.scratch_y, r.scratch_x);
      return true;
    case 't':
      LogCommand(token);
      r.scratch_y = 0;
      PopValue(g_stack, r.scratch_x);
      r.result = r.scratch_x * -1;
      ConsoleWriteLine();
      return true;
    case 'D':
    case kCtrlD:
      DateFormatKey(token);
      return false;
    case 'h':
      return DaysBetweenDates(token);
    case 'H':
      DateAfterDaysKey(token);
      return false;
    case 'g':
    case 'G':
      LogCommand(token);
      PopValue(g_stack, r.scratch_x);
      r.result = ComputeGeneral(t, r.scratch_x);
      return true;
    case 'r':
      LogCommand(token);
      r.result = RecallRegister();
      if (r.store_abandoned) return false;
      ConsoleWriteLine();
      return true;
    case 'R':
      LogCommand(token);
      if (r.last_x_valid) r.result = r.last_x;
      ConsoleWriteLine();
      return true;
    case 's': {
      PopValue(g_stack, r.scratch_x);
      LogCommand(token);
      int flag = StoreRegister(r.scratch_x);
      PushValue(g_stack, r.scratch_x);
      if (flag == 0 && !r.store_abandoned) ConsoleWriteLine();
      return false;
    }
    case 'a':
    case 'A':
    case kCtrlA:
      LogCommand(token);
      ClearRegisters(t);
      return false;
    default:
      if (std::strchr(kValidatedTokens, t)) {
        LogCommand(token);
        return ValidateAndCompute(t);
      }
      return true;  // a menu answer with no row of its own pushes the result again
  }
}

}  // namespace

bool IsOperandToken(const std::string& token) {
  if (token.size() != 1) return true;
  return std::memchr(kCommandTokens, token[0], sizeof kCommandTokens - 1) == nullptr;
}

void ClearRegisters(char token) {
  ClearRegisterBlocks(token);
  EmptyStack(g_stack);
  ShowCalculationScreen();
}

void RunCalculator() {
  InitCommandNames();
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
