// The texts of a value: its decimal text (15 significant digits, fixed or
// scientific), fixed-point text with a number of decimals, scientific parts.
#pragma once

#include <string>

namespace quipular {

// The value rounded to 15 significant digits, trailing zeros dropped; fixed
// notation when 0.0001 <= |v| < 1e15, else "5E-5", "1.23456789012E20".
std::string DecimalText(double v);

// Fixed-point text with the given decimals, rounded half away from zero on
// the decimal digits the user sees ("2.675" with 2 decimals gives 2.68).
// A text of more than 15 digits has every digit of the shortest decimal that
// gives the value back (2^50 with 2 decimals gives 1125899906842624.00).
std::string FixedText(double v, int decimals);

// The value in scientific notation from its decimal text: mantissa text
// (with the sign) and exponent.
void ScientificParts(double v, std::string& mantissa, int& exponent);

// The decimal text of a value cut to fit a command token of 15 characters
// without changing its magnitude: mantissa digits go, never the exponent
// or the digits before the point.
std::string TokenText(double v);

// The numeric value of a number text ("." as the point); empty gives 0.
double NumberValue(const std::string& text);

// The value as a 17-significant-digit text, for the state dump.
std::string ExactText(double v);

}  // namespace quipular
