// Register blocks and their clears.
#include "functions/registers.h"

#include <algorithm>
#include <iterator>

namespace quipular {

namespace {

void ForgetLastXAndCount(Registers& r) {
  r.last_x_valid = false;
  r.stat_count = 0;
}

}  // namespace

void ClearStatisticsBlock(Registers& r) {
  ForgetLastXAndCount(r);
  std::fill(std::begin(r.statistics), std::end(r.statistics), 0.0);
  r.statistics_residue = StatisticsResidue{};
}

void ClearFinancialBlock(Registers& r) {
  ForgetLastXAndCount(r);
  std::fill(std::begin(r.financial), std::end(r.financial), 0.0);
}

void ClearAllRegisters(Registers& r) {
  ClearStatisticsBlock(r);
  ClearFinancialBlock(r);
  std::fill(std::begin(r.cash_flows), std::end(r.cash_flows), 0.0);
  std::fill(std::begin(r.storage), std::end(r.storage), 0.0);
  r.cf_next = r.cf_count = 1;
  r.date1 = r.date2 = DateRecord{};
  r.date_toggle = 0;
  r.first_date_dmy = r.first_date_mdy = false;
  r.interest_mode = 0;
}

void StoreN(Registers& r, double x) {
  r.financial[kN] = x;
}
void StoreTwelveN(Registers& r, double x) {
  r.financial[kN] = 12 * x;
}
void StoreI(Registers& r, double x) {
  r.financial[kI] = x / 100;
}
void StoreTwelfthI(Registers& r, double x) {
  r.financial[kI] = x / 1200;
}
void StorePV(Registers& r, double x) {
  r.financial[kPV] = x;
}
void StorePMT(Registers& r, double x) {
  r.financial[kPMT] = x;
}
void StoreFV(Registers& r, double x) {
  r.financial[kFV] = x;
}

double TwelveTimes(double x) {
  return x * 12;
}
double OneTwelfth(double x) {
  return x / 12;
}

double RecallN(const Registers& r) {
  return r.financial[kN];
}
double RecallI(const Registers& r) {
  return r.financial[kI] * 100;
}
double RecallPV(const Registers& r) {
  return r.financial[kPV];
}
double RecallPMT(const Registers& r) {
  return r.financial[kPMT];
}
double RecallFV(const Registers& r) {
  return r.financial[kFV];
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
