// What a row of the command table holds: the command's key, what the
// screen, the voice and the log call it, how operand entry takes it, its
// action and computation, and how the menu and the key test name it.
#pragma once

#include "calculator/operands.h"
#include "functions/cash_flows.h"
#include "functions/registers.h"
#include "functions/statistics.h"
#include "functions/tvm.h"

namespace quipular {

// How operand entry takes a command key.
enum class EntryKind : unsigned char {
  kExponent,    // EEX: operand entry reads the exponent
  kChangeSign,  // CHS: the sign of the number typed, or of X, changes
  kDecimals,    // the number of decimals is read and set
  kWaits,       // written, then Enter carries it out; other keys are refused
  kMinus,       // the same, but refused once a number is being typed
  kWaitsFree,   // written, then Enter carries it out; other keys are not filtered
  kAtOnce,      // written and carried out at once
  kAtOnceLine,  // the same, with a line end (the clears)
  kStore,       // a register key: the number typed, or X, is stored at once
};

// Who writes the command's log name to the calculation log.
enum class Logged : unsigned char {
  kByLoop,    // the command loop, before carrying the command out
  kByAction,  // the command's action, at its own moment (after a pop, a prompt)
  kByEntry,   // operand entry, as part of the number it changes
};

// The menu's columns that list commands, in the menu's order.
enum class MenuColumnId : unsigned char {
  kNone,
  kGeneral,
  kStatistics,
  kFinancialRegisters,
  kFinancialFunctions,
  kPercentAndDates,
  kCommands,
};

// Where the menu lists a command: its column, and its place in it (items
// are shown by increasing place; the menu's own items have places too).
struct MenuPlace {
  MenuColumnId column = MenuColumnId::kNone;
  int place = 0;
};

// How the key test names a command; the key's name and the letter it spells
// come from the key itself.
struct KeyTestText {
  const char* function = nullptr;  // FUNÇÃO (UTF-8); null: the key test does not know it
  const char* kind = nullptr;      // TIPO (UTF-8)
  bool stores = false;             // "DOArmazena" is said before the sound: a register key
  const char* shift = "DOShift";   // said for Shift; the first groups have another recording
  const char* sound = nullptr;     // said instead of the command's sound
  const char* red = nullptr;       // written in red after FUNÇÃO
};

// What a command computes: one plain function of the computations, of the
// kind its action expects; the others stay null.
struct Computation {
  double (*one)(double x) = nullptr;            // a function of X
  double (*two)(double y, double x) = nullptr;  // an operation on Y and X
  TvmAnswer (*solve)(Registers& r) = nullptr;   // a value from the registers (TVM, NPV, IRR)
  StatisticsAnswer (*statistic)(const Registers& r, double x) = nullptr;
  bool (*depreciate)(double (&financial)[kBlockSize], double year, double& amount) = nullptr;
  void (*store)(Registers& r, double x) = nullptr;  // a financial register key
  double (*stored_as)(double x) = nullptr;  // a register key: the value said once typed (null: x)
  double (*recall)(const Registers& r) = nullptr;       // what RCL of the register key gives back
  bool (*cash_flow)(Registers& r, double x) = nullptr;  // CFj, Nj: false when refused
  double (*pair)(Registers& r, double x, double y) = nullptr;  // Z+, Z-: the new count
  void (*clear)(Registers& r) = nullptr;                       // a clear's register part
  StackedAnswer (*stacked)(Registers& r, double x) = nullptr;  // AMORT, INT: values and a result
};

// How a command is carried out: each names one action of the command
// actions, which pops the operands, checks them, computes with the row's
// computation and reports the row's error.
enum class Action : unsigned char {
  kNone,  // no action of its own: the result is pushed again
  kTwoNumbers,
  kDivide,
  kOneNumber,
  kPercent,
  kPercentKeepBase,
  kChangeSign,
  kDayMonthYear,
  kMonthDayYear,
  kDaysBetween,
  kDateAfterDays,
  kRecall,
  kLastX,
  kStore,
  kClear,
  kStoreFinancial,
  kAccumulate,
  kTakeAway,
  kStatistic,
  kCashFlow,
  kSolve,
  kStacked,
  kDepreciation,
  kCount
};

struct Command {
  char key;              // the command character (a named control code or a letter)
  const char* label;     // written by AnnounceCommand (UTF-8)
  const char* sound;     // the sound key
  const char* log_name;  // written to the calculation log (UTF-8)
  EntryKind entry;
  Logged logged;
  unsigned char operands;  // values the action takes from the stack
  Action run;
  Computation compute;
  // The domain check of its operands; null when any operands will do.
  bool (*domain)(double y, double x);
  unsigned char error;  // the error reported when the check or the computation refuses
  MenuPlace menu;
  const char* menu_name;   // the menu's text; null when the menu does not list it
  const char* menu_sound;  // said by the menu when it differs from `sound`
  const char* help;        // said by the menu's F1
  // How the key test names it; without it the key test calls the key invalid.
  KeyTestText key_test = {};
  // Chosen in the menu without "function inserted": it acts at once or asks
  // for more.
  bool menu_quiet = false;
  // The interactive examples compute with it (one value or two, by operands).
  bool example = false;
};

}  // namespace quipular
