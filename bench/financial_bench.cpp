// Times the computations behind CALCULO i (a 360-payment mortgage in each
// interest mode) and DATE (offsets of up to 10^15 days), called directly;
// prints the median of many timed batches in microseconds per call.
// Usage: financial_bench [batches]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "functions/dates.h"
#include "functions/tvm.h"

namespace {

using Clock = std::chrono::steady_clock;

template <typename Work>
double MedianMicroseconds(int batches, int calls, Work work) {
  std::vector<double> times;
  for (int b = 0; b < batches; ++b) {
    auto start = Clock::now();
    for (int c = 0; c < calls; ++c) work(c);
    std::chrono::duration<double, std::micro> spent = Clock::now() - start;
    times.push_back(spent.count() / calls);
  }
  std::nth_element(times.begin(), times.begin() + batches / 2, times.end());
  return times[batches / 2];
}

volatile double g_sink;  // keeps the answers from being optimized away

}  // namespace

int main(int argc, char** argv) {
  using namespace quipular;
  int batches = argc > 1 ? std::atoi(argv[1]) : 101;
  for (int mode = 0; mode < 3; ++mode) {
    double us = MedianMicroseconds(batches, 200, [mode](int c) {
      double f[kBlockSize] = {};
      f[kN] = mode == 0 ? 360 : 360.5;
      f[kPV] = 100000 + c;  // a new problem each call
      f[kPMT] = -599.55;
      TvmAnswer a = ComputeTvm(f, kI, mode);
      g_sink = a.value;
    });
    std::printf("CALCULO i, 360 payments, interest mode %d: %.2f us\n", mode, us);
  }
  DateRecord from;
  from.day = 29;
  from.month = 2;
  from.year = 2024;
  const long long offsets[] = {-500000, 1000000, 1000000000LL, 1000000000000000LL};
  for (long long offset : offsets) {
    double us = MedianMicroseconds(batches, 2000, [&](int c) {
      DateRecord d = DateAfterDays(from, offset - c);
      g_sink = d.day + d.month + d.year;
    });
    std::printf("DATE, %lld days: %.3f us\n", offset, us);
  }
  return 0;
}
