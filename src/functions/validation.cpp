// ReportError and ValidateAndCompute.
#include "functions/validation.h"

#include <cmath>
#include <string>

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

bool Whole(double v) {
  return v == std::trunc(v);
}

// Pops X (and Y) into the scratch values; an empty stack leaves them.
void PopX() {
  PopValue(g_stack, g_registers.scratch_x);
}
void PopY() {
  PopValue(g_stack, g_registers.scratch_y);
}

bool Refuse(unsigned number) {
  ReportError(number);
  return false;
}

// The domain checks of the one- and two-number functions; true when the
// operands may be computed with.
bool Acceptable(char token, double y, double x) {
  switch (token) {
    case 'x':
      return x != 0;
    case 'X':
      return x >= 0;
    case 24:
      return x > 0;
    case 5:
      return !(x > 50 || y > 100000 || (!Whole(x) && y < 0) || (x <= 0 && y == 0));
    case 'E':
      return x <= 300;
    case 'f':
      return x >= 0 && Whole(x) && x <= 200;
    case 'y':
    case 'Y':
      return y != 0;
    default:
      return true;
  }
}

// An extra push keeps an overflow at the ceiling, as the result step does.
void PushBounded(double v) {
  if (std::isinf(v)) v = v > 0 ? kCeiling : -kCeiling;
  PushValue(g_stack, v);
}

// Z+, Z- and Z- of the last pair: the new count is written with two
// decimals and said as a whole number.
void Accumulate(char token) {
  Registers& r = g_registers;
  if (token != 'z' && r.stat_count == 0) return;
  if (token != 26) {
    PopX();
    PopY();
  }
  double n = AccumulateStatistics(r.stat_count, r.scratch_x, r.scratch_y, token, r.statistics,
                                  r.statistics_residue);
  ConsoleWriteLine(FixedText(n, 2));
  SpeakWords(NumberToWords(r.stat_count), false);
}

bool Statistic(char token) {
  Registers& r = g_registers;
  StatisticsAnswer a =
      ComputeStatistic(r.stat_count, r.statistics, r.statistics_residue, token, r.scratch_x);
  if (!a.ok) return Refuse(2);
  if (a.has_below) PushValue(g_stack, a.below);
  r.result = a.value;
  return true;
}

}  // namespace

void ReportError(unsigned number) {
  for (const ErrorEntry& e : kErrors) {
    if (e.number != number) continue;
    ConsoleWrite(e.message);
    PlaySoundKey(e.sound);
    ConsoleWriteLine();
    return;
  }
}

void StoreFinancialRegister(char token, double x) {
  double* f = g_registers.financial;
  switch (token) {
    case 'n':
      f[kN] = x;
      break;
    case 14:
      f[kN] = 12 * x;
      break;
    case 'i':
      f[kI] = x / 100;
      break;
    case 9:
      f[kI] = x / 1200;
      break;
    case 'p':
      f[kPV] = x;
      break;
    case 'm':
      f[kPMT] = x;
      break;
    case 'v':
      f[kFV] = x;
      break;
    default:
      break;
  }
}

bool ValidateAndCompute(char token) {
  Registers& r = g_registers;
  switch (token) {
    case '/':
      PopX();
      if (r.scratch_x == 0) return Refuse(0);
      PopY();
      r.result = ComputeArithmetic(token, r.scratch_y, r.scratch_x);
      return true;
    case 'x':
    case 'X':
    case 24:
    case 'f':
    case 'E':
      PopX();
      if (!Acceptable(token, 0, r.scratch_x)) return Refuse(0);
      r.result = ComputeGeneral(token, r.scratch_x);
      return true;
    case 5:
      PopX();
      PopY();
      if (!Acceptable(token, r.scratch_y, r.scratch_x)) return Refuse(0);
      r.result = ComputeArithmetic(token, r.scratch_y, r.scratch_x);
      return true;
    case '%':
    case 'y':
    case 'Y':
      PopX();
      PopY();
      if (!Acceptable(token, r.scratch_y, r.scratch_x)) return Refuse(0);
      r.result = ComputePercent(token, r.scratch_y, r.scratch_x);
      // The base goes back under the result; plain % only when more lies below.
      if (token != '%' || !g_stack.levels.empty()) PushValue(g_stack, r.scratch_y);
      return true;
    case 'n':
    case 14:
    case 'i':
    case 9:
    case 'p':
    case 'm':
    case 'v':
      StoreFinancialRegister(token, r.scratch_x);
      return false;
    case 'z':
    case 'Z':
    case 26:
      Accumulate(token);
      return false;
    case 'q':
    case 'Q':
    case 17:
    case 'w':
    case 'W':
    case 23:
      return Statistic(token);
    case 'k':
      if (!AppendCashFlow(r, r.scratch_x)) return Refuse(6);
      return false;
    case 'K': {
      double npv = 0;
      if (!ComputeNpv(r.cf_next, r.cash_flows, r.financial[kI], npv)) return Refuse(5);
      r.result = npv;
      return true;
    }
    case 11:
      if (!RepeatCashFlow(r, r.scratch_x)) return Refuse(6);
      return false;
    case 'j': {
      SimpleInterest s = ComputeSimpleInterest(r.financial);
      PushBounded(s.days365);
      PushBounded(s.minus_pv);
      r.result = s.days360;
      return true;
    }
    case 'J': {
      Amortization a;
      if (!ComputeAmortization(r.financial, r.scratch_x, a)) return Refuse(5);
      PushValue(g_stack, a.principal);
      r.result = a.interest;
      return true;
    }
    case 'N':
    case 'I':
    case 'P':
    case 'M':
    case 'V': {
      TvmAnswer a = ComputeTvm(r.financial, token, static_cast<int>(r.interest_mode));
      if (!a.ok) return Refuse(5);
      r.result = a.value;
      return true;
    }
    case 'l':
    case 'L':
    case 12: {
      double amount = 0;
      if (!ComputeDepreciation(r.financial, token, r.scratch_x, amount)) return Refuse(5);
      PushValue(g_stack, r.financial[kDepreciationRemainder]);
      r.result = amount;
      return true;
    }
    default:
      return false;
  }
}

}  // namespace quipular
