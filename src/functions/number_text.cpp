// Decimal texts of doubles, built from their 15 significant digits, and
// fixed-point texts longer than that from the shortest digits that give the
// double back.
#include "functions/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace quipular {
namespace {

// The 15 significant digits of |v| without trailing zeros, and the decimal
// exponent of the first one. 0 gives "0" and 0.
void Digits(double v, std::string& digits, int& exponent) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.14e", std::fabs(v));
  digits.clear();
  const char* p = buf;
  for (; *p && *p != 'e'; ++p)
    if (*p != '.') digits += *p;
  exponent = *p ? std::atoi(p + 1) : 0;
  size_t end = digits.find_last_not_of('0');
  digits.erase(end == std::string::npos ? 1 : end + 1);
  if (digits == "0") exponent = 0;
}

// The shortest digits that give back |v| exactly (at most 17), trailing
// zeros dropped, and the decimal exponent of the first one.
void ShortestDigits(double v, std::string& digits, int& exponent) {
  char buf[40];
  auto end = std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::scientific).ptr;
  std::string text(buf, end);
  size_t e = text.find('e');
  digits.clear();
  for (size_t k = 0; k < e; ++k)
    if (text[k] != '.') digits += text[k];
  exponent = std::atoi(text.c_str() + e + 1);
  size_t last = digits.find_last_not_of('0');
  digits.erase(last == std::string::npos ? 1 : last + 1);
}

}  // namespace

std::string DecimalText(double v) {
  if (!std::isfinite(v)) return std::isnan(v) ? "NAN" : (v < 0 ? "-INF" : "INF");
  std::string digits;
  int e = 0;
  Digits(v, digits, e);
  if (digits == "0") return "0";
  std::string text = v < 0 ? "-" : "";
  if (e < -4 || e >= 15) {
    std::string mantissa;
    ScientificParts(v, mantissa, e);
    return mantissa + "E" + std::to_string(e);
  }
  if (e >= 0) {
    std::string whole = digits.substr(0, std::min<size_t>(digits.size(), e + 1));
    whole.append(e + 1 - whole.size(), '0');
    text += whole;
    if (digits.size() > static_cast<size_t>(e + 1)) text += "." + digits.substr(e + 1);
  } else {
    text += "0." + std::string(-e - 1, '0') + digits;
  }
  return text;
}

void ScientificParts(double v, std::string& mantissa, int& exponent) {
  std::string digits;
  Digits(v, digits, exponent);
  mantissa = (v < 0 ? "-" : "") + digits.substr(0, 1);
  if (digits.size() > 1) mantissa += "." + digits.substr(1);
}

std::string FixedText(double v, int decimals) {
  if (!std::isfinite(v)) return DecimalText(v);
  std::string digits;
  int e = 0;
  Digits(v, digits, e);
  // Digits kept: those before the point and the decimals asked for. A text
  // of more than 15 digits takes every digit the double holds, not 15 and
  // zeros.
  int keep = e + 1 + decimals;
  if (keep > 15) {
    ShortestDigits(v, digits, e);
    keep = e + 1 + decimals;
  }
  std::string kept;
  if (keep >= 0) {
    kept = digits.substr(0, std::min<size_t>(digits.size(), keep));
    kept.append(keep - kept.size(), '0');
    if (static_cast<size_t>(keep) < digits.size() && digits[keep] >= '5') {
      int i = keep - 1;
      while (i >= 0 && kept[i] == '9') kept[i--] = '0';
      if (i >= 0)
        ++kept[i];
      else {
        kept.insert(0, "1");
        ++e;
      }
    }
  }
  // kept holds the digits of |v| * 10^decimals; place the point.
  int whole_len = static_cast<int>(kept.size()) - decimals;
  std::string whole = whole_len > 0 ? kept.substr(0, whole_len) : "0";
  std::string frac = whole_len >= 0 ? kept.substr(whole_len) : std::string(-whole_len, '0') + kept;
  if (frac.size() < static_cast<size_t>(decimals)) frac.insert(0, decimals - frac.size(), '0');
  bool zero = whole.find_first_not_of('0') == std::string::npos &&
              frac.find_first_not_of('0') == std::string::npos;
  std::string text = (v < 0 && !zero) ? "-" : "";
  text += whole;
  if (decimals > 0) text += "." + frac;
  return text;
}

namespace {

// Shortens the mantissa of a scientific text to fit the limit.
std::string FitScientific(const std::string& text, size_t limit) {
  size_t e = text.find('E');
  std::string exponent = text.substr(e);
  std::string mantissa = text.substr(0, std::min(e, limit - exponent.size()));
  if (!mantissa.empty() && mantissa.back() == '.') mantissa.pop_back();
  return mantissa + exponent;
}

}  // namespace

std::string TokenText(double v) {
  constexpr size_t kLimit = 15;
  std::string text = DecimalText(v);
  if (text.size() <= kLimit) return text;
  if (text.find('E') != std::string::npos) return FitScientific(text, kLimit);
  size_t point = text.find('.');
  if (point != std::string::npos && point < kLimit) {
    text.resize(kLimit);
    if (text.back() == '.') text.pop_back();
    return text;
  }
  std::string mantissa;
  int exponent = 0;
  ScientificParts(v, mantissa, exponent);
  return FitScientific(mantissa + "E" + std::to_string(exponent), kLimit);
}

double NumberValue(const std::string& text) {
  if (text.empty()) return 0.0;
  return std::strtod(text.c_str(), nullptr);
}

std::string ExactText(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.17g", v);
  return buf;
}

}  // namespace quipular
