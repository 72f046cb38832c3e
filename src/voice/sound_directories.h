// Where the recorded prompts are: set when the voice starts, read by the
// named sounds and the number words.
#pragma once

#include <string>

namespace quipular {

struct NamedSounds {
  std::string sound_directory;        // where sound keys are found; ends in "\" unless empty
  std::string key_letters_directory;  // where sound keys beginning with "_" are found
  std::string letters_directory;      // character names and number words
};

extern NamedSounds g_sounds;

}  // namespace quipular
