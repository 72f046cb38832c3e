// The ordinary functions: + - * / y^x, the percentages, and the one-number
// functions 1/x, square root, LN, e^x, n!, INTG, FRAC. Each takes the command
// token and its operands and returns the result; checks are the validator's.
#pragma once

namespace quipular {

// "+", "-", "*", "/" and y^x (Ctrl+E): y op x.
double ComputeArithmetic(char token, double y, double x);

// "%" (y * x / 100), "y" D% ((x - y) / y * 100), "Y" %T (x / y * 100).
double ComputePercent(char token, double y, double x);

// "x" 1/x, "X" square root, Ctrl+X (24) LN, "E" e^x, "f" n!, "g" INTG,
// "G" FRAC.
double ComputeGeneral(char token, double x);

// Results above the ceiling (and NaN) become the ceiling.
double Clamp(double v);
// An infinity becomes the ceiling with its sign; anything else stays.
double BoundInfinity(double v);

}  // namespace quipular
