// The calculator's registers: financial, statistics, cash flows, storage,
// last X, decimals, payment and interest modes, and dates.
#pragma once

namespace quipular {

constexpr int kBlockSize = 100;
constexpr double kCeiling = 9.999999999e99;  // the overflow ceiling

// Slots of the financial block.
enum FinancialSlot {
  kN = 0,
  kI = 1,
  kPV = 2,
  kPMT = 3,
  kFV = 4,
  kPaymentMode = 5,
  kAmortInterest = 6,
  kDepreciationRemainder = 10
};

// Slots of the statistics block.
enum StatisticsSlot { kStatN = 0, kSumX = 1, kSumX2 = 2, kSumY = 3, kSumY2 = 4, kSumXY = 5 };
constexpr int kStatisticsSlots = kSumXY + 1;

// What the statistics registers cannot show: the low halves of the
// double-double sums (a sum is statistics[k] + low[k], the register showing
// the first, rounded, part), and how many pairs of what size ever went in or
// out, which bounds the rounding the sums can carry.
struct StatisticsResidue {
  double low[kStatisticsSlots] = {};
  double terms = 0;               // pairs put in plus pairs taken out
  double x_size = 0, y_size = 0;  // the sums of x^2 and y^2 over those pairs
};

struct DateRecord {
  double day = 0, month = 0, year = 0;
};

struct Registers {
  double financial[kBlockSize] = {};   // n, i (a fraction), PV, PMT, FV, mode, ...
  double statistics[kBlockSize] = {};  // n and the five sums
  StatisticsResidue statistics_residue;
  int stat_count = 0;                  // the count the statistics divide by
  double cash_flows[kBlockSize] = {};  // CF0, CF1, ... in entry order
  int cf_next = 1;                     // 1-based: the next amount goes to cash_flows[cf_next - 1]
  int cf_count = 1;                    // cash flows entered plus one
  int nj_counter = 0;                  // counts repetitions while Nj runs
  double storage[kBlockSize] = {};     // STO/RCL registers "1".."0", ".1"..".0", "a1".."h0"
  double last_x = 0;                   // X of the first two-number operation since a clear
  bool last_x_valid = false;
  int decimals = 2;          // decimals shown and spoken, 0 to 9
  double interest_mode = 0;  // 0, 1 or 2
  DateRecord date1, date2;
  double date_toggle = 0;                               // 0: the next date entered is date 1
  bool dmy_format = false, mdy_format = false;          // the format in force
  bool first_date_dmy = false, first_date_mdy = false;  // how date 1 was entered
};

// The register part of the clears: the statistics block, the financial
// block, or every block with the cash-flow places, the dates and the
// interest mode. Every clear also forgets last X and the statistics count.
void ClearStatisticsBlock(Registers& r);
void ClearFinancialBlock(Registers& r);
void ClearAllRegisters(Registers& r);

// Storage register element for the keys of its name ("1".."9","0",
// ".1"..".0", "a1".."h0"): first key and digit; -1 when they name none.
int StorageIndex(char first, char digit);

// The financial register keys: x goes to n (or 12 x to n), to i as a
// percentage (or one twelfth of it), to PV, PMT or FV.
void StoreN(Registers& r, double x);
void StoreTwelveN(Registers& r, double x);
void StoreI(Registers& r, double x);
void StoreTwelfthI(Registers& r, double x);
void StorePV(Registers& r, double x);
void StorePMT(Registers& r, double x);
void StoreFV(Registers& r, double x);

// What the 12x and 12/ keys store, as the user reads it: 12 x periods, one
// twelfth of x percent.
double TwelveTimes(double x);
double OneTwelfth(double x);

// RCL of a financial register key: n, i as a percentage, PV, PMT, FV.
double RecallN(const Registers& r);
double RecallI(const Registers& r);
double RecallPV(const Registers& r);
double RecallPMT(const Registers& r);
double RecallFV(const Registers& r);

}  // namespace quipular
