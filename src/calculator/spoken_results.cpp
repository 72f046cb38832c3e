// Spoken results: signs, words of the integer part, decimals digit by digit,
// a short reading of large values and a mantissa-exponent reading.
#include "calculator/spoken_results.h"

#include <cmath>
#include <string>

#include "functions/number_text.h"
#include "functions/registers.h"
#include "voice/named_sounds.h"
#include "voice/number_words.h"

namespace quipular {
namespace {

constexpr double kWordsLimit = 2000000000.0;
constexpr double kLargeLimit = 9.999999999e14;

bool InScientificRange(double v) {
  return v > kLargeLimit || (v > 0 && v < 0.0001) || v < -kLargeLimit || (v > -0.0001 && v < 0);
}

bool InLargeRange(double v) {
  return v > kWordsLimit && v < kLargeLimit;
}

void SpeakWhole(double n) {
  SpeakWords(NumberToWords(static_cast<long long>(n)), false);
}

// The integer part in words (spelled digit by digit beyond the words'
// limit) and the decimals digit by digit (non-negative v).
void PlainReading(double v) {
  double n = std::trunc(v + 1e-12);
  if (n <= kWordsLimit)
    SpeakWhole(n);
  else
    SpellText(FixedText(n, 0));
  if (v == std::trunc(v) || g_registers.decimals == 0) return;
  std::string fixed = FixedText(v, g_registers.decimals);
  size_t point = fixed.find('.');
  if (point == std::string::npos) return;
  SpellText(".");
  for (size_t i = point + 1; i < fixed.size(); ++i) SpeakWhole(fixed[i] - '0');
}

void ScientificReading(double v) {
  std::string mantissa;
  int exponent = 0;
  ScientificParts(v, mantissa, exponent);
  SpeakValue(NumberValue(mantissa));
  PlaySoundKey("DOEEX");
  SpeakValue(exponent);
}

// 2345678901 is read as 2.34 EEX 9: the first three digits, truncated.
void LargeReading(double v) {
  std::string digits = FixedText(std::trunc(v), 0);
  SpeakValue(NumberValue(digits.substr(0, 1) + "." + digits.substr(1, 2)));
  PlaySoundKey("DOEEX");
  SpeakValue(static_cast<double>(digits.size() - 1));
}

}  // namespace

double RoundForSpeech(double value, int decimals) {
  if (decimals != 0) return value;
  double magnitude = std::fabs(value);
  double whole = std::trunc(magnitude);
  if (magnitude - whole > 0.5) magnitude = whole + 1;
  return value < 0 ? -magnitude : magnitude;
}

void SpeakValue(double value) {
  double v = RoundForSpeech(value, g_registers.decimals);
  if (v < 0) {
    PlaySoundKey("DOMENOS");
    v = -v;
  }
  PlainReading(v);
}

void SpeakNumber(double value) {
  double v = RoundForSpeech(value, g_registers.decimals);
  if (InScientificRange(v)) return ScientificReading(v);
  if (v < 0) {
    PlaySoundKey("DOMENOS");
    v = -v;
  }
  if (InLargeRange(v)) return LargeReading(v);
  double fraction = v - std::trunc(v);
  if (fraction > 0 && fraction < 0.001) {
    // A tiny fraction would vanish in the decimals: show and say them all.
    int decimals = static_cast<int>(DecimalText(v).size()) - 2;
    g_registers.decimals = decimals < 0 ? 0 : decimals > 9 ? 9 : decimals;
  }
  PlainReading(v);
}

void AnnounceResult(double value) {
  PlaySoundKey("DOIGUAL");
  double v = RoundForSpeech(value, g_registers.decimals);
  if (v < 0) {
    PlaySoundKey("DOMENOS");
    v = -v;
  }
  if (InScientificRange(v)) return ScientificReading(v);
  if (InLargeRange(v)) return LargeReading(v);
  PlainReading(v);
}

}  // namespace quipular
