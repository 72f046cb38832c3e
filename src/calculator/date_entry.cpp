// Date entry and the calendar keys.
#include "calculator/date_entry.h"

#include <cmath>

#include "calculator/calculation_log.h"
#include "calculator/errors.h"
#include "calculator/model.h"
#include "calculator/spoken_results.h"
#include "calculator/working_screen.h"
#include "console/key_codes.h"
#include "console/text_console.h"
#include "console/text_encoding.h"
#include "functions/dates.h"
#include "functions/number_text.h"
#include "functions/operand_stack.h"
#include "voice/named_sounds.h"

namespace quipular {
namespace {

struct DateField {
  const char* label;      // written white on blue (UTF-8)
  const char* log_label;  // written to the calculation log before the digits
  const char* sound;      // the prompt
  size_t digits;          // the most digits the field takes
  double DateRecord::*value;
  bool (*valid)(double);
};

constexpr DateField kDayMonthYear[] = {
    {"Día: ", "dia: ", "DOFechaDia", 2, &DateRecord::day, IsValidDay},
    {"Mes: ", "Mes: ", "DOFechaMes", 2, &DateRecord::month, IsValidMonth},
    {"Ano: ", "Ano: ", "DOFechaAno", 4, &DateRecord::year, IsValidYear},
};
constexpr DateField kMonthDayYear[] = {
    {"Mes: ", "Mes: ", "DOFechaMes", 2, &DateRecord::month, IsValidMonth},
    {"dia: ", "dia: ", "DOFechaDia", 2, &DateRecord::day, IsValidDay},
    {"Ano: ", "Ano: ", "DOFechaAno", 4, &DateRecord::year, IsValidYear},
};

constexpr const char* kMonthSounds[] = {
    "DOmesEnero",      "DOmesFebrero", "DOmesMarzo",     "DOmesAbril",
    "DOmesMayo",       "DOmesJunio",   "DOmesJulio",     "DOmesAgosto",
    "DOmesSeptiembre", "DOmesOctubre", "DOmesNoviembre", "DOmesDiciembre",
};

// Reads one field until it holds a valid value; false on Esc.
bool ReadField(const DateField& field, DateRecord& date) {
  SetBackgroundColour(1);
  SetTextColour(15);
  ConsoleWrite(Cp1252(field.label));
  SetBackgroundColour(0);
  SetTextColour(15);
  int start = CursorColumn();
  for (;;) {
    PlaySoundKey(field.sound);
    std::string digits;
    for (;;) {
      unsigned char k = ReadKey();
      if (k == kEnter) break;
      if (k == kBackspace) {
        if (digits.empty()) {
          PlaySoundKey("DOnada");
        } else {
          digits.clear();
          MoveCursor(start, CursorRow());
          ClearToEndOfLine();
          PlaySoundKey("DOBORRADO");
        }
        continue;
      }
      if (k == kExtendedPrefix) ReadKey();  // an extended key counts as one key
      if (digits.size() >= field.digits) {
        PlaySoundKey("DOnada");
      } else if (k == kEsc) {
        ConfirmExit();
        return false;
      } else if (IsDigit(k)) {
        ConsoleWrite(std::string(1, static_cast<char>(k)));
        SpellCharacter(k);
        digits += static_cast<char>(k);
      } else {
        PlaySoundKey("DOTECLAINV");
      }
    }
    double value = NumberValue(digits);
    if (field.valid(value)) {
      date.*field.value = value;
      AppendToLog(Cp1252(field.log_label) + digits, true);
      KeepDecimalsFor(value);
      SpeakNumber(value);
      ConsoleWriteLine();
      return true;
    }
    MoveCursor(start, CursorRow());
    ClearToEndOfLine();
  }
}

std::string Whole(double v) {
  return FixedText(v, 0);
}

}  // namespace

bool EnterDate(bool day_first, DateRecord& date) {
  const DateField* fields = day_first ? kDayMonthYear : kMonthDayYear;
  for (int f = 0; f < 3; ++f)
    if (!ReadField(fields[f], date)) return false;
  ConsoleWriteMessage("! Data Inserida !");
  PlaySoundKey("DoFechaConfig");
  return true;
}

void DateFormatKey(bool day_first, const std::string& log_line) {
  Registers& r = g_registers;
  r.dmy_format = day_first;
  r.mdy_format = !day_first;
  bool& own_first = day_first ? r.first_date_dmy : r.first_date_mdy;
  bool& other_first = day_first ? r.first_date_mdy : r.first_date_dmy;
  // Date 1 was entered in the other format: this format starts over at
  // date 1, and the mark is spent so that the next press enters date 2.
  if (other_first) {
    r.date_toggle = 0;
    other_first = false;
  }
  LogCommand(log_line);
  // An entry left with Esc asks for the same date at the next press.
  if (r.date_toggle == 0) {
    own_first = true;
    if (EnterDate(day_first, r.date1)) r.date_toggle = 1;
  } else if (EnterDate(day_first, r.date2)) {
    r.date_toggle = 0;
  }
}

bool DaysBetweenDates(const std::string& log_line, Operands& o) {
  Registers& r = g_registers;
  LogCommand(log_line);
  if (!IsCalendarDate(r.date1) || !IsCalendarDate(r.date2)) {
    ReportError(8);
    return false;
  }
  o.result = Days30360(r.date1, r.date2);
  PushValue(g_stack, o.result);
  o.result = DaysActual(r.date1, r.date2);
  return true;
}

void DateAfterDaysKey(const std::string& log_line, Operands& o) {
  Registers& r = g_registers;
  PopValue(g_stack, o.x);
  LogCommand(log_line);
  double days = o.x;
  if (days != std::trunc(days) || days < kEarliestOffset || days > kLatestOffset ||
      !IsCalendarDate(r.date1)) {
    ReportError(8);
    return;
  }
  if (days > 0) PlaySoundKey("DODateFutura");
  if (days < 0) PlaySoundKey("DODatePassada");
  DateRecord& d = r.date2;
  d = DateAfterDays(r.date1, static_cast<long long>(days));
  if (r.dmy_format) {
    ConsoleWriteMessage(" ! " + Whole(d.day) + "." + Whole(d.month) + "." + Whole(d.year) + " ! ");
    o.result = d.day;
    SpeakNumber(d.day);
    AnnounceMonth(d.month);
    SpeakNumber(d.year);
  } else if (r.mdy_format) {
    ConsoleWriteMessage(" ! " + Whole(d.month) + "." + Whole(d.day) + "." + Whole(d.year) + " ! ");
    o.result = d.month;
    AnnounceMonth(d.month);
    SpeakNumber(d.day);
    SpeakNumber(d.year);
  }
}

void AnnounceMonth(double month) {
  if (month >= 1 && month <= 12 && month == std::trunc(month))
    PlaySoundKey(kMonthSounds[static_cast<int>(month) - 1]);
}

}  // namespace quipular
