// Arithmetic, percentages and general functions, in extended precision.
#include "functions/arithmetic.h"

#include <cmath>

#include "console/key_codes.h"
#include "functions/registers.h"

namespace quipular {

double Clamp(double v) {
  return v <= kCeiling ? v : kCeiling;
}

double BoundInfinity(double v) {
  return std::isinf(v) ? std::copysign(kCeiling, v) : v;
}

namespace {

long double Power(long double y, long double x) {
  if (x == 0) return 1;
  // A whole exponent is repeated multiplication, so a negative base is allowed.
  if (x == std::trunc(x)) return std::pow(y, x);
  return std::exp(x * std::log(y));
}

}  // namespace

double ComputeArithmetic(char token, double y, double x) {
  long double ly = y, lx = x;
  switch (token) {
    case '+':
      return static_cast<double>(ly + lx);
    case '-':
      return static_cast<double>(ly - lx);
    case '*':
      return Clamp(static_cast<double>(ly * lx));
    case '/':
      return static_cast<double>(ly / lx);
    case kCtrlE:
      return Clamp(static_cast<double>(Power(ly, lx)));
    default:
      return 0;
  }
}

double ComputePercent(char token, double y, double x) {
  long double ly = y, lx = x;
  switch (token) {
    case '%':
      return static_cast<double>(ly * lx / 100);
    case 'y':
      return static_cast<double>((lx - ly) / ly * 100);
    case 'Y':
      return static_cast<double>(lx / ly * 100);
    default:
      return 0;
  }
}

double ComputeGeneral(char token, double x) {
  long double lx = x;
  switch (token) {
    case 'x':
      return static_cast<double>(1 / lx);
    case 'X':
      return static_cast<double>(std::sqrt(lx));
    case kCtrlX:
      return static_cast<double>(std::log(lx));
    case 'E':
      return Clamp(static_cast<double>(std::exp(lx)));
    case 'f': {
      long double product = 1;
      for (long double k = lx; k >= 1; k -= 1) {
        product *= k;
        if (product > kCeiling) return kCeiling;
      }
      return static_cast<double>(product);
    }
    case 'g':
      return std::trunc(x);
    case 'G':
      return static_cast<double>(lx - std::trunc(lx));
    default:
      return 0;
  }
}

}  // namespace quipular
