// The state dump: levels present, financial and statistics registers, cash
// flows, storage registers that are not 0, dates; values to 17 digits.
#include "functions/state_dump.h"

#include "functions/number_text.h"
#include "functions/operand_stack.h"
#include "functions/registers.h"

namespace quipular {
namespace {

void Line(std::string& out, const std::string& name, double v) {
  out += name + " = " + ExactText(v) + "\n";
}

// The two-key name of a storage element: "1".."0", ".1"..".0", "a1".."h0".
std::string StorageName(int index) {
  int group = index / 10, place = index % 10;
  std::string digit(1, place == 9 ? '0' : static_cast<char>('1' + place));
  if (group == 0) return digit;
  if (group == 1) return "." + digit;
  return std::string(1, static_cast<char>('a' + group - 2)) + digit;
}

std::string Date(const DateRecord& d) {
  return ExactText(d.day) + " " + ExactText(d.month) + " " + ExactText(d.year);
}

}  // namespace

std::string StateDump(const OperandStack& stack, const Registers& r) {
  std::string out;
  static const char* const kLevels[] = {"X", "Y", "Z", "T"};
  const auto& levels = stack.levels;
  for (size_t i = 0; i < levels.size() && i < 4; ++i)
    Line(out, kLevels[i], levels[levels.size() - 1 - i]);
  static const char* const kFinancial[] = {"n", "i", "PV", "PMT", "FV"};
  for (int i = 0; i < 5; ++i) Line(out, kFinancial[i], r.financial[i]);
  Line(out, "mode", r.financial[kPaymentMode]);
  Line(out, "amort_interest", r.financial[kAmortInterest]);
  Line(out, "depreciation_remainder", r.financial[kDepreciationRemainder]);
  Line(out, "interest_mode", r.interest_mode);
  Line(out, "decimals", r.decimals);
  if (r.last_x_valid) Line(out, "lastx", r.last_x);
  Line(out, "stat_n", r.stat_count);
  static const char* const kSums[] = {"sum_x", "sum_x2", "sum_y", "sum_y2", "sum_xy"};
  for (int i = 0; i < 5; ++i) Line(out, kSums[i], r.statistics[kSumX + i]);
  Line(out, "cf_count", r.cf_count);
  for (int i = 0; i + 1 < r.cf_next && i < kBlockSize; ++i)
    Line(out, "cf" + std::to_string(i), r.cash_flows[i]);
  for (int i = 0; i < kBlockSize; ++i)
    if (r.storage[i] != 0) Line(out, "R" + StorageName(i), r.storage[i]);
  out += "date1 = " + Date(r.date1) + "\n";
  out += "date2 = " + Date(r.date2) + "\n";
  // 0 none chosen yet, 1 day.month.year, 2 month.day.year
  Line(out, "date_format", r.dmy_format ? 1 : r.mdy_format ? 2 : 0);
  Line(out, "date_toggle", r.date_toggle);
  return out;
}

}  // namespace quipular
