// Numbers read aloud: results with "equals", and entered, stored and
// recalled numbers.
#pragma once

namespace quipular {

// "Equals" and the value, as the decimals in force show it.
void AnnounceResult(double value);

// The decimals a number typed, stored or recalled is shown and said with:
// those given, except that a fraction too small for them (under a
// thousandth) would vanish from the display, so such a number takes all its
// decimals (up to 9).
int DecimalsFor(double value, int decimals);

// Says a number typed, stored or recalled with DecimalsFor the decimals in
// force; the setting itself is left as it is.
void SpeakNumber(double value);

// The decimals shown and said from now on (0 to 9): the only place that
// sets them.
void SetDecimals(int decimals);

// A number entered with a fraction under a thousandth keeps its decimals
// for the rest of the run: SetDecimals(DecimalsFor(value, decimals in force)).
void KeepDecimalsFor(double value);

// The value made ready for reading with 0 decimals: a magnitude whose
// fraction is above one half goes up to the next whole number, so that what
// is said is what the display shows.
double RoundForSpeech(double value, int decimals);

}  // namespace quipular
