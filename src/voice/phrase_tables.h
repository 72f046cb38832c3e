// The phrase tables the voice pack is recorded from, built into the program
// (from voice/*.tsv) for a speech server to say: UTF-8 text.
#pragma once

#include <cstddef>

namespace quipular {

struct PhraseRow {
  const char* key;   // a sound key, or a number word as the program writes it
  const char* text;  // what is said
};

extern const PhraseRow kSoundPhrases[];
extern const size_t kSoundPhraseCount;
// The name of each Windows-1252 character; null where it has none.
extern const char* const kCharacterNames[256];
extern const PhraseRow kNumberWords[];
extern const size_t kNumberWordCount;

}  // namespace quipular
