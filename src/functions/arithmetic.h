// The ordinary functions: + - * / y^x, the percentages, and the one-number
// functions 1/x, square root, LN, e^x, n!, INTG, FRAC. Each takes its
// operands and returns the result; the checks of the operands are the
// caller's.
#pragma once

namespace quipular {

// y op x.
double Add(double y, double x);
double Subtract(double y, double x);
double Multiply(double y, double x);  // above the ceiling: the ceiling
double Divide(double y, double x);
double Power(double y, double x);  // y^x; above the ceiling: the ceiling

// y * x / 100; D% (x - y) / y * 100; %T x / y * 100.
double Percent(double y, double x);
double PercentDifference(double y, double x);
double PercentOfTotal(double y, double x);

double Reciprocal(double x);
double SquareRoot(double x);
double NaturalLog(double x);
double Exponential(double x);  // above the ceiling: the ceiling
double Factorial(double x);    // above the ceiling: the ceiling
double WholePart(double x);
double FractionalPart(double x);

// Results above the ceiling (and NaN) become the ceiling.
double Clamp(double v);
// An infinity becomes the ceiling with its sign; anything else stays.
double BoundInfinity(double v);

}  // namespace quipular
