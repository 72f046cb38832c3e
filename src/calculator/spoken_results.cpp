// Spoken results: signs, words of the integer part, decimals digit by digit,
// a short reading of large values and a mantissa-exponent reading.
#include "calculator/spoken_results.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "calculator/model.h"
#include "functions/number_text.h"
#include "functions/registers.h"
#include "voice/named_sounds.h"
#include "voice/number_words.h"

namespace quipular {
namespace {

void SpeakValue(double value, int decimals);

// Words say whole numbers up to here; beyond, up to the scientific range, the
// short reading is used.
constexpr double kWordsLimit = 2000000000.0;

bool InLargeRange(double v) {
  return v > kWordsLimit && v < kScientificAbove;
}

void SpeakWhole(double n) {
  SpeakWords(NumberToWords(static_cast<long long>(n)), false);
}

// The integer part in words (spelled digit by digit beyond the words'
// limit) and the decimals digit by digit (non-negative v), both taken from
// the text the display shows, so that 2.999 with two decimals is said three.
void PlainReading(double v, int shown) {
  bool decimals = v != std::trunc(v) && shown > 0;
  std::string fixed = decimals ? FixedText(v, shown) : std::string();
  size_t point = fixed.find('.');
  double n = decimals ? NumberValue(fixed.substr(0, point)) : std::trunc(v + 1e-12);
  if (n <= kWordsLimit)
    SpeakWhole(n);
  else
    SpellText(FixedText(n, 0));
  if (!decimals || point == std::string::npos) return;
  SpellText(".");
  for (size_t i = point + 1; i < fixed.size(); ++i) SpeakWhole(fixed[i] - '0');
}

// The sign of a negative value, unless the display shows it as zero (-0.3
// with no decimals shows 0).
void SpeakSign(double v, int shown) {
  if (v >= 0) return;
  std::string fixed = FixedText(v, shown);
  if (InScientificRange(v) || fixed.find_first_not_of("0.") != std::string::npos)
    PlaySoundKey("DOMENOS");
}

// The mantissa is read cut to the decimals, not rounded, as the display
// cuts it: 9.999999999E99 is said nine point nine nine, never ten.
void ScientificReading(double v, int shown) {
  std::string mantissa;
  int exponent = 0;
  ScientificParts(v, mantissa, exponent);
  size_t point = mantissa.find('.');
  if (point != std::string::npos) mantissa.resize(std::min(mantissa.size(), point + 1 + shown));
  SpeakValue(NumberValue(mantissa), shown);
  PlaySoundKey("DOEEX");
  SpeakValue(exponent, shown);
}

// 2345678901 is read as 2.34 EEX 9: the first three digits, truncated.
void LargeReading(double v, int shown) {
  std::string digits = FixedText(std::trunc(v), 0);
  SpeakValue(NumberValue(digits.substr(0, 1) + "." + digits.substr(1, 2)), shown);
  PlaySoundKey("DOEEX");
  SpeakValue(static_cast<double>(digits.size() - 1), shown);
}

// The plain reading of one value, with its sign.
void SpeakValue(double value, int decimals) {
  double v = RoundForSpeech(value, decimals);
  SpeakSign(v, decimals);
  PlainReading(std::fabs(v), decimals);
}

}  // namespace

double RoundForSpeech(double value, int decimals) {
  if (decimals != 0) return value;
  double magnitude = std::fabs(value);
  double whole = std::trunc(magnitude);
  if (magnitude - whole > 0.5) magnitude = whole + 1;
  return value < 0 ? -magnitude : magnitude;
}

int DecimalsFor(double value, int decimals) {
  double v = RoundForSpeech(value, decimals);
  if (InScientificRange(v)) return decimals;
  double m = std::fabs(v);
  double fraction = m - std::trunc(m);
  if (!InLargeRange(m) && fraction > 0 && fraction < 0.001) {
    int all = static_cast<int>(DecimalText(m).size()) - 2;
    return all < 0 ? 0 : all > 9 ? 9 : all;
  }
  return decimals;
}

namespace {

void SayNumber(double value) {
  int shown = g_registers.decimals;
  double v = RoundForSpeech(value, shown);
  if (InScientificRange(v)) return ScientificReading(v, shown);
  int decimals = DecimalsFor(value, shown);
  SpeakSign(v, decimals);
  double m = std::fabs(v);
  if (InLargeRange(m))
    LargeReading(m, decimals);
  else
    PlainReading(m, decimals);
}

void SayResult(double value) {
  int decimals = g_registers.decimals;
  PlaySoundKey("DOIGUAL");
  double v = RoundForSpeech(value, decimals);
  SpeakSign(v, decimals);
  v = std::fabs(v);
  if (InScientificRange(v)) return ScientificReading(v, decimals);
  if (InLargeRange(v)) return LargeReading(v, decimals);
  PlainReading(v, decimals);
}

}  // namespace

// A number's reading goes to a speech engine as one sentence.
void SpeakNumber(double value) {
  BeginPhrase();
  SayNumber(value);
  EndPhrase();
}

void SetDecimals(int decimals) {
  g_registers.decimals = decimals;
}

void KeepDecimalsFor(double value) {
  SetDecimals(DecimalsFor(value, g_registers.decimals));
}

void AnnounceResult(double value) {
  BeginPhrase();
  SayResult(value);
  EndPhrase();
}

}  // namespace quipular
