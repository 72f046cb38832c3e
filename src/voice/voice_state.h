// What the voice layer keeps from one call to the next besides its modules'
// own structs (the wave player, the wave cache, the settings, the sound
// directories): the prompt being said, the phrase being gathered, the last
// diphone check. RunQuipular clears it at the start of every run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace quipular {

// The prompts gathered from BeginPhrase to EndPhrase, said as one text.
struct Phrase {
  int depth = 0;                                // BeginPhrase calls not yet ended
  std::string text;                             // the prompts' texts, blank-separated
  std::vector<std::function<bool()>> fallback;  // their recordings, in order (true: cut)
};

// The last answer of the diphone check, kept while neither directory
// changes: the calculation screen starts the voice again each time it is
// drawn.
struct DiphoneCheck {
  std::string letters, diphones, database;         // what was checked
  timespec letters_written{}, diphones_written{};  // the two directories' time stamps then
  int answer = -1;                                 // -1: nothing kept
};

struct VoiceState {
  size_t prompt_line = 0;          // the transcript line of the prompt playing (1-based), 0: none
  Phrase phrase;                   // the phrase being gathered
  DiphoneCheck diphone_check;      // the last diphone check
  std::string engine_lost;         // why the speech engine was given up during the run
  std::vector<uint8_t> word_wave;  // where a number's words are assembled (kept for its size)
};

extern VoiceState g_voice_state;

}  // namespace quipular
