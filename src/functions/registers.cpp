// Register blocks and their clears.
#include "functions/registers.h"

#include <algorithm>
#include <iterator>

#include "console/key_codes.h"

namespace quipular {

void ClearRegisterBlocks(Registers& r, char token) {
  r.last_x_valid = false;
  r.stat_count = 0;
  if (token == 'A') {
    std::fill(std::begin(r.statistics), std::end(r.statistics), 0.0);
    r.statistics_residue = StatisticsResidue{};
  } else if (token == kCtrlA) {
    std::fill(std::begin(r.financial), std::end(r.financial), 0.0);
  } else {
    std::fill(std::begin(r.financial), std::end(r.financial), 0.0);
    std::fill(std::begin(r.statistics), std::end(r.statistics), 0.0);
    r.statistics_residue = StatisticsResidue{};
    std::fill(std::begin(r.cash_flows), std::end(r.cash_flows), 0.0);
    std::fill(std::begin(r.storage), std::end(r.storage), 0.0);
    r.cf_next = r.cf_count = 1;
    r.date1 = r.date2 = DateRecord{};
    r.date_toggle = 0;
    r.first_date_dmy = r.first_date_mdy = false;
    r.interest_mode = 0;
  }
}

void StoreFinancialRegister(Registers& r, char token, double x) {
  double* f = r.financial;
  switch (token) {
    case 'n':
      f[kN] = x;
      break;
    case kCtrlN:
      f[kN] = 12 * x;
      break;
    case 'i':
      f[kI] = x / 100;
      break;
    case kCtrlI:
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

int StorageIndex(char first, char digit) {
  if (digit < '0' || digit > '9') return -1;
  int place = digit == '0' ? 9 : digit - '1';
  if (first == 0) return place;
  if (first == '.') return 10 + place;
  if (first >= 'a' && first <= 'h') return 20 + (first - 'a') * 10 + place;
  return -1;
}

}  // namespace quipular
