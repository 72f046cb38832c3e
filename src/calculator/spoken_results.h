// Numbers read aloud: results with "equals", entered and recalled numbers,
// and the plain reading of one value.
#pragma once

namespace quipular {

void AnnounceResult(double value);
void SpeakNumber(double value);
void SpeakValue(double value);

// The value made ready for reading with 0 decimals: a magnitude whose
// fraction is above one half goes up to the next whole number, so that what
// is said is what the display shows.
double RoundForSpeech(double value, int decimals);

}  // namespace quipular
