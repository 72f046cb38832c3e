// Numbers read aloud: results with "equals", and entered, stored and
// recalled numbers.
#pragma once

namespace quipular {

// "Equals" and the value, as the decimals in force show it.
void AnnounceResult(double value);

// Says a number typed, stored or recalled with the decimals shown. A
// fraction too small for them (under a thousandth) would vanish from the
// display, so that number is said with all its decimals (up to 9), and the
// answer is the decimals to show from now on, for the caller to set.
[[nodiscard]] int SpeakNumber(double value, int decimals);

// The value made ready for reading with 0 decimals: a magnitude whose
// fraction is above one half goes up to the next whole number, so that what
// is said is what the display shows.
double RoundForSpeech(double value, int decimals);

}  // namespace quipular
