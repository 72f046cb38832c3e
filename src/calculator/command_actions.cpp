// The actions of the command table: each pops what its command works on,
// checks it, computes with the row's computation and reports the row's
// error when refused.
#include "calculator/command_actions.h"

#include <iterator>
#include <optional>
#include <string>

#include "calculator/date_entry.h"
#include "calculator/errors.h"
#include "calculator/model.h"
#include "calculator/register_keys.h"
#include "calculator/working_screen.h"
#include "console/text_console.h"
#include "console/text_encoding.h"
#include "functions/arithmetic.h"
#include "functions/cash_flows.h"
#include "functions/number_text.h"
#include "functions/operand_stack.h"
#include "voice/named_sounds.h"
#include "voice/number_words.h"

namespace quipular {
namespace {

// Pops X (and Y) into the operands; an empty stack leaves them.
void PopX(Operands& o) {
  PopValue(g_stack, o.x);
}
void PopY(Operands& o) {
  PopValue(g_stack, o.y);
}

bool Refuse(const Command& c) {
  ReportError(c.error);
  return false;
}

// The row's domain check on the operands.
bool Acceptable(const Command& c, const Operands& o) {
  return !c.domain || c.domain(o.y, o.x);
}

// An extra push keeps an overflow at the ceiling, as the result step does.
void PushBounded(double v) {
  PushValue(g_stack, BoundInfinity(v));
}

// The first two-number operation since a clear records X as last X.
void NoteLastX(double x) {
  Registers& r = g_registers;
  if (r.last_x_valid) return;
  r.last_x = x;
  r.last_x_valid = true;
}

bool RunTwoNumbers(const Command& c, Operands& o) {
  PopX(o);
  PopY(o);
  if (!Acceptable(c, o)) return Refuse(c);
  NoteLastX(o.x);
  o.result = c.compute.two(o.y, o.x);
  return true;
}

// Division checks X before it takes Y: a division by zero leaves Y.
bool RunDivide(const Command& c, Operands& o) {
  PopX(o);
  if (!Acceptable(c, o)) return Refuse(c);
  PopY(o);
  NoteLastX(o.x);
  o.result = c.compute.two(o.y, o.x);
  return true;
}

bool RunOneNumber(const Command& c, Operands& o) {
  PopX(o);
  if (!Acceptable(c, o)) return Refuse(c);
  o.result = c.compute.one(o.x);
  return true;
}

// The base goes back under the result: for % only when more lies below,
// for D% and %T always.
bool RunPercent(const Command& c, Operands& o) {
  PopX(o);
  PopY(o);
  if (!Acceptable(c, o)) return Refuse(c);
  o.result = c.compute.two(o.y, o.x);
  if (!g_stack.levels.empty()) PushValue(g_stack, o.y);
  return true;
}

bool RunPercentKeepBase(const Command& c, Operands& o) {
  PopX(o);
  PopY(o);
  if (!Acceptable(c, o)) return Refuse(c);
  o.result = c.compute.two(o.y, o.x);
  PushValue(g_stack, o.y);
  return true;
}

bool RunChangeSign(const Command&, Operands& o) {
  o.y = 0;
  PopX(o);
  o.result = o.x * -1;
  ConsoleWriteLine();
  return true;
}

bool RunDayMonthYear(const Command& c, Operands&) {
  DateFormatKey(true, Cp1252(c.log_name));
  return false;
}

bool RunMonthDayYear(const Command& c, Operands&) {
  DateFormatKey(false, Cp1252(c.log_name));
  return false;
}

bool RunDaysBetween(const Command& c, Operands& o) {
  return DaysBetweenDates(Cp1252(c.log_name), o);
}

bool RunDateAfterDays(const Command& c, Operands& o) {
  DateAfterDaysKey(Cp1252(c.log_name), o);
  return false;
}

bool RunRecall(const Command&, Operands& o) {
  std::optional<double> value = RecallRegister();
  if (!value) return false;
  o.result = *value;
  ConsoleWriteLine();
  return true;
}

bool RunLastX(const Command&, Operands& o) {
  Registers& r = g_registers;
  if (r.last_x_valid) o.result = r.last_x;
  ConsoleWriteLine();
  return true;
}

bool RunStore(const Command&, Operands& o) {
  PopX(o);
  bool stored = StoreRegister(o.x);
  PushValue(g_stack, o.x);
  if (stored) ConsoleWriteLine();
  return false;
}

bool RunClear(const Command& c, Operands& o) {
  ClearRegisters(c.compute.clear, o);
  return false;
}

bool RunStoreFinancial(const Command& c, Operands& o) {
  c.compute.store(g_registers, o.x);
  return false;
}

// Z+, Z- and Z- of the last pair (which takes nothing from the stack): the
// new count is written with two decimals and said as a whole number. Z-
// with no pairs does nothing.
bool RunAccumulate(const Command& c, Operands& o) {
  Registers& r = g_registers;
  if (c.operands == 2) {
    PopX(o);
    PopY(o);
  }
  double n = c.compute.pair(r, o.x, o.y);
  ConsoleWriteLine(FixedText(n, 2));
  SpeakWords(NumberToWords(r.stat_count), false);
  return false;
}

bool RunTakeAway(const Command& c, Operands& o) {
  if (g_registers.stat_count == 0) return false;
  return RunAccumulate(c, o);
}

bool RunStatistic(const Command& c, Operands& o) {
  StatisticsAnswer a = c.compute.statistic(g_registers, o.x);
  if (!a.ok) return Refuse(c);
  if (a.has_below) PushValue(g_stack, a.below);
  o.result = a.value;
  return true;
}

bool RunCashFlow(const Command& c, Operands& o) {
  if (!c.compute.cash_flow(g_registers, o.x)) return Refuse(c);
  return false;
}

bool RunSolve(const Command& c, Operands& o) {
  TvmAnswer a = c.compute.solve(g_registers);
  if (!a.ok) return Refuse(c);
  o.result = a.value;
  return true;
}

// The values under the result go on first, an infinity bounded.
bool RunStacked(const Command& c, Operands& o) {
  StackedAnswer a = c.compute.stacked(g_registers, o.x);
  if (!a.ok) return Refuse(c);
  for (int k = 0; k < a.below_count; ++k) PushBounded(a.below[k]);
  o.result = a.value;
  return true;
}

bool RunDepreciation(const Command& c, Operands& o) {
  Registers& r = g_registers;
  double amount = 0;
  if (!c.compute.depreciate(r.financial, o.x, amount)) return Refuse(c);
  PushValue(g_stack, r.financial[kDepreciationRemainder]);
  o.result = amount;
  return true;
}

// The actions, by Action.
using Run = bool (*)(const Command&, Operands&);
constexpr Run kRuns[] = {
    nullptr,         RunTwoNumbers,      RunDivide,        RunOneNumber,
    RunPercent,      RunPercentKeepBase, RunChangeSign,    RunDayMonthYear,
    RunMonthDayYear, RunDaysBetween,     RunDateAfterDays, RunRecall,
    RunLastX,        RunStore,           RunClear,         RunStoreFinancial,
    RunAccumulate,   RunTakeAway,        RunStatistic,     RunCashFlow,
    RunSolve,        RunStacked,         RunDepreciation,
};
static_assert(std::size(kRuns) == static_cast<size_t>(Action::kCount));

}  // namespace

bool RunCommand(const Command& c, Operands& o) {
  // A command with no action of its own pushes the result again.
  Run run = kRuns[static_cast<size_t>(c.run)];
  return run ? run(c, o) : true;
}

void ClearRegisters(void (*clear)(Registers&), Operands& operands) {
  clear(g_registers);
  operands = Operands{};
  EmptyStack(g_stack);
  ShowCalculationScreen();
}

}  // namespace quipular
