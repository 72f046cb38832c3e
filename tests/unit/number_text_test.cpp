// Texts of values: the decimal text (15 significant digits, fixed or
// scientific), fixed-point texts with their rounding, scientific parts, and
// the value of a typed number text.
#include "functions/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace quipular {
namespace {

TEST(NumberText, DecimalText) {
  const struct {
    double value;
    const char* text;
  } cases[] = {
      {0, "0"},
      {-0.0, "0"},
      {5, "5"},
      {-12.5, "-12.5"},
      {0.1, "0.1"},
      {1.0 / 3, "0.333333333333333"},
      {2.0 / 3, "0.666666666666667"},
      {0.0001, "0.0001"},
      {0.00009999, "9.999E-5"},
      {0.00005, "5E-5"},
      {-0.00005, "-5E-5"},
      {1.5e-7, "1.5E-7"},
      {1e20, "1E20"},
      {1.23456789012e20, "1.23456789012E20"},
      {2500000000.5, "2500000000.5"},
      {999999999999999, "999999999999999"},
      {999999999999999.9, "1E15"},  // rounds to 15 digits, then goes scientific
      {1e15, "1E15"},
      {9.999999999e99, "9.999999999E99"},
      {1e-309, "1E-309"},
      {1234567890.12345678, "1234567890.12346"},
  };
  for (const auto& c : cases) EXPECT_EQ(DecimalText(c.value), c.text) << c.value;
}

TEST(NumberText, FixedTextRoundsHalfAwayFromZeroWithCarries) {
  const struct {
    double value;
    int decimals;
    const char* text;
  } cases[] = {
      {0, 2, "0.00"},
      {-0.0, 2, "0.00"},
      {2.7, 0, "3"},
      {-2.7, 0, "-3"},
      {12.5, 0, "13"},
      {-12.5, 0, "-13"},
      {2.675, 2, "2.68"},  // the digits the user sees, not the binary value
      {1.005, 2, "1.01"},
      {9.995, 2, "10.00"},
      {99.9999, 3, "100.000"},
      {-0.004, 2, "0.00"},  // rounds to zero: no sign
      {-0.005, 2, "-0.01"},
      {0.00005, 2, "0.00"},
      {0.00005, 5, "0.00005"},
      {0.00005, 4, "0.0001"},
      {123.456, 9, "123.456000000"},
      {1111111111, 2, "1111111111.00"},
      {1e20, 2, "100000000000000000000.00"},
      {9.999999999e14, 0, "999999999900000"},
      {0.5, 0, "1"},
      {0.4, 0, "0"},
      // beyond 15 digits, every digit of the shortest text that gives the
      // double back
      {1125899906842624, 2, "1125899906842624.00"},  // 2^50
      {-1125899906842624, 0, "-1125899906842624"},
      {1111111110.987654321, 9, "1111111110.987654200"},
      {1e15 + 0.5, 0, "1000000000000001"},  // an exact half goes away from zero
      {-(1e15 + 0.5), 0, "-1000000000000001"},
      {999999999999999.875, 2, "999999999999999.90"},
      {999999999999999.875, 0, "1000000000000000"},
      {9007199254740993.0, 1, "9007199254740992.0"},  // the double nearest 2^53 + 1
      {1234567.1 + 0.2, 9, "1234567.300000000"},
      {1e23, 2, "100000000000000000000000.00"},
      {-1234567.25, 9, "-1234567.250000000"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FixedText(c.value, c.decimals), c.text) << c.value << " with " << c.decimals;
}

TEST(NumberText, ScientificParts) {
  const struct {
    double value;
    const char* mantissa;
    int exponent;
  } cases[] = {
      {0.00005, "5", -5},
      {-1.5e-7, "-1.5", -7},
      {1.23456789012e20, "1.23456789012", 20},
      {9.999999999e99, "9.999999999", 99},
      {9.9999999995e14, "9.9999999995", 14},
      {1e15, "1", 15},
  };
  for (const auto& c : cases) {
    std::string mantissa;
    int exponent = 0;
    ScientificParts(c.value, mantissa, exponent);
    EXPECT_EQ(mantissa, c.mantissa) << c.value;
    EXPECT_EQ(exponent, c.exponent) << c.value;
  }
}

TEST(NumberText, NumberValueOfTypedTexts) {
  EXPECT_EQ(NumberValue(""), 0);
  EXPECT_EQ(NumberValue("."), 0);
  EXPECT_EQ(NumberValue("3."), 3);
  EXPECT_EQ(NumberValue("-.5"), -0.5);
  EXPECT_EQ(NumberValue("1234567890"), 1234567890);
  EXPECT_EQ(NumberValue("1E-99"), 1e-99);
  EXPECT_EQ(NumberValue("2.5E20"), 2.5e20);
}

}  // namespace
}  // namespace quipular
