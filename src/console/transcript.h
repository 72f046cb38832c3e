// The speech transcript: every prompt, pause and tone as it is asked for,
// one line each ("sound DOIGUAL", "char 53", "words oito", "pause 300").
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace quipular {

struct SpeechTranscript {
  bool enabled = false;            // lines are kept only when asked for (--speech)
  std::vector<std::string> lines;  // UTF-8 lines, in the order asked for
};

extern SpeechTranscript g_transcript;

// Notes a line; gives back its number (from 1), 0 when lines are not kept.
size_t RecordSpeech(const std::string& line);
// Marks the line of that number as cut by a key (" [cut]"); 0 marks none.
void MarkSpeechCut(size_t line);

}  // namespace quipular
