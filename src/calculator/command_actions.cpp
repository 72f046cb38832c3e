// The actions of the command table: the plain ones of the command loop and
// the validating dispatcher, which checks operands before computing.
#include "calculator/command_actions.h"

#include <cmath>
#include <optional>
#include <string>

#include "calculator/calculation_log.h"
#include "calculator/command_loop.h"
#include "calculator/commands.h"
#include "calculator/date_entry.h"
#include "calculator/model.h"
#include "calculator/register_keys.h"
#include "console/key_codes.h"
#include "console/text_console.h"
#include "console/text_encoding.h"
#include "functions/arithmetic.h"
#include "functions/cash_flows.h"
#include "functions/depreciation.h"
#include "functions/number_text.h"
#include "functions/operand_stack.h"
#include "functions/registers.h"
#include "functions/statistics.h"
#include "functions/tvm.h"
#include "voice/named_sounds.h"
#include "voice/number_words.h"

namespace quipular {
namespace {

struct ErrorEntry {
  unsigned number;
  const char* message;
  const char* sound;
};

constexpr ErrorEntry kErrors[] = {
    {0, "ERRO 0. MATEMATICAS.", "DOerror0"},
    {2, "ERRO 2. ESTATISTICAS.", "DOerror2"},
    {5, "ERRO 5. JUROS COMPOSTOS.", "DOerror5"},
    {6, "Erro 6. REGISTROS DE ARMAZENAMENTO.", "DOerror6"},
    {8, "ERRO 8. CALENDARIO.", "DOerror8"},
};

// Pops X (and Y) into the operands; an empty stack leaves them.
void PopX(Operands& o) {
  PopValue(g_stack, o.x);
}
void PopY(Operands& o) {
  PopValue(g_stack, o.y);
}

bool Refuse(unsigned number) {
  ReportError(number);
  return false;
}

// The row's domain check on the operands.
bool Acceptable(char token, const Operands& o) {
  const Command* c = FindCommand(token);
  return !c || !c->domain || c->domain(o.y, o.x);
}

// An extra push keeps an overflow at the ceiling, as the result step does.
void PushBounded(double v) {
  PushValue(g_stack, BoundInfinity(v));
}

}  // namespace

void ReportError(unsigned number) {
  for (const ErrorEntry& e : kErrors) {
    if (e.number != number) continue;
    int column = CursorColumn();
    ConsoleWrite(e.message);
    ShowMessage(CursorRow(), column);
    PlaySoundKey(e.sound);
    ConsoleWriteLine();
    return;
  }
}

double Arithmetic(char token, double y, double x) {
  Registers& r = g_registers;
  if (!r.last_x_valid) {
    r.last_x = x;
    r.last_x_valid = true;
  }
  return ComputeArithmetic(token, y, x);
}

bool ValidateAndCompute(char token, Operands& o) {
  const Command* c = FindCommand(token);
  return c && c->checked && c->run && c->run(token, o);
}

bool RunArithmetic(char token, Operands& o) {
  PopX(o);
  PopY(o);
  o.result = Arithmetic(token, o.y, o.x);
  return true;
}

bool RunChangeSign(char, Operands& o) {
  o.y = 0;
  PopX(o);
  o.result = o.x * -1;
  ConsoleWriteLine();
  return true;
}

bool RunDateFormat(char token, Operands&) {
  DateFormatKey(std::string(1, token));
  return false;
}

bool RunDaysBetween(char token, Operands& o) {
  return DaysBetweenDates(std::string(1, token), o);
}

bool RunDateAfterDays(char token, Operands& o) {
  DateAfterDaysKey(std::string(1, token), o);
  return false;
}

bool RunWholeOrFraction(char token, Operands& o) {
  PopX(o);
  o.result = ComputeGeneral(token, o.x);
  return true;
}

bool RunRecall(char, Operands& o) {
  std::optional<double> value = RecallRegister();
  if (!value) return false;
  o.result = *value;
  ConsoleWriteLine();
  return true;
}

bool RunLastX(char, Operands& o) {
  Registers& r = g_registers;
  if (r.last_x_valid) o.result = r.last_x;
  ConsoleWriteLine();
  return true;
}

bool RunStore(char token, Operands& o) {
  PopX(o);
  LogCommand(std::string(1, token));
  bool stored = StoreRegister(o.x);
  PushValue(g_stack, o.x);
  if (stored) ConsoleWriteLine();
  return false;
}

bool RunClear(char token, Operands& o) {
  ClearRegisters(token, o);
  return false;
}

bool RunDivide(char token, Operands& o) {
  PopX(o);
  if (!Acceptable(token, o)) return Refuse(0);
  PopY(o);
  o.result = Arithmetic(token, o.y, o.x);
  return true;
}

bool RunOneNumber(char token, Operands& o) {
  PopX(o);
  if (!Acceptable(token, o)) return Refuse(0);
  o.result = ComputeGeneral(token, o.x);
  return true;
}

bool RunPower(char token, Operands& o) {
  PopX(o);
  PopY(o);
  if (!Acceptable(token, o)) return Refuse(0);
  o.result = Arithmetic(token, o.y, o.x);
  return true;
}

bool RunPercent(char token, Operands& o) {
  PopX(o);
  PopY(o);
  if (!Acceptable(token, o)) return Refuse(0);
  o.result = ComputePercent(token, o.y, o.x);
  // The base goes back under the result; plain % only when more lies below.
  if (token != '%' || !g_stack.levels.empty()) PushValue(g_stack, o.y);
  return true;
}

bool RunStoreFinancial(char token, Operands& o) {
  StoreFinancialRegister(g_registers, token, o.x);
  return false;
}

// Z+, Z- and Z- of the last pair: the new count is written with two
// decimals and said as a whole number.
bool RunAccumulate(char token, Operands& o) {
  Registers& r = g_registers;
  if (token != 'z' && r.stat_count == 0) return false;
  if (token != kCtrlZ) {
    PopX(o);
    PopY(o);
  }
  double n =
      AccumulateStatistics(r.stat_count, o.x, o.y, token, r.statistics, r.statistics_residue);
  ConsoleWriteLine(FixedText(n, 2));
  SpeakWords(NumberToWords(r.stat_count), false);
  return false;
}

bool RunStatistic(char token, Operands& o) {
  Registers& r = g_registers;
  StatisticsAnswer a =
      ComputeStatistic(r.stat_count, r.statistics, r.statistics_residue, token, o.x);
  if (!a.ok) return Refuse(2);
  if (a.has_below) PushValue(g_stack, a.below);
  o.result = a.value;
  return true;
}

bool RunCashFlow(char, Operands& o) {
  if (!AppendCashFlow(g_registers, o.x)) return Refuse(6);
  return false;
}

bool RunNpv(char, Operands& o) {
  Registers& r = g_registers;
  double npv = 0;
  if (!ComputeNpv(r.cf_next, r.cash_flows, r.financial[kI], npv)) return Refuse(5);
  o.result = npv;
  return true;
}

bool RunRepeatCashFlow(char, Operands& o) {
  if (!RepeatCashFlow(g_registers, o.x)) return Refuse(6);
  return false;
}

bool RunSimpleInterest(char, Operands& o) {
  Registers& r = g_registers;
  SimpleInterest s = ComputeSimpleInterest(r.financial);
  PushBounded(s.days365);
  PushBounded(s.minus_pv);
  o.result = s.days360;
  return true;
}

bool RunAmortization(char, Operands& o) {
  Registers& r = g_registers;
  Amortization a;
  if (!ComputeAmortization(r.financial, o.x, a)) return Refuse(5);
  PushValue(g_stack, a.principal);
  o.result = a.interest;
  return true;
}

bool RunTvm(char token, Operands& o) {
  Registers& r = g_registers;
  TvmAnswer a = ComputeTvm(r.financial, token, static_cast<int>(r.interest_mode));
  if (!a.ok) return Refuse(5);
  o.result = a.value;
  return true;
}

bool RunDepreciation(char token, Operands& o) {
  Registers& r = g_registers;
  double amount = 0;
  if (!ComputeDepreciation(r.financial, token, o.x, amount)) return Refuse(5);
  PushValue(g_stack, r.financial[kDepreciationRemainder]);
  o.result = amount;
  return true;
}

}  // namespace quipular
