// Arithmetic, percentages and general functions, in extended precision.
#include "functions/arithmetic.h"

#include <cmath>

#include "functions/registers.h"

namespace quipular {

double Clamp(double v) {
  return v <= kCeiling ? v : kCeiling;
}

double BoundInfinity(double v) {
  return std::isinf(v) ? std::copysign(kCeiling, v) : v;
}

namespace {

long double RaisedTo(long double y, long double x) {
  if (x == 0) return 1;
  // A whole exponent is repeated multiplication, so a negative base is allowed.
  if (x == std::trunc(x)) return std::pow(y, x);
  return std::exp(x * std::log(y));
}

}  // namespace

double Add(double y, double x) {
  return static_cast<double>(static_cast<long double>(y) + x);
}
double Subtract(double y, double x) {
  return static_cast<double>(static_cast<long double>(y) - x);
}
double Multiply(double y, double x) {
  return Clamp(static_cast<double>(static_cast<long double>(y) * x));
}
double Divide(double y, double x) {
  return static_cast<double>(static_cast<long double>(y) / x);
}
double Power(double y, double x) {
  return Clamp(static_cast<double>(RaisedTo(y, x)));
}

double Percent(double y, double x) {
  return static_cast<double>(static_cast<long double>(y) * x / 100);
}
double PercentDifference(double y, double x) {
  long double ly = y, lx = x;
  return static_cast<double>((lx - ly) / ly * 100);
}
double PercentOfTotal(double y, double x) {
  return static_cast<double>(static_cast<long double>(x) / y * 100);
}

double Reciprocal(double x) {
  return static_cast<double>(1 / static_cast<long double>(x));
}
double SquareRoot(double x) {
  return static_cast<double>(std::sqrt(static_cast<long double>(x)));
}
double NaturalLog(double x) {
  return static_cast<double>(std::log(static_cast<long double>(x)));
}
double Exponential(double x) {
  return Clamp(static_cast<double>(std::exp(static_cast<long double>(x))));
}
double Factorial(double x) {
  long double product = 1;
  for (long double k = x; k >= 1; k -= 1) {
    product *= k;
    if (product > kCeiling) return kCeiling;
  }
  return static_cast<double>(product);
}
double WholePart(double x) {
  return std::trunc(x);
}
double FractionalPart(double x) {
  long double lx = x;
  return static_cast<double>(lx - std::trunc(lx));
}

}  // namespace quipular
