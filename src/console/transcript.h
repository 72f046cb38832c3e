// The speech transcript: every prompt, pause and tone as it is asked for,
// one line each ("sound DOIGUAL", "char 53", "words oito", "pause 300").
#pragma once

#include <string>
#include <vector>

namespace quipular {

struct SpeechTranscript {
  bool enabled = false;            // lines are kept only when asked for (--speech)
  std::vector<std::string> lines;  // UTF-8 lines, in the order asked for
};

extern SpeechTranscript g_transcript;

void RecordSpeech(const std::string& line);

}  // namespace quipular
