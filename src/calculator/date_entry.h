// The calendar keys: date entry field by field with spoken prompts (D.MY,
// M.DY), the days between the two dates (DDYS) and the date a number of
// days after date 1 (DATE), written and spoken with the month's name.
#pragma once

#include <string>

#include "calculator/operands.h"
#include "functions/registers.h"

namespace quipular {

// Asks for the fields of a date, day first (day.month.year) or month first
// (month.day.year), and stores each valid field in `date`. False when the
// entry was left with Esc.
bool EnterDate(bool day_first, DateRecord& date);

// D.MY or M.DY: selects the format and enters date 1 or date 2 by turns; a
// change of format starts again at date 1. `log_line` is written to the log
// once the format is chosen.
void DateFormatKey(bool day_first, const std::string& log_line);

// DDYS: the 30/360 count goes on the stack and the actual count is the
// operands' result. False (error 8 reported) when either date is not a valid date.
bool DaysBetweenDates(const std::string& log_line, Operands& operands);

// DATE: pops the day count and writes and speaks the date that many days
// after date 1, which becomes date 2; nothing is pushed, and the first
// field said becomes the operands' result.
void DateAfterDaysKey(const std::string& log_line, Operands& operands);

// Plays the name of month 1 to 12; any other value plays nothing.
void AnnounceMonth(double month);

}  // namespace quipular
